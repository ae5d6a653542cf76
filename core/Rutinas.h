#pragma once

#include <QDateTime>
#include <QString>

// Small shared file, text and money routines of the program's forms.
namespace ModGlobal {

// True when the file opens for reading (it is closed again at once); never raises.
bool ExisteArchivo(const QString &archivo);
// As ExisteArchivo, after removing every double quote from the name.
bool ExisteArchivoSinComillas(const QString &archivo);

// The n-th (1-based) field of `texto` split at `separador` (found ignoring case),
// trimmed of blanks; "" for a field number out of range. Empty fields count.
QString ExtraerCampo(const QString &texto, long n, const QString &separador);

// Reads a yes/no text: with defecto True only FALSE/FALSO/0/NO/N are False; with
// defecto False only TRUE/VERDADERO/1/SI/S are True (any case, blanks ignored).
bool ValorLogico(const QString &texto, bool defecto);

// Money text: selector -3 returns the text unchanged, -2 no decimals, -1 the configured
// decimals (gCantidadDecimales, the locale's when that is 0), 0 the locale's, n > 0 that
// many. Halves round to the even digit; regional separators; optional grouping.
QString FmtMoneda(const QString &importe, int selector, bool miles);

// Copies a file byte for byte; False when the source is missing or a step fails.
bool CopiarArchivo(const QString &origen, const QString &destino);

// Timed output file: 1 open (folder, TEMP/TMP, or the temporary folder; name hhmmss +
// extension), 2 write a line, 3 close and open with the desktop, 4 close and delete.
// `carpeta` receives the output file's full name.
void ExportarPlanilla(int modo, const QString &linea, QString &extension, QString &carpeta);

// Opens a document with its associated program; never waits.
void AbrirDocumento(const QString &ruta, bool minimizado);

// The fixed formats the system writes dates with ("dd/mm/yy hh:mm", "dd/mm/yy", "hh:mm")
// and the current time in each.
QString FormatoFechaHora();
QString FormatoFecha();
QString FormatoHora();
QString AhoraFechaHora();

} // namespace ModGlobal
