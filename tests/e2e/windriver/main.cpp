// windriver: works the firmware updater's windows from outside, for the end-to-end tests
// and the headless walkthrough. Commands come one per argument, or one per line on standard
// input; each answers with what it saw and a last line "ok" or "fail: why". With arguments
// it stops at the first failure and exits 1.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Driver.h"

namespace {

// Splits a command line into words; "double quotes" hold spaces and C escapes.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() &&
           (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n'))
      ++i;
    if (i >= line.size()) break;
    std::string w;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
          char e = line[++i];
          w += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        } else {
          w += line[i];
        }
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '\n')
        w += line[i++];
    }
    words.push_back(w);
  }
  return words;
}

void Print(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  // Plain "\n" line ends for the shell that reads us.
  _setmode(_fileno(stdout), _O_BINARY);
  CDriver driver(Print);
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) {
      if (!driver.Run(Words(argv[i]))) return 1;
      Print("ok");
    }
    return 0;
  }
  char line[4096];
  while (std::fgets(line, sizeof line, stdin)) {
    std::vector<std::string> words = Words(line);
    if (!words.empty() && words[0] == "quit") break;
    if (driver.Run(words)) Print("ok");
  }
  return 0;
}
