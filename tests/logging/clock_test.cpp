// The millisecond clock.
#include "DoRor.h"
#include "NyTestSupport.h"

// Readings follow real time at millisecond grain, not the default 15.6 ms
// tick; the upper bound only guards against a wrong unit.
TEST(MillisecondClock, FollowsRealTime) {
  unsigned long first = NyFlgGetTime();
  ::Sleep(50);
  unsigned long second = NyFlgGetTime();
  EXPECT_GE(second - first, 45u);
  EXPECT_LT(second - first, 2000u);
  unsigned long tick = ::GetTickCount();
  EXPECT_LT(NyFlgGetTime() - tick + 100u, 200u);  // the same counter as the system's
}
