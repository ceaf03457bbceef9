#include "platform/sim/text_compare.h"

namespace sim::internal {

char LowerAZ(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAZ(a[i]) != LowerAZ(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string FoldedAZ(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        c = LowerAZ(c);
    }
    return folded;
}

std::string TextOrNull(const char* text)
{
    return text != nullptr ? std::string(text) : std::string("(null)");
}

}  // namespace sim::internal
