// The survey archive under names outside ASCII: the program holds file names in the ANSI code
// page, SQLite takes them in UTF-8, and the archive must land under the name the user gave.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "archive/archive_location.h"
#include "archive/survey_archive.h"
#include "platform/utf8_name.h"
#include "samples/sample_logs.h"
#include "scratch_folder.h"

namespace klxr {
namespace {

// A wide text in the given code page; nullopt when a character has no form there (no look-alike
// letters in its place).
std::optional<std::string> InCodePage(UINT codePage, const std::wstring& wide) {
  BOOL lossy = FALSE;
  BOOL* lossyFlag = codePage == CP_UTF8 ? nullptr : &lossy;
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, lossyFlag);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), text.data(),
                      size, nullptr, lossyFlag);
  if (lossy) {
    return std::nullopt;
  }
  return text;
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                          static_cast<int>(ansi.size()))));
  return wide;
}

// Names with letters of Western European and Central European code pages; those that the
// machine's ANSI code page cannot hold are skipped.
const wchar_t* const kNames[] = {
    L"plain",
    L"Caf\u00e9 Stra\u00dfe",   // é, ß
    L"\u00c5rhus m\u00e5ling",  // Å, å
    L"Z\u00e1\u0159\u00ed",     // á, ř, í
};

TEST(ArchiveNamesTest, Utf8NamesOfAnsiNames) {
  for (const wchar_t* name : kNames) {
    const std::optional<std::string> ansi = InCodePage(CP_ACP, name);
    if (!ansi) {
      continue;
    }
    EXPECT_EQ(platform::Utf8NameOf(*ansi), InCodePage(CP_UTF8, name)) << *ansi;
  }
}

TEST(ArchiveNamesTest, TheArchiveIsWhereItsAnsiNameSays) {
  testing::ScratchFolder scratch;
  int tried = 0;
  for (const wchar_t* name : kNames) {
    const std::optional<std::string> ansi = InCodePage(CP_ACP, name);
    if (!ansi) {
      continue;
    }
    ++tried;
    const std::string file = scratch.Path().string() + "\\" + *ansi + "\\surveys.sqlite";
    ASSERT_EQ(archive::PrepareArchiveFolder(file), "") << *ansi;
    auto opened = archive::SurveyArchive::Open(file);
    ASSERT_TRUE(opened.Ok()) << opened.Problem();
    archive::SurveyFacts facts;
    facts.complete = true;
    ASSERT_TRUE(opened.Value()->Store(samples::MakeRealisticLog(40, 7), facts).Ok()) << *ansi;
    opened = archive::SurveyArchive::Open(file);  // and opened again by the same name
    ASSERT_TRUE(opened.Ok()) << opened.Problem();
    ASSERT_TRUE(opened.Value()->List().Ok());
    EXPECT_EQ(opened.Value()->List().Value().size(), 1U) << *ansi;
    EXPECT_NE(GetFileAttributesW(Wide(file).c_str()), INVALID_FILE_ATTRIBUTES) << *ansi;
  }
  EXPECT_GE(tried, 2) << "the ANSI code page " << GetACP() << " holds none of the names";
}

}  // namespace
}  // namespace klxr
