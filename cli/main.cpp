// fwupdate: the modem firmware updater on the command line.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/args/Arguments.h"
#include "cli/args/ExitStatus.h"
#include "cli/commands/Commands.h"
#include "cli/commands/History.h"
#include "cli/commands/ImageRefusal.h"
#include "cli/json/JsonEvents.h"
#include "cli/platform/ConsolePacing.h"
#include "cli/platform/ConsolePorts.h"
#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/run/InterruptPorts.h"
#include "cli/run/UpgradeRunner.h"
#include "cli/screen/BatchRunScreen.h"
#include "cli/screen/ConsoleScreen.h"
#include "cli/screen/StationScreen.h"
#include "cli/texts/ConsoleTexts.h"
#include "image/PlatformImageFile.h"
#include "modem/Texts.h"
#include "serial/ForwardingSerialDriver.h"
#include "serial/LoggingSerialDriver.h"

namespace {

using LogFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// A bad command line: the reason on stderr and, with --json, in the end event.
int UsageError(const Arguments& args, const std::string& reason) {
  WriteOutput(stderr, "fwupdate: " + reason + "\nTry 'fwupdate --help'.\n");
  CJsonEvents(args.json).End(CommandName(args.command), exitcode::kUsage, reason);
  return exitcode::kUsage;
}

// A word as the shell takes it back.
std::string Quoted(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                              "0123456789_./:=+-") == std::string::npos)
    return word;
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
  InitPlatform();
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, args, error)) return UsageError(args, error);
  if (args.help) {
    WriteOutput(stdout, UsageText());
    return exitcode::kDone;
  }
  if (args.version) {
    WriteOutput(stdout, VersionText());
    return exitcode::kDone;
  }

  CJsonEvents events(args.json);
  const char* command = CommandName(args.command);
  if (args.command == Command::kHistory) {
    CConsoleOut out(StdoutIsTerminal() && !args.json, args.json || args.csv);
    return RunHistory(args, out, events);
  }
  std::vector<ConsolePort> ports;
  const bool scanAll = args.command == Command::kFind || args.all;
  const std::vector<std::string> names =
      args.ports.empty() && scanAll ? DefaultScanPorts() : args.ports;
  for (const std::string& name : names) {
    const std::string device = PortDevice(name);
    if (device.empty())
      return UsageError(args, "not a port: " + name + " (COM1..COM8 or a device path)");
    ports.push_back({name, device});
  }

  // Nobody to ask: refuse before any port or file is touched.
  const bool flashes = args.command == Command::kUpgrade || args.command == Command::kStation;
  if (flashes && !args.yes && !args.dryRun && !StdinIsTerminal()) {
    WriteOutput(stderr,
                "fwupdate: upgrade asks before it erases the modem's flash, and standard input "
                "is not a terminal to ask on. Nothing was touched.\nRun it at a terminal, or "
                "add --yes to update without asking.\n");
    events.End(command, exitcode::kNoTerminal);
    return exitcode::kNoTerminal;
  }
  // The image: a regular file shorter than 4 GiB, asked without blocking (a FIFO or a device
  // is refused by what it is, never opened). A file of 4 GiB or more ends with status 6, not
  // 5: status 5 says what the image holds (no complete version record), and this one was
  // never read and may hold a good record; like a file that cannot be opened, it cannot be
  // sent at all.
  if (!args.image.empty()) {
    const std::string reason = ImageRefusalReason(CheckImageFile(args.image));
    if (!reason.empty()) {
      WriteOutput(stderr, std::string("fwupdate: ") + text::kCantOpenImage + "\n  " + args.image +
                              ": " + reason + "\n");
      events.End(command, exitcode::kCantOpenImage);
      return exitcode::kCantOpenImage;
    }
  }
  LogFile log(nullptr, std::fclose);
  if (!args.logFile.empty()) {
    log.reset(std::fopen(args.logFile.c_str(), "w"));
    if (!log) {
      WriteOutput(stderr, "fwupdate: cannot write the log " + args.logFile + ": " +
                              std::strerror(errno) + "\n");
      events.End(command, exitcode::kCantOpenLog);
      return exitcode::kCantOpenLog;
    }
  }

  const bool batch = args.command == Command::kStation ||
                     (args.command == Command::kUpgrade && (names.size() > 1 || args.all));
  std::string retry = "fwupdate upgrade";
  for (const std::string& name : (args.all ? std::vector<std::string>{} : names))
    retry += " --port " + Quoted(name);
  if (args.all) retry += " --all";
  const std::string flags =
      std::string(args.yes ? " --yes" : "") + (args.skipCurrent ? " --skip-current" : "");
  // An image that starts with - comes last, after --, so that it is not read as an option.
  retry += !args.image.empty() && args.image[0] == '-' ? flags + " -- " + Quoted(args.image)
                                                       : " " + Quoted(args.image) + flags;
  if (batch) {
    // Each port says where it was left.
    InstallInterruptHandler("\nfwupdate: interrupted. Where each port was left:\n",
                            "\nfwupdate: interrupted. Where each port was left:\n");
  } else {
    InstallInterruptHandler(
        "\nfwupdate: interrupted. The modem's firmware was not touched.\n",
        "\nfwupdate: interrupted during the update. The modem's flash may be erased or only "
        "partly written: the modem will not work until an upgrade completes.\nRun the same "
        "upgrade again:\n  " +
            retry + "\n");
  }

  CConsoleOut out(StdoutIsTerminal() && !args.json, args.json);
  // The history, before any port is touched: --history-required refuses here.
  CUpgradeHistory history;
  if (flashes && !history.Open(args, out, events,
                               [](const ConsolePort& port) { return StableName(port.device); })) {
    events.End(command, exitcode::kHistoryUnavailable);
    return exitcode::kHistoryUnavailable;
  }
  std::unique_ptr<ISerialDriver> platform = MakeSerialDriver(ports);
  // --log: the transcript wraps the platform's driver, so that it sees every open, line
  // setting, time-out and byte as the device gets them.
  std::unique_ptr<ISerialDriver> logged =
      log ? std::make_unique<CLoggingSerialDriver>(*platform, log.get()) : nullptr;
  ISerialDriver& driver = logged ? *logged : *platform;

  CConsolePacing pacing;
  const CommandWorld commands{out, events, driver, pacing, DeviceGroup, StableName};
  const bool named = !args.ports.empty();
  switch (args.command) {
    case Command::kFind:
      return RunFind(commands, ports, args.all, named);
    case Command::kInfo:
      return RunInfo(commands, ports[0], args.image);
    case Command::kUpgrade: {
      std::vector<ConsolePort> chosen = ports;
      CFindReport report(out, events, ports, named, DeviceGroup);
      if (args.all) chosen = FindModems(commands, ports, report);
      if (chosen.empty()) {
        const int status = report.NoneFound();
        events.End("upgrade", status);
        return status;
      }
      RunPlan plan;
      plan.ports = chosen;
      plan.image = args.image;
      plan.yes = args.yes;
      plan.skipCurrent = args.skipCurrent;
      plan.dryRun = args.dryRun;
      plan.serialCommand = args.serialCommand;
      plan.readImageOnce = batch;
      plan.severalPorts = chosen.size() > 1;
      std::vector<std::string> chosenNames;
      for (const ConsolePort& port : chosen) chosenNames.push_back(port.name);
      CPlatformImageFiles files;  // opened without sharing, as the dialog program does
      std::unique_ptr<IRunScreen> screen;
      if (batch) {
        SetInterruptPorts(chosenNames, true, args.json);
        screen = std::make_unique<CBatchRunScreen>(
            args.json ? stderr : stdout, StdoutIsTerminal() && !args.json, chosenNames, retry);
      } else {
        SetInterruptPorts(chosenNames, false, args.json);  // its own message says where
        screen = std::make_unique<CConsoleScreen>(out, chosen.front(), retry);
      }
      RunWorld world{
          // One port talks through the command's driver (and its transcript); several each
          // open their own, so that nothing of one port's line is shared.
          [&](const ConsolePort& port) -> std::unique_ptr<ISerialDriver> {
            if (!batch) return std::make_unique<CForwardingSerialDriver>(driver);
            return MakeSerialDriver({port});
          },
          [](const ConsolePort&) { return std::make_unique<CConsolePacing>(); },
          MonotonicMs,
          files,
          events,
          *screen,
          [](int port, FlashState state) { SetInterruptPortState(port, state); },
          [](int port, std::uint32_t bytes) { SetInterruptPortBytes(port, bytes); },
          history.Log()};
      return RunUpgrades(plan, world);
    }
    case Command::kStation: {
      StationPlan plan;
      plan.run.ports = ports;
      plan.run.image = args.image;
      plan.run.yes = args.yes;
      plan.run.skipCurrent = !args.force;
      plan.run.serialCommand = args.serialCommand;
      plan.run.readImageOnce = plan.run.severalPorts = true;
      plan.maxUnits = args.maxUnits;
      SetInterruptPorts(names, true, args.json, "station");
      ArmDrain(
          "\nfwupdate: draining: no new modem is taken, those under way finish. Stop again to "
          "stop at once.\n");
      CPlatformImageFiles files;
      CStationScreen screen(args.json ? stderr : stdout, StdoutIsTerminal() && !args.json, names,
                            args.image);
      RunWorld world{[](const ConsolePort& port) { return MakeSerialDriver({port}); },
                     [](const ConsolePort&) { return std::make_unique<CConsolePacing>(); },
                     MonotonicMs,
                     files,
                     events,
                     screen,
                     [](int port, FlashState state) { SetInterruptPortState(port, state); },
                     [](int port, std::uint32_t bytes) { SetInterruptPortBytes(port, bytes); },
                     history.Log()};
      StationWorld station{world, screen, DrainRequested};
      return RunStation(plan, station);
    }
    case Command::kHistory:  // ran above, before any port
    case Command::kNone:
      break;
  }
  return exitcode::kUsage;
}
