// Runs a libFuzzer target without libFuzzer: every file of the corpus folder
// given as the first argument, then seeded random inputs of many sizes, some of
// them mutations of the corpus. A crash or sanitizer report fails the test.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/test_seed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::vector<std::string> corpus;
  if (argc > 1 && std::filesystem::is_directory(argv[1])) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
      std::ifstream in(entry.path(), std::ios::binary);
      corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  for (const auto& input : corpus)
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());

  const char* runs_env = std::getenv("FUZZ_RUNS");
  const long runs = runs_env ? std::atol(runs_env) : 3000;
  std::mt19937 rng(ferrowyn::testing::TestSeed(20261209));
  for (long i = 0; i < runs; ++i) {
    std::string input;
    if (!corpus.empty() && i % 2 == 0) {
      input = corpus[rng() % corpus.size()];
      const size_t flips = 1 + rng() % 8;
      for (size_t f = 0; f < flips && !input.empty(); ++f)
        input[rng() % input.size()] = static_cast<char>(rng());
      if (rng() % 4 == 0 && !input.empty()) input.resize(rng() % input.size());
    } else {
      const size_t size = (rng() % 4 == 0) ? rng() % 70000 : rng() % 512;
      // Small alphabets make structure (repeats, markers) likely.
      const unsigned alphabet = (rng() % 2) ? 256 : 2 + rng() % 16;
      input.resize(size);
      for (auto& c : input) c = static_cast<char>(rng() % alphabet);
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  std::printf("%zu corpus inputs and %ld random inputs survived\n", corpus.size(), runs);
  return 0;
}
