#include "util/NyCsvText.h"

namespace ny::csv {

void SplitLine(std::string_view line, std::vector<std::string>& fields) {
  fields.clear();
  const size_t zero = line.find('\0');
  const size_t length = zero == std::string_view::npos ? line.size() : zero;
  if (length == 0) return;

  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < length; ++i) {
    const char c = line[i];
    if (c == '"') {
      if (!quoted) {
        quoted = true;
      } else if (i + 1 < length && line[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == ',' && !quoted) {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(field);
}

std::string Quote(std::string value) {
  if (value.find_first_of(",\"\n\r") == std::string::npos) return value;
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace ny::csv
