#include "identifier/guid_operand.h"

#include <string.h>

#include "base/text.h"

namespace {

// The 32 digits of the 36-character body, hyphens at 8, 13, 18 and 23.
bool ReadDigits(const char* body, unsigned char digits[32])
{
    unsigned count = 0;
    for (unsigned at = 0; at < 36; ++at) {
        bool hyphenPlace = at == 8 || at == 13 || at == 18 || at == 23;
        if (hyphenPlace) {
            if (body[at] != '-') {
                return false;
            }
            continue;
        }
        int value = HexDigitValue(body[at]);
        if (value < 0) {
            return false;
        }
        digits[count++] = static_cast<unsigned char>(value);
    }
    return true;
}

unsigned long Number(const unsigned char* digits, unsigned count)
{
    unsigned long value = 0;
    for (unsigned i = 0; i < count; ++i) {
        value = value * 16 + digits[i];
    }
    return value;
}

}  // namespace

bool ParseGuidOperand(const char* operand, GUID* guid)
{
    if (operand == nullptr) {
        return false;
    }
    size_t length = strlen(operand);
    bool braced = length == 38 && operand[0] == '{' && operand[37] == '}';
    if (!braced && length != 36) {
        return false;
    }
    unsigned char digits[32];
    if (!ReadDigits(braced ? operand + 1 : operand, digits)) {
        return false;
    }
    guid->Data1 = static_cast<DWORD>(Number(digits, 8));
    guid->Data2 = static_cast<WORD>(Number(digits + 8, 4));
    guid->Data3 = static_cast<WORD>(Number(digits + 12, 4));
    for (unsigned i = 0; i < 8; ++i) {
        guid->Data4[i] = static_cast<BYTE>(Number(digits + 16 + 2 * i, 2));
    }
    return true;
}

bool IsNilGuid(const GUID* guid)
{
    static const GUID nil = {};
    return memcmp(guid, &nil, sizeof nil) == 0;
}
