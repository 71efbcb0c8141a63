#include "program_end.h"

namespace velmara {

bool WaitForWritersAtEnd(Threads& threads) { return threads.WaitForAll(kWritersGrace); }

}  // namespace velmara
