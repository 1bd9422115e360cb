// The rules of comma-separated lines: splitting one into fields, and the
// quoting that makes a value safe to stand in such a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ny::csv {

// Replaces `fields` with the fields of `line`, which ends at its first zero
// byte (a line read as a C string), if it has one. An empty line has no
// fields; otherwise there is one more field than unquoted commas. A quote
// opens a quoted run wherever it stands in a field (ab"c,d"e is the one
// field abc,de), "" inside a run is one quote, and an unclosed run goes to
// the end of the line. Line breaks are ordinary bytes.
void SplitLine(std::string_view line, std::vector<std::string>& fields);

// `value` as it stands unchanged, or, when it holds a comma, a quote or a
// line break, in quotes with its quotes doubled. SplitLine gives back the
// values of a line joined from quoted values without zero bytes.
std::string Quote(std::string value);

}  // namespace ny::csv
