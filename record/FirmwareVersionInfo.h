#pragma once

// The version record of one firmware, in the modem or in an image.
constexpr unsigned kVersionFieldSize = 40;  // 39 characters and a terminating zero

struct FirmwareVersionInfo {
  char controllerVersion[kVersionFieldSize] = {};
  char dspVersion[kVersionFieldSize] = {};
  char controllerDate[kVersionFieldSize] = {};
  char dspDate[kVersionFieldSize] = {};

  void Clear() { controllerVersion[0] = dspVersion[0] = controllerDate[0] = dspDate[0] = '\0'; }
  bool IsComplete() const {
    return controllerVersion[0] != '\0' && dspVersion[0] != '\0' && controllerDate[0] != '\0' &&
           dspDate[0] != '\0';
  }
};

// Whether two records name the same firmware: each field byte for byte, apart from the
// blanks around it (a modem puts one before its dates, an image may not).
bool SameFirmware(const FirmwareVersionInfo& a, const FirmwareVersionInfo& b);
