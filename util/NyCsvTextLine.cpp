// One comma-separated line split into fields, and the quoting that makes a
// value safe to stand in such a line.
#include "NyUtil.h"

// ---- Constructors ---------------------------------------------------------------

CNyCsvTextLine::CNyCsvTextLine() = default;

CNyCsvTextLine::CNyCsvTextLine(const std::string& line) { SetTextLine(line); }

CNyCsvTextLine::CNyCsvTextLine(const CNyCsvTextLine& other) = default;

CNyCsvTextLine& CNyCsvTextLine::operator=(const CNyCsvTextLine& other) = default;

CNyCsvTextLine::~CNyCsvTextLine() = default;

// ---- Operations -------------------------------------------------------------------

bool CNyCsvTextLine::SetTextLine(const std::string& line) {
  m_vecFields.clear();
  // A line read as a C string ends at its first zero byte, wherever the
  // std::string's length says it ends.
  const size_t zero = line.find('\0');
  const size_t length = zero == std::string::npos ? line.size() : zero;
  if (length == 0) return true;

  // A quote opens a quoted run wherever it stands in a field (ab"c,d"e is one
  // field abc,de); line breaks are ordinary bytes, so a line that was read with
  // its CR keeps it in the last field.
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
      m_vecFields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  // An unclosed quote simply runs to the end of the line.
  m_vecFields.push_back(field);
  return true;
}

int CNyCsvTextLine::NumOfFields() const { return static_cast<int>(m_vecFields.size()); }

const std::string& CNyCsvTextLine::Field(int index) const {
  static const std::string empty;
  if (index < 0 || static_cast<size_t>(index) >= m_vecFields.size()) return empty;
  return m_vecFields[static_cast<size_t>(index)];
}

const std::vector<std::string>& CNyCsvTextLine::Fields() const { return m_vecFields; }

std::string CNyCsvTextLine::ConvertToCsvFileString(std::string value) {
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
