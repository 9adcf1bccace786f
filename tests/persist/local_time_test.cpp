// The local time that save captions show: --date parsing and the virtual clock's calendar.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless/headless_clock.h"

namespace orv {
namespace {

TEST(LocalTime, ParsesOnlyRealDatesAndTimes) {
  EXPECT_EQ(ParseLocalTime("2024-05-06 07:08:09"), (LocalTime{2024, 5, 6, 7, 8, 9}));
  EXPECT_EQ(ParseLocalTime("2024-02-29 23:59:59"), (LocalTime{2024, 2, 29, 23, 59, 59}));
  for (const char* bad : {"2023-02-29 00:00:00", "2024-13-01 00:00:00", "2024-04-31 00:00:00", "2024-05-06 24:00:00",
                          "2024-05-06 07:60:00", "0000-01-01 00:00:00", "2024-5-6 7:8:9", "2024-05-06T07:08:09",
                          "2024-05-06 07:08:09 ", "", "2100-02-29 00:00:00"})
    EXPECT_EQ(ParseLocalTime(bad), std::nullopt) << bad;
}

TEST(LocalTime, TheVirtualClockCarriesItAcrossDaysAndYears) {
  EXPECT_EQ(AddSeconds(LocalTime{2023, 12, 31, 23, 59, 59}, 1), (LocalTime{2024, 1, 1, 0, 0, 0}));
  EXPECT_EQ(AddSeconds(LocalTime{2024, 2, 28, 12, 0, 0}, 86400), (LocalTime{2024, 2, 29, 12, 0, 0}));
  EXPECT_EQ(AddSeconds(LocalTime{2024, 3, 1, 0, 0, 0}, -1), (LocalTime{2024, 2, 29, 23, 59, 59}));

  HeadlessClock clock;
  clock.WaitMs(5000);
  clock.SetLocalTime(LocalTime{2024, 5, 6, 7, 8, 9});
  EXPECT_EQ(clock.LocalNow(), (LocalTime{2024, 5, 6, 7, 8, 9}));
  clock.WaitMs(999);
  EXPECT_EQ(clock.LocalNow(), (LocalTime{2024, 5, 6, 7, 8, 9}));
  clock.WaitMs(1);
  EXPECT_EQ(clock.LocalNow(), (LocalTime{2024, 5, 6, 7, 8, 10}));
  clock.WaitMs(3600 * 1000);
  EXPECT_EQ(clock.LocalNow(), (LocalTime{2024, 5, 6, 8, 8, 10}));
}

}  // namespace
}  // namespace orv
