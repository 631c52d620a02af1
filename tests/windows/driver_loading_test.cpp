// Loading the driver DLL on Windows: by the adapter maker's file name through the system's DLL
// search, by a path named in KLXR_D2XX_LIBRARY in either slash form, and the system's own text in
// the diagnosis when it cannot be loaded.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/driver_library.h"
#include "scratch_folder.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

// Sets the driver variable for one test; an empty value removes it.
class ScopedDriverVariable {
 public:
  explicit ScopedDriverVariable(const std::string& value) {
    _putenv_s(kDriverLibraryVariable, value.c_str());
  }
  ~ScopedDriverVariable() { _putenv_s(kDriverLibraryVariable, ""); }
};

std::string WithBackslashes(std::string path) {
  for (char& c : path) {
    c = c == '/' ? '\\' : c;
  }
  return path;
}

// The virtual meter's library answers: three adapters unless configured otherwise.
void ExpectAWorkingDriver(const DriverLibrary* library, const DriverLoadDiagnosis& diagnosis) {
  ASSERT_NE(library, nullptr) << diagnosis.problem;
  EXPECT_EQ(diagnosis.problem, "");
  d2xx::DWORD count = 99;
  EXPECT_EQ(library->Functions().FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY), 0u);
  EXPECT_LT(count, 99u);
}

TEST(WindowsDriverLoadingTest, LoadsTheLibraryNamedByTheVariableInEitherSlashForm) {
  const std::string absolute = fs::absolute(KLXR_VM_LIBRARY_PATH).string();
  for (const std::string& path :
       {std::string(KLXR_VM_LIBRARY_PATH), WithBackslashes(KLXR_VM_LIBRARY_PATH), absolute,
        WithBackslashes(absolute)}) {
    ScopedDriverVariable variable(path);
    DriverLoadDiagnosis diagnosis;
    std::unique_ptr<DriverLibrary> library = DriverLibrary::Load(&diagnosis);
    EXPECT_EQ(diagnosis.libraryName, path);
    ExpectAWorkingDriver(library.get(), diagnosis);
  }
}

TEST(WindowsDriverLoadingTest, LoadsTheMakersFileNameThroughTheSystemsSearch) {
  testing::ScratchFolder folder;
  fs::copy_file(KLXR_VM_LIBRARY_PATH, folder.Path() / "Ftd2xx.dll");
  ASSERT_TRUE(SetDllDirectoryW(folder.Path().wstring().c_str()));
  {
    ScopedDriverVariable unset("");
    DriverLoadDiagnosis diagnosis;
    std::unique_ptr<DriverLibrary> library = DriverLibrary::Load(&diagnosis);
    EXPECT_EQ(diagnosis.libraryName, "Ftd2xx.dll");
    ExpectAWorkingDriver(library.get(), diagnosis);
  }
  SetDllDirectoryW(nullptr);
}

TEST(WindowsDriverLoadingTest, DiagnosisCarriesTheSystemsText) {
  testing::ScratchFolder folder;
  std::ofstream(folder.Path() / "not-a-library.dll") << "not a library";
  struct Case {
    std::string path;
    std::string start;  // the error code the system gives
  };
  const Case cases[] = {
      {(folder.Path() / "absent.dll").string(), "LoadLibrary failed with error 126: "},
      {(folder.Path() / "not-a-library.dll").string(), "LoadLibrary failed with error 193: "},
  };
  for (const Case& c : cases) {
    DriverLoadDiagnosis diagnosis;
    EXPECT_EQ(DriverLibrary::LoadNamed(c.path, &diagnosis), nullptr);
    EXPECT_EQ(diagnosis.libraryName, c.path);
    EXPECT_EQ(diagnosis.problem.rfind(c.start, 0), 0u) << diagnosis.problem;
    // Some words of the system's own, on one line.
    EXPECT_GT(diagnosis.problem.size(), c.start.size() + 5) << diagnosis.problem;
    EXPECT_EQ(diagnosis.problem.find_first_of("\r\n"), std::string::npos) << diagnosis.problem;
  }
}

}  // namespace
}  // namespace klxr
