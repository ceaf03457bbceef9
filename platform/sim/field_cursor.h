// Walks the fields of one machine-file line after its keyword, naming what
// is missing or left over.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/sim/field_values.h"

namespace sim::internal {

class FieldCursor {
public:
    explicit FieldCursor(const std::vector<std::string>& fields) : fields_(fields) {}

    // The next field; "missing WHAT" when the line has ended.
    bool Take(const char* what, std::string* field, std::string* fault)
    {
        if (next_ >= fields_.size()) {
            *fault = std::string("missing ") + what;
            return false;
        }
        *field = fields_[next_++];
        return true;
    }

    // The next field as a decimal number; "bad WHAT" when it is none.
    bool TakeDecimal(const char* what, uint32_t* value, std::string* fault)
    {
        std::string field;
        if (!Take(what, &field, fault)) {
            return false;
        }
        if (!ParseDecimal(field, value)) {
            *fault = std::string("bad ") + what + " \"" + field + "\"";
            return false;
        }
        return true;
    }

    bool AtEnd() const { return next_ >= fields_.size(); }

    // True at the end of the line; otherwise names the first extra field.
    bool Finish(std::string* fault) const
    {
        if (AtEnd()) {
            return true;
        }
        *fault = "unexpected field \"" + fields_[next_] + "\"";
        return false;
    }

private:
    const std::vector<std::string>& fields_;
    size_t next_ = 1;  // past the keyword
};

}  // namespace sim::internal
