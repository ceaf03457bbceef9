// The "-ds" working text: the report as it is built, piece by piece.
//
// A piece either goes in whole or not at all. The first piece that does not
// fit marks the text full; from then on every piece is refused, so the text
// never holds a later piece without an earlier one. Room for the truncation
// line is kept aside from the start, so that a full text can always say that
// it was cut.
#pragma once

#include <stddef.h>

#include "base/text.h"

// Bytes of the working text, terminator included.
const size_t kWorkingTextCapacity = 32768;

struct WorkingText {
    Text text;   // what the report holds so far; its capacity leaves out the
                 // room kept for the truncation line
    bool full;   // a piece was refused; every later one is too
};

// An empty working text over the storage (room for the truncation line and
// more is needed).
WorkingText WorkingTextOver(char* storage, size_t capacity);

// Appends the formatted piece when the text is not full and the piece fits;
// otherwise marks the text full and returns false.
bool WorkingAppendF(WorkingText* working, const char* format, ...) TEXT_PRINTF_FORMAT(2, 3);

bool WorkingTextIsFull(const WorkingText* working);

// Ends the text: a full text gets the truncation line right after the last
// piece it kept, in the room kept for it.
void FinishWorkingText(WorkingText* working);
