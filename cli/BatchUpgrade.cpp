#include "cli/BatchUpgrade.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

#include "cli/BatchPort.h"
#include "cli/ConsoleBoxes.h"
#include "cli/ConsolePacing.h"
#include "cli/ConsoleTexts.h"
#include "cli/ExitStatus.h"
#include "cli/InterruptPorts.h"
#include "cli/JsonSeams.h"
#include "cli/Platform.h"
#include "cli/SharedImage.h"
#include "image/ImageReader.h"
#include "image/PlatformImageFile.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/NullSeams.h"

namespace {

struct PortResult {
  UpgradeOutcome outcome{UpgradeResult::kCount, {}, OpenFailure::kNone, 0, {}, {}};
  std::uint64_t elapsedMs = 0;
};

// A field as a table shows it: without the blanks a modem puts before its dates.
std::string Shown(const char* field) {
  while (*field == ' ' || *field == '\t') ++field;
  return *field ? field : "-";
}

std::string Row(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths) {
  std::string row;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    std::string cell = cells[i];
    if (i + 1 < cells.size()) cell.resize(std::max(widths[i], cell.size()) + 2, ' ');
    row += cell;
  }
  return row;
}

// Rows of cells as lines, each column as wide as its widest cell.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  std::string text;
  for (const auto& row : rows) text += (text.empty() ? "" : "\n") + Row(row, widths);
  return text;
}

std::vector<std::string> RecordCells(const std::string& first, const FirmwareVersionInfo& r) {
  return {first, Shown(r.controllerVersion), Shown(r.controllerDate), Shown(r.dspVersion),
          Shown(r.dspDate)};
}

// The one question: every port that waits for it, and the image, in a table.
bool AskOnce(CBatchScreen& screen, std::FILE* human, const std::vector<CConsentGate::Arrival>& at,
             const FirmwareVersionInfo& image, bool yes) {
  std::vector<std::vector<std::string>> rows = {
      {"Port", "Controller Ver", "Controller Date", "DSP Ver", "DSP Date"}};
  for (const auto& a : at) rows.push_back(RecordCells(a.port < 0 ? "" : a.name, a.modem));
  rows.push_back(RecordCells("(image)", image));
  screen.Print(Table(rows));
  const std::string question = "Continue to update firmware of " + std::to_string(at.size()) +
                               (at.size() == 1 ? " modem ?" : " modems ?");
  if (yes) {
    screen.Print(question + " yes (--yes)");
    return true;
  }
  DiscardTypeAhead();
  std::fputs((question + " [y/N] ").c_str(), human);
  std::fflush(human);
  char answer[64] = {};
  const bool agreed = std::fgets(answer, sizeof answer, stdin) && IsYesAnswer(answer);
  if (answer[0] == '\0') std::fputc('\n', human);
  if (!agreed) screen.Print("Not updated: nothing was written to any modem.");
  return agreed;
}

}  // namespace

int RunBatchUpgrade(std::FILE* human, bool live, CJsonEvents& events,
                    const std::vector<ConsolePort>& ports, const UpgradeChoices& choices) {
  std::vector<std::string> names;
  for (const ConsolePort& port : ports) names.push_back(port.name);

  // The image: read once, its record checked once, before any port is touched.
  CPlatformImageFiles platformFiles;
  CSharedImageFiles image;
  FirmwareVersionInfo record;
  if (!image.Load(platformFiles, choices.image)) {
    std::fprintf(stderr, "fwupdate: %s\n",
                 ConsoleBoxText(BoxMessage(BoxId::kCantOpenImage)).c_str());
    events.End("upgrade", exitcode::kCantOpenImage);
    return exitcode::kCantOpenImage;
  }
  if (!ReadImageVersionInfo(*image.OpenImageFile(choices.image), record)) {
    std::fprintf(stderr, "fwupdate: %s\n",
                 FirstParagraph(ConsoleBoxText(BoxMessage(BoxId::kIncorrectImage))).c_str());
    events.End("upgrade", exitcode::kIncorrectImage);
    return exitcode::kIncorrectImage;
  }

  SetInterruptPorts(names);
  CBatchScreen screen(human, live, names);
  CConsentGate gate(static_cast<int>(ports.size()));
  std::vector<PortResult> results(ports.size());
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    threads.emplace_back([&, i] {
      const int index = static_cast<int>(i);
      const std::string& name = ports[i].name;
      // Each port its own driver, pacing and core: nothing of one port's line is shared.
      std::unique_ptr<ISerialDriver> driver = MakeSerialDriver({ports[i]});
      CConsolePacing pacing;
      CFirmwareUpdateCore core(*driver, pacing);
      core.SetPorts({name});
      core.ChooseImage(choices.image);
      core.SkipCurrent(choices.skipCurrent);
      CBatchPortView view(index, screen, gate);
      CJsonProgress progress(view, events, name);
      CJsonBoxes boxes(view, events, choices.yes);
      CNullDialogControls controls;
      const std::uint64_t start = MonotonicMs();
      const UpgradeOutcome outcome = core.OnUpgrade({image, view, progress, boxes, controls});
      gate.Leave(index);
      results[i] = {outcome, MonotonicMs() - start};
      if (outcome.result == UpgradeResult::kDone) SetInterruptPortState(index, PortState::kUpdated);
      if (outcome.result == UpgradeResult::kCurrent) {
        events.Versions(name, "modem", outcome.modem);
        events.Versions(name, "image", outcome.image);
      }
      screen.Finish(index, OutcomeSummary(outcome.result) + " in " +
                               FormatDuration(static_cast<double>(results[i].elapsedMs) / 1000));
      events.PortDone(name, outcome);
    });
  }

  const std::vector<CConsentGate::Arrival> arrivals = gate.AwaitAll();
  bool yes = false;
  if (!arrivals.empty()) {
    std::vector<CConsentGate::Arrival> shown = arrivals;
    for (auto& a : shown) a.name = names[static_cast<std::size_t>(a.port)];
    yes = AskOnce(screen, human, shown, record, choices.yes);
    if (yes) screen.Print(ConsoleBoxText(BoxMessage(BoxId::kWarning)));
  }
  gate.Answer(yes);
  for (std::thread& thread : threads) thread.join();
  screen.Close();

  // The summary, and one status for the run.
  std::vector<std::vector<std::string>> rows = {{"Port", "Before", "Outcome", "Time"}};
  bool allSucceeded = true;
  bool atRisk = false;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const UpgradeOutcome& o = results[i].outcome;
    const bool before = o.modem.IsComplete();
    rows.push_back(
        {names[i],
         before ? Shown(o.modem.controllerVersion) + " / " + Shown(o.modem.dspVersion) : "-",
         OutcomeSummary(o.result),
         FormatDuration(static_cast<double>(results[i].elapsedMs) / 1000)});
    allSucceeded &= UpgradeExitStatus(o.result) == exitcode::kDone;
    atRisk |= o.result == UpgradeResult::kNotReady ||
              o.result == UpgradeResult::kTransferIncomplete ||
              o.result == UpgradeResult::kNotConfirmed;
  }
  screen.Print("\n" + Table(rows));
  if (atRisk) {
    screen.Print(
        "A modem whose flash may be erased or half written will not work until an upgrade "
        "completes. Run the same upgrade again (with --skip-current it leaves the modems "
        "already updated alone):\n  " +
        choices.retryCommand);
  }
  const int status = ports.size() == 1 ? UpgradeExitStatus(results[0].outcome.result)
                     : allSucceeded    ? exitcode::kDone
                                       : exitcode::kSomePortsFailed;
  events.End("upgrade", status);
  return status;
}
