#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/threads.h"

namespace velmara {

// Runs jobs on the caller's thread, at once or when the test asks, so that a test sees what a job
// did without waiting for anything. It can also play a system that starts no more threads. A wait
// for the jobs cannot run those the test holds back: it ends as a real one that runs out of time.
class FakeThreads final : public Threads {
 public:
  enum class Mode { kRunAtStart, kRunOnDemand };

  explicit FakeThreads(Mode mode = Mode::kRunAtStart) : mode_(mode) {}

  bool Start(std::unique_ptr<ThreadJob> job) override {
    ++starts;
    if (refuse) return false;
    if (mode_ == Mode::kRunAtStart) {
      RunOne(*job);
    } else {
      pending_.push_back(std::move(job));
    }
    return true;
  }

  bool WaitForAll(std::uint32_t milliseconds) override {
    waits.push_back(milliseconds);
    return pending_.empty();
  }

  // Runs and destroys the jobs started so far, in the order they were started.
  void RunPending() {
    std::vector<std::unique_ptr<ThreadJob>> jobs = std::move(pending_);
    pending_.clear();
    for (std::unique_ptr<ThreadJob>& job : jobs) {
      RunOne(*job);
      job.reset();
    }
  }

  std::size_t pending() const { return pending_.size(); }

  bool refuse = false;
  int starts = 0;
  int finished = 0;
  std::vector<std::uint32_t> waits;

 private:
  // As on a real thread, an exception ends the job and nothing else.
  void RunOne(ThreadJob& job) {
    try {
      job.Run();
    } catch (...) {
    }
    ++finished;
  }

  Mode mode_;
  std::vector<std::unique_ptr<ThreadJob>> pending_;
};

}  // namespace velmara
