// The message catalogue: every message and prompt the program shows, named by a catalogue index,
// and the one interface through which the log and link code show them without knowing the toolkit.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace klxr {

// Catalogue indexes. Entries marked "unused" are kept so that the index-to-text mapping holds.
namespace msg {
inline constexpr int kAckNotReceived = 0;  // unused
inline constexpr int kNoMemoryForComAccess = 1;
inline constexpr int kHandshakeNotReceived = 2;
inline constexpr int kTransferComplete = 3;
inline constexpr int kInvalidBinaryFile = 4;
inline constexpr int kCantLoadProgramImage = 5;  // unused
inline constexpr int kAboutTitle = 6;
inline constexpr int kCancelButton = 7;
inline constexpr int kCantLoadUsbDriver = 8;
inline constexpr int kUsbDevicesTitle = 9;
inline constexpr int kUsbPortError = 10;
inline constexpr int kInstallUsbDriverFirst = 11;
inline constexpr int kDeviceUpgraded = 12;
inline constexpr int kNoDevicesFound = 13;  // unused
inline constexpr int kNoText = 14;          // unused, loads as the empty text
inline constexpr int kFileLoaded = 15;      // unused
inline constexpr int kEnterFilenameTitle = 16;
inline constexpr int kEnterFileAndPath = 17;  // unused
inline constexpr int kConfirmOverwrite = 18;
inline constexpr int kInvalidDataFile = 19;
inline constexpr int kCantSaveProgramImage = 20;
inline constexpr int kCantWriteRegistry = 21;
inline constexpr int kChecksumError = 22;  // unused
inline constexpr int kConfirmErase = 23;
inline constexpr int kLogErased = 24;
inline constexpr int kInvalidLogEntry = 25;  // unused
inline constexpr int kNoLoggingData = 26;
// The index of a box whose text is the program's own, not a catalogue entry.
inline constexpr int kOwnText = -1;
}  // namespace msg

// Maps a catalogue index (0 to 26) to its id in the string table.
inline constexpr std::array<int, 27> MessageIndexTable{110, 112, 124, 128, 130, 142, 146, 152, 168,
                                                       214, 216, 218, 220, 222, 236, 138, 148, 150,
                                                       156, 132, 144, 120, 223, 224, 225, 226, 227};

// Every caller loads a text into a 512-byte buffer: at most 511 characters and the terminator.
inline constexpr std::size_t kMessageTextCapacity = 512;

enum class BoxKind {
  Error,        // OK, stop icon, blocks the whole program
  Information,  // OK, information icon, blocks the whole program
  Question,     // Yes, No, Cancel, question icon, blocks the whole program
  Plain,        // OK, no icon
};

// The button a question was answered with; closing the box counts as Cancel.
enum class Answer { Yes = 6, No = 7, Cancel = 2 };

// Where boxes appear: the desktop program's message boxes, the terminal, or a test's recorder.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a box of the given kind (never Question) and returns when it is dismissed.
  virtual void Show(int index, std::string_view text, BoxKind kind) = 0;
  // Shows the question box and returns the button pressed.
  virtual Answer Ask(int index, std::string_view text) = 0;
  // Shows a box as Show does, with a detail below its text: the file concerned and the system's
  // reason. Where boxes have no place for a detail, it follows the text after an empty line.
  virtual void ShowDetailed(int index, std::string_view text, BoxKind kind,
                            std::string_view detail);
  // Asks a question as Ask does, with No as the default button: for a step that would destroy
  // what the user keeps. Where boxes have no default button, the same as Ask.
  virtual Answer AskDefaultNo(int index, std::string_view text);
};

// The text of a catalogue entry, cut to capacity - 1 characters. The index must be one of msg::k*.
std::string LoadText(int index, std::size_t capacity = kMessageTextCapacity);

// Loads the entry's text and shows it as a box of the given kind.
void ShowMessage(MessageBoxes& boxes, int index, BoxKind kind);
// The same with a detail that says more than the entry's text.
void ShowMessage(MessageBoxes& boxes, int index, BoxKind kind, std::string_view detail);

// Loads the entry's text, asks it as a question and returns the answer.
Answer AskQuestion(MessageBoxes& boxes, int index);

}  // namespace klxr
