// The rules of the one file writer: links followed, special files written into, regular files
// replaced atomically with their identity kept or written in place, read-only files refused.
#include "log/file_writer.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <signal.h>
#include <sys/resource.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <memory>

#include "log/log_files.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "support/scratch_folder.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

const std::string kNew = "new content\r\n";
const std::string kOld = "old content, longer than the new one\r\n";

class FileWriterTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }
  FileStatus Replace(const std::string& name, const std::string& text = kNew,
                     const FileHooks& hooks = {}) {
    return ReplaceFile(PathOf(name), std::string_view(text), hooks);
  }
  bool IsRoot() const { return geteuid() == 0; }

  ScratchFolder folder_;
};

TEST_F(FileWriterTest, LinkChainsAreFollowedToTheFileAtTheirEnd) {
  fs::create_directory(folder_.Path() / "sub");
  folder_.Write("sub/log.tlg", kOld);
  struct Case {
    std::vector<std::pair<std::string, std::string>> links;  // name, target
    std::string written;                                     // the name written through
  };
  const std::vector<Case> cases{
      {{{"one", "sub/log.tlg"}}, "one"},
      {{{"a", "b"}, {"b", "c"}, {"c", "sub/log.tlg"}}, "a"},
      {{{"sub/rel", "log.tlg"}}, "sub/rel"},  // relative to the link's own folder
      {{{"abs", PathOf("sub/log.tlg")}}, "abs"},
  };
  for (const Case& test : cases) {
    for (const auto& [name, target] : test.links) {
      fs::create_symlink(target, folder_.Path() / name);
    }
    const std::string text = "through " + test.written;
    EXPECT_EQ(Replace(test.written, text), FileStatus::Ok) << test.written;
    EXPECT_EQ(folder_.Read("sub/log.tlg"), text);
    for (const auto& [name, target] : test.links) {
      EXPECT_TRUE(fs::is_symlink(folder_.Path() / name)) << name;
      fs::remove(folder_.Path() / name);
    }
  }
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"sub"});
  EXPECT_EQ(fs::directory_iterator(folder_.Path() / "sub")->path().filename(), "log.tlg");
}

TEST_F(FileWriterTest, DanglingLinkCreatesTheFileItNamesAndStaysALink) {
  fs::create_directory(folder_.Path() / "sub");
  fs::create_symlink("sub/new.tlg", folder_.Path() / "direct");
  fs::create_symlink("direct", folder_.Path() / "chain");
  EXPECT_EQ(Replace("chain"), FileStatus::Ok);
  EXPECT_TRUE(fs::is_symlink(folder_.Path() / "chain"));
  EXPECT_TRUE(fs::is_symlink(folder_.Path() / "direct"));
  EXPECT_EQ(folder_.Read("sub/new.tlg"), kNew);
}

TEST_F(FileWriterTest, LoopingLinkIsAFileThatCannotBeCreated) {
  fs::create_symlink("self", folder_.Path() / "self");
  fs::create_symlink("b", folder_.Path() / "a");
  fs::create_symlink("a", folder_.Path() / "b");
  for (const std::string name : {"self", "a", "b"}) {
    EXPECT_EQ(Replace(name), FileStatus::CannotOpen) << name;
    EXPECT_TRUE(fs::is_symlink(folder_.Path() / name));
    testing::RecordingMessageBoxes boxes;
    EXPECT_EQ(SaveLogFile(LogImage{}, PathOf(name), boxes, false), -1);
    EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kCantSaveProgramImage});
  }
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"a", "b", "self"}));
}

TEST_F(FileWriterTest, FifoWithoutReaderFailsAtOnceAndStaysAFifo) {
  ASSERT_TRUE(folder_.MakeFifo("fifo"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Replace("fifo"), FileStatus::CannotOpen);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(S_ISFIFO(folder_.StatOf("fifo").st_mode));
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"fifo"});
}

