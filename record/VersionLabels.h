#pragma once
// The labels that mark the version record, in a modem's answers and in an image alike.

namespace marker {
constexpr char kControllerVersion[] = "Controller Ver";
constexpr char kDspVersion[] = "DSP Ver";
constexpr char kDate[] = "Date:";
}  // namespace marker
