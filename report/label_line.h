// The label line of a "-ds" entry: "\tVolume Name = %s.\n".
#pragma once

#include "base/text.h"
#include "report/working_text.h"

// Formats the label line in the line buffer and appends it. A label too long
// for the line is cut inside the label, so that the line still ends with
// its ".\n" and the next entry starts on a line of its own.
void AppendLabelLine(WorkingText* working, Text* line, const char* label);
