#include "platform/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv {
namespace {

Result<std::vector<int>> Digits(int n) {
  if (n < 0) return Error{ErrorKind::BadUsage, "negative"};
  std::vector<int> digits;
  do digits.insert(digits.begin(), n % 10);
  while ((n /= 10) > 0);
  return digits;
}

// Errors pass through a caller of another result type unchanged.
Result<int> DigitCount(int n) {
  auto digits = Digits(n);
  if (!digits) return digits.error();
  return int(digits->size());
}

TEST(Result, HoldsAValueOrAnErrorThatPassesUpUnchanged) {
  const auto digits = Digits(907);
  ASSERT_TRUE(digits);
  EXPECT_EQ(*digits, (std::vector<int>{9, 0, 7}));
  EXPECT_EQ(DigitCount(12345).value(), 5);

  const Result<int> failed = DigitCount(-1);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().kind, ErrorKind::BadUsage);
  EXPECT_EQ(failed.error().message, "negative");
  EXPECT_EQ(failed.value_or(-7), -7);
  EXPECT_EQ(DigitCount(5).value_or(-7), 1);

  // Values move out of a temporary result rather than being copied.
  auto shared = std::make_shared<int>(4);
  Result<std::shared_ptr<int>> held = shared;
  const std::shared_ptr<int> taken = std::move(held).value();
  EXPECT_EQ(shared.use_count(), 2);  // `shared` and `taken`; the result let go of its copy
  EXPECT_EQ(*taken, 4);
}

TEST(Result, VoidResultsCarryOnlyTheError) {
  const Result<void> fine;
  EXPECT_TRUE(fine);
  const Result<void> bad = Error{ErrorKind::NotFound, "no init.def"};
  EXPECT_FALSE(bad);
  EXPECT_EQ(bad.error().kind, ErrorKind::NotFound);
  EXPECT_STREQ(ErrorKindName(bad.error().kind), "not found");
}

// Misuse is a bug in the player: under the sanitizers it ends the process at once; a release
// build says so on standard error and goes on with an empty value.
TEST(Check, MisuseTrapsUnderSanitizersAndIsLoggedAndSurvivedOtherwise) {
  const Result<std::string> failed = Error{ErrorKind::Malformed, "bad"};
  if (kChecksTrap) {
    EXPECT_DEATH((void)failed.value(), "internal check failed.*value\\(\\) asked of a result that holds an error");
    EXPECT_DEATH((void)ORV_CHECK(1 + 1 == 3, "arithmetic"), "arithmetic");
    return;
  }
  testing::internal::CaptureStderr();
  EXPECT_EQ(failed.value(), "");
  const Result<std::string> fine = std::string("x");
  EXPECT_EQ(fine.error().message, "");
  const bool held = ORV_CHECK(1 + 1 == 3, "arithmetic");
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(held);
  EXPECT_NE(log.find("value() asked of a result that holds an error"), std::string::npos) << log;
  EXPECT_NE(log.find("error() asked of a result that holds a value"), std::string::npos) << log;
  EXPECT_NE(log.find("arithmetic (1 + 1 == 3)"), std::string::npos) << log;
  EXPECT_TRUE(ORV_CHECK(2 + 2 == 4, "arithmetic"));
}

}  // namespace
}  // namespace orv
