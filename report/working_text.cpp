#include "report/working_text.h"

#include <stdarg.h>

namespace {

const char kTruncationLine[] = "DISPLAY SIGNATURE: Report truncated.\n";
const size_t kTruncationLength = sizeof kTruncationLine - 1;

}  // namespace

WorkingText WorkingTextOver(char* storage, size_t capacity)
{
    WorkingText working = {TextOver(storage, capacity), false};
    working.text.capacity = capacity - kTruncationLength;
    return working;
}

bool WorkingAppendF(WorkingText* working, const char* format, ...)
{
    if (working->full) {
        return false;
    }
    va_list args;
    va_start(args, format);
    bool fitted = TextAppendV(&working->text, format, args);
    va_end(args);
    working->full = !fitted;
    return fitted;
}

bool WorkingTextIsFull(const WorkingText* working)
{
    return working->full;
}

void FinishWorkingText(WorkingText* working)
{
    if (!working->full) {
        return;
    }
    working->text.capacity += kTruncationLength;
    TextAppendF(&working->text, "%s", kTruncationLine);
}
