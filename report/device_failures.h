// The pieces that both kinds of "-ds" entry append when their volume's device
// can't be opened or its disk's layout can't be read.
#pragma once

#include "report/working_text.h"

// "Error opening %s. Error: %d: %s\n" for a failed open; named is what the
// entry shows as the thing that could not be opened.
void AppendOpenFailure(WorkingText* working, const char* named, int code);

// The piece that stands for the signature when the layout can't be read.
void AppendLayoutFailure(WorkingText* working, int code);
