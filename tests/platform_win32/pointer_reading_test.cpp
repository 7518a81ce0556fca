// When the pointer position the X server last gave may be used again instead of asking anew.
#include <gtest/gtest.h>

#include "win32/x11_pointer.h"

namespace {

TEST(PointerReading, HoldsOnlyWhileNothingCanHaveMovedThePointer) {
  KvrPointerReading read;
  read.taken = true;
  read.x = 300;
  read.y = 200;
  read.events = 7;
  read.takenAtMs = 5000;
  KvrPointerReading never;
  const uint64_t life = kKvrPointerReadingLifeMs;
  struct Case {
    const char* what;
    const KvrPointerReading& reading;
    uint32_t eventsNow;
    uint64_t nowMs;
    bool overWindow;
    bool holds;
  } cases[] = {
      {"same moment, no event, over the window", read, 7, 5000, true, true},
      {"just under the life", read, 7, 5000 + life - 1, true, true},
      {"at the life", read, 7, 5000 + life, true, false},
      {"an event since", read, 8, 5001, true, false},
      {"the pointer is not over the window", read, 7, 5001, false, false},
      {"the clock went back", read, 7, 4999, true, false},
      {"nothing read yet", never, 0, 0, true, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KvrPointerReadingHolds(c.reading, c.eventsNow, c.nowMs, c.overWindow), c.holds) << c.what;
}

}  // namespace
