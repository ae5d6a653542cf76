#include "Controles.h"
#include "Funciones.h"

#include "platform/ui/Operator.h"

#include <QDate>

namespace platform::suite {

QString Funciones::LimpiarTexto(const QString &text) const
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() < 32 || c.unicode() == 127)
            c = QLatin1Char(' ');
    }
    return out;
}

QString Funciones::ReemplazarTexto(const QString &text, const QString &find, const QString &replacement) const
{
    return Reemplazar(text, find, replacement);
}

QString Funciones::PedirFecha() const
{
    const QString typed = inputBox(QStringLiteral("Ingrese la fecha (dd/mm/aaaa):"), QStringLiteral("Fecha"),
                                   QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))
                              .trimmed();
    const QDate date = QDate::fromString(typed, QStringLiteral("d/M/yyyy"));
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

void Funciones::AjustarFormulario(const void *, int) const {}

void Funciones::Restablecer(int) const {}

bool Controles::EsTeclaAceptar(int keyCode) const { return keyCode == 13; }

} // namespace platform::suite
