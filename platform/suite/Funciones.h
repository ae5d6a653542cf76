#pragma once

#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <QString>

#include <cstdint>

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
    // The same amount as an exact SQL literal ("-1234.5", "0"): four decimals at most, no
    // grouping, never through a double, so large amounts keep every digit.
    QString LiteralMoneda(const QString &text) const;
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
    // Splits a path ("/" or "\\" separated): folder with its final separator, name without
    // extension, extension without its dot, name with extension.
    void DividirRuta(const QString &ruta, QString &carpeta, QString &nombre, QString &extension,
                     QString &archivo) const;

    // Package-line and form helpers (FuncionesTexto.cpp).
    // The text with every TAB, line break and other control character turned into a blank.
    QString LimpiarTexto(const QString &text) const;
    // Every occurrence of `find` replaced (the library's spelling of Reemplazar).
    QString ReemplazarTexto(const QString &text, const QString &find, const QString &replacement) const;
    // Asks the operator for a date (through the operator service); "dd/mm/yyyy", or "" when
    // the operator cancelled or typed no date.
    QString PedirFecha() const;
    // Prepare a form at load and reset the library's state in error handlers: nothing
    // to do on this platform.
    void AjustarFormulario(const void *form, int modo) const;
    void Restablecer(int modo) const;
};

using platform::RuntimeError;

Funciones &gFunciones();

} // namespace platform::suite
