// The start-up peer: a Qt Widgets program that shows one window and, when
// QUADRELA_QUIT_WHEN_SHOWN is set, quits at the first event-loop turn after showing it.
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
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
