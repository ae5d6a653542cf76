#include "LineaComandos.h"

namespace ModGlobal {

QString ValorDeClave(const QString &texto, const QString &clave, const QString &missing)
{
    const QString wanted = clave.trimmed();
    const QStringList items = texto.split(QLatin1Char(';'));
    for (const QString &item : items) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (item.left(eq).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return item.mid(eq + 1).trimmed();
    }
    return missing;
}

LineaComandos LineaComandos::parse(const QString &texto)
{
    LineaComandos line;
    line.ParametroAdicional = ValorDeClave(texto, QStringLiteral("@ParametroAdicional"));
    line.Menu = ValorDeClave(texto, QStringLiteral("@Menu"));
    line.Server = ValorDeClave(texto, QStringLiteral("@Server"));
    line.DbName = ValorDeClave(texto, QStringLiteral("@DbName"));
    line.Usuario = ValorDeClave(texto, QStringLiteral("@Usuario"));
    line.Password = ValorDeClave(texto, QStringLiteral("@Password"));
    line.UsuarioLogeado = ValorDeClave(texto, QStringLiteral("@UsuarioLogeado"));
    line.Caja = ValorDeClave(texto, QStringLiteral("@Caja"), QStringLiteral("1"));
    return line;
}

QString LineaComandos::fromArguments(const QStringList &arguments)
{
    QString text;
    for (const QString &argument : arguments) {
        if (text.isEmpty()) {
            text = argument;
            continue;
        }
        // A word that starts an item ends the one before it, as cron and shells pass
        // '@Server=!' '@DbName=...' without the ";" between them.
        const bool startsItem = argument.trimmed().startsWith(QLatin1Char('@'));
        const bool previousEnded = text.trimmed().endsWith(QLatin1Char(';'));
        text += (startsItem && !previousEnded) ? QStringLiteral(";") : QStringLiteral(" ");
        text += argument;
    }
    return text;
}

bool LineaComandos::unattended() const
{
    return ParametroAdicional.trimmed().compare(QStringLiteral("AUTO"), Qt::CaseInsensitive) == 0;
}

QString LineaComandos::toText() const
{
    return QStringLiteral("@server=%1; @dbname= %2; @usuario= %3; @Password= %4; "
                          "@ParametroAdicional=%5; @UsuarioLogeado=%6; @Caja=%7; @Menu=%8")
        .arg(Server, DbName, Usuario, Password, ParametroAdicional, UsuarioLogeado, Caja, Menu);
}

} // namespace ModGlobal
