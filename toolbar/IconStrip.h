#pragma once

#include "platform/Result.h"

#include <QImage>
#include <QList>
#include <QString>

namespace toolbar {

// The command bar's pictures: one bitmap strip of equal-width icons, in button
// order, chosen by the user's style value of the station file.
class IconStrip {
public:
    // Largest strip file read; anything bigger is refused, not loaded.
    static constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

    // "1" ABM2021B.bmp, "2" ABM2021M.bmp, "3" ABM2021V.bmp, "4" ABM2021i.bmp,
    // anything else ABM2021.bmp. The value is compared exactly (" 2" is not "2").
    static QString fileNameForStyle(const QString &styles);

    // The user's style value of the station file: key "Styles" of the section named by
    // the upper-cased user name followed by "Styles" in qd000pr.ini; "1" when missing.
    static QString stationStyle();

    // The strip's full path in `folder`, found without regard to case.
    static QString pathForStyle(const QString &folder, const QString &styles);

    // Cuts the bitmap at `path` into `count` icons. Fails, naming the file, when it
    // is missing, too big, unreadable or narrower than `count` pixels.
    static platform::Result<QList<QImage>> load(const QString &path, int count);
};

} // namespace toolbar
