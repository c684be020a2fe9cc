#include "cli/run/PortAttempt.h"

#include "cli/json/JsonSeams.h"
#include "cli/run/AttemptTrack.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/NullSeams.h"

namespace {

// A port's boxes with the question taken to whoever answers it for the run.
class CConsentBoxes : public IMessageBoxes {
 public:
  CConsentBoxes(IMessageBoxes& inner, const std::function<bool(const BoxMessage&)>& consent,
                CAttemptTrack& track)
      : m_inner(inner), m_consent(consent), m_track(track) {}

  int ShowMessageBox(const BoxMessage& message) override {
    if (message.id != BoxId::kConsent) return m_inner.ShowMessageBox(message);
    m_track.Reach(AttemptPhase::kConsent, &message.modem);
    const bool yes = m_consent(message);
    if (yes) m_track.Reach(AttemptPhase::kErase);
    return yes ? box::kIdOk : box::kIdCancel;
  }

 private:
  IMessageBoxes& m_inner;
  const std::function<bool(const BoxMessage&)>& m_consent;
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

}  // namespace

PortResult RunAttempt(const AttemptJob& job, RunWorld& world) {
  const ConsolePort& port = job.port;
  const RunPlan& plan = job.plan;
  const int index = job.index;
  CNullAttemptLog noLog;
  CAttemptTrack track(world.attempts ? *world.attempts : noLog, world.nowMs, port, job.image,
                      job.unit);
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
  CConsentBoxes consented(views.boxes, job.consent, track);
  CJsonBoxes boxes(consented, world.events, plan.yes);
  CNullDialogControls controls;
  const UpgradeSeams seams{job.files, views.status, progress, boxes, controls};

  PortResult result;
  const std::uint64_t start = world.nowMs();
  result.outcome = plan.dryRun ? core.CheckUpgrade(seams) : core.OnUpgrade(seams);
  result.elapsedMs = world.nowMs() - start;
  tracked.Tell(OutcomeOf(result.outcome.result).flash);
  result.figures = track.Finish(result.outcome);
  // Records read without a question: they went out with none, so they go out here.
  if (!boxes.Asked() && result.outcome.modem.IsComplete()) {
    world.events.Versions(port.name, "modem", result.outcome.modem);
    world.events.Versions(port.name, "image", result.outcome.image);
  }
  return result;
}
