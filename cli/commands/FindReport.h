#pragma once
// find, port by port: why a port did not open (a default scan leaves out the ports that are
// not there), the --json port_checked events, and when no modem answered, the status and,
// when a port refused this user, how to get access.

#include <string>
#include <vector>

#include "cli/json/JsonEvents.h"
#include "cli/platform/ConsolePorts.h"
#include "cli/screen/ConsoleOut.h"
#include "modem/PortChecks.h"

class CFindReport : public IPortChecks {
 public:
  using GroupOf = std::string (*)(const std::string& device);

  // `named`: the user named the ports; `groupOf`: the group that owns a device, or empty.
  CFindReport(CConsoleOut& out, CJsonEvents& events, const std::vector<ConsolePort>& ports,
              bool named, GroupOf groupOf);

  void PortChecked(const PortCheck& check) override;
  // No modem answered anywhere: says so, and returns find's status: "could not open the
  // port" when a port refused this user, since a modem may well be behind it.
  int NoneFound();

 private:
  std::string Device(const std::string& name) const;

  CConsoleOut& m_out;
  CJsonEvents& m_events;
  std::vector<ConsolePort> m_ports;
  bool m_named;
  GroupOf m_groupOf;
  std::string m_denied;  // the first device that refused this user
};
