#include "signature/signature_operand.h"

#include "base/text.h"

namespace {

bool IsFormatSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool ParseSignatureOperand(const char* operand, uint32_t* value)
{
    const char* next = operand;
    while (IsFormatSpace(*next)) {
        ++next;
    }
    bool negative = *next == '-';
    if (*next == '-' || *next == '+') {
        ++next;
    }
    if (next[0] == '0' && (next[1] == 'x' || next[1] == 'X')) {
        next += 2;
    }
    uint32_t result = 0;
    const char* digits = next;
    for (int digit = HexDigitValue(*next); digit >= 0; digit = HexDigitValue(*++next)) {
        result = result * 16u + static_cast<uint32_t>(digit);
    }
    if (next == digits) {
        return false;
    }
    *value = negative ? 0u - result : result;
    return true;
}
