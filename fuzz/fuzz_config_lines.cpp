// The line rules of configuration files on every line of any file: the
// fields stay inside their buffers, and the key line tests agree.
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "config/NyConfigText.h"

using namespace ny::config;

namespace {

// Heap buffers of exactly the size given, so that a write or read past one
// is a sanitizer report.
std::unique_ptr<char[]> Buffer(size_t size) {
  auto buffer = std::make_unique<char[]>(size);
  std::memset(buffer.get(), 'x', size);
  return buffer;
}

size_t Length(const char* text, size_t size) { return strnlen(text, size); }

void CheckLine(const std::string& line, const std::string& other) {
  const char* l = line.c_str();
  auto key = Buffer(kLineFieldBufferSize), value = Buffer(kLineFieldBufferSize);
  const bool isKey = ParseKeyValueLine(l, key.get(), value.get());
  const size_t keyLength = Length(key.get(), kLineFieldBufferSize);
  const size_t valueLength = Length(value.get(), kLineFieldBufferSize);
  FUZZ_CHECK(keyLength < kLineFieldBufferSize && valueLength <= kMaxValueBytes);
  if (!isKey) {
    FUZZ_CHECK(keyLength == 0 && valueLength == 0);
  } else {
    // The key (empty for a line that starts with "=") starts the line, and
    // the line is a key line for the direct reader too, with the same value
    // when the buffer holds it all.
    FUZZ_CHECK(std::strncmp(l, key.get(), keyLength) == 0);
    FUZZ_CHECK(IsKeyLine(l));
    auto direct = Buffer(kMaxValueBytes + 1);
    if (keyLength > 0) {  // the direct reader is never asked for an empty key
      FUZZ_CHECK(MatchKeyLine(l, key.get(), direct.get(), kMaxValueBytes + 1));
      FUZZ_CHECK(std::strcmp(direct.get(), value.get()) == 0);
    }
  }
  // The direct reader's value is cut to any buffer size.
  for (size_t size : {size_t{1}, size_t{2}, size_t{7}, size_t{64}}) {
    auto cut = Buffer(size);
    if (MatchKeyLine(l, other.c_str(), cut.get(), size)) FUZZ_CHECK(Length(cut.get(), size) < size);
  }
  if (IsHeaderOfSection(l, other.c_str())) FUZZ_CHECK(IsSectionLine(l));
  std::string quoted = line;
  StripQuotes(quoted.data());
  FUZZ_CHECK(std::strlen(quoted.c_str()) <= line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto lines = fuzz::Lines(data, size);
  for (size_t i = 0; i < lines.size(); ++i) CheckLine(lines[i], lines[(i + 1) % lines.size()]);
  return 0;
}
