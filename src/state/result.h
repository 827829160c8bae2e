#pragma once

#include <optional>
#include <string>
#include <utility>

namespace davrenta {

// Why an operation did not succeed: the text a message box or stderr shows, naming the file
// and the record (or field) where there is one.
struct Failure {
    std::string message;
};

inline Failure Fail(std::string message) {
    return Failure{std::move(message)};
}

// The outcome of a reader, writer or computation that yields nothing but success.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Failure failure) : error_(std::move(failure.message)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    // The failure's text; empty on success.
    const std::string& message() const {
        static const std::string none;
        return error_ ? *error_ : none;
    }

  private:
    std::optional<std::string> error_;
};

// A value, or the failure that prevented it.
template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : error_(std::move(failure.message)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& message() const { return error_; }
    // The failure alone, to hand on from a function with another result type.
    Failure failure() const { return Failure{error_}; }

  private:
    std::optional<T> value_;
    std::string error_;
};

} // namespace davrenta
