#include "cli/command_table.h"
#include "desktop/qt_platform.h"
#include "program/app_files.h"
#include "program/app_version.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

QStringList heldMessages;

// Qt's messages while the application connects to the display: a failure to connect ends the program
// with one line and status 1; anything else is held and shown once the connection is made.
void noDisplay(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        heldMessages.append(message);
        return;
    }
    std::fputs("postwick: the window needs a display, and none could be opened (is DISPLAY set?); "
               "the commands run without one: postwick --help\n",
               stderr);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char* argv[])
{
    // A command runs without any window, and so without a display.
    if (argc > 1 && pw::isCommandName(argv[1]))
        return pw::runCommand(argc, argv);
    if (argc > 1 && !pw::startsTheWindow(argv[1]))
        return pw::unknownCommand(argv[1]);
    // Answered before any window exists, so that they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s Version %s\n", pw::kApplicationTitle, pw::kVersionText);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: postwick [FILE.DAT]\n"
                        "       postwick COMMAND ... (COMMAND --help for its options)\n"
                        "Prints mailing labels and envelopes and keeps an address book.\n"
                        "FILE.DAT opens that contacts file instead of the default one.\n"
                        "  -h, --help  print this help and exit\n"
                        "  --version   print the version and exit\n"
                        "Commands, which run without windows:\n%s",
                        pw::commandSummary());
            return 0;
        }
    }

    // Without a display Qt would abort with a page about platform plug-ins: one line says why instead.
    qInstallMessageHandler(noDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& message : std::as_const(heldMessages))
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    QApplication::setApplicationName(QStringLiteral("Postwick"));
    QApplication::setOrganizationName(QStringLiteral("Postwick"));
    QApplication::setApplicationVersion(QString::fromLatin1(pw::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("org.postwick.Postwick"));
    pw::loadBuiltInResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/postwick.svg")));
    QApplication::setQuitOnLastWindowClosed(false);

    // The first argument that is not an option names the contacts file to start on.
    QString contactsFile;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (!argument.startsWith(u'-')) {
            contactsFile = QFileInfo(argument).absoluteFilePath();
            break;
        }
    }

    pw::QtPlatform platform;
    pw::MainWindow window(platform);
    // Ended at a start-up error: whoever started the program learns it did not run.
    if (!window.startUp(contactsFile))
        return 1;
    return QApplication::exec();
}
