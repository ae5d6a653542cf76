#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace recepcion {

// The files of one received package: those in its folder, or, once limited, only those that
// its archive holds (so that a file an earlier package left in the same folder is never
// taken for part of this one). Names compare without regard to case.
class ArchivosPaquete {
public:
    explicit ArchivosPaquete(const QString &carpeta = QString()) : m_carpeta(carpeta) {}
    // Only these names (the archive's entries at its top level) belong to the package.
    void limitarA(const QStringList &nombres);

    const QString &carpeta() const { return m_carpeta; }
    // The file's full path when it belongs to the package and exists; "" otherwise.
    QString ruta(const QString &nombre) const;
    // Where the reception writes its own file (Errores.TXT) in the package folder.
    QString rutaNueva(const QString &nombre) const;

private:
    QString m_carpeta;
    bool m_limitado = false;
    QSet<QString> m_nombres; // upper case
};

} // namespace recepcion
