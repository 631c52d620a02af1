#include "samples/sample_files.h"

#include <algorithm>

#include "log/record_layout.h"
#include "samples/record_builder.h"
#include "samples/sample_logs.h"

namespace klxr::samples {
namespace {

int SequenceOf(const LogImage& image, int slot) {
  return layout::ReadU16(image.Slot(slot), layout::kSequence);
}

LogImage MakeMixed() {
  constexpr int kGenerated = 38;
  LogImage image = MakeRealisticLog(kGenerated, 7);
  const int sequence = SequenceOf(image, kGenerated - 1) + 1;

  CommonFields digital{'D', sequence, 1, 786000, "CH60", "DVB-T", "CITY \"TV\",1", 0x04};
  DigitalFields digitalFields;
  digitalFields.mode = 64;
  digitalFields.plpMode = 64;
  digitalFields.digitalPower = MakeLevelWord(-523);
  digitalFields.mer = MakeLevelWord(274);
  digitalFields.errorCount = 12345;
  digitalFields.recordByte52 = 8;
  digitalFields.guardInterval = 5;
  digitalFields.codeRate = 2;
  WriteDigitalRecord(image.Slot(kGenerated), digital, digitalFields);

  CommonFields analogue{'A', sequence, 2, 543250, "CH30 RELAY", "PAL-I/NICM", "TRANSPOSER 1", 0x03};
  AnalogueFields analogueFields{MakeLevelWord(-412), MakeLevelWord(-530),
                                MakeLevelWord(0, LevelRange::NoValue), MakeLevelWord(-600)};
  WriteAnalogueRecord(image.Slot(kGenerated + 1), analogue, analogueFields);
  return image;
}

LogImage MakeEndsWithE() {
  constexpr int kCounted = 12;
  constexpr int kAfter = 8;
  LogImage image = MakeRealisticLog(kCounted, 11);
  CommonFields namesOnly{'E', SequenceOf(image, kCounted - 1) + 1, 1, 0, "CH40", "DVB-T", "PSB1",
                         0};
  WriteNamesOnlyRecord(image.Slot(kCounted), namesOnly);
  const LogImage after = MakeRealisticLog(kAfter, 12);
  std::copy_n(after.bytes.begin(), kAfter * kRecordSize,
              image.bytes.begin() + (kCounted + 1) * kRecordSize);
  return image;
}

}  // namespace

std::vector<SampleFile> BundledSampleFiles() {
  std::vector<SampleFile> files;
  files.push_back({"mixed.tlg", MakeMixed()});
  files.push_back({"ends-with-e.tlg", MakeEndsWithE()});
  files.push_back({"empty.tlg", LogImage{}});
  files.push_back({"full.tlg", MakeRealisticLog(kSlotCount, 1568)});
  return files;
}

}  // namespace klxr::samples
