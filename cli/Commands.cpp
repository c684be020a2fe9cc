#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/ConsoleFront.h"
#include "cli/ExitStatus.h"
#include "image/PlatformImageFile.h"
#include "modem/Texts.h"

namespace {

// The core sends the image in blocks of this size and steps the bar once per block.
constexpr std::uint32_t kTransferBlockSize = 1024;

std::uint64_t ImageLength(const std::string& name) {
  std::unique_ptr<IImageFile> file = OpenPlatformImageFile(name);
  return file ? file->GetLength() : 0;
}

// A field as shown in the table: without the blanks a modem puts before its dates.
const char* Shown(const char* field) {
  while (*field == ' ' || *field == '\t') ++field;
  return *field ? field : "-";
}

// The records side by side, one row per field; "-" where a field was not found.
void PrintVersions(CConsoleOut& out, const FirmwareVersionInfo& modem,
                   const FirmwareVersionInfo* image) {
  const struct {
    const char* label;
    const char* modem;
    const char* image;
  } rows[] = {
      {"Controller Ver", modem.controllerVersion, image ? image->controllerVersion : ""},
      {"Controller Date", modem.controllerDate, image ? image->controllerDate : ""},
      {"DSP Ver", modem.dspVersion, image ? image->dspVersion : ""},
      {"DSP Date", modem.dspDate, image ? image->dspDate : ""},
  };
  int width = 5;  // "Modem"
  for (const auto& row : rows) {
    width = std::max(width, static_cast<int>(std::strlen(Shown(row.modem))));
  }
  char line[160];
  auto print = [&](const char* label, const char* first, const char* second) {
    if (image) std::snprintf(line, sizeof line, "%-16s %-*s%s", label, width + 2, first, second);
    else std::snprintf(line, sizeof line, "%-16s %s", label, first);
    out.Print(line);
  };
  print("", "Modem", "Image");
  for (const auto& row : rows) print(row.label, Shown(row.modem), image ? Shown(row.image) : "");
}

}  // namespace

int RunFind(CConsoleOut& out, ISerialDriver& driver, const std::vector<PortSlot>& ports) {
  CConsoleFront front(out, driver);
  front.status.ReportOnStderr(true);
  // The core scans eight slots; a longer list goes through them in turns, in order.
  for (std::size_t start = 0; start < ports.size(); start += kPortCount) {
    const std::size_t end = std::min(ports.size(), start + kPortCount);
    const std::vector<PortSlot> chunk(ports.begin() + static_cast<std::ptrdiff_t>(start),
                                      ports.begin() + static_cast<std::ptrdiff_t>(end));
    front.slots.Assign(chunk);
    const int found = front.core.ScanPorts(static_cast<int>(chunk.size()));
    if (found >= 0) {
      out.Print(chunk[static_cast<std::size_t>(found)].name);
      return exitcode::kDone;
    }
  }
  out.Error(text::kNoModem);
  return exitcode::kNotFound;
}

int RunInfo(CConsoleOut& out, ISerialDriver& driver, const PortSlot& port,
            const std::string& image) {
  CConsoleFront front(out, driver);
  front.core.m_nPortIndex = front.slots.AssignOne(port);
  FirmwareVersionInfo fromImage;
  bool imageComplete = true;
  if (!image.empty()) {
    front.core.m_strFileName = image;
    imageComplete = front.core.ReadFirmwareFileInfo(fromImage);
  }
  FirmwareVersionInfo modem;
  const bool modemComplete = front.core.QueryModemInfo(modem);
  // The port did not open: the box said so.
  if (front.boxes.Outcome() != exitcode::kDone) return front.boxes.Outcome();

  PrintVersions(out, modem, image.empty() ? nullptr : &fromImage);
  int status = exitcode::kDone;
  if (!imageComplete) {
    out.Error("fwupdate: " + FirstParagraph(text::kIncorrectImage));
    status = exitcode::kIncorrectImage;
  }
  if (!modemComplete) {
    out.Error("fwupdate: " + FirstParagraph(text::kCantQueryModem));
    status = exitcode::kCantQueryModem;
  }
  return status;
}

int RunUpgrade(CConsoleOut& out, ISerialDriver& driver, const PortSlot& port,
               const std::string& image, bool yes, const std::string& retryCommand) {
  CConsoleFront front(out, driver);
  front.core.m_nPortIndex = front.slots.AssignOne(port);
  front.core.m_strFileName = image;
  front.boxes.AnswerYes(yes);
  front.boxes.SetRetryCommand(retryCommand);
  front.progress.SetTransferSize(ImageLength(image), kTransferBlockSize);
  front.core.OnUpgrade();
  return front.boxes.Outcome();
}
