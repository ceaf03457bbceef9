#include "base/text.h"

#include <stdio.h>
#include <string.h>

Text TextOver(char* storage, size_t capacity)
{
    Text text = {storage, capacity, 0};
    storage[0] = '\0';
    return text;
}

bool TextAppendV(Text* text, const char* format, va_list args)
{
    size_t room = text->capacity - text->length;
    int needed = vsnprintf(text->chars + text->length, room, format, args);
    if (needed < 0 || static_cast<size_t>(needed) >= room) {
        text->chars[text->length] = '\0';  // undo the partial piece
        return false;
    }
    text->length += static_cast<size_t>(needed);
    return true;
}

bool TextAppendF(Text* text, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    bool fitted = TextAppendV(text, format, args);
    va_end(args);
    return fitted;
}

bool TextFormatF(Text* text, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int needed = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (needed < 0 || static_cast<size_t>(needed) >= text->capacity) {
        return false;
    }
    va_start(args, format);
    vsnprintf(text->chars, text->capacity, format, args);
    va_end(args);
    text->length = static_cast<size_t>(needed);
    return true;
}

bool TextCopy(Text* text, const char* source)
{
    size_t length = strlen(source);
    if (length >= text->capacity) {
        return false;
    }
    memmove(text->chars, source, length + 1);
    text->length = length;
    return true;
}

void TextCut(Text* text, size_t length)
{
    if (length < text->length) {
        text->length = length;
        text->chars[length] = '\0';
    }
}

const char* TextOrNull(const char* text)
{
    return text != nullptr ? text : "(null)";
}

namespace {

char FoldAsciiCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a != '\0' || *b != '\0'; ++a, ++b) {
        if (FoldAsciiCase(*a) != FoldAsciiCase(*b)) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoringAsciiCase(const char* text, const char* start)
{
    for (; *start != '\0'; ++text, ++start) {
        if (FoldAsciiCase(*text) != FoldAsciiCase(*start)) {
            return false;
        }
    }
    return true;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
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
