// The loadable driver library, loaded like the adapter maker's driver and called through its
// exported plain C names, configured from the environment on first use.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "link/d2xx_api.h"
#include "virtual-meter/meter_wire.h"
#include "virtual-meter/transcript.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
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

void* FindFunction(void* library, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
  return dlsym(library, name);
#endif
}

// Loads the library and fills a driver table from its exports; the table stays empty when the
// library or one of its functions is missing.
d2xx::D2xxFunctions LoadDriver() {
#if defined(_WIN32)
  void* library = LoadLibraryA(KLXR_VM_LIBRARY_PATH);
#else
  void* library = dlopen(KLXR_VM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
#endif
  d2xx::D2xxFunctions table;
  if (library == nullptr) {
    return table;
  }
  const auto load = [library](auto& entry, const char* name) {
    entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(FindFunction(library, name));
  };
  load(table.FT_ListDevices, "FT_ListDevices");
  load(table.FT_Open, "FT_Open");
  load(table.FT_Close, "FT_Close");
  load(table.FT_Read, "FT_Read");
  load(table.FT_Write, "FT_Write");
  load(table.FT_SetBaudRate, "FT_SetBaudRate");
  load(table.FT_SetDataCharacteristics, "FT_SetDataCharacteristics");
  load(table.FT_SetFlowControl, "FT_SetFlowControl");
  load(table.FT_SetDtr, "FT_SetDtr");
  load(table.FT_ClrDtr, "FT_ClrDtr");
  load(table.FT_Purge, "FT_Purge");
  load(table.FT_SetTimeouts, "FT_SetTimeouts");
  load(table.FT_EE_Read, "FT_EE_Read");
  load(table.FT_EE_Program, "FT_EE_Program");
  load(table.FT_CyclePort, "FT_CyclePort");
  return table;
}

bool Complete(const d2xx::D2xxFunctions& t) {
  return t.FT_ListDevices && t.FT_Open && t.FT_Close && t.FT_Read && t.FT_Write &&
         t.FT_SetBaudRate && t.FT_SetDataCharacteristics && t.FT_SetFlowControl && t.FT_SetDtr &&
         t.FT_ClrDtr && t.FT_Purge && t.FT_SetTimeouts && t.FT_EE_Read && t.FT_EE_Program &&
         t.FT_CyclePort;
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

TEST(LoadableLibrary, ExportsTheDriverFunctionsAndServesTheConfiguredMeters) {
  const std::filesystem::path transcript =
      std::filesystem::temp_directory_path() /
      ("klxr-vm-wire-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".txt");
  SetVariable("KLXR_VM_DEVICES", "meter,silent");
  SetVariable("KLXR_VM_RECORDS", "2");
  SetVariable("KLXR_VM_VERSION", "KLXR TEST");
  SetVariable("KLXR_VM_CLOCK", "virtual");
  SetVariable("KLXR_VM_TRANSCRIPT", transcript.string());

  const d2xx::D2xxFunctions driver = LoadDriver();
  ASSERT_TRUE(Complete(driver));
  d2xx::DWORD count = 0;
  ASSERT_EQ(driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY), d2xx::FT_OK);
  EXPECT_EQ(count, 2u);

  d2xx::FT_HANDLE handle = nullptr;
  ASSERT_EQ(driver.FT_Open(0, &handle), d2xx::FT_OK);
  driver.FT_SetBaudRate(handle, 115200);
  driver.FT_SetDataCharacteristics(handle, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                                   d2xx::FT_PARITY_NONE);
  driver.FT_SetTimeouts(handle, 200, 1000);
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
  file.close();
#if defined(_WIN32)
  // Windows removes no file that is open: unloading the library closes its transcript.
  FreeLibrary(
      GetModuleHandleA(std::filesystem::path(KLXR_VM_LIBRARY_PATH).filename().string().c_str()));
#endif
  std::filesystem::remove(transcript);
}

TEST(LoadableLibraryDeathTest, BadConfigurationIsReportedAndAttachesNoDevice) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetVariable("KLXR_VM_RECORDS", "lots");
        const d2xx::D2xxFunctions driver = LoadDriver();
        d2xx::DWORD count = 99;
        driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY);
        driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY);
        std::exit(count == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0),
      "configuration error: KLXR_VM_RECORDS: 'lots' is not a count from 0 to "
      "1568\n.*no devices are attached");
}

}  // namespace
}  // namespace klxr::vm
