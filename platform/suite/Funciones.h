#pragma once

#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

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

    // ---- further operations of the library (FuncionesMas.cpp) ----
    // Without a width (list cells): the text as it is.
    QString AlinearDerecha(const QString &text) const { return text; }
    // Text read as TextoADoble does, rounded to the nearest whole number (halves to even).
    std::int64_t TextoAEntero(const QString &text) const;
    // Text read as a number with the regional separators (grouping ignored); "" is 0.
    // Raises RuntimeError(13) on unreadable text.
    double TextoADoble(const QString &text) const;
    // Every occurrence of `find` replaced, ignoring case.
    QString ReemplazarTexto(const QString &text, const QString &find, const QString &replacement) const;
    // Splits a path ("/" or "\\" separated): folder with its final separator, name without
    // extension, extension without its dot, name with extension.
    void DividirRuta(const QString &ruta, QString &carpeta, QString &nombre, QString &extension,
                     QString &archivo) const;
    // A date the operator picks, as "dd/MM/yyyy"; "" when cancelled or when no picker is
    // installed (the desktop installs one).
    QString PedirFecha() const;
    using SelectorFecha = std::function<std::optional<QDate>(const QDate &inicial)>;
    static void setSelectorFecha(SelectorFecha selector);
    // Resets the pointer and the like atop error handlers: nothing to do here.
    void Restablecer(int) const {}
};

using platform::RuntimeError;

Funciones &gFunciones();

} // namespace platform::suite
