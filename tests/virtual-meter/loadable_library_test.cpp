// The loadable driver library, loaded like the adapter maker's driver and called through its
// exported plain C names, configured from the environment on first use.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "link/d2xx_api.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_wire.h"
#include "virtual-meter/transcript.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace klxr::vm {
namespace {

void SetVariable(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

void UnsetVariable(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

// Sets configuration variables for one test and puts back what was there before, so that a
// repeated test, and the death test's child process, start from the environment they were given.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> variables) {
    for (const auto& [name, value] : variables) {
      const char* before = std::getenv(name);
      saved_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
      SetVariable(name, value);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, before] : saved_) {
      if (before) {
        SetVariable(name, *before);
      } else {
        UnsetVariable(name);
      }
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// A folder of its own under the temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("klxr-vm-test-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
#if defined(_WIN32)
    // Windows removes no file of a loaded library: the copy loaded from here is unloaded first.
    const std::filesystem::path copy =
        path_ / std::filesystem::path(KLXR_VM_LIBRARY_PATH).filename();
    if (const HMODULE library = GetModuleHandleW(copy.c_str())) {
      FreeLibrary(library);
    }
#endif
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const {
    return path_;
  }

 private:
  std::filesystem::path path_;
};

void* FindFunction(void* library, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
  return dlsym(library, name);
#endif
}

// Loads a copy of the library made in the folder, so that each load configures a bus of its own
// from the environment as it is now (a library loaded before stays loaded and keeps its bus), and
// fills a driver table from its exports; the table stays empty when the library or one of its
// functions is missing.
d2xx::D2xxFunctions LoadDriver(const std::filesystem::path& folder) {
  const std::filesystem::path copy =
      folder / std::filesystem::path(KLXR_VM_LIBRARY_PATH).filename();
  std::error_code error;
  std::filesystem::copy_file(KLXR_VM_LIBRARY_PATH, copy,
                             std::filesystem::copy_options::overwrite_existing, error);
  d2xx::D2xxFunctions table;
  if (error) {
    return table;
  }
#if defined(_WIN32)
  void* library = LoadLibraryA(copy.string().c_str());
#else
  void* library = dlopen(copy.string().c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  if (library == nullptr) {
    return table;
  }
  const auto load = [library](auto& entry, const char* name) {
    entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(FindFunction(library, name));
  };
#define KLXR_LOAD(name, shortName, parameters, arguments) load(table.name, #name);
  KLXR_D2XX_FUNCTIONS(KLXR_LOAD)
#undef KLXR_LOAD
  return table;
}

bool Complete(const d2xx::D2xxFunctions& t) {
  bool complete = true;
#define KLXR_PRESENT(name, shortName, parameters, arguments) \
  complete = complete && t.name != nullptr;
  KLXR_D2XX_REQUIRED_FUNCTIONS(KLXR_PRESENT)
#undef KLXR_PRESENT
  return complete;
}

Bytes Ask(const d2xx::D2xxFunctions& driver, d2xx::FT_HANDLE handle, std::string_view word,
          std::size_t count) {
  Bytes frame = MakeFrame(word);
  d2xx::DWORD moved = 0;
  driver.FT_Write(handle, frame.data(), static_cast<d2xx::DWORD>(frame.size()), &moved);
  Bytes reply(count);
  driver.FT_Read(handle, reply.data(), static_cast<d2xx::DWORD>(count), &moved);
  reply.resize(moved);
  return reply;
}

// Opens device 0 on the meter's line with the conversations' time-outs.
d2xx::FT_HANDLE OpenMeterLine(const d2xx::D2xxFunctions& driver) {
  d2xx::FT_HANDLE handle = nullptr;
  if (driver.FT_Open(0, &handle) != d2xx::FT_OK) {
    return nullptr;
  }
  driver.FT_SetBaudRate(handle, 115200);
  driver.FT_SetDataCharacteristics(handle, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                                   d2xx::FT_PARITY_NONE);
  driver.FT_SetTimeouts(handle, 200, 1000);
  return handle;
}

TEST(LoadableLibrary, ExportsTheDriverFunctionsAndServesTheConfiguredMeters) {
  const ScratchFolder folder;
  const std::filesystem::path transcript = folder.Path() / "wire.txt";
  const ScopedEnvironment environment{{"KLXR_VM_DEVICES", "meter,silent"},
                                      {"KLXR_VM_RECORDS", "2"},
                                      {"KLXR_VM_VERSION", "KLXR TEST"},
                                      {"KLXR_VM_CLOCK", "virtual"},
                                      {"KLXR_VM_TRANSCRIPT", transcript.string()}};

  const d2xx::D2xxFunctions driver = LoadDriver(folder.Path());
  ASSERT_TRUE(Complete(driver));
  EXPECT_TRUE(d2xx::HasFastTransferFunctions(driver));
  d2xx::DWORD count = 0;
  ASSERT_EQ(driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY), d2xx::FT_OK);
  EXPECT_EQ(count, 2u);

  const d2xx::FT_HANDLE handle = OpenMeterLine(driver);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Ask(driver, handle, "VERSION", 100).size(), 1u + 3 + 9);
  EXPECT_EQ(Ask(driver, handle, "LOG", 1), Bytes{kAck});
  EXPECT_EQ(Ask(driver, handle, "GET", 68).size(), 68u);
  EXPECT_EQ(Ask(driver, handle, "GET", 68).size(), 68u);
  EXPECT_EQ(HexBytes(Ask(driver, handle, "GET", 100)), "06 02 03 45 4E 44 25");
  EXPECT_EQ(driver.FT_Close(handle), d2xx::FT_OK);

  std::ifstream file(transcript);
  std::stringstream lines;
  lines << file.rdbuf();
  EXPECT_NE(lines.str().find("#0  -> 02 03 4C 4F 47 1A\n"), std::string::npos) << lines.str();
  EXPECT_NE(lines.str().find("#0  <- 06 02 03 45 4E 44 25\n"), std::string::npos);
}

// Restores the current folder when it goes away.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : previous_(std::filesystem::current_path()) {}
  ~CurrentFolderGuard() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  std::filesystem::path previous_;
};

