// A child process that repeats one write for ever, killed with SIGKILL at moments the
// test does not choose (spread over the write's own duration): the store must then open
// and hold one whole version or the other, never a mixture.
#pragma once

#include <functional>

namespace kesto::test {

// Forks a child running step(i) for i = 0, 1, 2 ... until it is killed; kills it after
// a pseudo-random delay of up to maxDelayUs microseconds (after at least one step has
// begun) and reaps it. Returns false when the child ended on its own. step runs in the
// child only and must not use test assertions.
bool RunAndKill(const std::function<void(int step)>& step, unsigned seed, int maxDelayUs);

} // namespace kesto::test
