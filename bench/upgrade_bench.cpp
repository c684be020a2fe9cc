// Upgrade of a 64 KiB and a 16 MiB image on the simulated line, paced at 115200 baud.
// Prints, per run, peak memory and how far the virtual time is from the protocol minimum.
// Each run happens in its own child process, so its peak memory is its own.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "image/StdioImageFile.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/MessageTexts.h"
#include "modem/NullSeams.h"
#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"

namespace {

// The pauses an Upgrade takes by design: 500 + 3 x 500 (query) + 100 + 100 + 500 + 500 +
// 2000 + 100 x 100 + 100.
constexpr double kDesignedPausesMs = 15300;
constexpr double kBytesPerMs = 115200.0 / 10 / 1000;  // 8 data bits, start and stop bit

// Answers every box with OK and keeps the text of the last; shows nothing else.
class CQuietFront : public IMessageBoxes, public IPacing {
 public:
  CQuietFront(CVirtualClock& clock, ISerialDriver& driver, const std::string& file)
      : m_clock(clock), core(driver, *this) {
    core.ChooseImage(file);
  }
  std::string lastBox;

  UpgradeOutcome Upgrade() {
    return core.OnUpgrade({m_files, m_status, m_progress, *this, m_controls});
  }

  int ShowMessageBox(const BoxMessage& message) override {
    lastBox = BoxText(message);
    return box::kIdOk;
  }
  void Pause(std::uint32_t ms) override { m_clock.Advance(ms); }
  void KeepAlive() override {}

 private:
  CVirtualClock& m_clock;
  CStdioImageFiles m_files;
  CNullStatusView m_status;
  CNullProgressView m_progress;
  CNullDialogControls m_controls;

 public:
  CFirmwareUpdateCore core;
};

// Writes an image of `size` bytes with its version labels and dates, block by block.
bool WriteImage(const std::string& path, std::uint32_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::vector<char> block(65536);
  for (std::uint32_t at = 0; at < size; at += block.size()) {
    for (std::size_t i = 0; i < block.size(); ++i)
      block[i] = static_cast<char>(0x80 | ((at + i) % 0x7F));
    if (at == 0) {
      std::memcpy(block.data() + 64, "Controller Ver 2.20\r\nDSP Ver 1.09\r\n", 35);
      std::memcpy(block.data() + 0xFFC0, "04/01/03*", 9);
      std::memcpy(block.data() + 0xFFD9, "04/02/03*", 9);
    }
    const std::size_t n = std::min<std::size_t>(block.size(), size - at);
    std::fwrite(block.data(), 1, n, f);
  }
  return std::fclose(f) == 0;
}

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int RunOne(const char* label, std::uint32_t size) {
  const std::string path = "/tmp/upgrade_bench_" + std::to_string(getpid()) + ".bin";
  if (!WriteImage(path, size)) {
    std::printf("%s: cannot write %s\n", label, path.c_str());
    return 1;
  }
  CVirtualClock clock;
  CSimLineDriver line(clock);
  ModemConfig config;
  config.pace115200 = true;
  config.imageLength = size;
  CModemEngine& modem = line.AttachModem("COM1", config);
  CQuietFront dlg(clock, line, path);

  const long baseKiB = PeakKiB();
  const auto wallStart = std::chrono::steady_clock::now();
  dlg.Upgrade();
  const double wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
          .count();
  const long peakKiB = PeakKiB();
  std::remove(path.c_str());

  const double minimumMs = kDesignedPausesMs + size / kBytesPerMs;
  const double virtualMs = static_cast<double>(clock.Now());
  const double recordKiB = modem.ImageBytes().capacity() / 1024.0;
  std::printf("%-8s %10u bytes  %s\n", label, size,
              modem.ImageBytes().size() == size ? "all bytes received" : "INCOMPLETE");
  std::printf("         result: %s\n", dlg.lastBox.c_str());
  std::printf(
      "         virtual time %.0f ms, protocol minimum %.0f ms (pauses %.0f + line %.0f), "
      "ratio %.4f\n",
      virtualMs, minimumMs, kDesignedPausesMs, size / kBytesPerMs, virtualMs / minimumMs);
  std::printf(
      "         peak RSS %ld KiB (before the Upgrade %ld KiB; the simulated modem's record "
      "of the image %.0f KiB); updater's share about %.0f KiB\n",
      peakKiB, baseKiB, recordKiB, peakKiB - baseKiB - recordKiB);
  std::printf("         wall time %.0f ms\n", wallMs);
  return modem.ImageBytes().size() == size ? 0 : 1;
}

}  // namespace

int main() {
  const struct {
    const char* label;
    std::uint32_t size;
  } runs[] = {{"64 KiB", 64 * 1024}, {"16 MiB", 16 * 1024 * 1024}};
  int failures = 0;
  for (const auto& run : runs) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
      const int rc = RunOne(run.label, run.size);
      std::fflush(stdout);
      _exit(rc);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failures;
  }
  return failures;
}
