#pragma once

#include <vector>

namespace lookup {

// Where the list form puts its controls, in twips (1/1440 inch), as the form lays itself
// out after loading (columns) and on every resize (window).
struct ColumnsLayout {
    std::vector<double> boxLeft; // search box i above column i
    std::vector<double> boxWidth;
    double listWidth = 0;
    double picWidth = 0; // the strip that holds the boxes and the list
    double scrollWidth = 0;
    int scrollMax = 0;
    double windowWidth = 0;
};
ColumnsLayout layoutColumns(const std::vector<double> &columnWidths, double screenWidth);

struct WindowLayout {
    double picHeight = 0, picWidth = 0;
    double listHeight = 0, listWidth = 0;
    double frameTop = 0, frameLeft = 0, frameWidth = 0;
    double scrollTop = 0, scrollWidth = 0;
    double aceptarLeft = 0, aceptarWidth = 0;
    double cancelarLeft = 0, cancelarWidth = 0;
    double nuevaLeft = 0;
    double labelWidth = 0;
};
struct WindowSizes {
    double width = 0, height = 0;
    double frameHeight = 0, scrollHeight = 0;
    double aceptarWidth = 0, cancelarWidth = 0, nuevoWidth = 0;
    bool nuevaVisible = true;
};
WindowLayout layoutWindow(const WindowSizes &sizes);

} // namespace lookup
