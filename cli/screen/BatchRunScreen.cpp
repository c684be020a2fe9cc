#include "cli/screen/BatchRunScreen.h"

#include <algorithm>

#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/screen/ConsoleBoxes.h"
#include "cli/screen/ProgressMeter.h"
#include "cli/texts/ConsoleTexts.h"

namespace {

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
  return {first, ShownField(r.controllerVersion), ShownField(r.controllerDate),
          ShownField(r.dspVersion), ShownField(r.dspDate)};
}

std::string Seconds(std::uint64_t ms) { return FormatDuration(static_cast<double>(ms) / 1000); }

}  // namespace

CBatchRunScreen::CBatchRunScreen(std::FILE* human, bool live, std::vector<std::string> ports,
                                 std::string retry, std::FILE* in)
    : m_human(human),
      m_in(in),
      m_ports(std::move(ports)),
      m_retry(std::move(retry)),
      m_lines(human, live, m_ports) {
  for (std::size_t i = 0; i < m_ports.size(); ++i)
    m_views.push_back(std::make_unique<CBatchPortView>(static_cast<int>(i), m_lines));
}

PortViews CBatchRunScreen::Views(int port) {
  CBatchPortView& view = *m_views[static_cast<std::size_t>(port)];
  return {view, view, view};
}

void CBatchRunScreen::ImageFailed(BoxId why) {
  WriteOutput(stderr, "fwupdate: " + FirstParagraph(ConsoleBoxText(BoxMessage(why))) + "\n");
}

// The one question: every port that waits for it, and the image, in a table.
bool CBatchRunScreen::Ask(const std::vector<Arrival>& waiting, bool yes) {
  std::vector<std::vector<std::string>> rows = {
      {"Port", "Controller Ver", "Controller Date", "DSP Ver", "DSP Date"}};
  for (const Arrival& a : waiting)
    rows.push_back(RecordCells(m_ports[static_cast<std::size_t>(a.port)], a.modem));
  rows.push_back(RecordCells("(image)", waiting.front().image));
  m_lines.Print(Table(rows));
  const std::string question = "Continue to update firmware of " + std::to_string(waiting.size()) +
                               (waiting.size() == 1 ? " modem ?" : " modems ?");
  const bool agreed = Confirm(question, yes, "Not updated: nothing was written to any modem.");
  if (agreed) m_lines.Print(ConsoleBoxText(BoxMessage(BoxId::kWarning)));
  return agreed;
}

bool CBatchRunScreen::Confirm(const std::string& question, bool yes, const std::string& declined) {
  if (yes) {
    m_lines.Print(question + " yes (--yes)");
    return true;
  }
  DiscardTypeAhead();
  WriteOutput(m_human, question + " [y/N] ");
  char answer[64] = {};
  const bool agreed = std::fgets(answer, sizeof answer, m_in) && IsYesAnswer(answer);
  if (answer[0] == '\0') WriteOutput(m_human, "\n");
  if (!agreed) m_lines.Print(declined);
  return agreed;
}

void CBatchRunScreen::PortDone(int port, const PortResult& result) {
  m_lines.Finish(port, std::string(OutcomeOf(result.outcome.result).summary) + " in " +
                           Seconds(result.elapsedMs));
}

// The summary, and the advice when a modem was left without working firmware.
void CBatchRunScreen::RunDone(const std::vector<PortResult>& results) {
  m_lines.Close();
  std::vector<std::vector<std::string>> rows = {{"Port", "Before", "Outcome", "Time"}};
  bool atRisk = false;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const UpgradeOutcome& o = results[i].outcome;
    const OutcomeRow& row = OutcomeOf(o.result);
    rows.push_back({m_ports[i],
                    o.modem.IsComplete() ? std::string(ShownField(o.modem.controllerVersion)) +
                                               " / " + ShownField(o.modem.dspVersion)
                                         : "-",
                    row.summary, Seconds(results[i].elapsedMs)});
    atRisk |= FlashAtRisk(row.flash);
  }
  m_lines.Print("\n" + Table(rows));
  if (atRisk) {
    m_lines.Print(
        "A modem whose flash may be erased or half written will not work until an upgrade "
        "completes. Run the same upgrade again (with --skip-current it leaves the modems "
        "already updated alone):\n  " +
        m_retry);
  }
}
