// Bounded texts: a terminated string of 8-bit characters in storage of fixed
// capacity (terminator included). Every write goes through these procedures,
// which never write past the storage and never cut a piece silently: a piece
// either fits whole or is refused and the text is left as it was.
#pragma once

#include <stdarg.h>
#include <stddef.h>

#if defined(__MINGW32__)
#define TEXT_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define TEXT_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

struct Text {
    char* chars;      // the storage; chars[length] is always the terminator
    size_t capacity;  // bytes of storage, terminator included
    size_t length;    // characters in front of the terminator
};

// An empty text over the given storage (capacity at least 1).
Text TextOver(char* storage, size_t capacity);

// Appends the formatted piece when all of it fits; otherwise leaves the text
// exactly as it was and returns false.
bool TextAppendF(Text* text, const char* format, ...) TEXT_PRINTF_FORMAT(2, 3);
bool TextAppendV(Text* text, const char* format, va_list args) TEXT_PRINTF_FORMAT(2, 0);

// Replaces the text with the formatted piece, when it fits; otherwise the
// text is left as it was and the result is false.
bool TextFormatF(Text* text, const char* format, ...) TEXT_PRINTF_FORMAT(2, 3);

// Replaces the text with a copy of the source when it fits; false otherwise.
bool TextCopy(Text* text, const char* source);

// Shortens the text to the given length (no effect when it is shorter).
void TextCut(Text* text, size_t length);

// The text to hand to "%s": an absent one reads "(null)".
const char* TextOrNull(const char* text);

// Command-line words and device names compare as the platform's own
// ASCII-only case-insensitive comparison does, whatever the locale: only A-Z
// fold to a-z.
bool EqualsIgnoringAsciiCase(const char* a, const char* b);

// True when the text begins with the start, compared the same way.
bool StartsWithIgnoringAsciiCase(const char* text, const char* start);

// The value of a hexadecimal digit (0-9, a-f, A-F), or -1 for any other
// character.
int HexDigitValue(char c);
