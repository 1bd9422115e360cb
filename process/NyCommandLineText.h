// Composing a command line from its elements and splitting one back, on
// plain texts: the rules of the platform's argument parser, apart from the
// class that starts processes so that they are checked on their own.
#pragma once

#include <string>
#include <vector>

namespace ny::process {

// The executable and the arguments joined by single spaces. With `escape`
// every element is put in double quotes and escaped so that the platform's
// parser gives it back unchanged (an empty argument stands as ""); without
// it the elements are joined as they are.
std::string ComposeCommandLine(const std::string& exe, const std::vector<std::string>& arguments,
                               bool escape);

// Splits a command line into its elements: spaces separate outside double
// quotes, backslashes escape only double quotes, and empty elements are
// dropped. Gives back the elements of any text composed with escaping from
// non-empty elements.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace ny::process
