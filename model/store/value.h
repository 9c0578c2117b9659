#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace vpl::store {

// One field as the engine returns it: NULL, a whole number, a real or a text.
// Number fields keep what was written into them (a typed text that is not a
// number stays a text), so readers decide what a value means.
class Value {
  public:
    Value() = default;
    Value(std::int64_t v) : v_(v) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isNumber() const { return isInteger() || isReal(); }

    std::int64_t integer() const { return std::get<std::int64_t>(v_); }
    double real() const { return std::get<double>(v_); }
    const std::string& text() const { return std::get<std::string>(v_); }

    // The value as a number when the engine holds one; texts are not parsed here.
    std::optional<double> number() const;
    // The value as text: texts as they are, whole numbers in digits, reals with
    // up to 15 significant digits and "." as separator; NULL gives nothing.
    std::optional<std::string> toText() const;

    bool operator==(const Value&) const = default;

  private:
    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

}  // namespace vpl::store
