// The remembered folders in the registry of the wine prefix, under a key of the test's own.
#include "desktop/win32/registry_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace klxr::win32 {
namespace {

constexpr char kTestKey[] = "KLXRPlusDataTest";

class RegistryFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\KLXRPlusDataTest"); }
  void TearDown() override { SetUp(); }
  RegistryFolders folders_{kTestKey};
};

TEST_F(RegistryFoldersTest, ReadsBackWhatWasWrittenWhenItFits) {
  EXPECT_EQ(folders_.Read("LogLoadDir"), std::nullopt);  // no key yet
  const struct {
    const char* name;
    std::string folder;
    bool readBack;
  } kCases[] = {
      {"LogLoadDir", "C:\\logs", true},
      {"LogSaveDir", "C:\\my logs\\2024 survey", true},
      {"KLXRPlusExportDir", "Z:\\" + std::string(1020, 'e'), true},  // 1023 characters
      {"LogLoadDir", "Z:\\" + std::string(1021, 'e'), false},        // 1024: does not fit
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(folders_.Write(c.name, c.folder), "") << c.name;
    EXPECT_EQ(folders_.Read(c.name), c.readBack ? std::optional(c.folder) : std::nullopt)
        << c.name << " " << c.folder.size();
  }
  EXPECT_EQ(folders_.Read("NoSuchValue"), std::nullopt);
}

TEST_F(RegistryFoldersTest, StoresATerminatedStringAndReadsOneWithoutTerminator) {
  ASSERT_EQ(folders_.Write("LogLoadDir", "C:\\a"), "");
  HKEY key = nullptr;
  ASSERT_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\KLXRPlusDataTest", 0, KEY_READ | KEY_WRITE, &key),
      ERROR_SUCCESS);
  DWORD type = 0;
  BYTE data[16] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "LogLoadDir", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 5u);  // the text and its terminator
  const char unterminated[] = {'D', ':', '\\', 'x'};
  RegSetValueExA(key, "LogSaveDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                 sizeof unterminated);
  RegCloseKey(key);
  EXPECT_EQ(folders_.Read("LogSaveDir"), std::optional<std::string>("D:\\x"));
}

}  // namespace
}  // namespace klxr::win32
