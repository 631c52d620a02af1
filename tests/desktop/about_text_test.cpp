#include "desktop/about_text.h"

#include <gtest/gtest.h>

namespace klxr {
namespace {

TEST(AboutText, ProductLineMeterAndTheVersionWithATwoDigitMinorNumber) {
  struct Case {
    const char* product;
    int major;
    int minor;
    const char* expected;
  };
  const Case kCases[] = {
      {"Quorvel KLXR", 1, 14, "Quorvel KLXR Meter V1.14"},
      {"Quorvel KLXR", 2, 5, "Quorvel KLXR Meter V2.05"},
      {"Quorvel KLXR", 10, 100, "Quorvel KLXR Meter V10.100"},
      {"A&B", 1, 0, "A&B Meter V1.00"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(AboutText(c.product, c.major, c.minor), c.expected);
  }
}

}  // namespace
}  // namespace klxr
