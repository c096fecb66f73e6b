#include "application.h"

#include "core/dialogs.h"
#include "core/errors.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

namespace quadrela {

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // Only the name: once a display name is set, the X11 platform appends it to every
    // window title that lacks it ("Texto — Quadrela"), and each caption must read as given.
    setApplicationName(kAppTitle);
    // Settings (the printer offsets) go to ~/.config/Quadrela/Quadrela.conf.
    setOrganizationName(kAppTitle);
    speakBrazilianPortuguese();
    // The windows are laid out for a narrow 8-point face; without it fontconfig falls back
    // to a wider one and captions are cut. Liberation Sans has Arial's metrics.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

void Application::speakBrazilianPortuguese()
{
    // Whatever the machine's language: dates, numbers and Qt's own dialogs too.
    const QLocale portuguese(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(portuguese);
    if (m_qtTexts.load(portuguese, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error& e) {
        reportError(e.message());
    } catch (const std::bad_alloc&) {
        reportError(QStringLiteral("Memória insuficiente para concluir a operação."));
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void Application::reportError(const QString& message)
{
    if (m_dialogs) {
        m_dialogs->message(activeWindow(), message, Buttons::Ok);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, message, QMessageBox::Ok, activeWindow());
    box.exec();
}

} // namespace quadrela
