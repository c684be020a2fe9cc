#pragma once
// A station on the screen: the lines of several ports, where each port's line says between
// its flashes what it does (waiting, the unit's end, remove the modem), over a line of
// totals; plain lines without a terminal. The question at the start, the totals and each
// port's yield at the end.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "cli/run/StationRunner.h"
#include "cli/screen/BatchRunScreen.h"

class CStationScreen : public CBatchRunScreen, public IStationScreen {
 public:
  CStationScreen(std::FILE* human, bool live, std::vector<std::string> ports, std::string imageName,
                 std::FILE* in = stdin);

  bool AskStation(const FirmwareVersionInfo& image, bool yes) override;
  void Waiting(int port) override;
  void Arrived(int port, int unit) override;
  void UnitDone(int port, int unit, const PortResult& result) override;
  void Draining(const std::string& why) override;
  void StationDone(const StationTotals& totals) override;

 private:
  struct PortCount {
    int passed = 0, failed = 0;
  };
  void Show(int port, const std::string& text);  // unless the port shows it already
  std::string TotalsLine();

  std::vector<std::string> m_ports;
  std::string m_image;
  std::mutex m_mutex;
  std::vector<std::string> m_shown;
  std::vector<PortCount> m_counts;
  StationTotals m_totals;
  std::uint64_t m_startMs = 0;
};
