#include "cli/posix/StableNames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Where `path` leads with every link followed, or empty when it leads nowhere (a dangling
// link, a missing file).
std::string Resolved(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return "";
  std::string out = real;
  std::free(real);
  return out;
}

// The links in `dir`, in name order so that the choice does not depend on the directory's.
std::vector<std::string> LinksIn(const std::string& dir) {
  std::vector<std::string> links;
  DIR* d = opendir(dir.c_str());
  if (!d) return links;
  while (const dirent* entry = readdir(d)) {
    const std::string path = dir + "/" + entry->d_name;
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) links.push_back(path);
  }
  closedir(d);
  std::sort(links.begin(), links.end());
  return links;
}

}  // namespace

std::string StableNameIn(const std::string& device, const std::vector<std::string>& dirs) {
  const std::string target = Resolved(device);
  if (target.empty()) return "";
  for (const std::string& dir : dirs) {
    for (const std::string& link : LinksIn(dir))
      if (Resolved(link) == target) return link;
  }
  return "";
}
