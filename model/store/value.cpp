#include "store/value.h"

#include <cstdio>

namespace vpl::store {

std::optional<double> Value::number() const {
    if (isInteger()) return static_cast<double>(integer());
    if (isReal()) return real();
    return std::nullopt;
}

std::optional<std::string> Value::toText() const {
    if (isText()) return text();
    if (isInteger()) return std::to_string(integer());
    if (isReal()) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.15g", real());
        return std::string(buf);
    }
    return std::nullopt;
}

}  // namespace vpl::store
