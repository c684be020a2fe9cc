#include "cli/run/StationRunner.h"

#include <mutex>
#include <thread>

#include "cli/run/PortAttempt.h"
#include "cli/run/SharedImage.h"
#include "image/ImageReader.h"
#include "modem/ExitStatus.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/NullSeams.h"

namespace {

// What all ports of a station share: the drain, the count of units, the totals.
class CStation {
 public:
  CStation(const StationPlan& plan, StationWorld& world) : m_plan(plan), m_world(world) {}

  bool Draining() {
    if (!m_draining && m_world.stopAsked && m_world.stopAsked()) Drain("stopped: ");
    return m_draining;
  }
  void Drain(const std::string& why) {
    if (m_draining.exchange(true)) return;
    m_world.screen.Draining(why);
  }
  // A unit has ended; the run drains once enough were flashed or failed.
  void Count(const PortResult& result) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const UpgradeResult r = result.outcome.result;
    if (r == UpgradeResult::kCurrent)
      ++m_totals.skipped;
    else if (OutcomeOf(r).exitStatus == exitcode::kDone)
      ++m_totals.passed;
    else
      ++m_totals.failed;
    const int units = m_totals.passed + m_totals.failed;
    if (m_plan.maxUnits > 0 && units >= m_plan.maxUnits)
      Drain("--max-units " + std::to_string(m_plan.maxUnits) + " reached: ");
  }
  StationTotals Totals() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_totals;
  }

 private:
  const StationPlan& m_plan;
  StationWorld& m_world;
  std::atomic<bool> m_draining{false};
  std::mutex m_mutex;
  StationTotals m_totals;
};

// Whether a modem answers on the port now: its versions, read with the query alone.
bool ModemPresent(CFirmwareUpdateCore& core) {
  FirmwareVersionInfo modem;
  CNullMessageBoxes quiet;
  return core.QueryModemInfo(modem, quiet).status == QueryStatus::kDone;
}

void RunStationPort(int index, const StationPlan& plan, StationWorld& world, CStation& station,
                    IImageFiles& files, const ImageFacts& image) {
  RunWorld& run = world.run;
  const ConsolePort& port = plan.run.ports[static_cast<std::size_t>(index)];
  std::unique_ptr<ISerialDriver> driver = run.driverFor(port);
  std::unique_ptr<IPacing> pacing = run.pacingFor(port);
  CFirmwareUpdateCore looker(*driver, *pacing);
  looker.SetPorts({port.name});
  int unit = 0;
  while (!station.Draining()) {
    world.screen.Waiting(index);
    if (!ModemPresent(looker)) {
      pacing->Pause(plan.pollMs);
      continue;
    }
    if (station.Draining()) break;
    // A new unit: the image as it is on disk now must still be the one read at the start.
    ++unit;
    run.events.SetUnit(port.name, unit);
    const ImageFacts now = DigestImage(run.files, plan.run.image);
    if (now.sha256 != image.sha256) {
      station.Drain("the image file " + plan.run.image +
                    " changed during the run; new units are refused (start the station again "
                    "to flash the new image): ");
      break;
    }
    world.screen.Arrived(index, unit);
    if (run.flashState) run.flashState(index, FlashState::kUntouched);
    AttemptJob job{index, port, plan.run, files, image, unit, [](const BoxMessage&) {
                     return true;
                   }};  // asked once, at the start
    PortResult result = RunAttempt(job, run);
    run.events.PortDone(port.name, result.outcome, result.figures);
    world.screen.UnitDone(index, unit, result);
    station.Count(result);
    // The same modem is never taken twice: the port waits until nobody answers. The queries
    // follow each other (each takes some 2 s of its own waits), so that a port left empty
    // for longer than one query is seen empty.
    while (!station.Draining() && ModemPresent(looker)) {
    }
  }
}

}  // namespace

int RunStation(const StationPlan& plan, StationWorld& world) {
  RunWorld& run = world.run;
  CSharedImageFiles shared;
  FirmwareVersionInfo record;
  int status = 0;
  if (!shared.LoadChecked(run.files, plan.run.image, record, run.screen, run.events, "station",
                          status))
    return status;
  const ImageFacts image = DigestImageBytes(plan.run.image, shared.Bytes());
  run.events.Start("station", image);
  if (!world.screen.AskStation(record, plan.run.yes)) {
    run.events.End("station", exitcode::kDeclined);
    return exitcode::kDeclined;
  }

  CStation station(plan, world);
  std::vector<std::thread> threads;
  for (int i = 0; i < static_cast<int>(plan.run.ports.size()); ++i)
    threads.emplace_back([&, i] { RunStationPort(i, plan, world, station, shared, image); });
  for (std::thread& thread : threads) thread.join();

  const StationTotals totals = station.Totals();
  world.screen.StationDone(totals);
  run.events.Totals(totals.passed, totals.failed, totals.skipped);
  status = totals.failed == 0 ? exitcode::kDone : exitcode::kSomePortsFailed;
  run.events.End("station", status);
  return status;
}
