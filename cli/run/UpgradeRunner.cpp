#include "cli/run/UpgradeRunner.h"

#include <thread>

#include "cli/json/JsonSeams.h"
#include "cli/run/AttemptTrack.h"
#include "cli/run/ConsentGate.h"
#include "cli/run/SharedImage.h"
#include "image/ImageReader.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/NullSeams.h"

namespace {

// A port's boxes with the question taken to the gate, where the run asks it once for all.
class CGateBoxes : public IMessageBoxes {
 public:
  CGateBoxes(int port, IMessageBoxes& inner, CConsentGate& gate, CAttemptTrack& track)
      : m_port(port), m_inner(inner), m_gate(gate), m_track(track) {}

  int ShowMessageBox(const BoxMessage& message) override {
    if (message.id != BoxId::kConsent) return m_inner.ShowMessageBox(message);
    m_track.Reach(AttemptPhase::kConsent, &message.modem);
    const bool yes = m_gate.Arrive(m_port, message.modem, message.image);
    if (yes) m_track.Reach(AttemptPhase::kErase);
    return yes ? box::kIdOk : box::kIdCancel;
  }

 private:
  int m_port;
  IMessageBoxes& m_inner;
  CConsentGate& m_gate;
  CAttemptTrack& m_track;
};

// A port's progress, with where its flash stands told as it changes: at risk once the erase
// begins, partly written once the image goes out.
class CFlashTracking : public IProgressView {
 public:
  CFlashTracking(int port, IProgressView& inner, const RunWorld& world, CAttemptTrack& track)
      : m_port(port), m_inner(inner), m_world(world), m_track(track) {}

  void OpenProgressWindow() override {
    Tell(FlashState::kMayBeErased);
    m_inner.OpenProgressWindow();
  }
  void BeginPhase(ProgressPhase phase, std::uint32_t total) override {
    m_transfer = phase == ProgressPhase::kTransfer;
    if (m_transfer) {
      Tell(FlashState::kPartlyWritten);
      m_track.Reach(AttemptPhase::kTransfer);
    }
    m_inner.BeginPhase(phase, total);
  }
  void Advance(std::uint32_t done) override {
    if (m_transfer && m_world.bytesTaken) m_world.bytesTaken(m_port, done);
    m_inner.Advance(done);
  }
  void EndPhase(ProgressPhase phase) override {
    m_inner.EndPhase(phase);
    // What follows the transfer is the wait for the modem's final answer.
    if (phase == ProgressPhase::kTransfer) m_track.Reach(AttemptPhase::kFinal);
  }
  void CloseProgressWindow() override { m_inner.CloseProgressWindow(); }

  void Tell(FlashState state) {
    if (m_world.flashState) m_world.flashState(m_port, state);
    m_track.Flash(state);
  }

 private:
  int m_port;
  IProgressView& m_inner;
  const RunWorld& m_world;
  CAttemptTrack& m_track;
  bool m_transfer = false;
};

// One port from start to end, on its own thread.
PortResult RunPort(int index, const RunPlan& plan, RunWorld& world, IImageFiles& files,
                   CConsentGate& gate, const ImageFacts& image) {
  const ConsolePort& port = plan.ports[static_cast<std::size_t>(index)];
  CNullAttemptLog noLog;
  CAttemptTrack track(world.attempts ? *world.attempts : noLog, world.nowMs, port, image);
  std::unique_ptr<ISerialDriver> driver = world.driverFor(port);
  std::unique_ptr<IPacing> pacing = world.pacingFor(port);
  CFirmwareUpdateCore core(*driver, *pacing);
  core.SetPorts({port.name});
  core.ChooseImage(plan.image);
  core.SkipCurrent(plan.skipCurrent);
  core.RecordUnit(plan.serialCommand);

  const PortViews views = world.screen.Views(index);
  CFlashTracking tracked(index, views.progress, world, track);
  CJsonProgress progress(tracked, world.events, port.name);
  CGateBoxes gated(index, views.boxes, gate, track);
  CJsonBoxes boxes(gated, world.events, plan.yes);
  CNullDialogControls controls;
  const UpgradeSeams seams{files, views.status, progress, boxes, controls};

  PortResult result;
  const std::uint64_t start = world.nowMs();
  result.outcome = plan.dryRun ? core.CheckUpgrade(seams) : core.OnUpgrade(seams);
  gate.Leave(index);
  result.elapsedMs = world.nowMs() - start;
  tracked.Tell(OutcomeOf(result.outcome.result).flash);
  result.figures = track.Finish(result.outcome);
  // Records read without a question: they went out with none, so they go out here.
  if (!boxes.Asked() && result.outcome.modem.IsComplete()) {
    world.events.Versions(port.name, "modem", result.outcome.modem);
    world.events.Versions(port.name, "image", result.outcome.image);
  }
  world.screen.PortDone(index, result);
  world.events.PortDone(port.name, result.outcome, result.figures);
  return result;
}

}  // namespace

int RunUpgrades(const RunPlan& plan, RunWorld& world) {
  // Several ports: the image is read once, its record checked once, before any port is
  // touched.
  CSharedImageFiles shared;
  if (plan.readImageOnce) {
    FirmwareVersionInfo record;
    BoxId failed = BoxId::kCount;
    if (!shared.Load(world.files, plan.image))
      failed = BoxId::kCantOpenImage;
    else if (!ReadImageVersionInfo(*shared.OpenImageFile(plan.image), record))
      failed = BoxId::kIncorrectImage;
    if (failed != BoxId::kCount) {
      world.screen.ImageFailed(failed);
      const int status =
          failed == BoxId::kCantOpenImage ? exitcode::kCantOpenImage : exitcode::kIncorrectImage;
      world.events.End("upgrade", status);
      return status;
    }
  }
  IImageFiles& files = plan.readImageOnce ? static_cast<IImageFiles&>(shared) : world.files;
  // What the records and the start event say of the image: the bytes read once, or the
  // file as it is now (a port reads it again for its transfer, as the dialog program does).
  const ImageFacts image = plan.readImageOnce ? DigestImageBytes(plan.image, shared.Bytes())
                                              : DigestImage(world.files, plan.image);
  world.events.Start("upgrade", image);

  const int count = static_cast<int>(plan.ports.size());
  CConsentGate gate(count);
  std::vector<PortResult> results(plan.ports.size());
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) {
    threads.emplace_back([&, i] {
      results[static_cast<std::size_t>(i)] = RunPort(i, plan, world, files, gate, image);
    });
  }
  const std::vector<Arrival> waiting = gate.AwaitAll();
  gate.Answer(!waiting.empty() && world.screen.Ask(waiting, plan.yes));
  for (std::thread& thread : threads) thread.join();
  world.screen.RunDone(results);

  bool allSucceeded = true;
  for (const PortResult& r : results)
    allSucceeded &= OutcomeOf(r.outcome.result).exitStatus == exitcode::kDone;
  const int status = !plan.severalPorts ? OutcomeOf(results.front().outcome.result).exitStatus
                     : allSucceeded     ? exitcode::kDone
                                        : exitcode::kSomePortsFailed;
  world.events.End("upgrade", status);
  return status;
}
