#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ModGlobal {

// One record of the query-mask file: fixed width, Windows-1252, blank padded.
// Layout: title (100), view (100), columns (500), condition (500), CR LF (2).
struct MascaraConsulta {
    static constexpr int kTitulo = 100;
    static constexpr int kVista = 100;
    static constexpr int kColumnas = 500;
    static constexpr int kCondicion = 500;
    static constexpr int kLargo = kTitulo + kVista + kColumnas + kCondicion + 2; // 1202

    QString Titulo;
    QString Vista;
    QString Columnas;  // "|COL1|COL2|"
    QString Condicion; // WHERE condition without the keyword

    // The record's 1202 bytes; texts longer than their field are cut.
    QByteArray toRecord() const;
    // Reads one record; fields trimmed of blanks, NUL and character 255.
    static MascaraConsulta fromRecord(const QByteArray &record);
};

// The eleven masks that a new query-mask file holds, in file order.
QList<MascaraConsulta> mascarasPorOmision();

// Appends the default masks to the file, each after the last whole record (the file
// is created when missing). The file is written whole under a new name and renamed into
// place: a full disk leaves the file as it was, never a part of it. Raises
// platform::RuntimeError when it cannot be written.
void GenerarMascaraConsultas(const QString &archivo);

// True when the file holds whole records only, at least one, each ending in CR LF.
bool MascarasEnBuenEstado(const QString &archivo);

// Writes a missing, empty or damaged file again, whole: its sound records are kept and
// the default masks whose view none of them lists are added. Raises
// platform::RuntimeError when it cannot be written.
void RehacerMascaraConsultas(const QString &archivo);

// Reads every whole record of a query-mask file; an unreadable file gives none and a
// log line. A trailing partial record is ignored.
QList<MascaraConsulta> LeerMascaras(const QString &archivo);

} // namespace ModGlobal
