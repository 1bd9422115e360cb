// String-pool escapes into buffers of every size: the result ends inside the
// buffer, is never longer than the value, and a smaller buffer holds a
// prefix of what a larger one holds, short of at most one character.
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "strings/NyStringEscapes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string value = fuzz::Text(data, size);
  const size_t fullSize = value.size() + 1;
  auto full = std::make_unique<char[]>(fullSize);
  ny::strings::ResolveEscapes(value.c_str(), full.get(), fullSize);
  const std::string resolved(full.get(), strnlen(full.get(), fullSize));
  FUZZ_CHECK(resolved.size() <= value.size());

  for (size_t bufferSize : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, value.size() / 2, value.size()}) {
    auto out = std::make_unique<char[]>(bufferSize + 1);  // one guard byte past the buffer
    out[bufferSize] = 'G';
    ny::strings::ResolveEscapes(value.c_str(), out.get(), bufferSize);
    FUZZ_CHECK(out[bufferSize] == 'G');
    if (bufferSize == 0) continue;
    const size_t length = strnlen(out.get(), bufferSize);
    FUZZ_CHECK(length < bufferSize);
    FUZZ_CHECK(resolved.compare(0, length, out.get(), length) == 0);
    FUZZ_CHECK(length + 2 >= std::min(resolved.size(), bufferSize - 1) + 1 || length == resolved.size());
  }
  return 0;
}
