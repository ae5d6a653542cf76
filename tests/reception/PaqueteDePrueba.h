#pragma once

#include "platform/Result.h"

#include <QMap>
#include <QString>
#include <QStringList>

// A small transmission package written by a test: a control file with the blocks of the
// tables added, one data file per table (Windows-1252, CR LF), packed into a ZIP archive.
class PaqueteDePrueba {
public:
    PaqueteDePrueba();
    // Adds a table: its block (field list) and its data file.
    PaqueteDePrueba &tabla(const QString &nombre, const QStringList &campos, const QStringList &lineas);
    // A table's block in the control file, without its data file.
    PaqueteDePrueba &bloque(const QString &nombre, const QStringList &campos);
    // Any other file of the package (or a table's data file without a block).
    PaqueteDePrueba &archivo(const QString &nombre, const QStringList &lineas);
    PaqueteDePrueba &precios(bool si);
    PaqueteDePrueba &sinControl();
    // CONTROL.DAT naming the origin database on its line 7.
    PaqueteDePrueba &origen(const QString &base);

    // Writes the files into a fresh folder and packs them into `zip`.
    [[nodiscard]] platform::Status escribir(const QString &zip) const;
    // Writes the files into `carpeta` (an unpacked package); their paths in `rutas`.
    [[nodiscard]] platform::Status escribirCarpeta(const QString &carpeta, QStringList *rutas = nullptr) const;

private:
    QStringList m_bloques;
    QMap<QString, QStringList> m_archivos;
    bool m_precios = true;
    bool m_control = true;
};

// Packs the given files (full paths) into `zip` with their bare names.
[[nodiscard]] platform::Status comprimir(const QString &zip, const QStringList &archivos);
// A data line as the sending writes it: each value followed by a TAB.
QString fila(const QStringList &valores);
