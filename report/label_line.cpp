#include "report/label_line.h"

namespace {

// The characters of the label line around the label itself.
const size_t kLabelLineFrame = sizeof "\tVolume Name = .\n" - 1;

}  // namespace

void AppendLabelLine(WorkingText* working, Text* line, const char* label)
{
    int labelRoom = static_cast<int>(line->capacity - 1 - kLabelLineFrame);
    if (TextFormatF(line, "\tVolume Name = %.*s.\n", labelRoom, label)) {
        WorkingAppendF(working, "%s", line->chars);
    }
}
