#include "resources/message_catalogue.h"

#include <gtest/gtest.h>

#include "resources/string_table.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

struct CatalogueEntry {
  int index;
  const char* text;
};

// Every entry of the catalogue, exactly as the program shows it.
constexpr CatalogueEntry kCatalogue[] = {
    {0, "Error - Ack not received"},
    {1, "Error: Not enough memory to create ComAccess object!"},
    {2, "Error - Handshake not received"},
    {3, "Transfer Complete!"},
    {4, "Invalid binary file"},
    {5, "Can't load program image"},
    {6, "About..."},
    {7, "Cancel"},
    {8, "Warning, can't load USB driver (ftd2xx.dll)"},
    {9, "USB Devices"},
    {10, "USB Port Error"},
    {11, "You must install the USB driver first!"},
    {12,
     "The device has been upgraded and is recycling. You may need to disconnect then reconnect "
     "the USB lead."},
    {13, "No devices found"},
    {14, ""},
    {15, "File loaded successfully"},
    {16, "Enter Filename"},
    {17, "Enter file and path"},
    {18, "Confirm file overwrite?"},
    {19, "Error - Invalid data file"},
    {20, "Can't save program image"},
    {21, "Can't read system registry, COM setting will not be saved"},
    {22, "Checksum error"},
    {23,
     "Please confirm that you wish to erase the meter log data?\n(This may take a few seconds)"},
    {24, "Meter log data erased"},
    {25, "Invalid log entry"},
    {26, "No logging data present"},
};

TEST(MessageCatalogue, EveryIndexLoadsItsText) {
  ASSERT_EQ(std::size(kCatalogue), MessageIndexTable.size());
  for (const CatalogueEntry& entry : kCatalogue) {
    EXPECT_EQ(LoadText(entry.index), entry.text) << "index " << entry.index;
  }
}

TEST(MessageCatalogue, EraseQuestionHasTwoLines) {
  std::string text = LoadText(msg::kConfirmErase);
  EXPECT_EQ(text.substr(text.find('\n') + 1), "(This may take a few seconds)");
}

TEST(MessageCatalogue, TextIsCutToTheBufferCapacity) {
  EXPECT_EQ(LoadText(msg::kUsbPortError, 4), "USB");
  EXPECT_EQ(LoadText(msg::kUsbPortError, 1), "");
  EXPECT_EQ(LoadText(msg::kUsbPortError, 0), "");
}

TEST(MessageCatalogue, CaptionIsTheProgramsName) {
  EXPECT_EQ(LoadString(kCaptionStringId), "KL-XR Meter - Log");
}

TEST(MessageCatalogue, ShowAndAskPassTheEntryAndKind) {
  testing::RecordingMessageBoxes boxes;
  boxes.answers = {Answer::No};
  ShowMessage(boxes, msg::kTransferComplete, BoxKind::Information);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::No);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::Cancel);
  ASSERT_EQ(boxes.boxes.size(), 3u);
  EXPECT_EQ(boxes.boxes[0], (testing::RecordedBox{msg::kTransferComplete, "Transfer Complete!",
                                                  BoxKind::Information}));
  EXPECT_EQ(boxes.boxes[1].kind, BoxKind::Question);
  EXPECT_EQ(boxes.boxes[1].text, "Confirm file overwrite?");
}

}  // namespace
}  // namespace klxr
