#include "platform/sim/machine_parser.h"

#include <sstream>

#include "platform/sim/field_cursor.h"
#include "platform/sim/machine_fields.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

namespace {

using LineParser = bool (*)(const Fields&, ParseContext*, std::string*);

struct Keyword {
    const char* word;
    LineParser parse;
};

const Keyword kKeywords[] = {
    {"version", ParseVersionLine}, {"disk", ParseDiskLine},   {"volume", ParseVolumeLine},
    {"letter", ParseLetterLine},   {"mount", ParseMountLine}, {"fail", ParseFailLine},
    {"held", ParseHeldLine},       {"random", ParseRandomLine}, {"system", ParseSystemLine},
};

bool ParseLine(std::string line, ParseContext* context, std::string* fault)
{
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();  // a file written on Windows
    }
    Fields fields;
    if (!SplitFields(line, &fields, fault)) {
        return false;
    }
    if (fields.empty()) {
        return true;
    }
    for (const Keyword& keyword : kKeywords) {
        if (fields[0] == keyword.word) {
            return keyword.parse(fields, context, fault);
        }
    }
    *fault = "unknown keyword \"" + fields[0] + "\"";
    return false;
}

}  // namespace

bool TakeDefinedVolume(FieldCursor* cursor, const Machine& machine, const char* what, size_t* volume,
                       std::string* fault)
{
    std::string name;
    if (!cursor->Take(what, &name, fault)) {
        return false;
    }
    std::optional<size_t> found = VolumeNamed(machine, name);
    if (!found) {
        *fault = "volume " + name + " is not defined";
        return false;
    }
    *volume = *found;
    return true;
}


std::string Quoted(const std::string& field)
{
    return "\"" + field + "\"";
}

bool ParseMachineText(const std::string& text, const std::string& baseDir,
                      const std::string& sourceName, Machine* machine, std::string* error)
{
    ParseContext context;
    context.baseDir = baseDir;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::string fault;
        if (!ParseLine(line, &context, &fault)) {
            *error = sourceName + ":" + std::to_string(number) + ": " + fault;
            return false;
        }
    }
    *machine = std::move(context.machine);
    return true;
}

}  // namespace sim::internal