// The heap in use by the whole process, in bytes; nothing where the C library cannot tell.
std::optional<std::size_t> HeapInUse() {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
  return mallinfo2().uordblks;
#else
  return std::nullopt;
#endif
}

// A long demo makes the library's bus take many thousands of calls: none of them, and no line of
// its transcript, stays in memory, while every line reaches the transcript file as it happens.
TEST(LoadableLibrary, KeepsNoLogInMemoryWhileTheTranscriptGoesToItsFile) {
  const ScratchFolder folder;
  const std::filesystem::path transcript = folder.Path() / "wire.txt";
  const ScopedEnvironment environment{{"KLXR_VM_DEVICES", "meter"},
                                      {"KLXR_VM_RECORDS", "1568"},
                                      {"KLXR_VM_CLOCK", "virtual"},
                                      {"KLXR_VM_TRANSCRIPT", transcript.string()}};
  const d2xx::D2xxFunctions driver = LoadDriver(folder.Path());
  ASSERT_TRUE(Complete(driver));
  const d2xx::FT_HANDLE handle = OpenMeterLine(driver);
  ASSERT_NE(handle, nullptr);
  const std::size_t replySize = 1 + MakeFrame(kDefaultVersionText).size();
  ASSERT_EQ(Ask(driver, handle, "VERSION", replySize).size(), replySize);
  const std::optional<std::size_t> heapBefore = HeapInUse();

  constexpr int kExchanges = 2000;
  for (int exchange = 0; exchange < kExchanges; ++exchange) {
    Ask(driver, handle, "VERSION", replySize);
    d2xx::DWORD waiting = 0;
    for (int poll = 0; poll < 10; ++poll) {
      driver.FT_GetQueueStatus(handle, &waiting);
    }
  }
  const std::optional<std::size_t> heapAfter = HeapInUse();

  std::ifstream lines(transcript);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
  }
  EXPECT_EQ(count, 2 * (kExchanges + 1));
  EXPECT_EQ(driver.FT_Close(handle), d2xx::FT_OK);
  if (!heapBefore || !heapAfter) {
    GTEST_SKIP() << "the heap in use cannot be measured here";
  }
  // 26,000 calls and 4,000 transcript entries kept would take several megabytes.
  EXPECT_LT(*heapAfter, *heapBefore + 256 * 1024) << *heapBefore << " -> " << *heapAfter;
}

