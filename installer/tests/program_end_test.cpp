// The program's end: the port-identification pages still on their way get a bounded time to reach
// their printers.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <numeric>

#include "app/program_end.h"
#include "support/fake_threads.h"

namespace velmara::testing {
namespace {

class NeverEndingWriter final : public ThreadJob {
 public:
  void Run() override {}
};

TEST(ProgramEnd, AWriterThatNeverEndsHoldsTheProgramForTenSecondsAndNoLonger) {
  // The stand-in holds its jobs back: to the wait they are writers whose printer never answers.
  FakeThreads threads(FakeThreads::Mode::kRunOnDemand);
  ASSERT_TRUE(threads.Start(std::make_unique<NeverEndingWriter>()));

  EXPECT_FALSE(WaitForWritersAtEnd(threads)) << "the writer is still running";
  ASSERT_FALSE(threads.waits.empty()) << "the end does not wait for the writers at all";
  const std::uint64_t waited = std::accumulate(threads.waits.begin(), threads.waits.end(), std::uint64_t{0});
  EXPECT_EQ(waited, 10000u) << "over all its waits, the end gives the writers 10 s";
  EXPECT_EQ(threads.pending(), 1u);
}

}  // namespace
}  // namespace velmara::testing
