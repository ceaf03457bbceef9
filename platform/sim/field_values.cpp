#include "platform/sim/field_values.h"

namespace sim::internal {

namespace {

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (IsDecimalDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

bool ParseDecimal(const std::string& field, uint32_t* value)
{
    if (field.empty() || field.size() > 10) {
        return false;
    }
    uint64_t total = 0;
    for (char c : field) {
        if (!IsDecimalDigit(c)) {
            return false;
        }
        total = total * 10 + static_cast<uint64_t>(c - '0');
    }
    if (total > UINT32_MAX) {
        return false;
    }
    *value = static_cast<uint32_t>(total);
    return true;
}

bool ParseHex32(const std::string& field, uint32_t* value)
{
    if (field.empty() || field.size() > 8) {
        return false;
    }
    uint32_t total = 0;
    for (char c : field) {
        int digit = HexDigitValue(c);
        if (digit < 0) {
            return false;
        }
        total = total * 16 + static_cast<uint32_t>(digit);
    }
    *value = total;
    return true;
}

bool ParseVersion(const std::string& field, unsigned* major, unsigned* minor)
{
    size_t dot = field.find('.');
    if (dot == std::string::npos) {
        return false;
    }
    uint32_t high = 0;
    uint32_t low = 0;
    if (!ParseDecimal(field.substr(0, dot), &high) || !ParseDecimal(field.substr(dot + 1), &low) ||
        high > 255 || low > 255) {
        return false;
    }
    *major = high;
    *minor = low;
    return true;
}

bool ParseDriveLetter(const std::string& field, char* letter)
{
    if (field.size() != 1 || field[0] < 'A' || field[0] > 'Z') {
        return false;
    }
    *letter = field[0];
    return true;
}

bool IsGuidText(const std::string& field)
{
    static const char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (field.size() != sizeof kShape - 1) {
        return false;
    }
    for (size_t i = 0; i < field.size(); ++i) {
        bool wantHex = kShape[i] == 'x';
        if (wantHex ? HexDigitValue(field[i]) < 0 : field[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

namespace {

uint64_t HexValue(const std::string& text)
{
    uint64_t value = 0;
    for (char c : text) {
        value = value * 16 + static_cast<uint64_t>(HexDigitValue(c));
    }
    return value;
}

uint64_t SizeUnit(char suffix)
{
    const char kSuffixes[] = "KMGT";
    for (int i = 0; i < 4; ++i) {
        if (suffix == kSuffixes[i]) {
            return uint64_t{1} << (10 * (i + 1));
        }
    }
    return 0;
}

}  // namespace

bool ParseGuid(const std::string& field, GUID* guid)
{
    if (!IsGuidText(field)) {
        return false;
    }
    guid->Data1 = static_cast<DWORD>(HexValue(field.substr(1, 8)));
    guid->Data2 = static_cast<WORD>(HexValue(field.substr(10, 4)));
    guid->Data3 = static_cast<WORD>(HexValue(field.substr(15, 4)));
    std::string tail = field.substr(20, 4) + field.substr(25, 12);
    for (size_t i = 0; i < 8; ++i) {
        guid->Data4[i] = static_cast<BYTE>(HexValue(tail.substr(2 * i, 2)));
    }
    return true;
}

bool ParseSize(const std::string& field, uint64_t* size)
{
    const uint64_t kMost = static_cast<uint64_t>(INT64_MAX);
    std::string digits = field;
    uint64_t unit = 1;
    if (!field.empty() && !IsDecimalDigit(field.back())) {
        unit = SizeUnit(field.back());
        digits.pop_back();
    }
    if (unit == 0 || digits.empty() || digits.size() > 19) {
        return false;
    }
    uint64_t count = 0;
    for (char c : digits) {
        if (!IsDecimalDigit(c)) {
            return false;
        }
        count = count * 10 + static_cast<uint64_t>(c - '0');
    }
    if (count > kMost / unit) {
        return false;
    }
    *size = count * unit;
    return true;
}

}  // namespace sim::internal
