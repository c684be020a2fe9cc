#include "cli/commands/Commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/args/ExitStatus.h"
#include "cli/commands/ConsoleFront.h"
#include "cli/texts/ConsoleTexts.h"
#include "modem/Texts.h"

namespace {

// The records side by side, one row per field; "-" where a field was not found.
void PrintVersions(CConsoleOut& out, const FirmwareVersionInfo& modem,
                   const FirmwareVersionInfo* image) {
  const struct {
    const char* label;
    const char* modem;
    const char* image;
  } rows[] = {
      {"Controller Ver", modem.controllerVersion, image ? image->controllerVersion : ""},
      {"Controller Date", modem.controllerDate, image ? image->controllerDate : ""},
      {"DSP Ver", modem.dspVersion, image ? image->dspVersion : ""},
      {"DSP Date", modem.dspDate, image ? image->dspDate : ""},
  };
  int width = 5;  // "Modem"
  for (const auto& row : rows) {
    width = std::max(width, static_cast<int>(std::strlen(ShownField(row.modem))));
  }
  char line[160];
  auto print = [&](const char* label, const char* first, const char* second) {
    if (image)
      std::snprintf(line, sizeof line, "%-16s %-*s%s", label, width + 2, first, second);
    else
      std::snprintf(line, sizeof line, "%-16s %s", label, first);
    out.Print(line);
  };
  print("", "Modem", "Image");
  for (const auto& row : rows)
    print(row.label, ShownField(row.modem), image ? ShownField(row.image) : "");
}

// The stable name of the port's device, when the user named the port otherwise.
std::string StableNameOf(const CommandWorld& world, const ConsolePort& port) {
  const std::string stable = world.stableNameOf ? world.stableNameOf(port.device) : "";
  return stable == port.name ? "" : stable;
}

// For people, the port with its stable name beside it: the name to put in a line's scripts.
void ShowStableName(const CommandWorld& world, const ConsolePort& port, const std::string& stable) {
  if (!stable.empty()) world.out.Error(port.name + " (" + stable + ")");
}

// A modem found: stdout carries the port alone, as scripts read it.
void ShowFound(const CommandWorld& world, const ConsolePort& port) {
  const std::string stable = StableNameOf(world, port);
  ShowStableName(world, port, stable);
  world.out.Print(port.name);
  world.events.PortFound(port.name, stable);
}

// info without its end event.
int ShowInfo(const CommandWorld& world, const ConsolePort& port, const std::string& image) {
  CConsoleOut& out = world.out;
  CJsonEvents& events = world.events;
  CConsoleFront front(out, world.driver, world.pacing, {port});
  FirmwareVersionInfo fromImage;
  bool imageComplete = true;
  if (!image.empty()) {
    front.core.ChooseImage(image);
    imageComplete = front.core.ReadFirmwareFileInfo(fromImage, front.files);
  }
  FirmwareVersionInfo modem;
  const QueryResult query = front.core.QueryModemInfo(modem, front.boxes);
  bool modemComplete = false;
  switch (query.status) {
    case QueryStatus::kDone:
      modemComplete = true;
      break;
    case QueryStatus::kIncomplete:
      break;
    case QueryStatus::kCantOpenPort:
      return exitcode::kCantOpenPort;  // the box said so, and why
    case QueryStatus::kCount:
      return exitcode::kCantQueryModem;
  }

  ShowStableName(world, port, StableNameOf(world, port));
  PrintVersions(out, modem, image.empty() ? nullptr : &fromImage);
  events.Versions(port.name, "modem", modem);
  if (!image.empty()) events.Versions(port.name, "image", fromImage);
  int status = exitcode::kDone;
  if (!imageComplete) {
    out.Error("fwupdate: " + FirstParagraph(text::kIncorrectImage));
    status = exitcode::kIncorrectImage;
  }
  if (!modemComplete) {
    out.Error("fwupdate: " + FirstParagraph(text::kCantQueryModem));
    status = exitcode::kCantQueryModem;
  }
  return status;
}

}  // namespace

std::vector<ConsolePort> FindModems(const CommandWorld& world,
                                    const std::vector<ConsolePort>& ports, CFindReport& report) {
  std::vector<ConsolePort> found;
  for (const ConsolePort& port : ports) {
    CConsoleFront front(world.out, world.driver, world.pacing, {port});
    front.status.ReportOnStderr(true);
    if (front.core.ScanPorts(front.ForFind(), report)) {
      ShowFound(world, port);
      found.push_back(port);
    }
  }
  return found;
}

int RunFind(const CommandWorld& world, const std::vector<ConsolePort>& ports, bool all,
            bool named) {
  CFindReport report(world.out, world.events, ports, named, world.groupOf);
  bool any = false;
  if (all) {
    any = !FindModems(world, ports, report).empty();
  } else {
    CConsoleFront front(world.out, world.driver, world.pacing, ports);
    front.status.ReportOnStderr(true);
    if (const std::optional<FoundPort> port = front.core.ScanPorts(front.ForFind(), report)) {
      ShowFound(world, ports[static_cast<std::size_t>(port->index)]);
      any = true;
    }
  }
  const int status = any ? exitcode::kDone : report.NoneFound();
  world.events.End("find", status);
  return status;
}

int RunInfo(const CommandWorld& world, const ConsolePort& port, const std::string& image) {
  const int status = ShowInfo(world, port, image);
  world.events.End("info", status);
  return status;
}
