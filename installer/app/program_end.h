#pragma once

#include <cstdint>

#include "platform/threads.h"

namespace velmara {

// How long the end of the program waits for port-identification pages still on their way: long
// enough for a printer to take a page, so that none is cut off before its cut command, and short
// enough that a printer that never answers does not hold the program.
inline constexpr std::uint32_t kWritersGrace = 10000;

// The program's last step: waits for the writer threads still running, at most kWritersGrace.
// True when none is left.
bool WaitForWritersAtEnd(Threads& threads);

}  // namespace velmara
