// What the writer threads and the program's end rely on from the thread service, checked against
// the stand-in, which runs jobs on the caller's thread, and against CreateThread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_threads.h"
#ifdef _WIN32
#include "platform/win32_threads.h"
#endif

namespace velmara::testing {
namespace {

struct ThreadsBackend {
  std::string name;
  std::function<std::unique_ptr<Threads>()> make;
  bool runsOnCallersThread;
  // For jobs that block until the test lets them go: the stand-in holds them back, since it runs
  // them on the caller's thread, until |runHeld| runs them.
  std::function<std::unique_ptr<Threads>()> makeForBlockingJobs;
  std::function<void(Threads&)> runHeld;
};

std::ostream& operator<<(std::ostream& os, const ThreadsBackend& b) { return os << b.name; }

std::vector<ThreadsBackend> Backends() {
  std::vector<ThreadsBackend> backends{
      {"Fake", [] { return std::unique_ptr<Threads>(std::make_unique<FakeThreads>()); }, true,
       [] { return std::unique_ptr<Threads>(std::make_unique<FakeThreads>(FakeThreads::Mode::kRunOnDemand)); },
       [](Threads& threads) { static_cast<FakeThreads&>(threads).RunPending(); }}};
#ifdef _WIN32
  const auto win32 = [] { return std::unique_ptr<Threads>(std::make_unique<Win32Threads>()); };
  backends.push_back({"Win32", win32, false, win32, [](Threads&) {}});
#endif
  return backends;
}

// What the jobs did, for the test thread to wait on.
struct Journal {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> events;
  std::vector<std::thread::id> runners;
  int destroyed = 0;

  void Record(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex);
    events.push_back(event);
  }
  bool WaitForDestroyed(int count) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return destroyed >= count; });
  }
};

class RecordingJob final : public ThreadJob {
 public:
  RecordingJob(Journal& journal, int id, bool fail) : journal_(journal), id_(id), fail_(fail) {}
  ~RecordingJob() override {
    std::lock_guard<std::mutex> lock(journal_.mutex);
    journal_.events.push_back("destroyed " + std::to_string(id_));
    ++journal_.destroyed;
    journal_.changed.notify_all();
  }
  void Run() override {
    {
      std::lock_guard<std::mutex> lock(journal_.mutex);
      journal_.events.push_back("ran " + std::to_string(id_));
      journal_.runners.push_back(std::this_thread::get_id());
    }
    if (fail_) throw std::runtime_error("job failed");
  }

 private:
  Journal& journal_;
  int id_;
  bool fail_;
};

// Holds the jobs that wait on it until the test opens it.
class Gate {
 public:
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

class GatedJob final : public ThreadJob {
 public:
  GatedJob(Journal& journal, Gate& gate) : journal_(journal), gate_(gate) {}
  ~GatedJob() override {
    std::lock_guard<std::mutex> lock(journal_.mutex);
    ++journal_.destroyed;
  }
  void Run() override { gate_.Pass(); }

 private:
  Journal& journal_;
  Gate& gate_;
};

class ThreadsContract : public ::testing::TestWithParam<ThreadsBackend> {};

TEST_P(ThreadsContract, EveryJobRunsOnceAndIsDestroyedAfterItRan) {
  auto threads = GetParam().make();
  Journal journal;
  constexpr int kJobs = 20;
  for (int i = 0; i < kJobs; ++i) ASSERT_TRUE(threads->Start(std::make_unique<RecordingJob>(journal, i, false)));
  ASSERT_TRUE(journal.WaitForDestroyed(kJobs));
  std::lock_guard<std::mutex> lock(journal.mutex);
  for (int i = 0; i < kJobs; ++i) {
    SCOPED_TRACE(i);
    const auto ran = std::find(journal.events.begin(), journal.events.end(), "ran " + std::to_string(i));
    const auto destroyed = std::find(journal.events.begin(), journal.events.end(), "destroyed " + std::to_string(i));
    ASSERT_NE(ran, journal.events.end());
    EXPECT_LT(ran, destroyed);
    EXPECT_EQ(std::count(journal.events.begin(), journal.events.end(), "ran " + std::to_string(i)), 1);
  }
}

TEST_P(ThreadsContract, AJobThatThrowsEndsOnlyItself) {
  auto threads = GetParam().make();
  Journal journal;
  ASSERT_TRUE(threads->Start(std::make_unique<RecordingJob>(journal, 1, true)));
  ASSERT_TRUE(threads->Start(std::make_unique<RecordingJob>(journal, 2, false)));
  ASSERT_TRUE(journal.WaitForDestroyed(2));
}

TEST_P(ThreadsContract, JobsRunOnTheirOwnThreadExceptInTheStandIn) {
  auto threads = GetParam().make();
  Journal journal;
  ASSERT_TRUE(threads->Start(std::make_unique<RecordingJob>(journal, 1, false)));
  ASSERT_TRUE(journal.WaitForDestroyed(1));
  std::lock_guard<std::mutex> lock(journal.mutex);
  ASSERT_EQ(journal.runners.size(), 1u);
  EXPECT_EQ(journal.runners[0] == std::this_thread::get_id(), GetParam().runsOnCallersThread);
}

TEST_P(ThreadsContract, AWaitForAllEndsWhenEveryJobHasEndedOrItsTimeIsUp) {
  auto threads = GetParam().makeForBlockingJobs();
  Journal journal;
  Gate gate;
  // More than one wait of the system takes at once.
  constexpr int kJobs = 100;
  for (int i = 0; i < kJobs; ++i) ASSERT_TRUE(threads->Start(std::make_unique<GatedJob>(journal, gate)));
  EXPECT_FALSE(threads->WaitForAll(50)) << "the jobs cannot end before the gate opens";

  gate.Open();
  GetParam().runHeld(*threads);
  EXPECT_TRUE(threads->WaitForAll(10000));
  std::lock_guard<std::mutex> lock(journal.mutex);
  EXPECT_EQ(journal.destroyed, kJobs) << "every job is over and destroyed when the wait returns";
}

INSTANTIATE_TEST_SUITE_P(Backends, ThreadsContract, ::testing::ValuesIn(Backends()),
                         [](const auto& row) { return row.param.name; });

TEST(FakeThreads, OnDemandJobsWaitUntilTheTestRunsThem) {
  FakeThreads threads(FakeThreads::Mode::kRunOnDemand);
  Journal journal;
  ASSERT_TRUE(threads.Start(std::make_unique<RecordingJob>(journal, 1, false)));
  EXPECT_TRUE(journal.events.empty());
  EXPECT_EQ(threads.pending(), 1u);
  threads.RunPending();
  EXPECT_EQ(journal.events, (std::vector<std::string>{"ran 1", "destroyed 1"}));
}

TEST(FakeThreads, ARefusedStartDestroysTheJobWithoutRunningIt) {
  FakeThreads threads;
  threads.refuse = true;
  Journal journal;
  EXPECT_FALSE(threads.Start(std::make_unique<RecordingJob>(journal, 1, false)));
  EXPECT_EQ(journal.events, (std::vector<std::string>{"destroyed 1"}));
}

}  // namespace
}  // namespace velmara::testing
