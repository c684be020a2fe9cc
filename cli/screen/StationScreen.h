#pragma once
// A station on the screen: on a terminal a live line per port (waiting, the unit's erase or
// transfer, done or failed, remove the modem) over a line of totals; otherwise a plain line
// per event. The question at the start, and the totals and each port's yield at the end.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/run/StationRunner.h"
#include "cli/screen/BatchPortView.h"
#include "cli/screen/LiveLines.h"

class CStationScreen : public IStationScreen {
 public:
  CStationScreen(std::FILE* human, bool live, std::vector<std::string> ports, std::string imageName,
                 std::FILE* in = stdin);

  PortViews Views(int port) override;
  void ImageFailed(BoxId why) override;
  bool Ask(const std::vector<Arrival>&, bool yes) override { return yes; }  // asked at start
  void PortDone(int, const PortResult&) override {}  // each unit says its end
  void RunDone(const std::vector<PortResult>&) override {}

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

  std::FILE* m_human;
  std::FILE* m_in;
  std::vector<std::string> m_ports;
  std::string m_image;
  CLiveLines m_lines;
  std::vector<std::unique_ptr<CBatchPortView>> m_views;
  std::mutex m_mutex;
  std::vector<std::string> m_shown;
  std::vector<PortCount> m_counts;
  StationTotals m_totals;
  std::uint64_t m_startMs = 0;
};
