#include "cli/posix/AdapterPorts.h"

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The number after the prefix, or -1 when the rest is not digits alone ("ttyUSB", "ttyUSB+1").
long NumberAfter(const char* name, const char* prefix) {
  const std::size_t length = std::strlen(prefix);
  if (std::strncmp(name, prefix, length) != 0 || name[length] == '\0') return -1;
  long number = 0;
  for (const char* c = name + length; *c; ++c) {
    if (*c < '0' || *c > '9' || number > 1000000) return -1;
    number = number * 10 + (*c - '0');
  }
  return number;
}

}  // namespace

std::vector<std::string> ListAdapters(const std::string& dir) {
  const char* const kPrefixes[] = {"ttyUSB", "ttyACM"};
  std::vector<std::string> out;
  for (const char* prefix : kPrefixes) {
    std::vector<std::pair<long, std::string>> found;
    if (DIR* d = opendir(dir.c_str())) {
      while (const dirent* entry = readdir(d)) {
        const long number = NumberAfter(entry->d_name, prefix);
        if (number >= 0) found.emplace_back(number, dir + "/" + entry->d_name);
      }
      closedir(d);
    }
    std::sort(found.begin(), found.end());
    for (const auto& f : found) out.push_back(f.second);
  }
  return out;
}
