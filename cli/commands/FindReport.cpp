#include "cli/commands/FindReport.h"

#include "cli/args/ExitStatus.h"
#include "cli/texts/ConsoleTexts.h"

CFindReport::CFindReport(CConsoleOut& out, CJsonEvents& events,
                         const std::vector<ConsolePort>& ports, bool named, GroupOf groupOf)
    : m_out(out), m_events(events), m_ports(ports), m_named(named), m_groupOf(groupOf) {}

std::string CFindReport::Device(const std::string& name) const {
  for (const ConsolePort& port : m_ports)
    if (port.name == name) return port.device;
  return name;
}

void CFindReport::PortChecked(const PortCheck& check) {
  m_events.PortChecked(check.name, PortCheckKey(check));
  if (check.openFailure == OpenFailure::kNone) return;
  const std::string device = Device(check.name);
  if (check.openFailure == OpenFailure::kDenied && m_denied.empty()) m_denied = device;
  // COM1..COM8 of a default scan are often not there at all: no line for each of them.
  if (check.openFailure == OpenFailure::kMissing && !m_named) return;
  m_out.Error("  " + device + ": " + OpenFailureText(check.openFailure));
}

int CFindReport::NoneFound() {
  m_out.Error(StatusText({StatusId::kNoModem, {}}));
  if (m_denied.empty()) return exitcode::kNotFound;
  const std::string group = m_groupOf ? m_groupOf(m_denied) : "";
  std::string fix;
  if (group == "root")
    fix =
        "Only root may open it: run fwupdate as root, or give the device to a group such as "
        "dialout (a udev rule) and add the user to that group.";
  else
    fix = (group.empty() ? "Serial devices usually belong to the group dialout"
                         : "It belongs to the group " + group) +
          ": add the user to it (sudo usermod -aG " + (group.empty() ? "dialout" : group) +
          " $USER) and log in again.";
  m_out.Error("fwupdate: this user may not open " + m_denied +
              ", so a modem there could not be asked. " + fix);
  return exitcode::kCantOpenPort;
}
