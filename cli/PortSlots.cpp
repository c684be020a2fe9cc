#include "cli/PortSlots.h"

#include <cctype>
#include <cstring>

#include "modem/Format.h"
#include "modem/Texts.h"
#include "serial/PortNames.h"

namespace {

// The core's texts that name a port, each with one "COM%d" or "com%d".
constexpr const char* kPortTexts[] = {text::kQueryPort, text::kFoundModem, text::kCantOpenPort};

// `format` with the user's name where the format has "COM%d".
std::string WithName(const char* format, const std::string& name) {
  const char* d = std::strstr(format, "%d");
  const std::size_t at = static_cast<std::size_t>(d - format) - 3;  // back to "COM"
  return std::string(format, at) + name + (d + 2);
}

}  // namespace

int ComPortNumber(const std::string& name) {
  if (name.size() != 4) return 0;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  const char n = name[3];
  return n >= '1' && n <= '0' + kPortCount ? n - '0' : 0;
}

void CPortSlots::Assign(const std::vector<PortSlot>& ports) {
  m_slots.assign(ports.begin(), ports.begin() + std::min<std::size_t>(ports.size(), kPortCount));
}

int CPortSlots::AssignOne(const PortSlot& port) {
  const int number = ComPortNumber(port.name);
  const int index = number > 0 ? number - 1 : 0;
  m_slots.assign(static_cast<std::size_t>(index) + 1, PortSlot{});
  m_slots[static_cast<std::size_t>(index)] = port;
  return index;
}

const PortSlot* CPortSlots::At(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_slots.size()) return nullptr;
  const PortSlot& slot = m_slots[static_cast<std::size_t>(index)];
  return slot.device.empty() ? nullptr : &slot;
}

std::string CPortSlots::NameInText(const std::string& text) const {
  for (int i = 0; i < kPortCount; ++i) {
    const PortSlot* slot = At(i);
    // COMn in its own slot reads right as it is.
    if (!slot || ComPortNumber(slot->name) == i + 1) continue;
    for (const char* format : kPortTexts) {
      if (text == FormatText(format, i + 1)) return WithName(format, slot->name);
    }
  }
  return text;
}

SerialHandle CPortSlotDriver::OpenDevice(const char* name, OpenFailure& failure) {
  failure = OpenFailure::kMissing;
  for (int i = 0; name && i < kPortCount; ++i) {
    if (std::strcmp(name, PortNames[i]) != 0) continue;
    const PortSlot* slot = m_slots.At(i);
    return slot ? CForwardingSerialDriver::OpenDevice(slot->device.c_str(), failure)
                : kInvalidHandle;
  }
  return kInvalidHandle;
}
