// The application object: the title "Quadrela", and the default error report that shows
// the message of any failure that reaches the event loop and keeps the program running.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace quadrela {

class ModalDialogs;

inline const QString kAppTitle = QStringLiteral("Quadrela");

class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Where failures are shown; the program sets the real dialogs, tests a scripted one.
    void setDialogs(ModalDialogs* dialogs) { m_dialogs = dialogs; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows a failure's message in a message box owned by the active window.
    void reportError(const QString& message);

private:
    void speakBrazilianPortuguese();

    ModalDialogs* m_dialogs = nullptr;
    QTranslator m_qtTexts; // Qt's own dialogs and buttons in Portuguese
};

} // namespace quadrela
