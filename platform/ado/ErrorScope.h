#pragma once

#include "Backend.h"
#include "Errors.h"

#include <exception>

namespace ado {

// Runs one ADO call: clears `errors`, runs `call`, and on failure fills `errors` with that
// call's errors and raises the first as an Exception (internal to the ado layer).
template <typename F> auto guardedCall(Errors &errors, const QString &source, F &&call) -> decltype(call())
{
    errors.Clear();
    try {
        return call();
    } catch (const BackendFailure &failure) {
        for (const BackendError &e : failure.errors())
            errors.Add(Error{e.number, e.nativeError, e.sqlState, e.description, source});
        if (failure.errors().empty())
            throw Exception(errnum::GenericFailure, QStringLiteral("Error no especificado"), source);
        const BackendError &first = failure.errors().front();
        throw Exception(first.number, first.description, source);
    } catch (const Exception &e) {
        errors.Add(Error{e.Number(), 0, QString(), e.Description(), e.Source()});
        throw;
    } catch (const std::exception &e) {
        const QString text = QString::fromUtf8(e.what());
        errors.Add(Error{errnum::GenericFailure, 0, QString(), text, source});
        throw Exception(errnum::GenericFailure, text, source);
    }
}

} // namespace ado
