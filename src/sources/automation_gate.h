#pragma once
// A source read through automation objects (PHD, the PI SDK), kept to the read's deadline. COM
// binds an object to the apartment of the thread that made it, so the source's reader lives on a
// worker thread of its own, in an apartment of its own: its objects are made, used and released
// there, with its own copy of the settings and a log whose entries reach the launcher's log when a
// call has ended in time. A call given up (read_deadline.h) leaves its worker to it with all it
// holds, and the next call starts a fresh worker; the source counts its given-up calls, so that one
// that keeps hanging does not pile up workers (given_up_calls.h).

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "jobs/launcher_state.h"
#include "sources/automation.h"
#include "sources/gate_reader.h"
#include "sources/given_up_calls.h"
#include "sources/read_deadline.h"
#include "support/log_sink.h"

namespace tavro {

class AutomationGate final : public GateReader {
 public:
  // The reader as it lives on a worker: made there, with the worker's settings, log and factory.
  using MakeReader =
      std::function<std::unique_ptr<GateReader>(const ProgramSettings&, LogSink&, AutomationFactory&)>;

  // `source` names it in the log; the factory is shared with the workers, which may outlive this.
  AutomationGate(std::string source, const ProgramSettings& settings, LogSink& log,
                 std::shared_ptr<AutomationFactory> automation, ReadDeadline& deadline, MakeReader make);
  ~AutomationGate() override;
  AutomationGate(const AutomationGate&) = delete;
  AutomationGate& operator=(const AutomationGate&) = delete;

  double Read(const GateRequest& request) override;
  // On the worker as well. A source whose given-up calls all still wait is ready: its reads fail.
  bool KeepReady() override;
  // Lets the worker go with what its reader holds; the next call makes the reader afresh.
  void Restart();

 private:
  struct Worker;
  struct Desk;
  // Runs `work` on the worker under the deadline, then writes the entries it logged.
  void OnWorker(std::function<void(Desk&)> work);

  const std::string source_;
  const ProgramSettings& settings_;
  LogSink& log_;
  const std::shared_ptr<AutomationFactory> automation_;
  ReadDeadline& deadline_;
  const MakeReader make_;
  GivenUpCalls givenUp_;
  std::shared_ptr<Worker> worker_;
  std::thread thread_;  // the worker's, made with its first call
};

// The MakeReader of a reader made from settings, log and factory (PhdReader, PiSdkReader).
template <class Reader>
std::unique_ptr<GateReader> NewAutomationReader(const ProgramSettings& settings, LogSink& log,
                                                AutomationFactory& automation) {
  return std::make_unique<Reader>(settings, log, automation);
}

}  // namespace tavro
