#pragma once
// The command line of fwupdate: a command, its options and its image.

#include <string>
#include <vector>

enum class Command { kNone, kFind, kInfo, kUpgrade };

struct Arguments {
  Command command = Command::kNone;
  std::vector<std::string> ports;  // as the user named them, in order
  std::string image;
  std::string logFile;
  bool yes = false;
  bool skipCurrent = false;  // upgrade: leave a modem that has the image's record alone
  bool dryRun = false;       // upgrade: say per port current or would update; touch nothing
  bool json = false;         // JSON Lines on stdout, people's lines on stderr
  bool all = false;          // find: every port with a modem, not only the first
  bool help = false;
  bool version = false;
};

// Fills `args`; on a bad command line returns false with a one-line reason in `error`.
bool ParseArguments(int argc, const char* const* argv, Arguments& args, std::string& error);

// The text of --help, exit statuses included.
std::string UsageText();

// The line of --version: the program's name and version.
std::string VersionText();
