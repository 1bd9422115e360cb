// Command lines: any text splits into non-empty elements, and elements
// composed with escaping split back into themselves.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "process/NyCommandLineText.h"

using namespace ny::process;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = fuzz::Text(data, size);
  for (const std::string& element : SplitCommandLine(line)) {
    FUZZ_CHECK(!element.empty() && element.size() <= line.size());
  }

  FuzzedDataProvider input(data, size);
  std::vector<std::string> elements;
  while (input.remaining_bytes() > 0 && elements.size() < 32) {
    std::string element = input.ConsumeRandomLengthString(40);
    element = element.substr(0, element.find('\0'));
    if (!element.empty()) elements.push_back(element);
  }
  if (elements.empty()) return 0;
  const std::vector<std::string> arguments(elements.begin() + 1, elements.end());
  FUZZ_CHECK(SplitCommandLine(ComposeCommandLine(elements[0], arguments, true)) == elements);
  // Without escaping the elements are only joined.
  std::string joined = elements[0];
  for (const std::string& argument : arguments) joined += " " + argument;
  FUZZ_CHECK(ComposeCommandLine(elements[0], arguments, false) == joined);
  return 0;
}