TEST_F(FileWriterTest, FifoAndPipeLinkWithAReaderAreWrittenIntoNotReplaced) {
  ASSERT_TRUE(folder_.MakeFifo("fifo"));
  std::array<int, 2> pipeEnds{};
  ASSERT_EQ(pipe(pipeEnds.data()), 0);
  // A link to the descriptor of a pipe, as a path to standard output would be.
  fs::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]), folder_.Path() / "stdout");
  const int fifoReader = open(PathOf("fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fifoReader, 0);
  for (const auto& [name, reader] : {std::pair{"fifo", fifoReader}, {"stdout", pipeEnds[0]}}) {
    EXPECT_EQ(Replace(name, std::string("to ") + name), FileStatus::Ok) << name;
    std::array<char, 64> received{};
    const ssize_t count = read(reader, received.data(), received.size());
    EXPECT_EQ(std::string(received.data(), std::size_t(std::max<ssize_t>(count, 0))),
              std::string("to ") + name);
  }
  close(fifoReader);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  EXPECT_TRUE(S_ISFIFO(folder_.StatOf("fifo").st_mode));
  EXPECT_TRUE(fs::is_symlink(folder_.Path() / "stdout"));
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"fifo", "stdout"}));
}

TEST_F(FileWriterTest, SocketCannotBeWrittenAndStaysASocket) {
  ASSERT_TRUE(folder_.MakeSocket("socket"));
  EXPECT_EQ(Replace("socket"), FileStatus::CannotOpen);
  EXPECT_TRUE(S_ISSOCK(folder_.StatOf("socket").st_mode));
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"socket"});
}

TEST_F(FileWriterTest, DeviceNodesAreWrittenIntoNeverReplaced) {
  // The numbers of the null device (swallows) and of the full device (every write fails).
  if (!folder_.MakeCharacterDevice("null", 1, 3) || !folder_.MakeCharacterDevice("full", 1, 7)) {
    GTEST_SKIP() << "device nodes cannot be made here";
  }
  const LogImage image = samples::MakeRealisticLog(30, 4);
  testing::RecordingMessageBoxes boxes;
  EXPECT_EQ(SaveLogFile(image, PathOf("null"), boxes, false), 0);
  EXPECT_EQ(ExportCsv(image, PathOf("null"), 30, boxes, false), 0);
  EXPECT_TRUE(boxes.boxes.empty());
  for (const bool quiet : {false, true}) {
    testing::RecordingMessageBoxes full;
    EXPECT_EQ(SaveLogFile(image, PathOf("full"), full, quiet), -1);
    EXPECT_EQ(ExportCsv(image, PathOf("full"), 30, full, quiet), -1);
    EXPECT_EQ(full.Indexes(), std::vector<int>(2, msg::kCantSaveProgramImage));
  }
  for (const std::string name : {"null", "full"}) {
    const struct stat status = folder_.StatOf(name);
    EXPECT_TRUE(S_ISCHR(status.st_mode)) << name;
  }
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"full", "null"}));
}

TEST_F(FileWriterTest, ReplacedFileKeepsItsPermissionBitsAndOwner) {
  for (const mode_t mode : {0600, 0640, 0664, 0755}) {
    folder_.Write("log.tlg", kOld);
    ASSERT_EQ(chmod(PathOf("log.tlg").c_str(), mode), 0);
    EXPECT_EQ(Replace("log.tlg"), FileStatus::Ok);
    EXPECT_EQ(folder_.StatOf("log.tlg").st_mode & 07777, mode);
    EXPECT_EQ(folder_.Read("log.tlg"), kNew);
  }
  if (!IsRoot()) {
    GTEST_SKIP() << "only the superuser can give a file to another owner";
  }
  ASSERT_EQ(chown(PathOf("log.tlg").c_str(), 4321, 4322), 0);
  EXPECT_EQ(Replace("log.tlg", kOld), FileStatus::Ok);
  EXPECT_EQ(folder_.StatOf("log.tlg").st_uid, 4321u);
  EXPECT_EQ(folder_.StatOf("log.tlg").st_gid, 4322u);
  EXPECT_EQ(folder_.Read("log.tlg"), kOld);
}

