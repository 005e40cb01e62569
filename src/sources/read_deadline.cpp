#include "sources/read_deadline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
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
    ended.notify_all();
  }
  void RethrowFailure() const {
    if (failure) std::rethrow_exception(failure);
  }

  std::function<void()> work;
  std::exception_ptr failure;
  std::atomic<bool> done{false};
  std::mutex mutex;  // for a wait without bound
  std::condition_variable ended;
};

ReadOutcome ReadDeadline::Read(GateReader& gate, const GateRequest& request, int seconds, LogSink& log,
                               const ReadPause& pause) {
  double value = kNoValueFound;
  const End end = Bound(seconds, pause, [&] { value = gate.Read(request); });
  std::optional<ReadFailure> failure = gate.TakeFailure();
  if (end == End::TimedOut) {
    log.Entry("read of " + request.task.runningtag + " timed out after " + std::to_string(seconds) + " s");
    failure = ReadTimedOut(seconds);
  }
  return {value, end == End::Stopped, failure};
}

ReadDeadline::End ReadDeadline::Bound(int seconds, const ReadPause& pause, const std::function<void()>& work) {
  current_ = Current{clock_.SteadyMs() + std::int64_t{seconds} * 1000, &pause};
  try {
    work();
    current_.reset();
    return End::Done;
  } catch (const ReadGivenUp&) {
    const bool stopped = current_->stopped;
    current_.reset();
    return stopped ? End::Stopped : End::TimedOut;
  } catch (...) {
    current_.reset();
    throw;
  }
}

void ReadDeadline::Run(std::function<void()> work) {
  if (!current_) {
    work();
    return;
  }
  auto call = std::make_shared<Call>(std::move(work));
  std::thread thread([call] { call->Perform(); });
  if (!Waited(*call)) {
    thread.detach();
    throw ReadGivenUp{};
  }
  thread.join();
  call->RethrowFailure();
}

void ReadDeadline::RunOn(const Start& start, std::function<void()> work) {
  auto call = std::make_shared<Call>(std::move(work));
  start([call] { call->Perform(); });
  if (!current_) {
    std::unique_lock<std::mutex> lock(call->mutex);
    call->ended.wait(lock, [&call] { return call->done.load(std::memory_order_acquire); });
  } else if (!Waited(*call)) {
    throw ReadGivenUp{};
  }
  call->RethrowFailure();
}

bool ReadDeadline::Waited(const Call& call) {
  int look = 1;
  while (!call.done.load(std::memory_order_acquire)) {
    const std::int64_t remaining = current_->endMs - clock_.SteadyMs();
    const bool stop = remaining > 0 && !(*current_->pause)(static_cast<int>(std::min<std::int64_t>(look, remaining)));
    if (remaining <= 0 || stop) {
      current_->stopped = stop;
      return false;
    }
    look = std::min(look * 2, kLongestLookMs);
  }
  return true;
}

}  // namespace tavro
