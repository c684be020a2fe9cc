#pragma once
// A fuzzer's verdict on one input: a broken promise is a finding, so libFuzzer must stop
// and keep the input.

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Report(const std::string& violations) {
  if (violations.empty()) return;
  std::fputs(violations.c_str(), stderr);
  std::abort();
}
