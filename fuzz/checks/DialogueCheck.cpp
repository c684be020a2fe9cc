#include "fuzz/checks/DialogueCheck.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/DialogBoxStyle.h"
#include "fuzz/checks/DialogueScenario.h"
#include "fuzz/checks/DialogueTimeBound.h"
#include "fuzz/checks/OwnTexts.h"
#include "fuzz/checks/Violations.h"
#include "image/ImageReader.h"
#include "modem/Format.h"
#include "modem/ModemCommands.h"
#include "modem/Texts.h"
#include "serial/PortNames.h"
#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

const char kFile[] = "fw.bin";

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// What the image gives the reader right now, faults included, without touching the file the
// program will open.
FirmwareVersionInfo ImageRecord(MemoryImage image) {
  FirmwareVersionInfo info;
  CMemoryFileSystem scratch;
  scratch.Get(kFile) = std::move(image);
  if (auto file = scratch.Open(kFile)) ReadImageVersionInfo(*file, info);
  return info;
}

class CDialogueRun {
 public:
  explicit CDialogueRun(const DialogueScenario& s) : m_s(s) {
    m_line.AttachModem(PortNames[s.modemPort], s.modem);
    if (s.otherModem && s.otherPort != s.modemPort)
      m_line.AttachModem(PortNames[s.otherPort], s.other);
    for (int i = 0; i < kPortCount; ++i)
      if (s.busyPorts & (1u << i)) m_line.SetPortBusy(PortNames[i]);
    MemoryImage& image = m_dlg.files.Put(kFile, s.image);
    image.held = s.imageHeld;
    image.readFails = s.imageReadFails;
    image.shrinkAfterRead = s.shrinkAfterRead;
    m_dlg.ChoosePort(s.chosenPort);
    m_dlg.onBox = [this](const RecordedBox& b) { OnBox(b); };
  }

  std::string Run() {
    switch (m_s.operation) {
      case Operation::kUpgrade:
        Upgrade();
        break;
      case Operation::kFindThenUpgrade:
        Find();
        Upgrade();
        break;
      case Operation::kFind:
        Find();
        break;
      case Operation::kUpgradeTwice:
        Upgrade();
        Upgrade();
        break;
    }
    return m_v.Text();
  }

 private:
  void Find() {
    const Mark mark = Begin("Find");
    m_dlg.OnFind();
    End(mark, FindBoundMs());
    // A port is reported found only where a device's answer names a supported modem.
    for (int i = 0; i < kPortCount; ++i) {
      const std::string found = "status: " + FormatText(text::kFoundModem, i + 1);
      if (std::find(m_dlg.log.begin() + mark.log, m_dlg.log.end(), found) == m_dlg.log.end())
        continue;
      const CModemEngine* modem = m_line.Modem(PortNames[i]);
      m_v.Expect(modem && Identifies(modem->Config()),
                 [&] { return mark.name + ": " + found + " but no modem there names itself"; });
    }
  }

