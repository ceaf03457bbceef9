// The lines that tie the machine's parts together and inject faults:
// letter, mount and fail.
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"
#include "platform/sim/text_compare.h"

namespace sim::internal {

namespace {

struct FaultOperationName {
    const char* word;
    FaultOperation operation;
};

const FaultOperationName kFaultOperations[] = {
    {"open", FaultOperation::Open},
    {"device-number", FaultOperation::DeviceNumber},
    {"get-layout", FaultOperation::GetLayout},
    {"set-layout", FaultOperation::SetLayout},
    {"get-layout-ex", FaultOperation::GetLayoutEx},
    {"length", FaultOperation::Length},
    {"attributes", FaultOperation::Attributes},
    {"enumerate", FaultOperation::Enumerate},
    {"volume-info", FaultOperation::VolumeInfo},
    {"volume-name", FaultOperation::VolumeName},
    {"mount-enum", FaultOperation::MountEnum},
    {"load-library", FaultOperation::LoadLibrary},
    {"get-proc-address", FaultOperation::GetProcAddress},
    {"popen", FaultOperation::Popen},
};

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

// A mount folder is a relative path that ends in a backslash, mnt\archive\.
bool IsMountFolder(const std::string& folder)
{
    return folder.size() >= 2 && folder.back() == '\\' && folder.front() != '\\';
}

bool IsDuplicateMount(const Machine& machine, const Mount& mount)
{
    for (const Mount& other : machine.mounts) {
        if (other.holder == mount.holder && EqualIgnoringCase(other.folder, mount.folder)) {
            return true;
        }
    }
    return false;
}

bool FindFaultOperation(const std::string& word, FaultOperation* operation)
{
    for (const FaultOperationName& name : kFaultOperations) {
        if (word == name.word) {
            *operation = name.operation;
            return true;
        }
    }
    return false;
}

bool IsDuplicateFault(const Machine& machine, const FaultLine& line)
{
    for (const FaultLine& other : machine.faults) {
        if (other.operation == line.operation && EqualIgnoringCase(other.name, line.name)) {
            return true;
        }
    }
    return false;
}

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

bool ParseMountLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    Mount mount;
    if (!TakeDefinedVolume(&cursor, context->machine, "holding volume", &mount.holder, fault) ||
        !cursor.Take("mount folder", &mount.folder, fault)) {
        return false;
    }
    if (!IsMountFolder(mount.folder)) {
        *fault = "mount folder \"" + mount.folder + "\" must be relative and end in a backslash";
        return false;
    }
    if (!TakeDefinedVolume(&cursor, context->machine, "mounted volume", &mount.mounted, fault)) {
        return false;
    }
    if (IsDuplicateMount(context->machine, mount)) {
        *fault = "mount folder " + mount.folder + " is defined twice";
        return false;
    }
    if (!cursor.Finish(fault)) {
        return false;
    }
    context->machine.mounts.push_back(mount);
    return true;
}

bool ParseFailLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    std::string word;
    FaultLine line;
    if (!cursor.Take("fail operation", &word, fault)) {
        return false;
    }
    if (!FindFaultOperation(word, &line.operation)) {
        *fault = "unknown fail operation \"" + word + "\"";
        return false;
    }
    if (!cursor.Take("name", &line.name, fault) || !cursor.TakeDecimal("error code", &line.code, fault)) {
        return false;
    }
    if (IsDuplicateFault(context->machine, line)) {
        *fault = "fail " + word + " " + line.name + " is defined twice";
        return false;
    }
    if (!cursor.Finish(fault)) {
        return false;
    }
    context->machine.faults.push_back(line);
    return true;
}

}  // namespace sim::internal
