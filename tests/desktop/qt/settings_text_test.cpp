// The settings file's text: values as the toolkit's INI writer has always written them, read back
// the same way, and every other line kept when a value is set. Each table is checked against the
// toolkit's own settings class, which wrote these files before.
#include "desktop/settings_text.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "desktop/qt/eight_bit_text.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

constexpr std::string_view kName = "LogLoadDir";

std::string ReadFile(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll().toStdString();
}

void WriteFile(const QString& path, std::string_view text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text.data(), static_cast<qint64>(text.size()));
}

// A file name not used before in the folder: the toolkit's settings class keeps what it read of a
// file, and may take a file rewritten within the same second for the one it knows.
QString NewFile(const testing::TemporaryFolder& folder, int& count) {
  return QString::fromStdString(folder.Path(QString("settings-%1.ini").arg(++count)));
}

// What the toolkit's settings class reads from the text.
std::string ReadByToolkit(const QString& path, std::string_view text, std::string_view name) {
  WriteFile(path, text);
  return PathFromQString(
      QSettings(path, QSettings::IniFormat).value(TextToQString(name)).toString());
}

// Folders with every character the value's escaping treats apart.
const std::string kFolders[] = {
    "/home/ann/logs",
    "",
    " starts with a blank",
    "/ends with a blank ",
    "/site 4; north",
    "/a,b",
    "/x=y",
    "/\"quoted\"",
    "C:\\logs\\site",
    "/tab\there",
    "/line\nbreak",
    std::string("/ctl\x01") + "a1",
    std::string("/ctl\x1f") + "f0g",
    "/bell\a\b\f\r\v",
    "@at the start",
    "@@twice",
    "@Invalid()",
    "/caf\xc3\xa9/\xe6\x97\xa5",
    "/del\x7f",
};

TEST(SettingsText, EachFolderIsWrittenAsTheToolkitWritesItAndReadBackBothWays) {
  testing::TemporaryFolder folder;
  int file = 0;
  for (const std::string& value : kFolders) {
    SCOPED_TRACE(value);
    const QString path = NewFile(folder, file);
    {
      QSettings toolkit(path, QSettings::IniFormat);
      toolkit.setValue(TextToQString(kName), PathToQString(value));
    }
    const std::string written = ReadFile(path);
    EXPECT_EQ(SetSettingsValue("", kName, value), written);
    EXPECT_EQ(FindSettingsValue(written, kName), value);
    EXPECT_EQ(UnescapeSettingsValue(EscapeSettingsValue(value)), value);
  }
}

TEST(SettingsText, FindsTheStringValueOfTheGeneralSectionAsTheToolkitReadsIt) {
  const struct {
    const char* text;
    std::optional<std::string> found;
  } kTexts[] = {
      {"LogLoadDir=/before/any/section\n", "/before/any/section"},
      {"[General]\nLogLoadDir = /spaced  ; a comment\n", "/spaced"},
      {"[general]\nLogLoadDir=\"/kept blank \"\n", "/kept blank "},
      {"[General]\nLogLoadDir=/tab\\t \n", "/tab\t"},
      {"[General]\nLogLoadDir=/first\nLogLoadDir=/last\n", "/last"},
      {"\xEF\xBB\xBF[General]\r\nLogLoadDir=/marked\r\n", "/marked"},
      {"[General]\nLogLoadDir=/a\\x41\\102\\q\n", "/aAB"},
      {"[General]\nLogLoadDir=\"/across\nlines\"\n", "/across\nlines"},
      {"[General]\nLogLoadDir=\n", ""},
      {"[Other]\nLogLoadDir=/elsewhere\n", std::nullopt},
      {"[General]\nLogLoadDirs=/other/name\n", std::nullopt},
      {"[General]\nLogLoadDir=/a, /b\n", std::nullopt},
      {"[General]\nLogLoadDir=@Variant(\\0\\0\\0\\x2)\n", std::nullopt},
      {"", std::nullopt},
  };
  testing::TemporaryFolder folder;
  int file = 0;
  for (const auto& test : kTexts) {
    SCOPED_TRACE(test.text);
    EXPECT_EQ(FindSettingsValue(test.text, kName), test.found);
    if (test.found) {
      EXPECT_EQ(ReadByToolkit(NewFile(folder, file), test.text, kName), *test.found);
    }
  }
}

TEST(SettingsText, SettingAValueKeepsEveryOtherLine) {
  const struct {
    const char* before;
    const char* after;
  } kTexts[] = {
      {"", "[General]\nLogLoadDir=/new\n"},
      {"[General]\nLogSaveDir=/s\n", "[General]\nLogSaveDir=/s\nLogLoadDir=/new\n"},
      {"[General]\nLogLoadDir=/old ; note\nLogSaveDir=/s\n\n[Other]\nk=v\n",
       "[General]\nLogLoadDir=/new\nLogSaveDir=/s\n\n[Other]\nk=v\n"},
      {"[General]\nLogLoadDir=/a\nLogSaveDir=/s\nLogLoadDir=/b\n",
       "[General]\nLogLoadDir=/new\nLogSaveDir=/s\n"},
      {"[Other]\nk=v", "[Other]\nk=v\n\n[General]\nLogLoadDir=/new\n"},
      {"; my folders\n[Other]\nk=v\n", "; my folders\nLogLoadDir=/new\n[Other]\nk=v\n"},
      {"[General]\r\nLogSaveDir=/s\r\n\r\n[Other]\r\nk=v\r\n",
       "[General]\r\nLogSaveDir=/s\r\nLogLoadDir=/new\r\n\r\n[Other]\r\nk=v\r\n"},
      {"[General]\nLogSaveDir=/s", "[General]\nLogSaveDir=/s\nLogLoadDir=/new\n"},
  };
  testing::TemporaryFolder folder;
  int file = 0;
  for (const auto& test : kTexts) {
    SCOPED_TRACE(test.before);
    const std::string after = SetSettingsValue(test.before, kName, "/new");
    EXPECT_EQ(after, test.after);
    EXPECT_EQ(ReadByToolkit(NewFile(folder, file), after, kName), "/new");
  }
}

}  // namespace
}  // namespace klxr
