#include "log/log_image.h"

#include <gtest/gtest.h>

#include "support/recording_window.h"

namespace klxr {
namespace {

void FillKinds(LogImage& image, int first, int last, std::uint8_t kind) {
  for (int slot = first; slot <= last; ++slot) {
    image.Slot(slot)[0] = kind;
  }
}

TEST(LogImage, SlotsAreSixtyFourByteWindowsOfTheImage) {
  LogImage image;
  image.Slot(0)[0] = 1;
  image.Slot(1)[63] = 2;
  image.Slot(kSlotCount - 1)[63] = 3;
  EXPECT_EQ(image.bytes[0], 1);
  EXPECT_EQ(image.bytes[127], 2);
  EXPECT_EQ(image.bytes[kLogImageSize - 1], 3);
  image.Clear();
  EXPECT_EQ(image.bytes, LogImage{}.bytes);
}

struct CountCase {
  const char* name;
  void (*fill)(LogImage&);
  int expected;
};

TEST(CountRecords, CountsTheRunOfAnalogueAndDigitalRecords) {
  const CountCase cases[] = {
      {"all zero", [](LogImage&) {}, 0},
      {"all records", [](LogImage& image) { FillKinds(image, 0, kSlotCount - 1, 'V'); },
       kSlotCount},
      {"gap at 10",
       [](LogImage& image) {
         FillKinds(image, 0, 9, 'A');
         FillKinds(image, 11, 20, 'D');
       },
       10},
      {"E after five",
       [](LogImage& image) {
         FillKinds(image, 0, 4, 'D');
         FillKinds(image, 5, 5, 'E');
         FillKinds(image, 6, 9, 'D');
       },
       5},
      {"E first",
       [](LogImage& image) {
         FillKinds(image, 0, 0, 'E');
         FillKinds(image, 1, 9, 'D');
       },
       0},
      {"lower case", [](LogImage& image) { FillKinds(image, 0, 0, 'a'); }, 0},
      {"lower case d", [](LogImage& image) { FillKinds(image, 0, 0, 'd'); }, 0},
      {"lower case v", [](LogImage& image) { FillKinds(image, 0, 0, 'v'); }, 0},
      {"other byte ends",
       [](LogImage& image) {
         FillKinds(image, 0, 2, 'A');
         FillKinds(image, 3, 3, 0xFF);
         FillKinds(image, 4, 9, 'A');
       },
       3},
      {"mixed kinds",
       [](LogImage& image) {
         FillKinds(image, 0, 0, 'A');
         FillKinds(image, 1, 1, 'D');
         FillKinds(image, 2, 2, 'V');
       },
       3},
      {"only the last slot empty",
       [](LogImage& image) { FillKinds(image, 0, kSlotCount - 2, 'A'); }, kSlotCount - 1},
  };
  for (const CountCase& countCase : cases) {
    LogImage image;
    countCase.fill(image);
    EXPECT_EQ(CountRecords(image, nullptr), countCase.expected) << countCase.name;
  }
}

TEST(CountRecords, GraysViewOnlyWhenThereIsNoRecord) {
  LogImage image;
  testing::RecordingWindow window;
  window.viewEnabled = true;
  EXPECT_EQ(CountRecords(image, &window), 0);
  EXPECT_EQ(window.events, std::vector<std::string>{"view off"});

  image.Slot(0)[0] = 'A';
  window.events.clear();
  EXPECT_EQ(CountRecords(image, &window), 1);
  EXPECT_TRUE(window.events.empty());
}

}  // namespace
}  // namespace klxr
