#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace platform {

// The one result type at layer boundaries: a value or an error code and message.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(QString message, int code = -1) { return Result(code, std::move(message)); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    int code() const { return m_code; }
    const QString &message() const { return m_message; }

private:
    Result(int code, QString message) : m_code(code), m_message(std::move(message)) {}
    std::optional<T> m_value;
    int m_code = 0;
    QString m_message;
};

struct Ok {};

// Result without a value.
class [[nodiscard]] Status {
public:
    Status() = default;
    static Status failure(QString message, int code = -1) { return Status(code, std::move(message)); }
    bool ok() const { return m_failed == false; }
    explicit operator bool() const { return ok(); }
    int code() const { return m_code; }
    const QString &message() const { return m_message; }

private:
    Status(int code, QString message) : m_failed(true), m_code(code), m_message(std::move(message)) {}
    bool m_failed = false;
    int m_code = 0;
    QString m_message;
};

} // namespace platform
