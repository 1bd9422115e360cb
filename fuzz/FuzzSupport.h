// What the fuzz targets share: an invariant check that stops the run (so
// that libFuzzer saves the input), and the input cut into the lines a
// configuration reader hands over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                                 \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (0)

namespace fuzz {

// The input as a C string: up to its first zero byte.
inline std::string Text(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  return text.substr(0, text.find('\0'));
}

// The lines of a configuration file's bytes, as the reader hands them over:
// without their line ends (LF, CR LF or a lone CR), each ending at its first
// zero byte. A file starting with the UTF-16LE byte-order mark is read as
// UTF-16LE; the platform's conversion to the ANSI code page is not here, so
// characters above ASCII become '?', which is what the conversion gives for
// a character the code page lacks.
inline std::vector<std::string> Lines(const uint8_t* data, size_t size) {
  std::string bytes;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    for (size_t i = 2; i + 1 < size; i += 2) {
      unsigned unit = data[i] | (data[i + 1] << 8);
      bytes += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
  } else {
    bytes.assign(reinterpret_cast<const char*>(data), size);
  }
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == '\n' || bytes[i] == '\r') {
      if (i < bytes.size() || !line.empty()) lines.push_back(line.substr(0, line.find('\0')));
      line.clear();
      if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
    } else {
      line += bytes[i];
    }
  }
  return lines;
}

}  // namespace fuzz
