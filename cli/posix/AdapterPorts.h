#pragma once
// The USB and ACM serial adapters present in a device directory, in the order find tries
// them: ttyUSB0, ttyUSB1, ..., ttyUSB10, then ttyACM0, ... . The program gives it /dev.

#include <string>
#include <vector>

std::vector<std::string> ListAdapters(const std::string& dir);
