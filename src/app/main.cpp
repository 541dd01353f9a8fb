#include "platform/qt_platform.h"
#include "shell/main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Postwick"));
    QApplication::setOrganizationName(QStringLiteral("Postwick"));
    QApplication::setQuitOnLastWindowClosed(false);

    pw::QtPlatform platform;
    pw::MainWindow window(platform);
    if (!window.startUp())
        return 0;
    return QApplication::exec();
}
