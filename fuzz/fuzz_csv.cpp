// CSV lines: any line splits into one more field than it has unquoted
// commas, and values quoted and joined split back into themselves.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "util/NyCsvText.h"

using namespace ny::csv;

namespace {

std::string Join(const std::vector<std::string>& values) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) line += (i ? "," : "") + Quote(values[i]);
  return line;
}

// A line joined from quoted values gives them back, except a single empty
// value, whose line is empty and has no fields.
void CheckRoundTrip(const std::vector<std::string>& values) {
  if (values.size() == 1 && values[0].empty()) return;
  std::vector<std::string> back;
  SplitLine(Join(values), back);
  FUZZ_CHECK(back == values);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::string line = raw.substr(0, raw.find('\0'));
  std::vector<std::string> fields;
  SplitLine(raw, fields);
  size_t commas = 0;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;  // "" inside a run toggles twice
    commas += c == ',' && !quoted;
  }
  FUZZ_CHECK(fields.size() == (line.empty() ? 0 : commas + 1));
  size_t bytes = 0;
  for (const std::string& field : fields) bytes += field.size();
  FUZZ_CHECK(bytes + commas <= line.size());
  CheckRoundTrip(fields);

  // Values of any bytes but zero.
  FuzzedDataProvider input(data, size);
  std::vector<std::string> values;
  while (input.remaining_bytes() > 0 && values.size() < 64) {
    std::string value = input.ConsumeRandomLengthString(40);
    values.push_back(value.substr(0, value.find('\0')));
  }
  CheckRoundTrip(values);
  return 0;
}
