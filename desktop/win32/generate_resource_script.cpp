// klxr-generate-rc: writes the Windows program's resource script from the tables in resources/.
// Usage: klxr-generate-rc OUTPUT.rc RESOURCES_FOLDER MANIFEST MAJOR MINOR
// The output is rewritten only when its text changes, so that the resources are not recompiled
// after every run.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "desktop/win32/resource_script.h"

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: klxr-generate-rc OUTPUT.rc RESOURCES_FOLDER MANIFEST MAJOR MINOR\n";
    return 2;
  }
  const std::string output = argv[1];
  const std::string resources = argv[2];
  klxr::ResourceScriptInputs inputs;
  inputs.iconFile = resources + "/icons/icon_135.ico";
  inputs.pictureFile = resources + "/pictures/about_picture.bmp";
  inputs.manifestFile = argv[3];
  inputs.versionMajor = std::atoi(argv[4]);
  inputs.versionMinor = std::atoi(argv[5]);
  const std::string script = klxr::ResourceScript(inputs);
  if (ReadWhole(output) == script) {
    return 0;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out << script;
  out.close();
  if (!out) {
    std::cerr << "klxr-generate-rc: cannot write " << output << "\n";
    return 1;
  }
  return 0;
}
