#include "lookup/LookupLayout.h"

#include <cmath>

namespace lookup {

ColumnsLayout layoutColumns(const std::vector<double> &columnWidths, double screenWidth)
{
    ColumnsLayout layout;
    double total = 0;
    for (const double width : columnWidths) {
        layout.boxLeft.push_back(total);
        layout.boxWidth.push_back(width - 50);
        total += width;
    }
    layout.listWidth = total + 360;
    layout.picWidth = std::round(total) + 360;
    layout.scrollWidth = total;
    layout.scrollMax = layout.picWidth > 32700 ? 32700 : int(std::lround((layout.picWidth + 480) * 0.6));
    layout.windowWidth = layout.listWidth + 360 >= screenWidth ? screenWidth - 480 : layout.listWidth + 280;
    return layout;
}

WindowLayout layoutWindow(const WindowSizes &sizes)
{
    WindowLayout l;
    l.picHeight = sizes.height - sizes.frameHeight - 480;
    l.listHeight = l.picHeight - sizes.frameHeight - 600;
    l.picWidth = sizes.width - 120;
    l.listWidth = l.picWidth - 20;
    l.frameTop = sizes.height - sizes.frameHeight - 520;
    l.scrollTop = l.picHeight - sizes.scrollHeight - 120;
    l.scrollWidth = sizes.width - 120;
    l.frameLeft = 0;
    l.frameWidth = sizes.width;
    l.aceptarWidth = sizes.aceptarWidth;
    l.cancelarWidth = sizes.cancelarWidth;
    l.aceptarLeft = l.frameLeft + 100;
    l.cancelarLeft = (l.frameWidth - l.cancelarWidth) / 2;
    l.nuevaLeft = l.frameWidth - (l.cancelarWidth + 150);
    if (!sizes.nuevaVisible) {
        if (l.cancelarWidth + l.aceptarWidth + 400 > l.frameWidth) {
            l.aceptarWidth = l.aceptarWidth / 2;
            l.cancelarWidth = l.aceptarWidth;
            l.aceptarLeft = l.frameLeft + 100;
            l.cancelarLeft = l.frameWidth - (l.cancelarWidth + 150);
            l.nuevaLeft = l.cancelarLeft;
        } else {
            l.cancelarLeft = l.nuevaLeft;
        }
    }
    l.labelWidth = l.listWidth - sizes.nuevoWidth;
    return l;
}

} // namespace lookup
