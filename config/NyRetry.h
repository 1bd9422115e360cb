// Bounded retries for files that another program has open for a moment.
#pragma once

#include "NyLogging.h"

namespace ny::config {

// Calls `attempt` until it succeeds or more than `limitMs` milliseconds have
// passed since the first try. When the 32-bit millisecond counter wraps past
// zero meanwhile, the start is unknown: give up once it reads more than half
// the limit. The loop spins without sleeping; a lock held by another program
// usually lasts only as long as that program's own read or write.
template <typename Attempt>
bool RetryFor(unsigned long limitMs, Attempt attempt) {
  unsigned long start = NyFlgGetTime();
  for (;;) {
    if (attempt()) return true;
    unsigned long now = NyFlgGetTime();
    if (now >= start ? now - start > limitMs : now > limitMs / 2) return false;
  }
}

}  // namespace ny::config
