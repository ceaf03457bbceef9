// Text helpers shared by the simulated calls and the machine-file parser.
#pragma once

#include <string>
#include <string_view>

namespace sim::internal {

// Windows compares object and path names ignoring case; only A-Z fold here,
// so the result never depends on the process locale.
char LowerAZ(char c);
bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// A C string argument as text for logs and lookups; a null one reads "(null)".
std::string TextOrNull(const char* text);

}  // namespace sim::internal
