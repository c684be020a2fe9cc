#include "fuzz/checks/DialogueScenario.h"

#include "fuzz/checks/ByteReader.h"
#include "image/ImageReader.h"
#include "tests/support/MemoryImageFile.h"

namespace {

// A valid image ends just after its controller date; a little more makes a last short block.
constexpr std::uint32_t kShortestValidImage = image::kControllerDateOffset + 9;
constexpr std::uint32_t kMaxExtra = 4096;

// A text the fuzzer picks, or the default when it picks none.
std::string TextOr(CByteReader& in, const std::string& fallback, std::size_t maxLength) {
  return in.Bit() ? in.Text(maxLength) : fallback;
}

void DecodeModem(CByteReader& in, ModemConfig& c) {
  static const char* const kIdentifications[] = {"ZQ713", "HARBOR817", "VX294", "zQ713", "ZQ714"};
  const std::uint32_t id = in.Range(0, 5);
  c.identification = id < 5 ? kIdentifications[id] : in.Text(24);
  c.ati3Answer = TextOr(in, "", 64);
  c.echo = in.Bit();
  c.answerDelayMs = in.Range(0, 3000);

  const std::uint8_t answers = in.Byte();
  if (answers & 1) c.controllerVersion = in.Text(48);
  if (answers & 2) c.controllerDate = in.Text(24);
  if (answers & 4) c.dspVersion = in.Text(48);
  if (answers & 8) c.dspDate = in.Text(24);
  if (answers & 16) c.ati7Answer = in.Text(100);
  if (answers & 32) c.ati8Answer = in.Text(100);
  if (answers & 64) c.eraseAnswer = in.Text(100);
  if (answers & 128) c.readyAnswer = in.Text(48);
  // Up to and past every limit the erase reads allow.
  c.eraseTimeMs = in.Range(0, 40000);
  // At least a millisecond: a modem that takes a gap of none as the end of the image would
  // answer after the first byte, which no host can tell from a real end.
  c.finalAfterIdleMs = in.Range(1, 30000);
  c.finalAnswer = TextOr(in, c.finalAnswer, 8);

  const std::uint8_t faults = in.Byte();
  c.silent = (faults & 1) != 0;
  c.noReady = (faults & 2) != 0;
  c.noFinalAnswer = (faults & 4) != 0;
  c.pace115200 = (faults & 8) != 0;
  if (faults & 16) c.stallAfterImageBytes = in.Range(0, kShortestValidImage + kMaxExtra);
  if (faults & 32) c.vanishAfterImageBytes = in.Range(0, kShortestValidImage + kMaxExtra);
}

std::vector<char> DecodeImage(CByteReader& in) {
  const std::uint8_t kind = in.Byte();
  const std::string controller = (kind & 1) ? in.Text(48) : "2.20";
  const std::string dsp = (kind & 2) ? in.Text(48) : "1.09";
  const std::string dspDate = (kind & 4) ? in.Text(20) : "04/01/03";
  const std::string controllerDate = (kind & 8) ? in.Text(20) : "04/02/03";
  // Now and then an image of any length, most likely refused.
  const std::uint32_t size = (kind & 16) ? in.Range(0, kShortestValidImage + kMaxExtra)
                                         : kShortestValidImage + in.Range(0, kMaxExtra);
  return MakeImage(size, {{100, "Controller Ver " + controller + "\r\n"},
                          {160, "DSP Ver " + dsp + "\r\n"},
                          {image::kDspDateOffset, dspDate + "*"},
                          {image::kControllerDateOffset, controllerDate + "*"}});
}

FileChange DecodeChange(CByteReader& in) {
  FileChange change;
  const std::uint8_t what = in.Byte();
  if (what & 1) change.grow = in.Range(1, kMaxExtra);
  change.hold = (what & 2) != 0;
  change.failReads = (what & 4) != 0;
  return change;
}

}  // namespace

DialogueScenario DecodeDialogue(const std::uint8_t* data, std::size_t size) {
  CByteReader in(data, size);
  DialogueScenario s;
  s.operation = static_cast<Operation>(in.Range(0, 3));
  s.modemPort = static_cast<int>(in.Range(0, 7));
  // Mostly the modem's port, as Find or the user would choose it.
  const std::uint8_t choice = in.Byte();
  s.chosenPort = choice < 8 ? choice : s.modemPort;
  DecodeModem(in, s.modem);

  s.image = DecodeImage(in);
  const std::uint8_t file = in.Byte();
  s.imageHeld = (file & 1) != 0;
  s.imageReadFails = (file & 2) != 0;
  if (file & 4) s.shrinkAfterRead = in.Range(0, static_cast<std::uint32_t>(s.image.size()));
  s.cancelBoxes = in.Byte();
  const std::uint8_t events = in.Byte();
  s.portTakenAtConsent = (events & 1) != 0;
  if (events & 2) s.atConsent = DecodeChange(in);
  if (events & 4) s.atWarning = DecodeChange(in);

  // The modem's own idea of the image's end: the idle gap, the image as the transfer will
  // find it, or more than will ever come.
  const std::uint32_t finalSize =
      static_cast<std::uint32_t>(s.image.size()) + s.atConsent.grow + s.atWarning.grow;
  const std::uint32_t length = in.Range(0, 2);
  if (length == 1) s.modem.imageLength = finalSize;
  if (length == 2) s.modem.imageLength = finalSize + in.Range(1, kMaxExtra);

  s.busyPorts = in.Byte();
  s.otherModem = in.Bit();
  if (s.otherModem) {
    s.otherPort = static_cast<int>(in.Range(0, 7));
    s.other.ati3Answer = in.Text(64);
    s.other.silent = in.Bit();
  }
  return s;
}
