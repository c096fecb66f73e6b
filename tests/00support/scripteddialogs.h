// The modal dialogs as a test sees them: every question, notice, file dialog and print
// dialog is recorded, and answered from a queue the test fills beforehand. A call that
// finds no queued answer (or an answer that the dialog cannot give) is recorded as
// unexpected and answered as if the user had closed the dialog.
#pragma once

#include "core/dialogs.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

namespace quadrela::test {

class ScriptedDialogs : public ModalDialogs
{
public:
    struct Message
    {
        QPointer<QWidget> owner;
        QWidget* ownerAtCall = nullptr;  // stays set when the owner is gone
        QString text;
        Buttons buttons = Buttons::Ok;
    };
    struct FileRequest
    {
        QWidget* owner = nullptr;
        FileDialogRequest request;
    };

    // Answers, used first in first out.
    void queueAnswer(Answer answer) { m_answers.enqueue(answer); }
    // The path the file dialog returns; an empty path is the user cancelling.
    void queueFile(const QString& path) { m_files.enqueue(path); }
    void queuePrinter(bool accept) { m_printers.enqueue(accept); }
    // The options "Exportar imagem" is given; nothing is the user cancelling.
    void queuePictureExport(std::optional<PictureExportChoice> choice) { m_exports.enqueue(choice); }

    Answer message(QWidget* owner, const QString& text, Buttons buttons) override;
    QString chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    bool choosePictureExport(QWidget* owner, bool foldedCard, PictureExportChoice& choice) override;
    void notify(QWidget*, const QString& text) override { m_notices.append(text); }

    const QList<Message>& messages() const { return m_messages; }
    QStringList messageTexts() const;
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    int printerRequests() const { return m_printerRequests; }
    const QStringList& notices() const { return m_notices; }

    // What was asked without an answer to give; empty when the script was followed.
    const QStringList& unexpected() const { return m_unexpected; }
    // Answers the test queued but the program never asked for.
    int unusedAnswers() const { return int(m_answers.size() + m_files.size() + m_printers.size() + m_exports.size()); }
    // One line per unexpected call, for QVERIFY2.
    QByteArray report() const;

private:
    QQueue<Answer> m_answers;
    QQueue<QString> m_files;
    QQueue<bool> m_printers;
    QQueue<std::optional<PictureExportChoice>> m_exports;
    QList<Message> m_messages;
    QList<FileRequest> m_fileRequests;
    int m_printerRequests = 0;
    QStringList m_unexpected;
    QStringList m_notices;
};

} // namespace quadrela::test

// Fails the current test when the program asked something the script did not expect.
#define QUADRELA_VERIFY_SCRIPT_FOLLOWED(dialogs)                                              \
    QVERIFY2((dialogs).unexpected().isEmpty(), (dialogs).report().constData())
