// Command-line composition and splitting. Nothing here touches the platform.
#include "process/NyCommandLineText.h"

namespace ny::process {

namespace {

constexpr size_t npos = std::string::npos;

// The end of the run of backslashes starting at `b`.
size_t RunEnd(const std::string& s, size_t b) {
  size_t end = s.find_first_not_of('\\', b);
  return end == npos ? s.size() : end;
}

// Escapes one element for a double-quoted stretch: a quote becomes \", and
// backslashes are doubled only where they stand before a quote or the end of
// the element (where the closing quote will follow); elsewhere a backslash
// means itself to the platform's parser and stays single.
std::string Escape(const std::string& s) {
  std::string out;
  size_t p = 0;
  for (;;) {
    const size_t q = s.find('"', p), b = s.find('\\', p);
    if (q == npos && b == npos) break;
    if (q != npos && (b == npos || q < b)) {
      out.append(s, p, q - p);
      out += "\\\"";
      p = q + 1;
      continue;
    }
    const size_t end = RunEnd(s, b);
    if (end >= (q == npos ? s.size() : q)) {
      // The run reaches the quote or the end: double it, one backslash a pass.
      out.append(s, p, b - p);
      out += "\\\\";
      p = b + 1;
    } else {
      out.append(s, p, end - p);
      p = end;
    }
  }
  out.append(s, p, npos);
  return out;
}

}  // namespace

std::string ComposeCommandLine(const std::string& exe, const std::vector<std::string>& arguments,
                               bool escape) {
  std::string line;
  if (escape) {
    // Every element is quoted, also one without blanks, so that an empty
    // argument still stands as "" and tabs never split.
    line = "\"" + Escape(exe) + "\"";
    for (const std::string& argument : arguments) line += " \"" + Escape(argument) + "\"";
  } else {
    line = exe;
    for (const std::string& argument : arguments) line += " " + argument;
  }
  return line;
}

std::vector<std::string> SplitCommandLine(const std::string& s) {
  std::vector<std::string> result;
  std::string current;
  bool inQuotes = false;
  size_t p = 0;
  for (;;) {
    const size_t q = s.find('"', p), b = s.find('\\', p), space = s.find(' ', p);
    if (q == npos && space == npos) break;
    if (space != npos && (q == npos || space < q)) {
      current.append(s, p, space - p);
      p = space + 1;
      if (inQuotes) {
        current += ' ';
      } else if (!current.empty()) {  // runs of spaces (and "") give nothing
        result.push_back(current);
        current.clear();
      }
    } else if (b != npos && b < q) {
      const size_t end = RunEnd(s, b);
      if (end == q) {
        // n backslashes before a quote: n / 2 of them, and an odd one makes
        // the quote literal; after an even run the quote is handled as a
        // real quote in the next pass.
        const size_t n = q - b;
        current.append(s, p, b - p);
        current.append(n / 2, '\\');
        if (n % 2) {
          current += '"';
          p = q + 1;
        } else {
          p = q;
        }
      } else {
        current.append(s, p, end - p);
        p = end;
      }
    } else {
      current.append(s, p, q - p);
      p = q + 1;
      inQuotes = !inQuotes;
    }
  }
  current.append(s, p, npos);
  if (!current.empty()) result.push_back(current);
  return result;
}

}  // namespace ny::process
