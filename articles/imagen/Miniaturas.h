#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>

// The article pictures' copies and thumbnails (Qt Gui).
namespace Rt_ImgThumbs {

// The five thumbnail folders "thumbs0" to "thumbs4" under the picture folder, smallest first,
// and the box each thumbnail is fitted into.
QList<QSize> TamanosMiniatura();

// The size of a picture's thumbnail: fitted into the box by AjustarProporcion, rounded to whole
// pixels (halves to the even one), never less than one pixel a side.
QSize TamanoMiniatura(QSize imagen, QSize caja);

// Keeps an article's picture: copies `origen` into the picture folder that the setting
// `carpeta` names (Rt_ImgThumbs::CarpetaImagenes) as the trimmed code, "_" and the number when
// it is not 0, and the source's extension, and writes the five thumbnails `codigo`.bmp, each
// reduced by area averaging into its box. `nombre` receives the stored name relative to the
// program folder (the setting joined with the file name). The folders are created when
// missing. False, and nothing written, after telling the operator when the copy fails; false
// too when the copy cannot be read as a picture or a thumbnail cannot be written.
bool GenerarMiniaturas(const QString &carpeta, const QString &origen, const QString &codigo, std::int16_t numero,
                       QString &nombre);

} // namespace Rt_ImgThumbs
