#include "cli/screen/StationScreen.h"

#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/screen/ConsoleBoxes.h"
#include "cli/screen/ProgressMeter.h"
#include "cli/texts/ConsoleTexts.h"

CStationScreen::CStationScreen(std::FILE* human, bool live, std::vector<std::string> ports,
                               std::string imageName, std::FILE* in)
    : CBatchRunScreen(human, live, ports, "", in),
      m_ports(std::move(ports)),
      m_image(std::move(imageName)),
      m_shown(m_ports.size()),
      m_counts(m_ports.size()) {}

bool CStationScreen::AskStation(const FirmwareVersionInfo& image, bool yes) {
  m_startMs = MonotonicMs();
  std::string ports;
  for (const std::string& port : m_ports) ports += "\n  " + port;
  Lines().Print(std::string("Station: every modem that answers on these ports gets ") + m_image +
                " (Controller Ver " + ShownField(image.controllerVersion) + " " +
                ShownField(image.controllerDate) + ", DSP Ver " + ShownField(image.dspVersion) +
                " " + ShownField(image.dspDate) + "):" + ports +
                "\nA modem that already has these versions is left alone (--force flashes it).");
  if (!Confirm("Flash every modem plugged in until the station is stopped ?", yes,
               "Not started: no modem was touched."))
    return false;
  Lines().Print(ConsoleBoxText(BoxMessage(BoxId::kWarning)) +
                "\nCtrl-C once: no new modem is taken, those under way finish. Twice: stop.");
  Lines().Footer(TotalsLine());
  return true;
}

void CStationScreen::Show(int port, const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string& shown = m_shown[static_cast<std::size_t>(port)];
    if (shown == text) return;
    shown = text;
  }
  Lines().Show(port, text);
}

void CStationScreen::Waiting(int port) { Show(port, "waiting for a modem"); }

void CStationScreen::Arrived(int port, int unit) {
  Show(port, "unit " + std::to_string(unit) + ": a modem answers");
}

void CStationScreen::UnitDone(int port, int unit, const PortResult& result) {
  const UpgradeResult r = result.outcome.result;
  const OutcomeRow& row = OutcomeOf(r);
  std::string words = "unit " + std::to_string(unit) + ": ";
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    PortCount& count = m_counts[static_cast<std::size_t>(port)];
    if (r == UpgradeResult::kCurrent) {
      ++m_totals.skipped;
    } else if (row.exitStatus == 0) {
      ++m_totals.passed;
      ++count.passed;
    } else {
      ++m_totals.failed;
      ++count.failed;
      words += "failed: ";
    }
  }
  Show(port, words + row.summary + " in " +
                 FormatDuration(static_cast<double>(result.elapsedMs) / 1000) +
                 "; remove the modem");
  Lines().Footer(TotalsLine());
}

void CStationScreen::Draining(const std::string& why) {
  Lines().Print("fwupdate: " + why + "no new modem is taken; those under way finish.");
}

std::string CStationScreen::TotalsLine() {
  std::lock_guard<std::mutex> lock(m_mutex);
  const double hours = static_cast<double>(MonotonicMs() - m_startMs) / 3600000.0;
  const int units = m_totals.passed + m_totals.failed;
  char rate[32] = "-";
  if (hours > 0 && units > 0) std::snprintf(rate, sizeof rate, "%.0f", units / hours);
  std::string line = "passed " + std::to_string(m_totals.passed) + ", failed " +
                     std::to_string(m_totals.failed) + ", skipped " +
                     std::to_string(m_totals.skipped) + ", " + rate + " units/h; yield";
  for (std::size_t i = 0; i < m_ports.size(); ++i) {
    const PortCount& c = m_counts[i];
    line += " " + m_ports[i] + " " + std::to_string(c.passed) + "/" +
            std::to_string(c.passed + c.failed);
  }
  return line;
}

void CStationScreen::StationDone(const StationTotals&) {
  Lines().Close();
  Lines().Print("Station stopped. " + TotalsLine());
}
