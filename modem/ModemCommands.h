#pragma once
// Everything said to the modem and what is looked for in its answers, in one place.
// Case matters: the scan speaks lower case, the query and the download upper case.

#include "record/VersionLabels.h"

namespace cmd {
// Detection scan.
constexpr char kScanReset[] = "at&f\r";
constexpr char kScanIdentify[] = "ati3\r";
// Searched in this order in the answer to kScanIdentify.
constexpr const char* kIdentifications[] = {"ZQ713", "HARBOR817", "VX294"};

// Version query and download.
constexpr char kReset[] = "AT&F\r";
constexpr char kControllerInfo[] = "ATI7\r";
constexpr char kDspInfo[] = "ATI8\r";
constexpr char kEraseFlash[] = "AT+F56=90\r";
constexpr char kConfirmErase[] = "y";  // no carriage return
}  // namespace cmd

// The version labels are shared with the image reader.
namespace marker {
constexpr char kReady[] = "READY";
constexpr char kOk[] = "OK";
}  // namespace marker

// Sends a command text with its length, without the terminating zero.
template <unsigned N>
constexpr unsigned CommandLength(const char (&)[N]) {
  return N - 1;
}
