#include "report/display_signatures.h"

int DisplaySignatures(Text* report)
{
    TextClear(report);
    return 0;
}
