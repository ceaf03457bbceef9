// One parser per machine-file keyword. Each takes the line's fields (the
// keyword first), adds what the line defines to the machine, or returns
// false with *fault saying what is wrong with the line.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace sim::internal {

struct ParseContext {
    Machine machine;
    std::string baseDir;
    bool versionSeen = false;
    bool randomSeen = false;
};

using Fields = std::vector<std::string>;

bool ParseVersionLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseDiskLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseVolumeLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseLetterLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseMountLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseFailLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseRandomLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseSystemLine(const Fields& fields, ParseContext* context, std::string* fault);
bool ParseHeldLine(const Fields& fields, ParseContext* context, std::string* fault);

class FieldCursor;

// The next field, the name of a volume an earlier line defines.
bool TakeDefinedVolume(FieldCursor* cursor, const Machine& machine, const char* what, size_t* volume,
                       std::string* fault);

// A field as a fault message quotes it.
std::string Quoted(const std::string& field);

}  // namespace sim::internal
