// A plain program around a fuzz target: replays every file named on the
// command line, and every file under every folder named, through the target's
// entry point in name order. Built in the ordinary presets, so a corpus
// (including every input that once crashed) is a regression test without a
// fuzzing engine. Exits 2 when an argument does not exist or nothing was
// replayed, so that a missing corpus fails instead of passing silently.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

bool Collect(const fs::path& path, std::vector<fs::path>* files) {
  std::error_code error;
  if (fs::is_regular_file(path, error)) {
    files->push_back(path);
    return true;
  }
  if (!fs::is_directory(path, error))
    return false;
  for (const auto& entry : fs::recursive_directory_iterator(path, error)) {
    if (entry.is_regular_file())
      files->push_back(entry.path());
  }
  return !error;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    if (!Collect(argv[i], &files)) {
      std::cerr << argv[0] << ": cannot read " << argv[i] << "\n";
      return 2;
    }
  }
  if (files.empty()) {
    std::cerr << argv[0] << ": no input to replay (usage: " << argv[0] << " FILE|FOLDER...)\n";
    return 2;
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const std::vector<uint8_t> bytes = ReadAll(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::cout << "replayed " << files.size() << " inputs\n";
  return 0;
}
