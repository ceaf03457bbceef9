// The mount line: mount HOLDER FOLDER MOUNTED.
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

namespace {

// A mount folder is a relative path that ends in a backslash, mnt\archive\.
bool IsMountFolder(const std::string& folder)
{
    return folder.size() >= 2 && folder.back() == '\\' && folder.front() != '\\';
}

}  // namespace

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
    if (MountInFolder(context->machine, mount.holder, mount.folder)) {
        *fault = "mount folder " + mount.folder + " is defined twice";
        return false;
    }
    if (!cursor.Finish(fault)) {
        return false;
    }
    AddMount(&context->machine, mount);
    return true;
}

}  // namespace sim::internal
