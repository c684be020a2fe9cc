#include "serial/posix/PosixLineSettings.h"

#include <cstddef>

namespace {

// Parity and stop-bit codes beyond the ones CComPort uses, with their Windows values.
constexpr std::uint8_t kOddParity = 1, kEvenParity = 2, kMarkParity = 3, kSpaceParity = 4;
constexpr std::uint8_t kOne5StopBits = 1, kTwoStopBits = 2;

struct Speed {
  std::uint32_t baud;
  speed_t code;
};
constexpr Speed kSpeeds[] = {
    {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

}  // namespace

bool ReadLineSettings(const termios& tio, SerialState& state) {
  speed_t code = cfgetospeed(&tio);
  state.BaudRate = 0;
  for (const Speed& s : kSpeeds) {
    if (s.code == code) state.BaudRate = s.baud;
  }
  switch (tio.c_cflag & CSIZE) {
    case CS5:
      state.ByteSize = 5;
      break;
    case CS6:
      state.ByteSize = 6;
      break;
    case CS7:
      state.ByteSize = 7;
      break;
    default:
      state.ByteSize = 8;
      break;
  }
  if (!(tio.c_cflag & PARENB)) {
    state.Parity = NOPARITY;
  } else if (tio.c_cflag & CMSPAR) {
    state.Parity = (tio.c_cflag & PARODD) ? kMarkParity : kSpaceParity;
  } else {
    state.Parity = (tio.c_cflag & PARODD) ? kOddParity : kEvenParity;
  }
  state.StopBits = (tio.c_cflag & CSTOPB) ? kTwoStopBits : ONESTOPBIT;
  state.fOutxCtsFlow = (tio.c_cflag & CRTSCTS) != 0;
  return state.BaudRate != 0 || code == B0;
}

bool WriteLineSettings(const SerialState& state, termios& tio) {
  const Speed* speed = nullptr;
  for (const Speed& s : kSpeeds) {
    if (s.baud == state.BaudRate) speed = &s;
  }
  if (!speed || cfsetispeed(&tio, speed->code) != 0 || cfsetospeed(&tio, speed->code) != 0)
    return false;

  tio.c_cflag &= ~CSIZE;
  switch (state.ByteSize) {
    case 5:
      tio.c_cflag |= CS5;
      break;
    case 6:
      tio.c_cflag |= CS6;
      break;
    case 7:
      tio.c_cflag |= CS7;
      break;
    case 8:
      tio.c_cflag |= CS8;
      break;
    default:
      return false;
  }

  tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
  switch (state.Parity) {
    case NOPARITY:
      break;
    case kOddParity:
      tio.c_cflag |= PARENB | PARODD;
      break;
    case kEvenParity:
      tio.c_cflag |= PARENB;
      break;
    case kMarkParity:
      tio.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case kSpaceParity:
      tio.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      return false;
  }

  // termios knows one or two stop bits; one and a half is what two means at five data bits.
  switch (state.StopBits) {
    case ONESTOPBIT:
      tio.c_cflag &= ~CSTOPB;
      break;
    case kOne5StopBits:
    case kTwoStopBits:
      tio.c_cflag |= CSTOPB;
      break;
    default:
      return false;
  }

  if (state.fOutxCtsFlow) {
    tio.c_cflag |= CRTSCTS;
  } else {
    tio.c_cflag &= ~CRTSCTS;
  }
  return true;
}

void MakeRaw(termios& tio) {
  cfmakeraw(&tio);
  tio.c_cflag |= CREAD | CLOCAL;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}
