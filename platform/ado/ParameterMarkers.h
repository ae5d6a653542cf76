#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace ado {

// The "?" markers of a command text. Engines whose statements are translated get them
// as named markers "@vkp<n>" first, so that a marker keeps its value wherever the
// translation moves it (IF NOT EXISTS ... INSERT puts the condition last).
class ParameterMarkers {
public:
    // "?" outside literals, names and comments, in text order.
    static int count(const QString &sql);
    // Each "?" becomes "@vkp<n>", n from 1 in text order; `count` gets how many there were.
    static QString named(const QString &sql, int &count);
    // The 0-based index of a "@vkp<n>" marker (also without the "@"); -1 for any other name.
    static int indexOf(QStringView name);
    // Each "@vkp<n>" of a translated text becomes "?"; `order` gets the index of each in text order.
    static QString positional(const QString &sql, std::vector<int> &order);
};

} // namespace ado
