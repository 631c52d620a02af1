#include "link/driver_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "link/com_access.h"
#include "link/driver_messages.h"

namespace klxr {
namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    Set(value.c_str());
  }
  ~ScopedEnvironment() { old_ ? Set(old_->c_str()) : Unset(); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
#if defined(_WIN32)
  void Set(const char* value) {
    _putenv_s(name_, value);
  }
  void Unset() {
    _putenv_s(name_, "");
  }
#else
  void Set(const char* value) {
    setenv(name_, value, 1);
  }
  void Unset() {
    unsetenv(name_);
  }
#endif
  const char* name_;
  std::optional<std::string> old_;
};

#if defined(_WIN32)
constexpr const char* kVendorLibrary = "Ftd2xx.dll";
#elif defined(__APPLE__)
constexpr const char* kVendorLibrary = "libftd2xx.dylib";
#else
constexpr const char* kVendorLibrary = "libftd2xx.so";
#endif

TEST(DriverLibraryTest, ChoosesTheEnvironmentsLibraryWhenNamed) {
  EXPECT_EQ(DriverLibrary::ChooseDriverLibraryName(""), kVendorLibrary);
  EXPECT_EQ(DriverLibrary::ChooseDriverLibraryName("/opt/meter/virtual.so"),
            "/opt/meter/virtual.so");
}

TEST(DriverLibraryTest, EmptyVariableMeansTheVendorsLibrary) {
  ScopedEnvironment environment(kDriverLibraryVariable, "");
  DriverLoadDiagnosis diagnosis;
  std::unique_ptr<DriverLibrary> library = DriverLibrary::Load(&diagnosis);
  EXPECT_EQ(diagnosis.libraryName, kVendorLibrary);
  EXPECT_EQ(library == nullptr, !diagnosis.problem.empty());
}

TEST(DriverLibraryTest, LoadsTheLibraryNamedByTheEnvironment) {
  ScopedEnvironment environment(kDriverLibraryVariable, KLXR_TEST_DRIVER);
  DriverLoadDiagnosis diagnosis;
  std::unique_ptr<DriverLibrary> library = DriverLibrary::Load(&diagnosis);
  ASSERT_NE(library, nullptr) << diagnosis.problem;
  EXPECT_EQ(diagnosis.libraryName, KLXR_TEST_DRIVER);
  EXPECT_EQ(diagnosis.problem, "");
  EXPECT_EQ(library->LibraryName(), KLXR_TEST_DRIVER);

  // The table reaches the library's own functions.
  const d2xx::D2xxFunctions& functions = library->Functions();
  d2xx::DWORD count = 0;
  EXPECT_EQ(functions.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY), 0u);
  EXPECT_EQ(count, 3u);
  ComAccess port(functions);
  EXPECT_EQ(port.OpenAndConfigure(0, 115200, 8, 0, 0), 0u);
  EXPECT_EQ(port.SetBaudRate(9600), d2xx::FT_INVALID_BAUD_RATE);
  EXPECT_EQ(port.CheckEeprom(false), d2xx::FT_EEPROM_NOT_PRESENT);
  // The library lacks the optional functions: it loads all the same, without them, and the port
  // calls nothing for them.
  EXPECT_FALSE(d2xx::HasFastTransferFunctions(functions));
  EXPECT_EQ(functions.FT_GetQueueStatus, nullptr);
  EXPECT_EQ(port.QueueStatus(), d2xx::FT_NOT_SUPPORTED);
  EXPECT_EQ(port.SetLatencyTimer(2), d2xx::FT_NOT_SUPPORTED);
  EXPECT_EQ(port.Close(), 0u);
}

TEST(DriverLibraryTest, NoDriverWithoutTheLibraryOrOneOfItsFunctions) {
  const std::string missingFile = std::string(KLXR_TEST_DRIVER) + ".absent";
  {
    ScopedEnvironment environment(kDriverLibraryVariable, missingFile);
    DriverLoadDiagnosis diagnosis;
    EXPECT_EQ(DriverLibrary::Load(&diagnosis), nullptr);
    EXPECT_EQ(diagnosis.libraryName, missingFile);
    EXPECT_NE(diagnosis.problem, "");
  }
  DriverLoadDiagnosis diagnosis;
  EXPECT_EQ(DriverLibrary::LoadNamed(KLXR_TEST_DRIVER_INCOMPLETE, &diagnosis), nullptr);
  EXPECT_EQ(diagnosis.problem, "the library has no function FT_CyclePort");
  EXPECT_EQ(DriverLibrary::LoadNamed(KLXR_TEST_DRIVER_INCOMPLETE), nullptr);
}

