#include "cli/args/Arguments.h"

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
    {exitcode::kCantOpenImage, "the image file cannot be opened"},
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
    {exitcode::kInterrupted, "interrupted with Ctrl-C"},
};
const int kExitStatusCount = sizeof kExitStatusTable / sizeof kExitStatusTable[0];

namespace {

// Ctrl-C's prepared lines have room for this many.
constexpr std::size_t kMaxUpgradePorts = kMaxInterruptPorts;

Command CommandNamed(const std::string& word) {
  if (word == "find") return Command::kFind;
  if (word == "info") return Command::kInfo;
  if (word == "upgrade") return Command::kUpgrade;
  return Command::kNone;
}

// The first option given that only upgrade takes.
std::string UpgradeOnly(const Arguments& args) {
  return args.yes ? "--yes" : args.skipCurrent ? "--skip-current" : "--dry-run";
}

// What each command takes, checked once everything is read.
bool CheckCommand(const Arguments& args, std::string& error) {
  switch (args.command) {
    case Command::kNone:
      error = "no command given (find, info or upgrade)";
      return false;
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
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasValue = false;
    // --name=value is the same as --name value.
    const auto eq = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.erase(eq);
      hasValue = true;
    }
    auto takeValue = [&]() {
      if (!hasValue) {
        if (i + 1 >= argc) {
          error = arg + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      if (value.empty()) {
        error = arg + " needs a value";
        return false;
      }
      return true;
    };

    const bool flag = arg == "--help" || arg == "-h" || arg == "--version" || arg == "--yes" ||
                      arg == "-y" || arg == "--skip-current" || arg == "--json" || arg == "--all" ||
                      arg == "--dry-run";
    if (flag && hasValue) {
      error = arg + " takes no value";
      return false;
    }
    if (arg == "--help" || arg == "-h") {
      args.help = true;
    } else if (arg == "--version") {
      args.version = true;
    } else if (arg == "--yes" || arg == "-y") {
      args.yes = true;
    } else if (arg == "--dry-run") {
      args.dryRun = true;
    } else if (arg == "--skip-current" || arg == "--json" || arg == "--all") {
      (arg == "--json" ? args.json : arg == "--all" ? args.all : args.skipCurrent) = true;
    } else if (arg == "--port" || arg == "-p") {
      if (!takeValue()) return false;
      args.ports.push_back(value);
    } else if (arg == "--log") {
      if (!takeValue()) return false;
      if (!args.logFile.empty()) {
        error = "--log given twice";
        return false;
      }
      args.logFile = value;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (args.command == Command::kNone) {
      args.command = CommandNamed(arg);
      if (args.command == Command::kNone) {
        error = "unknown command " + arg + " (find, info or upgrade)";
        return false;
      }
    } else if (args.image.empty()) {
      args.image = arg;
    } else {
      error = "one image only: " + arg;
      return false;
    }
  }
  return args.help || args.version || CheckCommand(args, error);
}

std::string UsageText() {
  std::string text =
      "usage: fwupdate find [--port PORT]... [--all] [--json]\n"
      "       fwupdate info --port PORT [IMAGE] [--json]\n"
      "       fwupdate upgrade (--port PORT... | --all) IMAGE [--yes] [--skip-current]\n"
      "                [--dry-run] [--json]\n"
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
      "\n"
      "  --port PORT  COM1..COM8 (on Linux /dev/ttyS0../dev/ttyS7) or a device path such\n"
      "               as /dev/ttyUSB0\n"
      "  --yes        answer the question of upgrade with yes (unattended use); without\n"
      "               it upgrade needs a terminal on standard input\n"
      "  --skip-current  upgrade leaves a modem alone that already reports exactly the\n"
      "               image's versions and dates, and says it is current (status 0)\n"
      "  --dry-run    upgrade: read the versions and say, per port, whether the modem is\n"
      "               current or would be updated; asks nothing, erases and writes nothing\n"
      "  --all        find: print every port where a modem answers, not only the first;\n"
      "               upgrade: update every such port\n"
      "  --json       JSON Lines on standard output, one object per event (see the\n"
      "               README); the lines for people go to standard error\n"
      "  --log FILE   write a transcript of the serial line to FILE\n"
      "  --help       this text\n"
      "  --version    print the program's name and version\n"
      "\n"
      "Ctrl-C before the erase leaves the modem as it was; during the erase or the\n"
      "transfer it leaves the modem without working firmware until an upgrade completes.\n"
      "\n"
      "Exit status:\n";
  for (int i = 0; i < kExitStatusCount; ++i) {
    char line[128];
    std::snprintf(line, sizeof line, "  %3d  %s\n", kExitStatusTable[i].status,
                  kExitStatusTable[i].meaning);
    text += line;
  }
  return text;
}

std::string VersionText() { return "fwupdate " FWUPDATE_VERSION "\n"; }
