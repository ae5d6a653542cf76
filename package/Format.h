#pragma once

#include "platform/Variant.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The transmission package: one folder of text files (Windows-1252, every line ending in
// CR LF, no quoting or escaping anywhere), a control file naming each table's columns and
// one data file per table, packed into Archivos.zip. This is the one definition of its
// files, lines and values: the reception reads and the sending writes through it.
namespace package {

// ---- files ----
QString controlFileName();                  // "CONTROLMA.DAT", as packed and read
QString controlFileWrittenName();           // "ControlMA.dat", as the sending writes it
QString originFileName();                   // "CONTROL.DAT": line 7 names the origin database
QString archiveName();                      // "Archivos.zip"
QString errorFileName();                    // "Errores.TXT": the reception's rejected rows
QString dataFileName(const QString &table); // "<TABLE>.DAT"

// The 27 master tables in package order, and the two the unattended sending adds when
// its database has them.
const QStringList &tableOrder();
const QStringList &extraTables();

// ---- control file ----
QString controlTitle(); // "Trasmision", line 1
QString pricesYes();    // "PRECIOS_SI", line 6
QString pricesNo();     // "PRECIOS_NO"
// A table's field list: the names joined by " | ", with "DEBE-HABER" and "NUMERO ASIENTO"
// in square brackets.
QString writeFieldList(const QStringList &names);
// The names of a field list line, trimmed and without square brackets.
QStringList readFieldList(const QString &line);

// ---- data lines ----
inline constexpr char16_t kSeparator = u'\t';
// Every value followed by one TAB, the last one too.
QString writeLine(const QStringList &values);
// The values of a line: split at TAB; the TAB after the last value starts no further value.
// An empty line has no values.
QStringList readLine(const QString &line);

// The position of the first character of a data line that no value of a package can hold:
// a control character other than the separator (NUL, a CR inside the line, DEL, ...),
// which the sending refuses to write (unwritableText); -1 when the line has none.
qsizetype controlCharacterAt(const QString &line);
// The name of such a character for a message: "NUL", "CR", "DEL" or its code.
QString controlCharacterName(QChar c);

// ---- values ----
QString nullText(); // "NULL"
// A field that stands for Null: "NULL" in any case (blanks around it do not count).
bool isNull(const QString &value);
// How the sending writes a field: Null as "NULL", a Boolean column as "0" or "1", a number
// with a decimal comma and no grouping, a date as dd/mm/yyyy (with hh:mm:ss when it has a
// time of day), text as it is with TABs and line breaks made blanks.
QString writeValue(const platform::Variant &value, bool booleanColumn = false);
QString writeNumber(double value);
QString writeDate(const QDateTime &value);
// A number as a package writes it: an optional sign, digits and one decimal mark, a comma
// or a point (with both, the point groups thousands). Blanks around it are allowed.
std::optional<double> readNumber(const QString &text);
// A day-first date: d/m/yyyy or d/m/yy (two-digit years below 50 are 20yy), "/", "-" or "."
// between the parts, optionally followed by h:mm or h:mm:ss. nullopt for anything else.
std::optional<QDateTime> readDate(const QString &text);

// ---- the withdrawn-price line ----
// The one line of V_MA_PRECIOS.DAT that is not a row (written before the rows):
// DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='<list, 4 wide>' AND
// IDARTICULO='<article, 25 wide>' (both right-aligned with leading blanks).
struct PriceDeletion {
    QString list;    // as the line carries it (4 characters)
    QString article; // as the line carries it (25 characters)
};
QString writePriceDeletion(const QString &list, const QString &article);
// The list and article of a line in exactly that form (keywords in any case); nullopt for
// any other line.
std::optional<PriceDeletion> readPriceDeletion(const QString &line);

// ---- writing a row (the sending) ----
// Columns a data line leaves out (ID, IMAGEN, TRANSMISION, RECEPCION), and the ones a field
// list leaves out (ID, IMAGEN); names compare without regard to case.
bool leftOutOfLine(const QString &column);
bool leftOutOfFieldList(const QString &column);
// Why a text value cannot travel unchanged in a data line, or "" when it can: a TAB, a line
// break or another control character (the line would break or be cleaned), a character that
// Windows-1252 cannot hold, or a text that the reader takes for NULL.
QString unwritableText(const QString &text);

} // namespace package
