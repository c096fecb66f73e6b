// The start-up peer: a Qt Widgets program that shows one window and, when
// QUADRELA_QUIT_WHEN_SHOWN is set, draws it once at the first event-loop turn and quits,
// as the program does with its new-project dialog.
#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Quadrela"));
    window.resize(640, 480);
    window.show();
    if (qEnvironmentVariableIsSet("QUADRELA_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, [&window] { window.grab(); QCoreApplication::quit(); });
    return app.exec();
}
