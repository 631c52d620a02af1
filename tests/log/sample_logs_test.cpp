#include "samples/sample_logs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "log/record_format.h"
#include "log/record_layout.h"
#include "samples/sample_files.h"

namespace klxr::samples {
namespace {

TEST(SampleLogs, SameSeedSameLogAndExactlyTheRecordsAsked) {
  for (int count : {0, 1, 40, kSlotCount}) {
    const LogImage log = MakeRealisticLog(count, 42);
    EXPECT_EQ(log.bytes, MakeRealisticLog(count, 42).bytes);
    EXPECT_EQ(CountRecords(log, nullptr), count);
  }
  EXPECT_NE(MakeRealisticLog(40, 1).bytes, MakeRealisticLog(40, 2).bytes);
}

TEST(SampleLogs, LooksLikeAUhfSurvey) {
  const LogImage log = MakeRealisticLog(kSlotCount, 7);
  std::set<char> kinds;
  int previousSequence = -1;
  int previousSubSequence = 0;
  int rangeMarks = 0;
  int eightBitNames = 0;
  DecodedEntry entry;
  for (int index = 0; index < kSlotCount; ++index) {
    ASSERT_TRUE(FormatRecord(log, index, entry, kUnitsDbm));
    kinds.insert(entry.Kind);
    const bool sameSite = entry.Sequence == previousSequence;
    EXPECT_TRUE(entry.Sequence > previousSequence ||
                (sameSite && entry.SubSequence > previousSubSequence))
        << index;
    previousSequence = entry.Sequence;
    previousSubSequence = entry.SubSequence;
    EXPECT_GE(entry.Frequency, 470000u) << index;
    EXPECT_LE(entry.Frequency, 862000u) << index;
    EXPECT_EQ(entry.Channel.rfind("CH", 0), 0u);
    rangeMarks += entry.DisplayLine.find_first_of("<>") != std::string::npos;
    eightBitNames += std::any_of(entry.Multiplex.begin(), entry.Multiplex.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  }
  EXPECT_EQ(kinds, (std::set<char>{'A', 'D', 'V'}));
  EXPECT_GT(rangeMarks, 10);
  EXPECT_GT(eightBitNames, 10);
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SampleFiles, CommittedFilesMatchTheGenerator) {
  const std::vector<SampleFile> files = BundledSampleFiles();
  ASSERT_EQ(files.size(), 4u);
  for (const SampleFile& file : files) {
    EXPECT_EQ(ReadBytes(std::filesystem::path(KLXR_SAMPLES_DIR) / file.fileName),
              std::string(file.image.bytes.begin(), file.image.bytes.end()))
        << file.fileName << ": run klxr-make-samples samples";
  }
}

TEST(SampleFiles, EachFileHoldsWhatItsNameSays) {
  const std::vector<SampleFile> files = BundledSampleFiles();
  const auto count = [](const SampleFile& file) { return CountRecords(file.image, nullptr); };
  EXPECT_EQ(count(files[0]), 40);
  EXPECT_EQ(count(files[1]), 12);
  EXPECT_EQ(files[1].image.Slot(12)[layout::kKind], 'E');
  EXPECT_TRUE(IsCountedKind(files[1].image.Slot(13)[layout::kKind]));
  EXPECT_EQ(count(files[2]), 0);
  EXPECT_EQ(count(files[3]), kSlotCount);
}

}  // namespace
}  // namespace klxr::samples