TEST_F(FileWriterTest, ReadOnlyFileIsRefusedAndKept) {
  // A file without any write permission is read-only for every user, the superuser included.
  folder_.Write("log.tlg", kOld);
  ASSERT_EQ(chmod(PathOf("log.tlg").c_str(), 0444), 0);
  for (const bool quiet : {false, true}) {
    testing::RecordingMessageBoxes boxes;
    EXPECT_EQ(SaveLogFile(LogImage{}, PathOf("log.tlg"), boxes, quiet), -1);
    EXPECT_EQ(boxes.Indexes().size(), quiet ? 0u : 1u);
  }
  EXPECT_EQ(CheckFileCanBeWritten(PathOf("log.tlg")), FileStatus::CannotOpen);
  EXPECT_EQ(folder_.Read("log.tlg"), kOld);
  EXPECT_EQ(folder_.StatOf("log.tlg").st_mode & 07777, 0444u);
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"log.tlg"});
}

TEST_F(FileWriterTest, HardLinkedFileIsWrittenInPlace) {
  folder_.Write("log.tlg", kOld);
  fs::create_hard_link(folder_.Path() / "log.tlg", folder_.Path() / "other-name.tlg");
  const ino_t inode = folder_.StatOf("log.tlg").st_ino;
  EXPECT_EQ(Replace("log.tlg"), FileStatus::Ok);
  EXPECT_EQ(folder_.Read("other-name.tlg"), kNew);
  EXPECT_EQ(folder_.StatOf("log.tlg").st_ino, inode);
  EXPECT_EQ(folder_.StatOf("log.tlg").st_nlink, 2u);
  // A failing write in place reports the failure and leaves no temporary file.
  testing::RecordingMessageBoxes boxes;
  FileHooks failing;
  failing.write = [](std::FILE*, const std::uint8_t*, std::size_t) { return std::size_t{0}; };
  EXPECT_EQ(Replace("log.tlg", kOld, failing), FileStatus::WriteFailed);
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"log.tlg", "other-name.tlg"}));
}

TEST_F(FileWriterTest, FileInAFolderThatIsNotWritableIsWrittenInPlace) {
  if (IsRoot()) {
    GTEST_SKIP() << "the superuser may write into any folder";
  }
  fs::create_directory(folder_.Path() / "locked");
  folder_.Write("locked/log.tlg", kOld);
  ASSERT_EQ(chmod(PathOf("locked").c_str(), 0555), 0);
  EXPECT_EQ(Replace("locked/log.tlg"), FileStatus::Ok);
  EXPECT_EQ(folder_.Read("locked/log.tlg"), kNew);
  EXPECT_EQ(Replace("locked/new.tlg"), FileStatus::CannotOpen);
  chmod(PathOf("locked").c_str(), 0755);
}

TEST_F(FileWriterTest, NamesUpToTheFileSystemLimitCanBeSaved) {
  const long limit = pathconf(folder_.Path().c_str(), _PC_NAME_MAX);
  ASSERT_GT(limit, 16);
  for (const long length : {limit - 2, limit}) {
    const std::string name = std::string(std::size_t(length) - 4, 'n') + ".tlg";
    testing::RecordingMessageBoxes boxes;
    EXPECT_EQ(SaveLogFile(LogImage{}, PathOf(name), boxes, false), 0) << length;
    EXPECT_EQ(fs::file_size(folder_.Path() / name), kLogImageSize);
    EXPECT_EQ(SaveLogFile(LogImage{}, PathOf(name), boxes, false), 0) << "replacing " << length;
    fs::remove(folder_.Path() / name);
  }
  EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(FileWriterTest, LeftoverTemporaryFilesNeverBlockASave) {
  for (int index = 0; index < 100; ++index) {
    folder_.Write("log.tlg." + std::to_string(index) + ".partial", "leftover");
  }
  folder_.Write(".klxr-leftover", "leftover");
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(Replace("log.tlg", kNew + std::to_string(round)), FileStatus::Ok);
  }
  EXPECT_EQ(folder_.Read("log.tlg"), kNew + "2");
  EXPECT_EQ(folder_.Entries().size(), 102u);
  EXPECT_EQ(folder_.Read("log.tlg.99.partial"), "leftover");
}

