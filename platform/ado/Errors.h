#pragma once

#include "platform/RuntimeError.h"

#include <QList>
#include <QString>

namespace ado {

// One provider error of the last call (ADO Error object).
struct Error {
    long Number = 0;      // HRESULT-style number, see errnum
    long NativeError = 0; // SQL Server's number (mapped on other engines)
    QString SQLState;
    QString Description;
    QString Source;
};

// The connection's Errors collection: holds exactly the errors of the last call.
class Errors {
public:
    int Count() const { return int(m_items.size()); }
    const Error &Item(int index) const { return m_items.at(index); }
    const Error &operator[](int index) const { return m_items.at(index); }
    void Clear() { m_items.clear(); }
    void Add(const Error &error) { m_items.append(error); }
    bool isEmpty() const { return m_items.isEmpty(); }

private:
    QList<Error> m_items;
};

// A run-time error raised into the caller's handler (VB Err object).
using Exception = platform::RuntimeError;

} // namespace ado