  void Upgrade() {
    m_dlg.ChooseFile(kFile);  // Open again: Upgrade ends disabled every time
    const Mark mark = Begin("Upgrade");
    m_image = ImageRecord(m_dlg.files.Get(kFile));
    m_snapshot.reset();
    std::vector<int> finals;
    for (CModemEngine* m : Modems()) finals.push_back(m->FinalAnswers());
    const std::size_t sizeBefore = m_dlg.files.Get(kFile).bytes.size();

    m_dlg.OnUpgrade();

    End(mark, UpgradeBoundMs(static_cast<std::uint32_t>(
                  m_snapshot ? std::max(sizeBefore, m_snapshot->size()) : sizeBefore)));
    std::size_t successes = 0;
    for (std::size_t i = mark.boxes; i < m_dlg.boxes.size(); ++i)
      if (m_dlg.boxes[i].text == text::kSuccess) ++successes;
    if (successes == 0) return;
    m_v.Expect(successes == 1 && m_dlg.boxes.back().text == text::kSuccess,
               [&] { return mark.name + ": success is not the one last box"; });
    // Success only when a modem took exactly the file as the transfer found it, in order,
    // and then answered "OK".
    bool delivered = false;
    const std::vector<CModemEngine*> modems = Modems();
    for (std::size_t i = 0; i < modems.size() && m_snapshot; ++i) {
      const CModemEngine& m = *modems[i];
      const ModemConfig& c = m.Config();
      const bool sameBytes =
          m.ImageBytes().size() == m_snapshot->size() &&
          std::equal(m_snapshot->begin(), m_snapshot->end(), m.ImageBytes().begin(),
                     [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
      delivered = delivered || (sameBytes && m.FinalAnswers() > finals[i] && !c.silent &&
                                Contains(c.finalAnswer, marker::kOk));
    }
    m_v.Expect(delivered, [&] {
      return mark.name + ": success reported, but no modem took exactly the " +
             "image and answered OK (image " + std::to_string(m_snapshot ? m_snapshot->size() : 0) +
             " bytes, the modem took " +
             std::to_string(m_line.Modem(PortNames[m_s.modemPort])->ImageBytes().size()) + ")";
    });
  }

  struct Mark {
    std::string name;
    std::uint64_t startMs;
    std::size_t boxes;
    std::size_t log;
  };

  Mark Begin(const char* what) {
    ++m_operations;
    return {std::string(what) + " (operation " + std::to_string(m_operations) + ")", m_clock.Now(),
            m_dlg.boxes.size(), m_dlg.log.size()};
  }

  // What every operation owes, however it ended.
  void End(const Mark& mark, std::uint64_t boundMs) {
    const std::string& n = mark.name;
    const std::uint64_t took = m_clock.Now() - mark.startMs;
    m_v.Expect(took <= boundMs, [&] {
      return n + ": took " + std::to_string(took) + " ms, the time-outs allow " +
             std::to_string(boundMs);
    });
    m_v.Expect(!m_line.BlockedForever(),
               [&] { return n + ": a read or write would have waited for ever"; });
    m_v.Expect(!m_dlg.HoldsPort() && m_line.OpenHandles() == 0,
               [&] { return n + ": a port is still held"; });
    m_v.Expect(m_dlg.files.openNow == 0, [&] { return n + ": the image file is still open"; });
    m_v.Expect(!m_dlg.statusOpen && !m_dlg.progressOpen,
               [&] { return n + ": a window is still open"; });
    for (std::size_t i = mark.log; i < m_dlg.log.size(); ++i) {
      const std::string& e = m_dlg.log[i];
      // The recorder marks a window opened twice or closed while not open.
      const bool window = e.compare(0, 7, "status ") == 0 || e.compare(0, 9, "progress ") == 0;
      m_v.Expect(!window || !Contains(e, "(unbalanced)"), [&] { return n + ": " + e; });
      if (e.compare(0, 8, "status: ") == 0)
        m_v.Expect(IsOwnStatusText(e.substr(8)),
                   [&] { return n + ": foreign status text " + Quoted(e); });
      if (e.compare(0, 10, "progress: ") == 0)
        m_v.Expect(IsOwnProgressText(e.substr(10)),
                   [&] { return n + ": foreign progress text " + Quoted(e); });
    }
    for (std::size_t i = mark.boxes; i < m_dlg.boxes.size(); ++i) {
      const RecordedBox& b = m_dlg.boxes[i];
      m_v.Expect(IsOwnBox(b.text, b.caption, b.type, m_image),
                 [&] { return n + ": foreign box " + Quoted(b.caption) + " " + Quoted(b.text); });
    }
  }

  void OnBox(const RecordedBox& b) {
    if (b.caption == text::kCaptionConsent && !m_consentSeen) {
      m_consentSeen = true;
      if (m_s.portTakenAtConsent) m_line.SetPortBusy(PortNames[m_s.modemPort]);
      Apply(m_s.atConsent);
    }
    if (b.caption == text::kCaptionWarning) {
      if (!m_warningSeen) Apply(m_s.atWarning);
      m_warningSeen = true;
      // The last moment before the transfer: what the modem must receive.
      m_snapshot = std::make_unique<std::vector<char>>(m_dlg.files.Get(kFile).bytes);
    }
    const bool cancel = (m_s.cancelBoxes >> (m_shownBoxes++ % 8)) & 1;
    m_dlg.boxAnswers.push_back(cancel ? box::kIdCancel : box::kIdOk);
  }

  void Apply(const FileChange& change) {
    MemoryImage& image = m_dlg.files.Get(kFile);
    const std::vector<char> more = MakeImage(change.grow, {});
    image.bytes.insert(image.bytes.end(), more.begin(), more.end());
    image.held = image.held || change.hold;
    image.readFails = image.readFails || change.failReads;
  }

  std::vector<CModemEngine*> Modems() {
    std::vector<CModemEngine*> out;
    for (int i = 0; i < kPortCount; ++i)
      if (CModemEngine* m = m_line.Modem(PortNames[i])) out.push_back(m);
    return out;
  }

  // Whether the answer a device gives to the identification query names a supported modem.
  static bool Identifies(const ModemConfig& c) {
    if (c.silent) return false;
    const std::string answer =
        c.ati3Answer.empty() ? "\r\n" + c.identification + "\r\n" : c.ati3Answer;
    for (const char* id : cmd::kIdentifications)
      if (Contains(answer, id)) return true;
    return false;
  }

  const DialogueScenario& m_s;
  CVirtualClock m_clock;
  CSimLineDriver m_line{m_clock};
  CRecordingDlg m_dlg{m_clock, m_line};
  CViolations m_v;
  FirmwareVersionInfo m_image;
  std::unique_ptr<std::vector<char>> m_snapshot;
  int m_operations = 0;
  int m_shownBoxes = 0;
  bool m_consentSeen = false;
  bool m_warningSeen = false;
};

}  // namespace

std::string CheckDialogue(const std::uint8_t* data, std::size_t size) {
  const DialogueScenario scenario = DecodeDialogue(data, size);
  return CDialogueRun(scenario).Run();
}
