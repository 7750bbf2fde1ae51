// Seeds of randomised tests and fuzz drivers: a fixed seed by default, so that every run
// checks the same cases; FERROWYN_TEST_SEED=random draws a new one for each use and
// FERROWYN_TEST_SEED=N uses N everywhere. Each seed used is printed with how to repeat it.
// Header only, so that the fuzz drivers, which link no test library, share it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>

namespace ferrowyn::testing {

inline unsigned TestSeed(unsigned fixed, const char* what = "random cases") {
  unsigned seed = fixed;
  const char* choice = std::getenv("FERROWYN_TEST_SEED");
  if (choice != nullptr && std::string_view(choice) == "random") {
    seed = std::random_device{}();
  } else if (choice != nullptr && *choice != '\0') {
    char* end = nullptr;
    const unsigned long number = std::strtoul(choice, &end, 10);
    if (*end == '\0') seed = static_cast<unsigned>(number);
  }
  std::printf("%s: seed %u (FERROWYN_TEST_SEED=%u repeats it)\n", what, seed, seed);
  std::fflush(stdout);
  return seed;
}

}  // namespace ferrowyn::testing
