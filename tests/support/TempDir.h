#pragma once
// A temporary folder for a POSIX test, removed with what the test made in it.

#include <stdlib.h>

#include <cstdlib>
#include <string>

class TempDir {
 public:
  TempDir() {
    char dir[] = "/tmp/fw-test.XXXXXX";
    if (mkdtemp(dir)) m_path = dir;
  }
  ~TempDir() {
    if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};
