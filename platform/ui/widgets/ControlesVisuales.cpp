#include "ControlesVisuales.h"

#include "platform/Variant.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

#include <algorithm>

namespace platform::controles {

void AjustarFormulario(QWidget *form, bool centrar)
{
    if (!form)
        return;
    QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = form->frameGeometry();
    const QSize decoration = frame.size() - form->size();
    if (frame.width() > area.width() || frame.height() > area.height())
        form->resize(std::min(form->width(), area.width() - decoration.width()),
                     std::min(form->height(), area.height() - decoration.height()));
    frame = form->frameGeometry();
    if (centrar)
        frame.moveCenter(area.center());
    frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
    frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    form->move(frame.topLeft());
}

void PasarFoco(int keyCode)
{
    QWidget *focused = QApplication::focusWidget();
    if (!focused)
        return;
    QWidget *next = keyCode == 38 ? focused->previousInFocusChain() : focused->nextInFocusChain();
    while (next && next != focused && !(next->isEnabled() && next->isVisible() && (next->focusPolicy() & Qt::TabFocus)))
        next = keyCode == 38 ? next->previousInFocusChain() : next->nextInFocusChain();
    if (next)
        next->setFocus(keyCode == 38 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

void FiltrarTecla(const QWidget *control, QChar &key)
{
    if (!control || key.unicode() < 0x20)
        return; // control characters (Backspace, Enter) always pass
    const QString filter = control->property("Filtro").toString();
    if (filter.compare(QStringLiteral("mayusculas"), Qt::CaseInsensitive) == 0) {
        key = key.toUpper();
    } else if (filter.compare(QStringLiteral("numero"), Qt::CaseInsensitive) == 0) {
        if (key == QLatin1Char('.') || key == QLatin1Char(','))
            key = regional().decimalSeparator;
        else if (!key.isDigit() && key != QLatin1Char('-'))
            key = QChar();
    }
}

void LimpiarControles(QWidget *form)
{
    if (!form)
        return;
    for (QLineEdit *box : form->findChildren<QLineEdit *>())
        box->clear();
    for (QComboBox *combo : form->findChildren<QComboBox *>())
        combo->isEditable() ? combo->clearEditText() : combo->setCurrentIndex(-1);
    for (QTextEdit *text : form->findChildren<QTextEdit *>())
        text->clear();
    for (QPlainTextEdit *text : form->findChildren<QPlainTextEdit *>())
        text->clear();
    for (QCheckBox *check : form->findChildren<QCheckBox *>())
        check->setChecked(false);
}

void PrepararControl(QLineEdit *box)
{
    if (box)
        box->selectAll();
}

QString campoDeDatos(const QWidget *control) { return control ? control->property("DataField").toString() : QString(); }

void CargarCampos(const QList<QLineEdit *> &boxes,
                  const std::function<std::optional<QString>(const QString &)> &valueOf)
{
    for (QLineEdit *box : boxes) {
        const QString field = campoDeDatos(box);
        if (field.isEmpty())
            continue;
        if (const std::optional<QString> value = valueOf(field))
            box->setText(*value);
    }
}

} // namespace platform::controles
