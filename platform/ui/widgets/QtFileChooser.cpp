#include "QtFileChooser.h"

#include "platform/suite/CmdDlg.h"

#include <QFileDialog>
#include <QStringList>

namespace platform {

QString qtFilter(const QString &vbFilter)
{
    const QStringList parts = vbFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

void installQtFileChooser()
{
    suite::CmdDlg::setChooser([](const QString &titulo, const QString &filtro) -> std::optional<QString> {
        const QString chosen = QFileDialog::getOpenFileName(nullptr, titulo, QString(), qtFilter(filtro));
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen;
    });
}

} // namespace platform
