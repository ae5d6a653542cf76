#pragma once

#include <QString>
#include <QStringList>

namespace ModGlobal {

// The items of the suite's command line ("@Key=value; @Key=value; ..."), parsed into
// a plain struct so that the program can choose desktop or unattended before any
// widget exists.
//
// Rules: items are separated by ";"; an item's key is the text before its first "="
// (trimmed) and matches a wanted key only as a whole, ignoring case; the value is
// everything after that first "=" up to the next ";" or the end, trimmed, with any
// further "=" kept. The first item with the key wins; a missing key gives its default.
struct LineaComandos {
    QString ParametroAdicional;
    QString Menu;
    QString Server;
    QString DbName;
    QString Usuario;
    QString Password;
    QString UsuarioLogeado;
    QString Caja = QStringLiteral("1");

    static LineaComandos parse(const QString &texto);
    // The process arguments (without the program) as one command text: each argument
    // that starts with "@" begins an item of its own (";" is put before it when the text
    // so far does not end with one); any other argument continues the item before it,
    // after a blank ("@dbname=" "DB;" reads "@dbname= DB;").
    static QString fromArguments(const QStringList &arguments);
    // True when "@ParametroAdicional" asks for an unattended run ("AUTO", any case).
    bool unattended() const;
    // The standard command line of the suite, as its programs are launched with.
    QString toText() const;
};

// The value of one whole key in a command text; `missing` when the key is absent.
QString ValorDeClave(const QString &texto, const QString &clave, const QString &missing = QString());

} // namespace ModGlobal
