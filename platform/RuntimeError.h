#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// A run-time error raised into the caller's handler (VB's Err object): a number,
// a description and a source. The system's handlers hand it to the error routines.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(long number, const QString &description, const QString &source = QString())
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description), m_source(source)
    {}
    long Number() const { return m_number; }
    const QString &Description() const { return m_description; }
    const QString &Source() const { return m_source; }

private:
    long m_number;
    QString m_description;
    QString m_source;
};

} // namespace platform
