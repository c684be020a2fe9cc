#pragma once
// The core knows eight ports, COM1..COM8 (its port indexes 0..7). The console front lets
// the user name any ports: it puts them into those eight slots, a chunk at a time for a
// longer scan, and opens the device of a slot when the core opens it. The texts the core
// shows name a slot ("Can't open com1!"); NameInText puts the user's name in its place.

#include <string>
#include <vector>

#include "serial/ForwardingSerialDriver.h"

struct PortSlot {
  std::string name;    // as the user gave it: "COM3", "/dev/ttyUSB0"
  std::string device;  // what the platform's driver opens
};

class CPortSlots {
 public:
  // Slot i holds ports[i]; at most eight are taken.
  void Assign(const std::vector<PortSlot>& ports);
  // One port in the slot of its own number when it is COM1..COM8 (so the core's texts are
  // word for word those of the dialog program), in the first slot otherwise. Returns it.
  int AssignOne(const PortSlot& port);

  const PortSlot* At(int index) const;
  // The core's text about slot `index` with the user's port name in it; other texts as they are.
  std::string NameInText(const std::string& text) const;

 private:
  std::vector<PortSlot> m_slots;
};

// n for "COMn" (any case, n = 1..8), else 0.
int ComPortNumber(const std::string& name);

// A serial driver that opens the slot's device when the core opens "COMn", and passes
// every other call through.
class CPortSlotDriver : public CForwardingSerialDriver {
 public:
  CPortSlotDriver(ISerialDriver& inner, const CPortSlots& slots)
      : CForwardingSerialDriver(inner), m_slots(slots) {}

  SerialHandle OpenDevice(const char* name, OpenFailure& failure) override;

 private:
  const CPortSlots& m_slots;
};
