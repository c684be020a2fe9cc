#pragma once
// One port on the console, as fwupdate has always shown it: the status lines, a live bar
// (or plain lines), the comparison and its y/N question, each failure on stderr, and the
// outcome's words when no box said them.

#include <string>

#include "cli/platform/ConsolePorts.h"
#include "cli/run/RunScreen.h"
#include "cli/screen/ConsoleBoxes.h"
#include "cli/screen/ConsoleOut.h"
#include "cli/screen/ConsoleProgress.h"
#include "cli/screen/ConsoleStatus.h"

class CConsoleScreen : public IRunScreen {
 public:
  CConsoleScreen(CConsoleOut& out, const ConsolePort& port, const std::string& retryCommand)
      : m_out(out), m_port(port), m_status(out), m_progress(out), m_boxes(out, {port}) {
    m_boxes.SetRetryCommand(retryCommand);
  }
  // Where the answer to the question is read: standard input, or a file in tests.
  void ReadAnswersFrom(std::FILE* in) { m_boxes.ReadAnswersFrom(in); }

  PortViews Views(int) override { return {m_status, m_progress, m_boxes}; }
  void ImageFailed(BoxId why) override { m_boxes.ShowMessageBox(BoxMessage(why)); }
  bool Ask(const std::vector<Arrival>& waiting, bool yes) override;
  void PortDone(int port, const PortResult& result) override;
  void RunDone(const std::vector<PortResult>&) override {}

 private:
  CConsoleOut& m_out;
  ConsolePort m_port;
  CConsoleStatus m_status;
  CConsoleProgress m_progress;
  CConsoleBoxes m_boxes;
};
