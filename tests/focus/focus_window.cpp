// A window for the focus tests: argv[1] is its class (X11 WM_CLASS class part) and its Wayland
// app id. It prints its X window id (0 on Wayland) once it is shown.
#include <QGuiApplication>
#include <QRasterWindow>

#include <cstdio>

int main(int argc, char **argv)
{
    const QString id = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("ko-focus");
    QGuiApplication::setApplicationName(id);
    QGuiApplication::setDesktopFileName(id);
    QGuiApplication app(argc, argv);
    QRasterWindow window;
    window.setTitle(QStringLiteral("Focus test ") + id);
    window.resize(240, 160);
    window.show();
    std::printf("%llu\n", QGuiApplication::platformName() == QLatin1String("xcb") ? qulonglong(window.winId()) : 0ULL);
    std::fflush(stdout);
    return app.exec();
}
