// The suites' main: GoogleTest's own, plus --ny_label=NAME, which runs only
// the tests that carry that label in their source (see NyTestSupport.h).
#include <cstring>
#include <string>

#include "NyCoreTestSupport.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const char* const option = "--ny_label=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], option, std::strlen(option)) == 0) {
      GTEST_FLAG_SET(filter, nytest::LabelFilter(argv[i] + std::strlen(option)));
    }
  }
  return RUN_ALL_TESTS();
}