TEST_F(FileWriterTest, DataIsSyncedBeforeTheRenameAndAFailedSyncKeepsTheOldFile) {
  folder_.Write("log.tlg", kOld);
  std::vector<std::string> seen;  // the target's content when each sync happens
  FileHooks hooks;
  hooks.sync = [&](std::FILE*) {
    seen.push_back(folder_.Read("log.tlg"));
    return true;
  };
  EXPECT_EQ(Replace("log.tlg", kNew, hooks), FileStatus::Ok);
  EXPECT_EQ(seen, std::vector<std::string>{kOld});
  EXPECT_EQ(folder_.Read("log.tlg"), kNew);

  hooks.sync = [](std::FILE*) { return false; };
  testing::RecordingMessageBoxes boxes;
  EXPECT_EQ(SaveLogFile(LogImage{}, PathOf("log.tlg"), boxes, true, hooks), -1);
  EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kCantSaveProgramImage});
  EXPECT_EQ(SaveLogFile(LogImage{}, PathOf("fresh.tlg"), boxes, true, hooks), -1);
  EXPECT_EQ(folder_.Read("log.tlg"), kNew);
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"log.tlg"});
}

TEST_F(FileWriterTest, NewFileGetsTheUsualModeForTheUmask) {
  const mode_t mask = umask(022);
  EXPECT_EQ(Replace("fresh.csv"), FileStatus::Ok);
  umask(mask);
  EXPECT_EQ(folder_.StatOf("fresh.csv").st_mode & 07777, 0644u);
}

TEST_F(FileWriterTest, CheckTellsWhetherAFileCanBeWrittenWithoutTouchingIt) {
  fs::create_directory(folder_.Path() / "sub");
  folder_.Write("exists.tlg", kOld);
  folder_.Write("readonly.tlg", kOld);
  chmod(PathOf("readonly.tlg").c_str(), 0444);
  fs::create_symlink("sub/new.tlg", folder_.Path() / "dangling");
  fs::create_symlink("loop", folder_.Path() / "loop");
  ASSERT_TRUE(folder_.MakeFifo("fifo"));
  const std::vector<std::pair<std::string, FileStatus>> cases{
      {"new.tlg", FileStatus::Ok},
      {"exists.tlg", FileStatus::Ok},
      {"dangling", FileStatus::Ok},
      {"fifo", FileStatus::Ok},
      {"sub", FileStatus::CannotOpen},
      {"sub/", FileStatus::CannotOpen},
      {"missing/new.tlg", FileStatus::CannotOpen},
      {"exists.tlg/new.tlg", FileStatus::CannotOpen},
      {"readonly.tlg", FileStatus::CannotOpen},
      {"loop", FileStatus::CannotOpen},
  };
  const std::vector<std::string> before = folder_.Entries();
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(CheckFileCanBeWritten(PathOf(name)), expected) << name;
  }
  EXPECT_EQ(CheckFileCanBeWritten(""), FileStatus::CannotOpen);
  EXPECT_EQ(folder_.Entries(), before);
  EXPECT_EQ(folder_.Read("exists.tlg"), kOld);
  EXPECT_TRUE(fs::is_empty(folder_.Path() / "sub"));
}

