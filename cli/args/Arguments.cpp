#include "cli/args/Arguments.h"

#include <algorithm>
#include <cstdio>

#include "cli/args/ExitStatus.h"
#include "cli/run/InterruptPorts.h"

const ExitStatusEntry kExitStatusTable[] = {
    {exitcode::kDone, "done: modem found, versions read, firmware updated (or current)"},
    {exitcode::kNotFound, "find, upgrade --all: no supported modem answered on any port"},
    {exitcode::kUsage, "bad command line"},
    {exitcode::kCantOpenPort, "the port cannot be opened (missing, busy or not allowed)"},
    {exitcode::kCantQueryModem, "the modem did not report its versions and dates"},
    {exitcode::kIncorrectImage, "the image holds no complete version record"},
    {exitcode::kCantOpenImage,
     "the image file cannot be opened, is no regular file, or is 4 GiB or more"},
    {exitcode::kDeclined, "upgrade: answered no; nothing was written"},
    {exitcode::kNoTerminal, "upgrade: no terminal to ask and no --yes; nothing was touched"},
    {exitcode::kNotReady, "upgrade: the modem was not ready after the erase"},
    {exitcode::kTransferFailed, "upgrade: the modem did not take the whole image"},
    {exitcode::kNotConfirmed, "upgrade: the modem did not confirm the update"},
    {exitcode::kCantOpenLog, "the --log file cannot be written"},
    {exitcode::kSomePortsFailed,
     "upgrade of several ports: not every port succeeded; the summary and --json name each"},
    {exitcode::kDeviceGoneErasing,
     "upgrade: the device went away during the erase (adapter pulled out or without power)"},
    {exitcode::kDeviceGone,
     "upgrade: the device went away during the transfer (adapter pulled out or without power)"},
    {exitcode::kHistoryUnavailable,
     "the history cannot be written (--history-required: nothing touched) or read"},
    {exitcode::kInterrupted, "interrupted with Ctrl-C"},
    {exitcode::kTerminated, "stopped with SIGTERM (as with Ctrl-C)"},
};
const int kExitStatusCount = sizeof kExitStatusTable / sizeof kExitStatusTable[0];

namespace {

// Ctrl-C's prepared lines have room for this many.
constexpr std::size_t kMaxUpgradePorts = kMaxInterruptPorts;

bool TakePort(Arguments& args, const std::string& value, std::string&) {
  args.ports.push_back(value);
  return true;
}

bool TakeLog(Arguments& args, const std::string& value, std::string& error) {
  if (!args.logFile.empty()) {
    error = "--log given twice";
    return false;
  }
  args.logFile = value;
  return true;
}

// A text option given once.
template <std::string Arguments::*field>
bool TakeOnce(Arguments& args, const std::string& value, std::string& error) {
  if (!(args.*field).empty()) {
    error = "an option given twice: " + value;
    return false;
  }
  args.*field = value;
  return true;
}

// A command for the modem: printable, one line, no more than a modem's command line takes.
bool TakeSerialCommand(Arguments& args, const std::string& value, std::string& error) {
  for (char c : value) {
    if (c < 0x20 || c > 0x7e) {
      error = "--serial-command takes one printable command, such as AT+GSN";
      return false;
    }
  }
  if (value.size() > 40) {
    error = "--serial-command: at most 40 characters";
    return false;
  }
  return TakeOnce<&Arguments::serialCommand>(args, value, error);
}

bool TakeLimit(Arguments& args, const std::string& value, std::string& error) {
  if (value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(value) == 0) {
    error = "--limit needs a number of rows (1 or more): " + value;
    return false;
  }
  args.limit = std::stoi(value);
  return true;
}

bool TakeMaxUnits(Arguments& args, const std::string& value, std::string& error) {
  if (value.size() > 6 || value.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(value) == 0) {
    error = "--max-units needs a number of modems (1 or more): " + value;
    return false;
  }
  args.maxUnits = std::stoi(value);
  return true;
}

bool TakeImagePrefix(Arguments& args, const std::string& value, std::string& error) {
  if (value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos || value.size() > 64) {
    error = "--image needs the start of a SHA-256 in hex: " + value;
    return false;
  }
  return TakeOnce<&Arguments::imagePrefix>(args, value, error);
}

}  // namespace