TEST(LoadableLibrary, RelativeFileNamesAreTakenFromTheFolderOfTheLoad) {
  const ScratchFolder folder;
  std::filesystem::create_directories(folder.Path() / "samples");
  std::filesystem::create_directories(folder.Path() / "elsewhere");
  std::filesystem::copy_file(std::string(KLXR_SOURCE_DIR) + "/samples/mixed.tlg",
                             folder.Path() / "samples" / "mixed.tlg");
  const CurrentFolderGuard currentFolder;
  std::filesystem::current_path(folder.Path());
  const ScopedEnvironment environment{{"KLXR_VM_LOG", "samples/mixed.tlg"},
                                      {"KLXR_VM_CLOCK", "virtual"},
                                      {"KLXR_VM_TRANSCRIPT", "wire.txt"}};
  const d2xx::D2xxFunctions driver = LoadDriver(folder.Path());
  ASSERT_TRUE(Complete(driver));
  // The program moves to another folder (the file chooser does) before its first driver call.
  std::filesystem::current_path(folder.Path() / "elsewhere");

  d2xx::DWORD count = 0;
  ASSERT_EQ(driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY), d2xx::FT_OK);
  ASSERT_EQ(count, 1u);
  const d2xx::FT_HANDLE handle = OpenMeterLine(driver);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Ask(driver, handle, "LOG", 1), Bytes{kAck});
  const Bytes reply = Ask(driver, handle, "GET", 68);
  ASSERT_EQ(reply.size(), 68u);
  // The first record of the sample log, byte for byte.
  std::ifstream sample(folder.Path() / "samples" / "mixed.tlg", std::ios::binary);
  Bytes firstRecord(64);
  sample.read(reinterpret_cast<char*>(firstRecord.data()), 64);
  EXPECT_TRUE(std::equal(firstRecord.begin(), firstRecord.end(), reply.begin() + 3));
  EXPECT_EQ(driver.FT_Close(handle), d2xx::FT_OK);
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "wire.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "elsewhere" / "wire.txt"));
}

TEST(LoadableLibraryDeathTest, BadConfigurationIsReportedAndAttachesNoDevice) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetVariable("KLXR_VM_RECORDS", "lots");
        int status = 1;
        {
          // The child leaves by exit: its folder goes away before that.
          const ScratchFolder folder;
          const d2xx::D2xxFunctions driver = LoadDriver(folder.Path());
          d2xx::DWORD count = 99;
          driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY);
          driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY);
          status = count == 0 ? 0 : 1;
        }
        std::exit(status);
      },
      ::testing::ExitedWithCode(0),
      "configuration error: KLXR_VM_RECORDS: 'lots' is not a count from 0 to "
      "1568\n.*no devices are attached");
}

// The Windows build exports the functions through the .def file, which cannot expand the driver's
// function list: its names must be the list's, in the list's order.
TEST(LoadableLibrary, ModuleDefinitionExportsExactlyTheDriverFunctions) {
  std::ifstream definition(std::string(KLXR_SOURCE_DIR) + "/virtual-meter/klxr-virtual-meter.def");
  ASSERT_TRUE(definition.is_open());
  std::vector<std::string> exported;
  bool inExports = false;
  for (std::string word; definition >> word;) {
    if (inExports) {
      exported.push_back(word);
    }
    inExports = inExports || word == "EXPORTS";
  }
  const std::vector<std::string> listed{
#define KLXR_NAME(name, shortName, parameters, arguments) #name,
      KLXR_D2XX_FUNCTIONS(KLXR_NAME)
#undef KLXR_NAME
  };
  EXPECT_EQ(exported, listed);
}

}  // namespace
}  // namespace klxr::vm
