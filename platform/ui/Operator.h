#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace platform {

// VB MsgBox answers.
enum Answer : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// VB MsgBox button and icon styles (combine with |).
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512
};

// One question put to the operator.
struct Question {
    enum class Kind { MessageBox, InputBox };
    Kind kind = Kind::MessageBox;
    QString text;
    QString title;
    int style = vbOKOnly;
    QString defaultText; // input boxes
};

// What the operator said: an answer number, and the text of an input box
// (empty text means cancelled, as VB's InputBox).
struct Reply {
    int answer = vbOK;
    QString text;
};

// Every message box and input box goes through here. The desktop shows Qt
// dialogs, tests answer from a script, the unattended mode never blocks.
class OperatorService {
public:
    virtual ~OperatorService() = default;
    virtual Reply ask(const Question &question) = 0;
};

// The service in force (unattended by default until the program installs another).
OperatorService &operatorService();
void setOperatorService(std::shared_ptr<OperatorService> service);

// MsgBox / InputBox shorthands.
int msgBox(const QString &text, int style = vbOKOnly, const QString &title = QString());
QString inputBox(const QString &prompt, const QString &title = QString(), const QString &defaultText = QString());

// Unattended: writes each question to the logger and takes the answer that lets the
// run finish safely: Abort for Abort/Retry/Ignore, No for Yes/No, Cancel where offered,
// else OK; input boxes get their default text.
class UnattendedOperator : public OperatorService {
public:
    Reply ask(const Question &question) override;
    static int safeAnswer(int style);
};

// Tests: answers from a queue; a question that was not expected fails loudly
// (the failure callback is called and Cancel/empty is returned).
class ScriptedOperator : public OperatorService {
public:
    struct Step {
        QString expectContains; // the question's text must contain this (empty: any)
        Reply reply;
    };
    explicit ScriptedOperator(std::function<void(const QString &)> onUnexpected);
    void expect(const QString &textContains, int answer, const QString &text = QString());
    Reply ask(const Question &question) override;
    const QList<Question> &asked() const { return m_asked; }
    int pending() const { return int(m_steps.size()); }

private:
    QList<Step> m_steps;
    QList<Question> m_asked;
    std::function<void(const QString &)> m_onUnexpected;
};

// Installs a service for the life of a scope, restoring the previous one after.
class ScopedOperator {
public:
    explicit ScopedOperator(std::shared_ptr<OperatorService> service);
    ~ScopedOperator();

private:
    std::shared_ptr<OperatorService> m_previous;
};

} // namespace platform
