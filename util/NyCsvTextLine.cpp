// One comma-separated line split into fields, and the quoting that makes a
// value safe to stand in such a line.
#include <utility>

#include "NyUtil.h"
#include "util/NyCsvText.h"

// ---- Constructors ---------------------------------------------------------------

CNyCsvTextLine::CNyCsvTextLine() = default;

CNyCsvTextLine::CNyCsvTextLine(const std::string& line) { SetTextLine(line); }

CNyCsvTextLine::CNyCsvTextLine(const CNyCsvTextLine& other) = default;

CNyCsvTextLine& CNyCsvTextLine::operator=(const CNyCsvTextLine& other) = default;

CNyCsvTextLine::~CNyCsvTextLine() = default;

// ---- Operations -------------------------------------------------------------------

bool CNyCsvTextLine::SetTextLine(const std::string& line) {
  ny::csv::SplitLine(line, m_vecFields);
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
  return ny::csv::Quote(std::move(value));
}
