#pragma once

#include "platform/Result.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace articles {

// The most pixels a picture of an article keeps: a larger one (a camera's 50 megapixels) is
// reduced to this many, its proportions kept. Far more than the box and the thumbnails show.
constexpr qint64 kMaximoPixeles = 4096 * 4096;
// What a picture may take in memory while it is decoded whole (formats that cannot be decoded
// reduced, such as BMP): 1 GB, about 268 megapixels.
constexpr int kLimiteDecodificacionMB = 1024;

// Reads a picture file by its content, whatever its extension says (BMP, JPEG, PNG, GIF, icon);
// a picture above kMaximoPixeles is reduced while it is decoded. The failure names the file
// and why it cannot be read.
platform::Result<QImage> LeerImagen(const QString &ruta);

// The size a picture of that size is kept at: itself up to kMaximoPixeles, else reduced.
QSize TamanoGuardado(QSize tamano);
// The picture at TamanoGuardado of its size (smoothly reduced when larger).
QImage Reducida(const QImage &imagen);

// The picture as opaque 32-bit RGB, its transparent parts laid over white (BMP thumbnails and
// JPEG pictures have no transparency).
QImage SobreBlanco(const QImage &imagen);

// Writes the picture whole or not at all ("BMP", "JPG"); the failure names the file.
platform::Status GuardarImagen(const QImage &imagen, const QString &ruta, const char *formato);

// The picture reduced to each size by area averaging: every pixel of a reduction is the mean
// of the part of the picture it covers, fractions of pixels weighted by their area. The
// picture is read once for all the sizes. A size larger than the picture on some side is
// scaled smoothly instead.
QList<QImage> ReducirPorArea(const QImage &imagen, const QList<QSize> &tamanos);

} // namespace articles
