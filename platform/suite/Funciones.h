#pragma once

#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <QString>

namespace platform::suite {

// The suite's shared function object (gFunciones). Failures raise platform::RuntimeError.
class Funciones {
public:
    QString AgregarBarra(const QString &folder) const; // folder ending in "\" (or "/")
    QString NuloAVacio(const Variant &value) const;    // "" for Null/Empty
    // Reads text as a fixed-point amount with four decimals, using the regional decimal
    // separator; grouping separators are ignored, except that a point that is the only
    // separator in the text is the decimal mark ("12,5" and "12.5" both read 12.5).
    // Raises RuntimeError(13) on unreadable text.
    double TextoAMoneda(const QString &text) const;
    QString AlinearDerecha(const QString &text, int width) const;
    QString AjustarLargo(const QString &text, int maximum) const;
    QString QuitarCaracteres(const QString &text, const QString &c1, const QString &c2 = QString(),
                             const QString &c3 = QString()) const;
    QString Reemplazar(const QString &text, const QString &find, const QString &replacement) const;
    int ContarPalabras(const QString &text) const;
    QString Codificar(const QString &text) const;
    QString Decodificar(const QString &text) const;
};

using platform::RuntimeError;

Funciones &gFunciones();

} // namespace platform::suite
