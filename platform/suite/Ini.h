#pragma once

#include <QString>

namespace platform::suite {

// The per-station settings file reader (gIni). Files are looked up by bare name in
// the program folder, without regard to case; sections and keys ignore case too.
// A missing or unreadable file, section or key gives the default (and a log line
// for the file), never an error.
class Ini {
public:
    QString LeerIni(const QString &archivo, const QString &seccion, const QString &clave,
                    const QString &porOmision) const;
};

Ini &gIni();
void releaseIni();

} // namespace platform::suite