const OptionSpec kOptionTable[] = {
    {"--port", "-p", "PORT", nullptr, TakePort,
     "COM1..COM8 (on Linux /dev/ttyS0../dev/ttyS7) or a device path such as /dev/ttyUSB0"},
    {"--yes", "-y", nullptr, &Arguments::yes, nullptr,
     "answer the question of upgrade with yes (unattended use); without it upgrade needs a "
     "terminal on standard input"},
    {"--skip-current", nullptr, nullptr, &Arguments::skipCurrent, nullptr,
     "upgrade leaves a modem alone that already reports exactly the image's versions and "
     "dates, and says it is current (status 0)"},
    {"--dry-run", nullptr, nullptr, &Arguments::dryRun, nullptr,
     "upgrade: read the versions and say, per port, whether the modem is current or would "
     "be updated; asks nothing, erases and writes nothing"},
    {"--all", nullptr, nullptr, &Arguments::all, nullptr,
     "find: print every port where a modem answers, not only the first; upgrade: update "
     "every such port"},
    {"--json", nullptr, nullptr, &Arguments::json, nullptr,
     "JSON Lines on standard output, one object per event (see the README); the lines for "
     "people go to standard error; a bad command line still ends with an end event that "
     "holds the error"},
    {"--log", nullptr, "FILE", nullptr, TakeLog, "write a transcript of the serial line to FILE"},
    {"--history", nullptr, "FILE", nullptr, TakeOnce<&Arguments::historyFile>,
     "the history database (SQLite); default: /var/lib/orvane-fwupdate/history.db for root "
     "when the package made that folder, else $XDG_STATE_HOME/fwupdate/history.db "
     "(~/.local/state/fwupdate/history.db; %LOCALAPPDATA%\\fwupdate\\history.db on Windows)"},
    {"--no-history", nullptr, nullptr, &Arguments::noHistory, nullptr,
     "upgrade: write no row of this run into the history"},
    {"--history-required", nullptr, nullptr, &Arguments::historyRequired, nullptr,
     "upgrade: refuse (status 16) before any port is touched when the history cannot be "
     "written; without it such a history is a warning and the update goes on"},
    {"--station", nullptr, "NAME", nullptr, TakeOnce<&Arguments::station>,
     "upgrade: the station each row names (default: $FWUPDATE_STATION)"},
    {"--operator", nullptr, "NAME", nullptr, TakeOnce<&Arguments::operatorName>,
     "upgrade: the operator each row names (default: $FWUPDATE_OPERATOR)"},
    {"--lot", nullptr, "NAME", nullptr, TakeOnce<&Arguments::lot>,
     "upgrade: the lot each row names (default: $FWUPDATE_LOT)"},
    {"--unit-id", nullptr, "ID", nullptr, TakeOnce<&Arguments::unitId>,
     "upgrade of one port: the unit's identity as its label says (a scanned serial number)"},
    {"--serial-command", nullptr, "CMD", nullptr, TakeSerialCommand,
     "upgrade: after the versions, ask each modem who it is (ati3) and send CMD (such as "
     "AT+GSN) for its serial number; the history keeps both answers as given. Without it "
     "fwupdate sends only the commands of the Orvane Firmware Update program"},
    {"--force", nullptr, nullptr, &Arguments::force, nullptr,
     "station: flash a modem that already has the image's versions too"},
    {"--max-units", nullptr, "N", nullptr, TakeMaxUnits,
     "station: end, as a first Ctrl-C would, once N modems were flashed or failed (those left "
     "alone as current do not count)"},
    {"--since", nullptr, "DATE", nullptr, TakeOnce<&Arguments::since>,
     "history: rows started at or after DATE (UTC, 2026-12-08 or 2026-12-08T09:30)"},
    {"--outcome", nullptr, "KEY", nullptr, TakeOnce<&Arguments::outcome>,
     "history: rows that ended so (done, not_ready, ..., or interrupted, running)"},
    {"--image", nullptr, "SHA256", nullptr, TakeImagePrefix,
     "history: rows of the image whose SHA-256 starts so"},
    {"--limit", nullptr, "N", nullptr, TakeLimit, "history: the N newest rows only"},
    {"--csv", nullptr, nullptr, &Arguments::csv, nullptr,
     "history: CSV (RFC 4180) with a header line, for spreadsheets"},
    {"--help", "-h", nullptr, &Arguments::help, nullptr, "this text"},
    {"--version", nullptr, nullptr, &Arguments::version, nullptr,
     "print the program's name and version"},
    {"--", nullptr, nullptr, nullptr, nullptr,
     "ends the options: the words after it are the command and IMAGE, even one that "
     "starts with -"},
};
const int kOptionCount = sizeof kOptionTable / sizeof kOptionTable[0];

