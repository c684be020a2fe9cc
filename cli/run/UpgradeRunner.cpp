#include "cli/run/UpgradeRunner.h"

#include <thread>

#include "cli/run/ConsentGate.h"
#include "cli/run/PortAttempt.h"
#include "cli/run/SharedImage.h"
#include "image/ImageReader.h"

namespace {

// One port from start to end, on its own thread; its question goes to the gate, where the
// run asks it once for all.
PortResult RunPort(int index, const RunPlan& plan, RunWorld& world, IImageFiles& files,
                   CConsentGate& gate, const ImageFacts& image) {
  const ConsolePort& port = plan.ports[static_cast<std::size_t>(index)];
  AttemptJob job{index, port, plan, files, image, 0, [&](const BoxMessage& consent) {
                   return gate.Arrive(index, consent.modem, consent.image);
                 }};
  PortResult result = RunAttempt(job, world);
  gate.Leave(index);
  world.screen.PortDone(index, result);
  world.events.PortDone(port.name, result.outcome, result.figures);
  return result;
}

}  // namespace

int RunUpgrades(const RunPlan& plan, RunWorld& world) {
  // Several ports: the image is read once, its record checked once, before any port is
  // touched.
  CSharedImageFiles shared;
  FirmwareVersionInfo record;
  int status = 0;
  if (plan.readImageOnce && !shared.LoadChecked(world.files, plan.image, record, world.screen,
                                                world.events, "upgrade", status))
    return status;
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
  status = !plan.severalPorts ? OutcomeOf(results.front().outcome.result).exitStatus
           : allSucceeded     ? exitcode::kDone
                              : exitcode::kSomePortsFailed;
  world.events.End("upgrade", status);
  return status;
}
