#include "cli/screen/ConsoleOut.h"

#include <cstdio>

#include "cli/platform/Platform.h"

void CConsoleOut::Print(const std::string& text) {
  EndLine();
  std::fputs(text.c_str(), m_human);
  std::fputc('\n', m_human);
  // Promptly, also into a pipe: whoever watches the output sees each step as it happens.
  std::fflush(m_human);
}

void CConsoleOut::Prompt(const std::string& text) {
  EndLine();
  std::fputs(text.c_str(), m_human);
  std::fflush(m_human);
}

void CConsoleOut::Error(const std::string& text) {
  EndLine();
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void CConsoleOut::Draw(const std::string& text) {
  // Spaces cover the rest of a longer line drawn before.
  const std::size_t pad = m_drawnLength > text.size() ? m_drawnLength - text.size() : 0;
  std::fputc('\r', stdout);
  std::fputs(text.c_str(), stdout);
  std::fputs(std::string(pad, ' ').c_str(), stdout);
  std::fflush(stdout);
  m_drawnLength = text.size();
  if (!m_lineOpen) SetProgressLineOpen(true);
  m_lineOpen = true;
}

void CConsoleOut::EndLine() {
  if (!m_lineOpen) return;
  std::fputc('\n', stdout);
  std::fflush(stdout);
  m_lineOpen = false;
  m_drawnLength = 0;
  SetProgressLineOpen(false);
}
