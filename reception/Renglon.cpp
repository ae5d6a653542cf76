#include "Renglon.h"

#include "db/DB_Dll.h"

#include <QStringList>

namespace recepcion {

namespace {

QString sinBlancos(const QString &texto)
{
    qsizetype a = 0;
    qsizetype b = texto.size();
    while (a < b && texto[a] == QLatin1Char(' '))
        ++a;
    while (b > a && texto[b - 1] == QLatin1Char(' '))
        --b;
    return texto.mid(a, b - a);
}

qsizetype buscar(const QString &texto, const QString &separador)
{
    return separador.isEmpty() ? -1 : texto.indexOf(separador, 0, Qt::CaseInsensitive);
}

} // namespace

short ExtraeTotPos(const QString &entrada, const QString &separador)
{
    QString resto = entrada;
    short cuenta = 0;
    do {
        const qsizetype p = buscar(resto, separador);
        ++cuenta;
        resto = p < 0 ? QString() : sinBlancos(resto.mid(p + separador.size()));
    } while (!resto.isEmpty());
    return cuenta;
}

QString ExtraeCadena3(const QString &entrada, long item, const QString &separador)
{
    if (item < 1)
        return QString();
    QString resto = entrada;
    long contador = 0;
    while (!resto.isEmpty()) {
        const qsizetype p = buscar(resto, separador);
        if (p < 0)
            return contador + 1 == item ? resto : QString();
        if (++contador == item)
            return resto.left(p);
        resto = resto.mid(p + separador.size());
    }
    return QString();
}

short ExtraePosicion(const QString &entrada, const QString &item, const QString &separador)
{
    QString resto = entrada;
    short contador = 0;
    while (!resto.isEmpty()) {
        const qsizetype p = buscar(resto, separador);
        ++contador;
        QString campo;
        if (p >= 0) {
            campo = sinBlancos(resto.left(p));
            resto = sinBlancos(resto.mid(p + separador.size()));
        } else {
            campo = sinBlancos(resto);
            resto.clear();
        }
        if (campo.compare(item, Qt::CaseInsensitive) == 0)
            return contador;
    }
    return contador;
}

QString VerificaCampos(const QString &tabla, DB_Dll &db, const QStringList &excluidos, bool corchetes, QString &tipos)
{
    tipos.clear();
    QString lista;
    std::vector<ado::SchemaColumn> columnas;
    try {
        columnas = db.gCnn.Columns(tabla);
    } catch (const platform::RuntimeError &) {
        return QString();
    }
    for (const ado::SchemaColumn &c : columnas) {
        if (excluidos.contains(c.Name, Qt::CaseInsensitive))
            continue;
        if (!lista.trimmed().isEmpty())
            lista += QLatin1Char(',');
        lista += corchetes ? QLatin1Char('[') + c.Name + QLatin1Char(']') : c.Name;
        if (!tipos.isEmpty())
            tipos += QLatin1Char(',');
        tipos += QString::number(int(c.Type));
    }
    return lista;
}

} // namespace recepcion
