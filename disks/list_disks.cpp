#include "disks/list_disks.h"

#include <string.h>

#include "base/error_text.h"
#include "base/text.h"
#include "disks/disk_survey.h"
#include "disks/listing.h"

namespace {

const int kCollisionFound = 1;
const int kInvalidParameter = 87;
const int kInsufficientBuffer = 122;

// An operand longer than this is shown cut, followed by "...".
const int kShownOperandLength = 64;

DiskSurvey survey;

bool IsJsonOperand(const char* operand)
{
    return EqualsIgnoringAsciiCase(operand, "json");
}

int RefuseOperand(const char* operand, Text* report)
{
    bool cut = strlen(operand) > static_cast<size_t>(kShownOperandLength);
    TextFormatF(report,
                "LIST DISKS: Unknown operand \"%.*s%s\"; the only operand accepted is json.\n",
                kShownOperandLength, operand, cut ? "..." : "");
    return kInvalidParameter;
}

int LeaveFailure(Text* report, const char* opening, int code)
{
    const char* errorText = ErrorText(code);
    TextFormatF(report, "LIST DISKS: %s:%s%s\n", opening, errorText[0] == ' ' ? "" : " ",
                errorText);
    return code;
}

int ResultCode(const DiskSurvey* disks)
{
    if (HasCollision(disks)) {
        return kCollisionFound;
    }
    return disks->unlisted != 0 ? kInsufficientBuffer : 0;
}

}  // namespace

int ListDisks(int operandCount, char* const operands[], Text* report)
{
    bool json = operandCount >= 1 && IsJsonOperand(operands[0]);
    if (operandCount > (json ? 1 : 0)) {
        return RefuseOperand(operands[json ? 1 : 0], report);
    }
    int code = SurveyDisks(&survey);
    if (code != 0) {
        return LeaveFailure(report, "Could not enumerate the disks", code);
    }
    TextCut(report, 0);
    Listing listing = ListingOver(report);
    if (json) {
        WriteJsonListing(&survey, &listing);
    } else {
        WriteHumanListing(&survey, &listing);
    }
    if (listing.full) {
        TextCut(report, 0);
        return LeaveFailure(report, "The listing does not fit in its output text",
                            kInsufficientBuffer);
    }
    return ResultCode(&survey);
}