namespace {

const OptionSpec* OptionNamed(const std::string& word) {
  for (const OptionSpec& option : kOptionTable)
    if (word == option.name || (option.shortName && word == option.shortName)) return &option;
  return nullptr;
}

Command CommandNamed(const std::string& word) {
  if (word == "find") return Command::kFind;
  if (word == "info") return Command::kInfo;
  if (word == "upgrade") return Command::kUpgrade;
  if (word == "history") return Command::kHistory;
  if (word == "station") return Command::kStation;
  return Command::kNone;
}

// The first option given that only upgrade takes.
std::string UpgradeOnly(const Arguments& args) {
  return args.yes ? "--yes" : args.skipCurrent ? "--skip-current" : "--dry-run";
}

// The first option given that only upgrade's history rows take, or empty.
std::string RowOption(const Arguments& args) {
  return args.noHistory                ? "--no-history"
         : args.historyRequired        ? "--history-required"
         : !args.station.empty()       ? "--station"
         : !args.operatorName.empty()  ? "--operator"
         : !args.lot.empty()           ? "--lot"
         : !args.unitId.empty()        ? "--unit-id"
         : !args.serialCommand.empty() ? "--serial-command"
                                       : "";
}

// The first option given that only history takes, or empty.
std::string HistoryOnly(const Arguments& args) {
  return !args.since.empty()         ? "--since"
         : !args.outcome.empty()     ? "--outcome"
         : !args.imagePrefix.empty() ? "--image"
         : args.limit > 0            ? "--limit"
         : args.csv                  ? "--csv"
                                     : "";
}

// What each command takes, checked once everything is read.
bool CheckCommand(const Arguments& args, std::string& error) {
  if (args.command != Command::kHistory && !HistoryOnly(args).empty()) {
    error = HistoryOnly(args) + " belongs to history";
    return false;
  }
  const bool flashes = args.command == Command::kUpgrade || args.command == Command::kStation;
  if (!flashes && !RowOption(args).empty()) {
    error = RowOption(args) + " belongs to upgrade and station";
    return false;
  }
  if (!flashes && args.command != Command::kHistory && !args.historyFile.empty()) {
    error = "--history belongs to upgrade, station and history";
    return false;
  }
  if (args.command != Command::kStation && (args.force || args.maxUnits > 0)) {
    error = std::string(args.force ? "--force" : "--max-units") + " belongs to station";
    return false;
  }
  switch (args.command) {
    case Command::kNone:
      error = "no command given (find, info, upgrade, station or history)";
      return false;
    case Command::kStation:
      if (args.ports.empty() && !args.all)
        error = "station needs a --port, or --all";
      else if (args.ports.size() > kMaxUpgradePorts)
        error = "station takes at most " + std::to_string(kMaxUpgradePorts) + " ports";
      else if (args.image.empty())
        error = "station needs an image file";
      else if (args.skipCurrent || args.dryRun || !args.logFile.empty() || !args.unitId.empty())
        error = std::string(args.skipCurrent      ? "--skip-current"
                            : args.dryRun         ? "--dry-run"
                            : args.unitId.empty() ? "--log"
                                                  : "--unit-id") +
                " does not belong to station";
      else if (args.noHistory && (args.historyRequired || !args.historyFile.empty()))
        error = "--no-history contradicts the other history options";
      for (std::size_t i = 0; error.empty() && i < args.ports.size(); ++i)
        for (std::size_t j = 0; error.empty() && j < i; ++j)
          if (args.ports[i] == args.ports[j]) error = "--port " + args.ports[i] + " given twice";
      break;
    case Command::kHistory:
      if (!args.image.empty())
        error = "history takes no image (--image SHA256 chooses rows by their image)";
      else if (args.ports.size() > 1)
        error = "history takes one --port";
      else if (args.all || !args.logFile.empty())
        error = std::string(args.all ? "--all" : "--log") + " does not belong to history";
      else if (args.yes || args.skipCurrent || args.dryRun)
        error = UpgradeOnly(args) + " belongs to upgrade";
      else if (args.json && args.csv)
        error = "--json or --csv, not both";
      break;
    case Command::kFind:
      if (!args.image.empty())
        error = "find takes no image";
      else if (args.yes || args.skipCurrent || args.dryRun)
        error = UpgradeOnly(args) + " belongs to upgrade";
      break;
    case Command::kInfo:
      if (args.all)
        error = "--all belongs to find";
      else if (args.ports.size() != 1)
        error = "info needs one --port";
      else if (args.yes || args.skipCurrent || args.dryRun)
        error = UpgradeOnly(args) + " belongs to upgrade";
      break;
    case Command::kUpgrade:
      if (args.ports.empty() && !args.all)
        error = "upgrade needs a --port, or --all";
      else if (args.ports.size() > kMaxUpgradePorts)
        error = "upgrade takes at most " + std::to_string(kMaxUpgradePorts) + " ports";
      else if ((args.ports.size() > 1 || args.all) && !args.logFile.empty())
        error = "--log takes one port";
      else if (args.image.empty())
        error = "upgrade needs an image file";
      else if (args.noHistory && (args.historyRequired || !args.historyFile.empty()))
        error = std::string("--no-history and ") +
                (args.historyRequired ? "--history-required" : "--history") + " contradict";
      else if (!args.unitId.empty() && (args.ports.size() > 1 || args.all))
        error = "--unit-id names one unit: give one --port";
      // Two cores on one port: the second could never open it.
      for (std::size_t i = 0; error.empty() && i < args.ports.size(); ++i)
        for (std::size_t j = 0; error.empty() && j < i; ++j)
          if (args.ports[i] == args.ports[j]) error = "--port " + args.ports[i] + " given twice";
      break;
  }
  return error.empty();
}

}  // namespace

