#include "transfer/import_window.h"

#include "data/contacts_session.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "transfer/csv_import.h"
#include "transfer/import_summary_window.h"
#include "widgets/named_widgets.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>


namespace pw {

ImportWindow::ImportWindow(Platform& platform, ContactsSession& session, QWidget* parent)
    : SecondaryWindow(platform, "frmLMImport", QStringLiteral("Import Contacts"), session.title(), parent),
      session_(session)
{
    buildMenus();

    auto* lblImpHdr = named<QLabel>(
        "lblImpHdr",
        QStringLiteral("First, download contacts (as a csv file) from your email provider or other source, and save to PC.\n"
                       "When ready, click 'Open file' to select the file to import.  Click 'Import' to begin "
                       "importing."));
    lblImpHdr->setWordWrap(true);
    auto* cmdCsvOpen = named<QPushButton>("cmdCsvOpen", QStringLiteral("&Open file..."));
    txtImpFilename_ = named<QLineEdit>("txtImpFilename");
    txtImpFilename_->setReadOnly(true);
    txtImpFilename_->hide();
    keepRoomWhenHidden(txtImpFilename_);
    auto* txtImpData = named<QLineEdit>("txtImpData");
    txtImpData->hide();
    cmdStartImport_ = named<QPushButton>("cmdStartImport", QStringLiteral("&Import"));
    cmdStartImport_->setEnabled(false);
    cmdImpCancel_ = named<QPushButton>("cmdImpCancel", QStringLiteral("&Close"));

    auto* file = new QHBoxLayout;
    file->addWidget(cmdCsvOpen);
    file->addWidget(txtImpFilename_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdStartImport_);
    buttons->addWidget(cmdImpCancel_);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(lblImpHdr);
    layout->addLayout(file);
    layout->addWidget(txtImpData);
    layout->addStretch();
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(560, sizeHint().height());

    connect(cmdCsvOpen, &QPushButton::clicked, this, &ImportWindow::chooseFile);
    connect(cmdStartImport_, &QPushButton::clicked, this, &ImportWindow::startImport);
    connect(cmdImpCancel_, &QPushButton::clicked, this, &QWidget::close);
    cmdCsvOpen->setFocus();
}

void ImportWindow::buildMenus()
{
    QMenu* file = addMenu(menuBar(), "mnuITFile", QStringLiteral("&File"));
    addExitItem(file, "mnuITFileExit");
    addEditMenu("mnuITEdit", "mnuITEditCut", "mnuITEditCopy", "mnuITEditPaste");
    addHelpMenu("mnuITHelp", "mnuITHelpUM", "mnuITHelpAbout");
}

void ImportWindow::chooseFile()
{
    Platform& platform = this->platform();
    const QString path = platform.openFileDialog(
        {QStringLiteral("Open"), platform.applicationFolder(),
         QStringLiteral("Address books (*.csv *.vcf *.ldif *.txt)|*.csv;*.vcf;*.ldif;*.txt|"
                        "All Files (*.*)|*.*")});
    if (path.isEmpty())
        return;
    path_ = path;
    txtImpFilename_->setText(QFileInfo(path).fileName());
    txtImpFilename_->show();
    QFile check;
    if (auto s = openImportFile(check, path); !s) {
        cmdStartImport_->setEnabled(false);
        if (showErrorPrompt(platform, s.error(), PromptAuthor::Postwick) == MessageResult::Cancel)
            close();
        return;
    }
    cmdStartImport_->setEnabled(true);
    cmdStartImport_->setFocus();
}

void ImportWindow::startImport()
{
    Platform& platform = this->platform();
    if (path_.isEmpty()) {
        platform.message({QStringLiteral("Click 'Open file' to select a file to import."),
                          QStringLiteral("No csv file selected"), MessageIcon::Information, MessageButtons::Ok, true});
        return;
    }
    QFile csv;
    if (auto s = openImportFile(csv, path_); !s) {
        finishImport();
        if (showErrorPrompt(platform, s.error(), PromptAuthor::Postwick) == MessageResult::Cancel)
            close();
        return;
    }
    ImportResult result;
    {
        const auto progress = platform.startProgress(
            QStringLiteral("Importing contacts from %1").arg(txtImpFilename_->text()), QStringLiteral("Import Contacts"));
        ImportOptions options;
        options.remindersOn = session_.remindersOn();
        options.progress = [&progress](qint64 done, qint64 total) { return progress->setProgress(done, total); };
        result = importContacts(csv, session_.file(), options);
    }
    csv.close();
    session_.importFinished(QFileInfo(path_).fileName());
    if (result.imported > 0 && session_.remindersOn())
        session_.noteSavedWithRemindersOn();
    finishImport();
    if (showImportEnd(result, platform, this))
        close();
}

void ImportWindow::finishImport()
{
    cmdStartImport_->setEnabled(false);
    cmdImpCancel_->setFocus();
}

}  // namespace pw
