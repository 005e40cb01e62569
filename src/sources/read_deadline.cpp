#include "sources/read_deadline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tavro {
namespace {

// The main thread looks for the end of the call after waits that double up to this: a quick call
// costs a few milliseconds at most, a long one a look every tenth of a second.
constexpr int kLongestLookMs = 100;

}  // namespace

// What a call's thread shares with the main thread; whichever lets it go last frees it.
struct ReadDeadline::Call {
  explicit Call(std::function<void()> w) : work(std::move(w)) {}
  void Perform() {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    work = nullptr;  // what the work holds is let go on its own thread
    const std::lock_guard<std::mutex> lock(mutex);
    done.store(true, std::memory_order_release);
    if (givenUp) givenUp->fetch_sub(1);
    ended.notify_all();
  }
  void RethrowFailure() const {
    if (failure) std::rethrow_exception(failure);
  }

  std::function<void()> work;
  std::exception_ptr failure;
  std::atomic<bool> done{false};
  std::mutex mutex;  // for a wait without bound, and the count of a given-up call
  std::condition_variable ended;
  std::shared_ptr<std::atomic<int>> givenUp;  // the count it is in once given up
};

ReadDeadline::Tick::Tick(ReadDeadline* deadline) : deadline_(deadline) {
  if (deadline_ != nullptr) deadline_->tick_ = ++deadline_->ticks_;
}

ReadDeadline::Tick::~Tick() {
  if (deadline_ != nullptr) deadline_->tick_.reset();
}

ReadOutcome ReadDeadline::Read(GateReader& gate, const GateRequest& request, int seconds, LogSink& log,
                               const ReadPause& pause) {
  double value = kNoValueFound;
  End end = End::Done;
  try {
    end = Bound(seconds, pause, [&] { value = gate.Read(request); });
  } catch (const std::exception& error) {
    gate.TakeFailure();  // what the reader noted before it threw is told by the throw
    log.Entry("read of " + request.task.runningtag + " failed: " + error.what());
    return {kNoValueFound, false, SourceFailed(error.what())};
  }
  std::optional<ReadFailure> failure = gate.TakeFailure();
  if (end == End::Refused && !failure) failure = SourceFailed("not asked: reads given up before still wait for it");
  if (end == End::TimedOut) {
    log.Entry("read of " + request.task.runningtag + " timed out after " + std::to_string(seconds) + " s");
    failure = ReadTimedOut(seconds);
  }
  return {end == End::Done ? value : kNoValueFound, end == End::Stopped, failure};
}

ReadDeadline::End ReadDeadline::Bound(int seconds, const ReadPause& pause, const std::function<void()>& work) {
  current_ = Current{clock_.SteadyMs() + std::int64_t{seconds} * 1000, &pause};
  try {
    work();
    current_.reset();
    return End::Done;
  } catch (const ReadGivenUp&) {
    const Outcome outcome = current_->outcome;
    current_.reset();
    if (outcome == Outcome::Stopped) return End::Stopped;
    return outcome == Outcome::Refused ? End::Refused : End::TimedOut;
  } catch (...) {
    current_.reset();
    throw;
  }
}

void ReadDeadline::MayCall(GivenUpCalls& calls) {
  if (calls.MayCall(tick_)) return;
  current_->outcome = Outcome::Refused;
  throw ReadGivenUp{true};
}

bool ReadDeadline::GiveUp(GivenUpCalls& calls, Call& call) {
  const std::lock_guard<std::mutex> lock(call.mutex);
  if (call.done.load(std::memory_order_acquire)) return false;
  call.givenUp = calls.Count();
  calls.GiveUp(tick_, current_->outcome == Outcome::TimedOut);
  return true;
}

void ReadDeadline::Run(GivenUpCalls& calls, std::function<void()> work) {
  if (!current_) {
    work();
    return;
  }
  MayCall(calls);
  auto call = std::make_shared<Call>(std::move(work));
  std::thread thread;
  try {
    thread = std::thread([call] { call->Perform(); });
  } catch (const std::system_error& error) {
    calls.NoThread(error.what());
    current_->outcome = Outcome::Refused;
    throw ReadGivenUp{true};
  }
  if (!Waited(*call) && GiveUp(calls, *call)) {
    thread.detach();
    throw ReadGivenUp{};
  }
  current_->outcome = Outcome::Answered;  // it ended as it was given up
  thread.join();
  call->RethrowFailure();
}

void ReadDeadline::RunOn(GivenUpCalls& calls, const Start& start, std::function<void()> work) {
  if (current_) MayCall(calls);
  auto call = std::make_shared<Call>(std::move(work));
  try {
    start([call] { call->Perform(); });
  } catch (const std::system_error& error) {
    if (!current_) throw;
    calls.NoThread(error.what());
    current_->outcome = Outcome::Refused;
    throw ReadGivenUp{true};
  }
  if (!current_) {
    std::unique_lock<std::mutex> lock(call->mutex);
    call->ended.wait(lock, [&call] { return call->done.load(std::memory_order_acquire); });
  } else if (!Waited(*call)) {
    if (GiveUp(calls, *call)) throw ReadGivenUp{};
    current_->outcome = Outcome::Answered;
  }
  call->RethrowFailure();
}

bool ReadDeadline::Waited(const Call& call) {
  int look = 1;
  while (!call.done.load(std::memory_order_acquire)) {
    const std::int64_t remaining = current_->endMs - clock_.SteadyMs();
    const bool stop = remaining > 0 && !(*current_->pause)(static_cast<int>(std::min<std::int64_t>(look, remaining)));
    if (remaining <= 0 || stop) {
      current_->outcome = stop ? Outcome::Stopped : Outcome::TimedOut;
      return false;
    }
    look = std::min(look * 2, kLongestLookMs);
  }
  return true;
}

}  // namespace tavro
