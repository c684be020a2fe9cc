#include "cli/screen/ConsoleOut.h"

#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"

// Each write is flushed at once, also into a pipe: whoever watches the output sees each
// step as it happens.
void CConsoleOut::Print(const std::string& text) {
  EndLine();
  WriteOutput(m_human, text + "\n");
}

void CConsoleOut::Prompt(const std::string& text) {
  EndLine();
  WriteOutput(m_human, text);
}

void CConsoleOut::Error(const std::string& text) {
  EndLine();
  WriteOutput(stderr, text + "\n");
}

void CConsoleOut::Draw(const std::string& text) {
  // Spaces cover the rest of a longer line drawn before.
  const std::size_t pad = m_drawnLength > text.size() ? m_drawnLength - text.size() : 0;
  WriteOutput(stdout, "\r" + text + std::string(pad, ' '));
  m_drawnLength = text.size();
  if (!m_lineOpen) SetProgressLineOpen(true);
  m_lineOpen = true;
}

void CConsoleOut::EndLine() {
  if (!m_lineOpen) return;
  WriteOutput(stdout, "\n");
  m_lineOpen = false;
  m_drawnLength = 0;
  SetProgressLineOpen(false);
}
