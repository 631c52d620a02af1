// klxr-make-samples FOLDER: writes the bundled sample .tlg files into FOLDER (normally samples/).
#include <cstdio>
#include <string>

#include "log/log_files.h"
#include "samples/sample_files.h"

namespace {

// Reports on standard error; the generator asks no questions.
class ConsoleBoxes : public klxr::MessageBoxes {
 public:
  void Show(int, std::string_view text, klxr::BoxKind) override {
    std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
  }
  klxr::Answer Ask(int, std::string_view) override { return klxr::Answer::Cancel; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: klxr-make-samples FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  ConsoleBoxes boxes;
  for (const klxr::samples::SampleFile& file : klxr::samples::BundledSampleFiles()) {
    const std::string path = folder + "/" + file.fileName;
    if (klxr::SaveLogFile(file.image, path, boxes, false) != 0) {
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  return 0;
}
