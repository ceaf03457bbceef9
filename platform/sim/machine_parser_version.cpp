// The version line: version MAJOR.MINOR, at most once.
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

bool ParseVersionLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    std::string field;
    if (!cursor.Take("version number", &field, fault)) {
        return false;
    }
    if (!ParseVersion(field, &context->machine.major, &context->machine.minor)) {
        *fault = "bad version " + Quoted(field) + " (want MAJOR.MINOR)";
        return false;
    }
    if (context->versionSeen) {
        *fault = "version is defined twice";
        return false;
    }
    context->versionSeen = true;
    return cursor.Finish(fault);
}

}  // namespace sim::internal
