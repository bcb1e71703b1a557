// Runs a fuzz target once over every file of the given files and directories,
// without fuzzing, so that the corpus is a regression test in every build.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(argument)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argument))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
  } else {
    inputs.push_back(argument);
  }
  return inputs;
}

bool RunOne(const std::filesystem::path& input) {
  std::ifstream file(input, std::ios::binary);
  if (!file) return false;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // A copy of exactly the input's size, so that a read past its end is seen by AddressSanitizer.
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.data(), data.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    for (const std::filesystem::path& input : InputsOf(argv[i])) {
      std::fprintf(stderr, "running %s\n", input.c_str());
      if (!RunOne(input)) {
        std::fprintf(stderr, "cannot read %s\n", input.c_str());
        return 1;
      }
      ++runs;
    }
  }
  std::fprintf(stderr, "%zu inputs ran\n", runs);
  return runs == 0 ? 1 : 0;
}
