#include "platform/sim/machine_fields.h"

namespace sim::internal {

namespace {

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the quoted field that starts at line[*at]; *at ends past it.
bool TakeQuotedField(const std::string& line, size_t* at, std::string* field, std::string* fault)
{
    size_t close = line.find('"', *at + 1);
    if (close == std::string::npos) {
        *fault = "unclosed quote";
        return false;
    }
    if (close + 1 < line.size() && !IsSeparator(line[close + 1])) {
        *fault = "text right after a closing quote";
        return false;
    }
    *field = line.substr(*at + 1, close - *at - 1);
    *at = close + 1;
    return true;
}

std::string TakePlainField(const std::string& line, size_t* at)
{
    size_t end = *at;
    while (end < line.size() && !IsSeparator(line[end])) {
        ++end;
    }
    std::string field = line.substr(*at, end - *at);
    *at = end;
    return field;
}

}  // namespace

bool SplitFields(const std::string& line, std::vector<std::string>* fields, std::string* fault)
{
    fields->clear();
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsSeparator(line[at])) {
            ++at;
        }
        if (at >= line.size() || line[at] == '#') {
            return true;
        }
        std::string field;
        if (line[at] == '"') {
            if (!TakeQuotedField(line, &at, &field, fault)) {
                return false;
            }
        } else {
            field = TakePlainField(line, &at);
        }
        fields->push_back(std::move(field));
    }
}

}  // namespace sim::internal
