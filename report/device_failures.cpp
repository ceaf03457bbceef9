#include "report/device_failures.h"

#include "base/error_text.h"

void AppendOpenFailure(WorkingText* working, const char* named, int code)
{
    WorkingAppendF(working, "Error opening %s. Error: %d: %s\n", named, code, ErrorText(code));
}

// A failed read used to replace the whole report with this message; as a
// piece of the entry it keeps every other entry.
void AppendLayoutFailure(WorkingText* working, int code)
{
    WorkingAppendF(working, "\tDISPLAY SIGNATURE: Could not get device information: %s\n",
                   ErrorText(code));
}
