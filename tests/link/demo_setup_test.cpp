#include "link/demo_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace klxr {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibrary = KLXR_VIRTUAL_METER_FILE_NAME;

class DemoFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("klxr-demo-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "bin");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Make(const std::string& relative) const {
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
  }

  fs::path root_;
};

struct LayoutCase {
  const char* name;
  std::vector<std::string> files;  // made under the root; the program lives in root/bin
  std::string library;             // expected, relative to the root; empty: no demo
  std::string sampleLog;
};

TEST_F(DemoFilesTest, InstalledLayoutFirstThenTheBuildTreeAndBothFilesNeeded) {
  const std::string installedLibrary = std::string("lib/klxr-log/") + kLibrary;
  const std::string builtLibrary = std::string("virtual-meter/") + kLibrary;
  const std::string installedSample = "share/klxr-log/samples/mixed.tlg";
  const std::string builtSample = "samples/mixed.tlg";
  const LayoutCase kCases[] = {
      {"installed", {installedLibrary, installedSample}, installedLibrary, installedSample},
      {"build tree", {builtLibrary, builtSample}, builtLibrary, builtSample},
      {"both",
       {builtLibrary, builtSample, installedLibrary, installedSample},
       installedLibrary,
       installedSample},
      {"installed on Windows",
       {std::string("bin/") + kLibrary, "bin/samples/mixed.tlg"},
       std::string("bin/") + kLibrary,
       "bin/samples/mixed.tlg"},
      {"each found where it is", {installedLibrary, builtSample}, installedLibrary, builtSample},
      {"no sample", {installedLibrary, builtLibrary}, "", ""},
      {"no library", {installedSample}, "", ""},
      {"another sample only", {"share/klxr-log/samples/full.tlg", installedLibrary}, "", ""},
      {"a folder by the library's name", {installedSample, installedLibrary + "/inside"}, "", ""},
  };
  for (const LayoutCase& testCase : kCases) {
    fs::remove_all(root_);
    fs::create_directories(root_ / "bin");
    for (const std::string& file : testCase.files) {
      Make(file);
    }
    const std::optional<DemoFiles> found = FindDemoFiles(root_ / "bin");
    if (testCase.library.empty()) {
      EXPECT_FALSE(found) << testCase.name;
      continue;
    }
    ASSERT_TRUE(found) << testCase.name;
    EXPECT_EQ(found->library, (root_ / testCase.library).lexically_normal()) << testCase.name;
    EXPECT_EQ(found->sampleLog, (root_ / testCase.sampleLog).lexically_normal()) << testCase.name;
  }
}

TEST(ProgramFolder, IsTheFolderHoldingTheRunningProgram) {
  const fs::path folder = ProgramFolder(nullptr);
  EXPECT_TRUE(folder.is_absolute());
  EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace klxr
