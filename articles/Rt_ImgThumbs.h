#pragma once

#include <QString>

// The article pictures' folders and proportions (Qt Core). The thumbnails themselves are
// made by articles/imagen/Miniaturas.h, in the same namespace.
namespace Rt_ImgThumbs {

// A path resolved against the program folder: "" for a path of at most two characters. A
// path without a "." (or whose first "." opens it) is a folder and comes back with a final
// separator; any other is a file. An absolute path (starting with "/" or two backslashes, or
// with a drive letter) stays as it is; a relative one is put under the program folder.
QString RutaCompleta(const QString &ruta);

bool ExisteCarpeta(const QString &carpeta);
// Creates the folder and any missing parent; false when it cannot be created.
bool CrearCarpeta(const QString &carpeta);

// The picture folder that the setting "RutaImagenes" names, as a local path ending in "/":
// the program folder joined with the setting by one separator whether or not the setting ends
// in one; an absolute setting stands alone, an empty one is the program folder itself. The
// pictures are saved, their thumbnails written and looked for there.
QString CarpetaImagenes(const QString &configurada);
// The setting followed by a name, with one separator between them ("" + name: the name).
QString UnirCarpeta(const QString &configurada, const QString &nombre);
// A path of the system (perhaps with backslashes or a drive letter) as a local one.
QString RutaLocal(const QString &ruta);

// Whether an article's code (trimmed) can name its picture files inside the picture folder:
// not empty, not "." or "..", and without a path separator, a drive's colon, a character
// Windows refuses in a name (* ? " < > |) or a control character. A code that cannot is never
// put into a path: it could name a file outside the folder.
bool NombreDeArchivoValido(const QString &codigo);

// Fits a picture of ancho x alto into a box, keeping its proportions: when both sides exceed
// the box the larger one is brought to the box first (the width on equal sides), then the
// other when it still exceeds. A picture that fits is never enlarged. Single precision.
void AjustarProporcion(float ancho, float alto, float anchoCaja, float altoCaja, float &anchoFinal, float &altoFinal);
// Shrinks a by d and b by the same percentage.
void ReducirProporcional(float &a, float &b, float d);

} // namespace Rt_ImgThumbs
