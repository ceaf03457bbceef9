// The letter line: letter X TARGET [VOLUME].
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

namespace {

// The drive letter that starts a letter line, not defined before.
bool TakeNewLetter(FieldCursor* cursor, const Machine& machine, char* letter, std::string* fault)
{
    std::string field;
    if (!cursor->Take("drive letter", &field, fault)) {
        return false;
    }
    if (!ParseDriveLetter(field, letter)) {
        *fault = "drive letter \"" + field + "\" is not one of A-Z";
        return false;
    }
    if (machine.letters.count(*letter) != 0) {
        *fault = "letter " + field + " is defined twice";
        return false;
    }
    return true;
}

}  // namespace

bool ParseLetterLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    Letter letter;
    if (!TakeNewLetter(&cursor, context->machine, &letter.letter, fault) ||
        !cursor.Take("device target", &letter.target, fault)) {
        return false;
    }
    if (!cursor.AtEnd()) {
        size_t volume = 0;
        if (!TakeDefinedVolume(&cursor, context->machine, "volume", &volume, fault)) {
            return false;
        }
        letter.volume = volume;
    }
    if (!cursor.Finish(fault)) {
        return false;
    }
    context->machine.letters.emplace(letter.letter, letter);
    return true;
}

}  // namespace sim::internal
