// The random line: random HEX..., what the random source hands out.
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

bool ParseRandomLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    if (context->randomSeen) {
        *fault = "random is defined twice";
        return false;
    }
    FieldCursor cursor(fields);
    std::vector<uint32_t> values;
    do {
        std::string field;
        uint32_t value = 0;
        if (!cursor.Take("random value", &field, fault)) {
            return false;
        }
        if (!ParseHex32(field, &value)) {
            *fault = "bad random value \"" + field + "\" (want 1 to 8 hexadecimal digits)";
            return false;
        }
        values.push_back(value);
    } while (!cursor.AtEnd());
    context->randomSeen = true;
    context->machine.random = std::move(values);
    return true;
}

}  // namespace sim::internal
