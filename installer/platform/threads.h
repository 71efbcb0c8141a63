#pragma once

#include <memory>

// Short-lived worker threads that nobody joins: each owns its job and ends with it.
namespace velmara {

class ThreadJob {
 public:
  ThreadJob() = default;
  ThreadJob(const ThreadJob&) = delete;
  ThreadJob& operator=(const ThreadJob&) = delete;
  virtual ~ThreadJob() = default;

  virtual void Run() = 0;
};

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
};

}  // namespace velmara
