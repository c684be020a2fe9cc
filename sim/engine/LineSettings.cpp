#include "sim/engine/LineSettings.h"

bool ServesAt(const LineSettings& line) {
  return line.baudRate == 115200 && line.byteSize == 8 && line.parity == 0 && line.stopBits == 0 &&
         line.dtr;
}

std::string Describe(const LineSettings& line) {
  static const char kParity[] = "NOEMS";
  static const char* const kStop[] = {"1", "1.5", "2"};
  std::string text = std::to_string(line.baudRate) + " baud " + std::to_string(line.byteSize);
  text += line.parity < 5 ? kParity[line.parity] : '?';
  text += line.stopBits < 3 ? kStop[line.stopBits] : "?";
  text += line.dtr ? " DTR on" : " DTR off";
  return text;
}
