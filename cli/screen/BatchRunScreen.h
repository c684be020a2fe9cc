#pragma once
// Several ports on the screen: a live line per port (or plain lines), one question over a
// table of every modem that waits for it, and a summary table at the end with the advice to
// run again when a modem was left without working firmware.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/run/RunScreen.h"
#include "cli/screen/BatchPortView.h"
#include "cli/screen/LiveLines.h"
#include "record/FirmwareVersionInfo.h"

class CBatchRunScreen : public IRunScreen {
 public:
  // `human`: the stream for people; `live`: it is a terminal to redraw lines on; `in`: where
  // the answer is read.
  CBatchRunScreen(std::FILE* human, bool live, std::vector<std::string> ports, std::string retry,
                  std::FILE* in = stdin);

  PortViews Views(int port) override;
  void ImageFailed(BoxId why) override;
  bool Ask(const std::vector<Arrival>& waiting, bool yes) override;
  void PortDone(int port, const PortResult& result) override;
  void RunDone(const std::vector<PortResult>& results) override;

 protected:
  CLiveLines& Lines() { return m_lines; }
  // Asks `question` y/N on the terminal (or says the --yes answer); false after `declined`.
  bool Confirm(const std::string& question, bool yes, const std::string& declined);

 private:
  std::FILE* m_human;
  std::FILE* m_in;
  std::vector<std::string> m_ports;
  std::string m_retry;
  CLiveLines m_lines;
  std::vector<std::unique_ptr<CBatchPortView>> m_views;
};