TEST(DriverLibraryTest, CandidatesInTheOrderTheyAreTried) {
  const std::string bundled = std::string("/opt/klxr/bin/../open-driver/") + kOpenDriverFileName;
  const std::string installed = std::string("/opt/klxr/bin/../lib/klxr-log/") + kOpenDriverFileName;
  const struct {
    const char* environment;
    const char* programFolder;
    std::vector<std::string> linux;
    std::vector<std::string> elsewhere;
  } cases[] = {
      {"", "/opt/klxr/bin", {bundled, installed, kVendorLibrary}, {kVendorLibrary}},
      {"/tmp/virtual.so", "/opt/klxr/bin", {"/tmp/virtual.so"}, {"/tmp/virtual.so"}},
      {"", "", {kVendorLibrary}, {kVendorLibrary}},
  };
  for (const auto& c : cases) {
#if defined(__linux__)
    const std::vector<std::string>& expected = c.linux;
#else
    const std::vector<std::string>& expected = c.elsewhere;
#endif
    EXPECT_EQ(DriverLibrary::DriverLibraryCandidates(c.environment, c.programFolder), expected)
        << "'" << c.environment << "' '" << c.programFolder << "'";
  }
}

// What the user is told when no driver loads: every file tried with the system's reason, where the
// default driver of this platform is looked for, and never another platform's file.
TEST(DriverLibraryTest, MissingDriverWarningNamesThePlatformsFile) {
  const std::string missingFile = std::string(KLXR_TEST_DRIVER) + ".absent";
#if defined(__linux__)
  const std::string defaultDriver = kOpenDriverFileName;
  const std::string whereItIsLookedFor = defaultDriver + " is the default";
  const char* otherPlatformsFile = "ftd2xx.dll";
#else
  const std::string defaultDriver = kVendorLibrary;
  const std::string whereItIsLookedFor = defaultDriver + " is looked for beside the program";
  const char* otherPlatformsFile = "libftd2xx.so";
#endif
  const auto loadWith = [](const std::string& variable) {
    ScopedEnvironment environment(kDriverLibraryVariable, variable);
    DriverLoadDiagnosis diagnosis;
    EXPECT_EQ(DriverLibrary::Load(&diagnosis), nullptr);
    return diagnosis;
  };
  DriverLoadDiagnosis incomplete;
  EXPECT_EQ(DriverLibrary::LoadNamed(KLXR_TEST_DRIVER_INCOMPLETE, &incomplete), nullptr);
  const struct {
    const char* name;
    DriverLoadDiagnosis diagnosis;
    DriverSituation situation;
    std::vector<std::string> mentions;
  } cases[] = {
      {"named by the variable",
       loadWith(missingFile),
       DriverSituation::kLibraryMissing,
       {missingFile + " (", "names this file: correct the variable", defaultDriver}},
      {"the platform's own",
       loadWith(""),
       DriverSituation::kLibraryMissing,
       {std::string(kVendorLibrary) + " (", whereItIsLookedFor, kDriverLibraryVariable}},
      {"lacking a function",
       incomplete,
       DriverSituation::kFunctionMissing,
       {std::string(KLXR_TEST_DRIVER_INCOMPLETE) + " was loaded but has no function FT_CyclePort",
        defaultDriver}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SituationOfLoadFailure(c.diagnosis), c.situation);
    const std::string text = LibraryProblemText(c.diagnosis);
    for (const std::string& mention : c.mentions) {
      EXPECT_NE(text.find(mention), std::string::npos) << text << "\nlacks: " << mention;
    }
    EXPECT_EQ(text.find(otherPlatformsFile), std::string::npos) << text;
    // The system's reason follows the file's name once, without repeating it.
    const std::string& file = c.diagnosis.libraryName;
    EXPECT_EQ(text.find(file + " (" + file), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace klxr
