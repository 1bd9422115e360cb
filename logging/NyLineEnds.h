// The logs are text files written in binary with one write per line, so the
// text-mode translation is done here, once for both logs.
#pragma once

#include <string>

namespace ny::logging {

// `line` with every line feed stored as CR LF, as a C stream opened in text
// mode would store it (a multi-line message keeps the same line ends).
inline std::string ToTextModeLineEnds(const std::string& line) {
  std::string text;
  text.reserve(line.size() + 8);
  for (char c : line) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

}  // namespace ny::logging
