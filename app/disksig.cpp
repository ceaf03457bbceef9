#include "app/disksig.h"

#include <stdio.h>

#include "app/usage.h"
#include "base/platform_version.h"
#include "base/text.h"
#include "disks/list_disks.h"
#include "identifier/new_identifier.h"
#include "report/display_signatures.h"
#include "report/working_text.h"
#include "signature/disk_signature.h"

namespace {

// The report holds the text a command leaves for the user. It is as large as
// the largest "-ld" listing, more than the "-ds" working text, so that a long
// report reaches the user whole.
const unsigned kReportCapacity = 131072;

static_assert(kReportCapacity >= kWorkingTextCapacity, "the report holds the whole working text");
static_assert(kReportCapacity >= kListingCapacity, "the report holds the largest disk listing");

char reportStorage[kReportCapacity];

// An operand the command line does not reach is absent, not empty.
const char* Operand(int argc, char* argv[], int index)
{
    return index < argc ? argv[index] : nullptr;
}

int RunCommand(int argc, char* argv[], Text* report)
{
    const char* option = Operand(argc, argv, 1);
    if (option == nullptr || option[0] != '-') {
        PrintUsage();
        return 0;
    }
    const char* name = option + 1;
    if (EqualsIgnoringAsciiCase(name, "es")) {
        return EraseDiskSignature(Operand(argc, argv, 2), report);
    }
    if (EqualsIgnoringAsciiCase(name, "ws")) {
        return SetDiskSignature(Operand(argc, argv, 2), Operand(argc, argv, 3), report);
    }
    if (EqualsIgnoringAsciiCase(name, "ds")) {
        return DisplaySignatures(report);
    }
    if (EqualsIgnoringAsciiCase(name, "ld")) {
        return ListDisks(argc - 2, argv + 2, report);
    }
    if (EqualsIgnoringAsciiCase(name, "us")) {
        return NewUniqueIdentifier(argc - 2, argv + 2, report);
    }
    if (EqualsIgnoringAsciiCase(name, "wg")) {
        return WriteDiskGuid(argc - 2, argv + 2, report);
    }
    PrintUsage();
    return 0;
}

}  // namespace

int DiskSigMain(int argc, char* argv[])
{
    ReadPlatformVersion();
    Text report = TextOver(reportStorage, sizeof reportStorage);
    int result = RunCommand(argc, argv, &report);
    printf("%s", report.chars);
    fflush(stdout);
    return result;
}