bool ParseArguments(int argc, const char* const* argv, Arguments& args, std::string& error) {
  std::string fault;  // the first; the words after it are still read
  auto fail = [&](const std::string& why) {
    if (fault.empty()) fault = why;
  };
  bool optionsEnded = false;
  bool commandRead = false;  // the first word that is no option is the command's, known or not
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    const OptionSpec* option = nullptr;
    std::string value;
    bool hasValue = false;
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      // --name=value is the same as --name value.
      const auto eq = arg.find('=');
      if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
        value = arg.substr(eq + 1);
        arg.erase(eq);
        hasValue = true;
      }
      option = OptionNamed(arg);
      if (!option || std::string(option->name) == "--") {
        fail("unknown option " + arg);
        continue;
      }
    }
    if (option && !option->valueName) {
      if (hasValue)
        fail(arg + " takes no value");
      else
        args.*(option->flag) = true;
    } else if (option) {
      if (!hasValue && i + 1 < argc) {
        value = argv[++i];
        hasValue = true;
      }
      std::string why;
      if (!hasValue || value.empty())
        fail(arg + " needs a value");
      else if (!option->take(args, value, why))
        fail(why);
    } else if (!commandRead) {
      commandRead = true;
      args.command = CommandNamed(arg);
      if (args.command == Command::kNone)
        fail("unknown command " + arg + " (find, info, upgrade, station or history)");
    } else if (args.image.empty()) {
      args.image = arg;
    } else {
      fail("one image only: " + arg);
    }
  }
  if (!fault.empty()) {
    error = fault;
    return false;
  }
  return args.help || args.version || CheckCommand(args, error);
}

const char* CommandName(Command command) {
  switch (command) {
    case Command::kFind:
      return "find";
    case Command::kInfo:
      return "info";
    case Command::kUpgrade:
      return "upgrade";
    case Command::kHistory:
      return "history";
    case Command::kStation:
      return "station";
    case Command::kNone:
      break;
  }
  return "";
}

