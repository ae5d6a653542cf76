#include "Operator.h"

#include "platform/Logger.h"

namespace platform {

namespace {
std::shared_ptr<OperatorService> &currentService()
{
    static std::shared_ptr<OperatorService> service = std::make_shared<UnattendedOperator>();
    return service;
}

QString answerName(int answer)
{
    switch (answer) {
    case vbOK:
        return QStringLiteral("Aceptar");
    case vbCancel:
        return QStringLiteral("Cancelar");
    case vbAbort:
        return QStringLiteral("Abortar");
    case vbRetry:
        return QStringLiteral("Reintentar");
    case vbIgnore:
        return QStringLiteral("Ignorar");
    case vbYes:
        return QStringLiteral("Sí");
    case vbNo:
        return QStringLiteral("No");
    }
    return QString::number(answer);
}
} // namespace

OperatorService &operatorService() { return *currentService(); }

void setOperatorService(std::shared_ptr<OperatorService> service)
{
    currentService() = service ? std::move(service) : std::make_shared<UnattendedOperator>();
}

int msgBox(const QString &text, int style, const QString &title)
{
    Question q;
    q.kind = Question::Kind::MessageBox;
    q.text = text;
    q.title = title;
    q.style = style;
    return operatorService().ask(q).answer;
}

QString inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    Question q;
    q.kind = Question::Kind::InputBox;
    q.text = prompt;
    q.title = title;
    q.defaultText = defaultText;
    const Reply reply = operatorService().ask(q);
    return reply.answer == vbCancel ? QString() : reply.text;
}

int UnattendedOperator::safeAnswer(int style)
{
    switch (style & 0x0F) {
    case vbOKCancel:
        return vbCancel;
    case vbAbortRetryIgnore:
        return vbAbort;
    case vbYesNoCancel:
        return vbCancel;
    case vbYesNo:
        return vbNo;
    case vbRetryCancel:
        return vbCancel;
    default:
        return vbOK;
    }
}

Reply UnattendedOperator::ask(const Question &question)
{
    Reply reply;
    if (question.kind == Question::Kind::InputBox) {
        reply.answer = question.defaultText.isEmpty() ? vbCancel : vbOK;
        reply.text = question.defaultText;
    } else {
        reply.answer = safeAnswer(question.style);
    }
    QString text = question.text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" | "))
        .replace(QLatin1Char('\r'), QLatin1String(" | "))
        .replace(QLatin1Char('\n'), QLatin1String(" | "));
    logger().warning(QStringLiteral("%1: %2 -> %3 (desatendido)")
                         .arg(question.title.trimmed().isEmpty() ? QStringLiteral("Aviso") : question.title.trimmed(),
                              text, answerName(reply.answer)));
    return reply;
}

ScriptedOperator::ScriptedOperator(std::function<void(const QString &)> onUnexpected)
    : m_onUnexpected(std::move(onUnexpected))
{}

void ScriptedOperator::expect(const QString &textContains, int answer, const QString &text)
{
    m_steps.append(Step{textContains, Reply{answer, text}});
}

Reply ScriptedOperator::ask(const Question &question)
{
    m_asked.append(question);
    if (m_steps.isEmpty()) {
        if (m_onUnexpected)
            m_onUnexpected(QStringLiteral("unexpected question: ") + question.text);
        return Reply{vbCancel, QString()};
    }
    const Step step = m_steps.takeFirst();
    if (!step.expectContains.isEmpty() && !question.text.contains(step.expectContains)) {
        if (m_onUnexpected)
            m_onUnexpected(
                QStringLiteral("question \"%1\" does not contain \"%2\"").arg(question.text, step.expectContains));
    }
    return step.reply;
}

ScopedOperator::ScopedOperator(std::shared_ptr<OperatorService> service) : m_previous(currentService())
{
    setOperatorService(std::move(service));
}

ScopedOperator::~ScopedOperator() { setOperatorService(m_previous); }

} // namespace platform
