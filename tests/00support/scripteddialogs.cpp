#include "scripteddialogs.h"

namespace quadrela::test {

namespace {

QString buttonsName(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QStringLiteral("Ok");
    case Buttons::YesNo:
        return QStringLiteral("YesNo");
    case Buttons::YesNoCancel:
        return QStringLiteral("YesNoCancel");
    }
    return QStringLiteral("?");
}

bool answerFits(Answer answer, Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return answer == Answer::Ok;
    case Buttons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel:
        return answer != Answer::Ok;
    }
    return false;
}

Answer closedAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace

Answer ScriptedDialogs::message(QWidget* owner, const QString& text, Buttons buttons)
{
    m_messages.append({owner, owner, text, buttons});
    if (m_answers.isEmpty()) {
        m_unexpected.append(QStringLiteral("message (%1) without a queued answer: %2")
                                .arg(buttonsName(buttons), text));
        return closedAnswer(buttons);
    }
    const Answer answer = m_answers.dequeue();
    if (!answerFits(answer, buttons)) {
        m_unexpected.append(QStringLiteral("message (%1) cannot be answered %2: %3")
                                .arg(buttonsName(buttons))
                                .arg(int(answer))
                                .arg(text));
        return closedAnswer(buttons);
    }
    return answer;
}

QString ScriptedDialogs::chooseFile(QWidget* owner, const FileDialogRequest& request)
{
    m_fileRequests.append({owner, request});
    if (m_files.isEmpty()) {
        m_unexpected.append(
            QStringLiteral("file dialog without a queued path: %1").arg(request.title));
        return QString();
    }
    return m_files.dequeue();
}

bool ScriptedDialogs::choosePrinter(QWidget*, QPrinter&)
{
    ++m_printerRequests;
    if (m_printers.isEmpty()) {
        m_unexpected.append(QStringLiteral("print dialog without a queued answer"));
        return false;
    }
    return m_printers.dequeue();
}

bool ScriptedDialogs::choosePictureExport(QWidget*, bool, PictureExportChoice& choice)
{
    if (m_exports.isEmpty())
        m_unexpected.append(QStringLiteral("export options without a queued answer"));
    const auto answer = m_exports.isEmpty() ? std::nullopt : m_exports.dequeue();
    choice = answer.value_or(choice);
    return answer.has_value();
}

QStringList ScriptedDialogs::messageTexts() const
{
    QStringList texts;
    for (const Message& m : m_messages)
        texts.append(m.text);
    return texts;
}

QByteArray ScriptedDialogs::report() const
{
    return m_unexpected.join(u'\n').toUtf8();
}

} // namespace quadrela::test