namespace {

// --help's width, and the column where an option's words begin.
constexpr std::size_t kHelpWidth = 80;
constexpr std::size_t kHelpColumn = 22;

// An option's line: "  -p, --port PORT", "      --all", or "  --".
std::string OptionHead(const OptionSpec& option) {
  if (std::string(option.name) == "--") return "  --";
  std::string head = option.shortName ? std::string("  ") + option.shortName + ", " : "      ";
  head += option.name;
  if (option.valueName) head += std::string(" ") + option.valueName;
  return head;
}

// `words` from `head` on, wrapped at the help's width, each further line at its column.
std::string Wrapped(const std::string& head, const std::string& words) {
  std::string text;
  std::string line = head.size() + 2 > kHelpColumn ? head + "  " : head;
  line.resize(std::max(line.size(), kHelpColumn), ' ');
  std::size_t at = 0;
  bool empty = true;  // no word on this line yet
  while (at < words.size()) {
    std::size_t end = words.find(' ', at);
    if (end == std::string::npos) end = words.size();
    const std::string word = words.substr(at, end - at);
    at = end + 1;
    if (!empty && line.size() + 1 + word.size() >= kHelpWidth) {
      text += line + "\n";
      line = std::string(kHelpColumn, ' ');
      empty = true;
    }
    line += (empty ? "" : " ") + word;
    empty = false;
  }
  return text + line + "\n";
}

}  // namespace

std::string UsageText() {
  std::string text =
      "usage: fwupdate find [--port PORT]... [--all] [--json]\n"
      "       fwupdate info --port PORT [IMAGE] [--json]\n"
      "       fwupdate upgrade (--port PORT... | --all) IMAGE [--yes] [--skip-current]\n"
      "                [--dry-run] [--json] [--station NAME] [--operator NAME]\n"
      "                [--lot NAME] [--unit-id ID] [--serial-command CMD]\n"
      "                [--history FILE | --no-history] [--history-required]\n"
      "       fwupdate station (--port PORT... | --all) IMAGE [--yes] [--force]\n"
      "                [--max-units N] [--json] [the history options of upgrade]\n"
      "       fwupdate history [--since DATE] [--port NAME] [--outcome KEY]\n"
      "                [--image SHA256] [--limit N] [--json | --csv] [--history FILE]\n"
      "\n"
      "Updates the firmware of an Orvane modem on a serial port, with the same commands,\n"
      "waits and checks as the Orvane Firmware Update program.\n"
      "\n"
      "  find      probe the ports in turn (default: USB and ACM serial adapters, then\n"
      "            COM1..COM8) and print the first where a supported modem answers\n"
      "  info      print the modem's controller and DSP versions and dates, beside those\n"
      "            of IMAGE when one is given; sends only the query commands\n"
      "  upgrade   show both versions, ask y/N, erase the modem's flash and send IMAGE;\n"
      "            with several ports (or --all) all at once, after one question\n"
      "  station   flash every modem as it is plugged in: each port waits for a modem,\n"
      "            leaves it alone when it has the image's versions, flashes it, waits\n"
      "            until it is removed, and takes the next; one question at the start.\n"
      "            Ctrl-C (or SIGTERM) once drains: no new modem, those under way finish;\n"
      "            twice stops at once\n"
      "  history   print the history of upgrades, newest first, a row per port per\n"
      "            attempt (times, station, port, unit, versions before, image SHA-256,\n"
      "            outcome, flash state, bytes, each phase's time). Every upgrade, dry\n"
      "            run and current modem writes its row as it goes: a killed run reads\n"
      "            \"interrupted\". The file is SQLite (sqlite3 FILE 'SELECT * FROM\n"
      "            attempts')\n"
      "\n";
  for (const OptionSpec& option : kOptionTable) text += Wrapped(OptionHead(option), option.help);
  text +=
      "\n"
      "IMAGE must be a regular file shorter than 4 GiB: a device, a FIFO, a directory\n"
      "or a socket is refused at once (status 6), before any port is opened.\n"
      "\n"
      "Ctrl-C before the erase leaves the modem as it was; during the erase or the\n"
      "transfer it leaves the modem without working firmware until an upgrade completes.\n"
      "\n"
      "Exit status:\n";
  for (int i = 0; i < kExitStatusCount; ++i) {
    char status[16];
    std::snprintf(status, sizeof status, "  %3d  ", kExitStatusTable[i].status);
    text += status + std::string(kExitStatusTable[i].meaning) + "\n";
  }
  return text;
}

std::string VersionText() { return "fwupdate " FWUPDATE_VERSION "\n"; }
const char* ProgramVersion() { return FWUPDATE_VERSION; }
