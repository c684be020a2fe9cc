// The image check of fwupdate on POSIX: what is no regular file is refused by what it is, a
// file of 4 GiB or more by its length, each at once: a FIFO without a writer, a device that
// never ends, a directory and a socket each come back within a second.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "cli/commands/ImageRefusal.h"
#include "cli/platform/Platform.h"
#include "tests/support/TempDir.h"

namespace {

// A file of `size` bytes holding nothing: ftruncate leaves it sparse.
bool MakeSized(const std::string& path, off_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ftruncate(fd, size) == 0;
  close(fd);
  return ok;
}

bool MakeSocket(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);  // the socket file stays
  return ok;
}

// CheckImageFile on a thread of its own: a check that blocks fails after a second instead
// of hanging the test (the thread is then left to the process's end).
bool CheckedWithin(const std::string& path, std::chrono::milliseconds bound,
                   ImageFileCheck& check) {
  auto done = std::make_shared<std::promise<ImageFileCheck>>();
  std::future<ImageFileCheck> result = done->get_future();
  std::thread([path, done] { done->set_value(CheckImageFile(path)); }).detach();
  if (result.wait_for(bound) != std::future_status::ready) return false;
  check = result.get();
  return true;
}

const char* StatusName(ImageFileStatus status) {
  switch (status) {
    case ImageFileStatus::kOk:
      return "ok";
    case ImageFileStatus::kMissing:
      return "missing";
    case ImageFileStatus::kNotRegular:
      return "not regular";
    case ImageFileStatus::kTooLarge:
      return "too large";
    case ImageFileStatus::kError:
      return "error";
  }
  return "?";
}

TEST(CliImageCheck, RefusesWhatIsNoRegularFileOrTooLongAtOnceAndSaysWhy) {
  TempDir dir;
  ASSERT_FALSE(dir.Path().empty());
  const std::string d = dir.Path();
  ASSERT_EQ(mkfifo((d + "/fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((d + "/folder").c_str(), 0700), 0);
  ASSERT_TRUE(MakeSized(d + "/empty.bin", 0));
  ASSERT_TRUE(MakeSized(d + "/small.bin", 70000));
  ASSERT_TRUE(MakeSized(d + "/4gib-1.bin", 0xFFFFFFFFLL)) << "sparse files: " << d;
  ASSERT_TRUE(MakeSized(d + "/4gib.bin", 0x100000000LL));
  ASSERT_TRUE(MakeSized(d + "/5gib.bin", 0x140000000LL));
  ASSERT_EQ(symlink("fifo", (d + "/link-to-fifo").c_str()), 0);
  ASSERT_EQ(symlink("small.bin", (d + "/link-to-file").c_str()), 0);
  const bool socketMade = MakeSocket(d + "/socket");

  const struct {
    std::string path;
    const char* status;
    const char* reason;  // ImageRefusalReason
  } cases[] = {
      {"/dev/zero", "not regular", "not a regular file (a character device)"},
      {"/dev/urandom", "not regular", "not a regular file (a character device)"},
      {"/dev/null", "not regular", "not a regular file (a character device)"},
      {d + "/fifo", "not regular", "not a regular file (a FIFO)"},
      {d + "/link-to-fifo", "not regular", "not a regular file (a FIFO)"},
      {d + "/folder", "not regular", "not a regular file (a directory)"},
      {d + "/folder/", "not regular", "not a regular file (a directory)"},
      {socketMade ? d + "/socket" : "/dev/zero", "not regular",
       socketMade ? "not a regular file (a socket)" : "not a regular file (a character device)"},
      // An empty file is a file: its missing record is the reader's to report (status 5).
      {d + "/empty.bin", "ok", ""},
      {d + "/small.bin", "ok", ""},
      {d + "/link-to-file", "ok", ""},
      {d + "/4gib-1.bin", "ok", ""},
      {d + "/4gib.bin", "too large",
       "4294967296 bytes, 4 GiB or more: too long for the transfer's 32-bit byte count"},
      {d + "/5gib.bin", "too large",
       "5368709120 bytes, 4 GiB or more: too long for the transfer's 32-bit byte count"},
      {d + "/missing.bin", "missing", "No such file or directory"},
      {d + "/small.bin/x", "missing", "Not a directory"},
      {"", "missing", "No such file or directory"},
  };
  for (const auto& c : cases) {
    ImageFileCheck check;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(CheckedWithin(c.path, std::chrono::seconds(1), check))
        << c.path << ": the check blocked";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.path;
    EXPECT_STREQ(StatusName(check.status), c.status) << c.path;
    EXPECT_EQ(ImageRefusalReason(check), c.reason) << c.path;
  }
  if (!socketMade)
    std::printf("note: no socket could be made in %s; that row checked /dev/zero\n", d.c_str());
}

// A file that cannot be read is refused with the system's reason; root reads it anyway.
TEST(CliImageCheck, AFileThatCannotBeReadIsAnErrorWithTheSystemsWords) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  const std::string path = dir.Path() + "/locked.bin";
  ASSERT_TRUE(MakeSized(path, 100));
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  const ImageFileCheck check = CheckImageFile(path);
  EXPECT_STREQ(StatusName(check.status), "error");
  EXPECT_EQ(ImageRefusalReason(check), "Permission denied");
}

}  // namespace
