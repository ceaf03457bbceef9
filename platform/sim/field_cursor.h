// Walks the fields of one machine-file line after its keyword, naming what
// is missing or left over.
#pragma once

#include <string>
#include <vector>

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
