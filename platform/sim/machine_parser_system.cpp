// The system line: system LETTER or system none, where the Windows
// directory is.
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

bool ParseSystemLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    if (context->machine.systemGiven) {
        *fault = "system is defined twice";
        return false;
    }
    FieldCursor cursor(fields);
    std::string field;
    if (!cursor.Take("system letter or none", &field, fault)) {
        return false;
    }
    char letter = 'A';
    if (field == "none") {
        context->machine.systemLetter.reset();
    } else if (ParseDriveLetter(field, &letter)) {
        context->machine.systemLetter = letter;
    } else {
        *fault = "system \"" + field + "\" is neither a letter A-Z nor none";
        return false;
    }
    context->machine.systemGiven = true;
    return cursor.Finish(fault);
}

}  // namespace sim::internal
