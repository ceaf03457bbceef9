// Splitting one machine-file line into its fields.
#pragma once

#include <string>
#include <vector>

namespace sim::internal {

// Fields are separated by spaces or tabs. A field that starts with a double
// quote runs to the next double quote ("" is an empty field) and must be
// followed by a separator or the end of the line. A "#" at the start of a
// field, outside quotes, starts a comment. Backslashes are plain characters.
// Returns false with *fault set when a quote is not closed properly.
bool SplitFields(const std::string& line, std::vector<std::string>* fields, std::string* fault);

}  // namespace sim::internal
