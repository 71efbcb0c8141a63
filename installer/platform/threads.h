#pragma once

#include <cstdint>
#include <memory>

// Short-lived worker threads. Each owns its job, and everything the job uses, and ends with it;
// before the program ends it waits for those still running, for a bounded time.
namespace velmara {

class ThreadJob {
 public:
  ThreadJob() = default;
  ThreadJob(const ThreadJob&) = delete;
  ThreadJob& operator=(const ThreadJob&) = delete;
  virtual ~ThreadJob() = default;

  virtual void Run() = 0;
};

// Used from the program's window thread only; the jobs run on threads of their own.
class Threads {
 public:
  Threads() = default;
  Threads(const Threads&) = delete;
  Threads& operator=(const Threads&) = delete;
  virtual ~Threads() = default;

  // CreateThread with normal priority and the default stack size, running at once. The thread
  // owns |job| and destroys it when Run returns. False when no thread could be started; the job
  // is then destroyed without running.
  virtual bool Start(std::unique_ptr<ThreadJob> job) = 0;
  // Waits until every job started has ended and been destroyed, but no longer than
  // |milliseconds|: true when none is left running.
  virtual bool WaitForAll(std::uint32_t milliseconds) = 0;
};

}  // namespace velmara
