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

// The text with A-Z in lower case: two texts that are equal ignoring case
// fold to the same key.
std::string FoldedAZ(std::string_view text);

// A C string argument as text for logs and lookups; a null one reads "(null)".
std::string TextOrNull(const char* text);

}  // namespace sim::internal
