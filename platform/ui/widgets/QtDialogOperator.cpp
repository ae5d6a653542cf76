#include "QtDialogOperator.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace platform {

namespace {

struct ButtonSpec {
    int answer;
    const char *caption;
    QMessageBox::ButtonRole role;
};

std::vector<ButtonSpec> buttonsFor(int style)
{
    switch (style & 0x0F) {
    case vbOKCancel:
        return {{vbOK, "Aceptar", QMessageBox::AcceptRole}, {vbCancel, "Cancelar", QMessageBox::RejectRole}};
    case vbAbortRetryIgnore:
        return {{vbAbort, "Anular", QMessageBox::RejectRole},
                {vbRetry, "Reintentar", QMessageBox::AcceptRole},
                {vbIgnore, "Omitir", QMessageBox::AcceptRole}};
    case vbYesNoCancel:
        return {{vbYes, "Sí", QMessageBox::YesRole},
                {vbNo, "No", QMessageBox::NoRole},
                {vbCancel, "Cancelar", QMessageBox::RejectRole}};
    case vbYesNo:
        return {{vbYes, "Sí", QMessageBox::YesRole}, {vbNo, "No", QMessageBox::NoRole}};
    case vbRetryCancel:
        return {{vbRetry, "Reintentar", QMessageBox::AcceptRole}, {vbCancel, "Cancelar", QMessageBox::RejectRole}};
    default:
        return {{vbOK, "Aceptar", QMessageBox::AcceptRole}};
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

Reply askMessage(const Question &question)
{
    QMessageBox box(iconFor(question.style), question.title, question.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const auto specs = buttonsFor(question.style);
    std::vector<QPushButton *> buttons;
    for (const auto &choice : specs)
        buttons.push_back(box.addButton(QString::fromUtf8(choice.caption), choice.role));
    const int defaultIndex = (question.style & vbDefaultButton3) ? 2 : (question.style & vbDefaultButton2) ? 1 : 0;
    if (defaultIndex < int(buttons.size()))
        box.setDefaultButton(buttons[defaultIndex]);
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return Reply{specs[i].answer, QString()};
    }
    // Closed with Esc or the window's close box: the cancelling answer VB gives.
    return Reply{UnattendedOperator::safeAnswer(question.style), QString()};
}

} // namespace

Reply QtDialogOperator::ask(const Question &question)
{
    if (question.kind == Question::Kind::MessageBox)
        return askMessage(question);
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), question.title, question.text,
                                               QLineEdit::Normal, question.defaultText, &ok);
    return ok ? Reply{vbOK, text} : Reply{vbCancel, QString()};
}

} // namespace platform
