#include "sources/automation_gate.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace tavro {
namespace {

// The worker's log: its entries wait for the end of the call, which the launcher's thread writes.
class HeldLog final : public LogSink {
 public:
  void Write(const std::string& message, bool stamped) override { entries.emplace_back(message, stamped); }
  std::vector<std::pair<std::string, bool>> entries;
};

}  // namespace

// All a worker's reader works with, its own; made, used and let go on the worker's thread.
struct AutomationGate::Desk {
  ProgramSettings settings;
  HeldLog log;
  std::unique_ptr<GateReader> reader;
  double value = kNoValueFound;
  std::optional<ReadFailure> failure;  // what the value stands for
  bool ready = true;
};

// What the gate and a worker's thread share; whichever lets it go last frees it.
struct AutomationGate::Worker {
  void Hand(std::function<void()> call) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      calls.push_back(std::move(call));
    }
    changed.notify_one();
  }
  // The next call, or none once the worker is to end.
  std::function<void()> Next() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !calls.empty() || ending; });
    if (calls.empty()) return nullptr;
    std::function<void()> call = std::move(calls.front());
    calls.pop_front();
    return call;
  }
  void End() {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      ending = true;
    }
    changed.notify_one();
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> calls;
  bool ending = false;
  // The worker's thread's; the gate reads what a call left in it once the call has ended.
  std::optional<Desk> desk;
};

AutomationGate::AutomationGate(std::string source, const ProgramSettings& settings, LogSink& log,
                               std::shared_ptr<AutomationFactory> automation, ReadDeadline& deadline, MakeReader make)
    : source_(std::move(source)),
      settings_(settings),
      log_(log),
      automation_(std::move(automation)),
      deadline_(deadline),
      make_(std::move(make)),
      givenUp_(source_, log) {}

AutomationGate::~AutomationGate() { Restart(); }

void AutomationGate::Restart() {
  if (!worker_) return;
  worker_->End();
  if (thread_.joinable()) thread_.join();  // an idle worker: it only lets its reader go
  worker_.reset();
}

double AutomationGate::Read(const GateRequest& request) {
  // The request's task is the launcher's: the call takes a copy.
  OnWorker([settings = settings_, task = request.task, number = request.number, slot = request.slotTime](Desk& desk) {
    desk.settings = settings;
    desk.value = desk.reader->Read(GateRequest{task, number, slot});
    desk.failure = desk.reader->TakeFailure();
  });
  if (worker_->desk->failure) NoteFailure(*worker_->desk->failure);
  return worker_->desk->value;
}

bool AutomationGate::KeepReady() {
  OnWorker([settings = settings_](Desk& desk) {
    desk.settings = settings;
    desk.ready = desk.reader->KeepReady();
  });
  return worker_->desk->ready;
}

void AutomationGate::OnWorker(std::function<void(Desk&)> work) {
  if (!worker_) worker_ = std::make_shared<Worker>();
  const std::shared_ptr<Worker> worker = worker_;
  // The worker's thread comes with its first call: one that cannot be made fails this call only.
  const auto hand = [this, &worker](std::function<void()> call) {
    if (!thread_.joinable()) {
      thread_ = std::thread([worker, make = make_, automation = automation_] {
        const AutomationApartment apartment;
        Desk& desk = worker->desk.emplace();
        desk.reader = make(desk.settings, desk.log, *automation);
        while (const std::function<void()> next = worker->Next()) next();
        worker->desk.reset();  // the reader's objects are released in the apartment that made them
      });
    }
    worker->Hand(std::move(call));
  };
  const auto writeHeld = [&worker](LogSink& log) {
    if (!worker->desk) return;  // its thread could not be made
    for (const auto& [message, stamped] : worker->desk->log.entries) log.Write(message, stamped);
    worker->desk->log.entries.clear();
  };
  try {
    deadline_.RunOn(givenUp_, hand, [worker, work = std::move(work)] { work(*worker->desk); });
  } catch (const ReadGivenUp& givenUp) {
    // A refused call never reached the worker, which stays; a given-up one keeps it to itself.
    if (!givenUp.refused) {
      worker->End();
      thread_.detach();
      worker_.reset();
    }
    throw;
  } catch (...) {
    writeHeld(log_);
    throw;
  }
  writeHeld(log_);
}

}  // namespace tavro