// A file written in place keeps its old contents when the new ones do not fit (here the file-size
// limit stands for a full disk): the space is reserved before any old byte is overwritten.
TEST_F(FileWriterTest, FileWrittenInPlaceKeepsItsContentsWhenTheNewOnesDoNotFit) {
  const std::string old(3000, 'o');
  folder_.Write("log.tlg", old);
  fs::create_hard_link(folder_.Path() / "log.tlg", folder_.Path() / "other-name.tlg");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 8192;
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const FileStatus status = Replace("log.tlg", std::string(kLogImageSize, 'n'));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_EQ(status, FileStatus::WriteFailed);
  EXPECT_EQ(folder_.Read("log.tlg"), old);
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"log.tlg", "other-name.tlg"}));
}

// The check before a long piece of work gives the system's reason, and holds a FIFO open so that
// its reader neither is missing nor sees the end of its input before the bytes come.
TEST_F(FileWriterTest, OutputCheckGivesTheReasonAndHoldsAFifoOpen) {
  fs::create_directory(folder_.Path() / "sub");
  folder_.Write("exists.tlg", kOld);
  fs::create_symlink("loop", folder_.Path() / "loop");
  ASSERT_TRUE(folder_.MakeFifo("fifo"));
  const std::vector<std::pair<std::string, int>> cases{
      {"new.tlg", 0},
      {"exists.tlg", 0},
      {"sub", EISDIR},
      {"missing/new.tlg", ENOENT},
      {"exists.tlg/x", ENOTDIR},
      {"loop", ELOOP},
      {"fifo", ENXIO},  // a FIFO nobody reads
  };
  for (const auto& [name, error] : cases) {
    OutputCheck check;
    EXPECT_EQ(CheckFileCanBeWritten(PathOf(name), &check),
              error == 0 ? FileStatus::Ok : FileStatus::CannotOpen)
        << name;
    EXPECT_EQ(check.error, error) << name;
  }
  const int reader = open(PathOf("fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  char byte = 0;
  {
    OutputCheck check;
    ASSERT_EQ(CheckFileCanBeWritten(PathOf("fifo"), &check), FileStatus::Ok);
    EXPECT_TRUE(check.output.Holding());
    EXPECT_EQ(ReplaceFile(PathOf("fifo"), std::string_view("x")), FileStatus::Ok);
    EXPECT_EQ(read(reader, &byte, 1), 1);
    EXPECT_EQ(read(reader, &byte, 1), -1);  // no data yet, and no end of input while held
    EXPECT_EQ(errno, EAGAIN);
  }
  EXPECT_EQ(read(reader, &byte, 1), 0);
  close(reader);
}

// A write that fails leaves the system's reason in errno, for the message that names the file.
TEST_F(FileWriterTest, AFailedWriteLeavesTheSystemsReasonInErrno) {
  fs::create_directory(folder_.Path() / "folder");
  folder_.Write("readonly.tlg", kOld);
  ASSERT_EQ(chmod(PathOf("readonly.tlg").c_str(), 0444), 0);
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink("loop", PathOf("loop").c_str()), 0);
  const struct {
    const char* name;
    int error;
  } kCases[] = {
      {"folder", EISDIR},       {"folder/", EISDIR}, {"missing/new.tlg", ENOENT},
      {"readonly.tlg", EACCES}, {"fifo", ENXIO},     {"loop", ELOOP},
  };
  for (const auto& test : kCases) {
    errno = 0;
    EXPECT_EQ(Replace(test.name), FileStatus::CannotOpen) << test.name;
    EXPECT_EQ(errno, test.error) << test.name;
  }
  const FileHooks failingSync{{}, {}, [](std::FILE*) {
                                errno = EIO;
                                return false;
                              }};
  errno = 0;
  EXPECT_EQ(Replace("new.tlg", kNew, failingSync), FileStatus::WriteFailed);
  EXPECT_EQ(errno, EIO);  // kept while the temporary file is removed
}

}  // namespace
}  // namespace klxr
