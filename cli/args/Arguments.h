#pragma once
// The command line of fwupdate: a command, its options and its image.

#include <string>
#include <vector>

enum class Command { kNone, kFind, kInfo, kUpgrade, kHistory, kStation };

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
  // The history of attempts: where it is, whether it is kept, what a row says of the line.
  std::string historyFile;
  bool noHistory = false;
  bool historyRequired = false;  // upgrade refuses before any port when it cannot be written
  std::string station, operatorName, lot, unitId;
  std::string serialCommand;  // upgrade: asks each modem its identity and this command
  bool force = false;         // station: flashes a modem that has the image's versions too
  int maxUnits = 0;           // station: ends (as a drain) after this many flashed or failed
  // history: which rows, and how they are printed (a table unless --json or --csv).
  std::string since, outcome, imagePrefix;
  int limit = 0;
  bool csv = false;
  bool help = false;
  bool version = false;
};

// One row of the option table: the parser reads the command line by it and --help lists it,
// so that an option cannot be taken without being listed, or listed without being taken.
struct OptionSpec {
  const char* name;       // "--port"; "--" is the end of the options
  const char* shortName;  // "-p", or null
  const char* valueName;  // "PORT" for an option that takes a value, null for a flag
  bool Arguments::*flag;  // a flag: the field it sets
  // An option with a value: keeps it, or says why not in `error`.
  bool (*take)(Arguments& args, const std::string& value, std::string& error);
  const char* help;  // --help's words, wrapped to the screen there
};
extern const OptionSpec kOptionTable[];
extern const int kOptionCount;

// Fills `args`; on a bad command line returns false with a one-line reason in `error` (the
// first fault). The words after a fault are still read, so that `args.json` and
// `args.command` say whether --json was asked for and which command was named.
// "--" ends the options: every word after it is the command or the image.
bool ParseArguments(int argc, const char* const* argv, Arguments& args, std::string& error);

// The command's word: "find", "info", "upgrade", "history", or "" for none.
const char* CommandName(Command command);

// The text of --help, exit statuses included.
std::string UsageText();

// The line of --version: the program's name and version.
std::string VersionText();
// The version alone: "1.2.0".
const char* ProgramVersion();
