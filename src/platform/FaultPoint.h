#pragma once
// Named moments at which a test may hold the process, to act in the worst moment of a race without
// guessing at timing: the real program stops itself there (SIGSTOP) when TT_STOP_AT names the moment; a
// test in the same process installs a handler instead. Outside tests a moment costs one comparison.

#include <functional>

namespace FaultPoint {

// Says that `moment` has come.
void reached(const char* moment);

// Runs `handler` at every moment from now on; an empty one restores the default. For tests only.
void setHandler(std::function<void(const char* moment)> handler);

} // namespace FaultPoint
