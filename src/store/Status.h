#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>

namespace radici {

// Engine numbers the windows test; every other failure carries the SQLite extended result code.
namespace EngineError {
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int DuplicateKey = 3022;
inline constexpr int FileNotFound = 3024;
inline constexpr int FileInUse = 3045;
inline constexpr int PasswordRefused = 3031;
inline constexpr int TableMissing = 3078;
inline constexpr int ChangedElsewhere = 3197;
inline constexpr int NotOpen = 3420;
}  // namespace EngineError

// The outcome of a store operation: success, or an engine number with an Italian description.
class [[nodiscard]] Status {
public:
    Status() = default;
    static Status success() { return {}; }
    static Status failure(int number, QString description) {
        return Status(number, std::move(description));
    }

    bool ok() const { return number_ == 0; }
    int number() const { return number_; }
    const QString& description() const { return description_; }
    bool is(int number) const { return number_ == number; }

private:
    Status(int number, QString description)
        : number_(number), description_(std::move(description)) {}

    int number_ = 0;
    QString description_;
};

// A value or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status failure) : status_(std::move(failure)) { Q_ASSERT(!status_.ok()); }

    bool ok() const { return status_.ok(); }
    const Status& status() const { return status_; }
    // Only for a success: asking a failure for its value is a fault of the caller.
    const T& value() const& {
        Q_ASSERT_X(value_.has_value(), "Result::value", qPrintable(status_.description()));
        return *value_;
    }
    T& value() & {
        Q_ASSERT_X(value_.has_value(), "Result::value", qPrintable(status_.description()));
        return *value_;
    }
    T&& value() && {
        Q_ASSERT_X(value_.has_value(), "Result::value", qPrintable(status_.description()));
        return std::move(*value_);
    }

private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace radici
