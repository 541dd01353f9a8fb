#include "transfer/export_window.h"

#include "data/contacts_session.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "transfer/contact_export.h"
#include "widgets/named_widgets.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pw {

ExportWindow::ExportWindow(Platform& platform, ContactsSession& session, QWidget* parent)
    : SecondaryWindow(platform, "frmLMExport", QStringLiteral("Export Contacts"), session.title(), parent),
      session_(session)
{
    buildMenus();

    auto* banner = named<QLabel>("lblExpBanner", QStringLiteral("Postwick"));
    QFont bannerFont = banner->font();
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);
    banner->setAlignment(Qt::AlignCenter);
    auto* lblExport = named<QLabel>(
        "lblExport",
        QStringLiteral("Select type of export file to create, Comma Separated Values (csv) or Text (txt).\n"
                       "Export file will contain First Name, Middle Initial, Last Name, Street Address1,\n"
                       "Street Address 2, City, State, Zip Code, Country, Company, Incl Company, Home Phone,\n"
                       "Cell Phone, Work Phone, Email Address, Birthdate, Category, and Notes.\n"
                       "A vCard (vcf) file holds the same contacts for phones and mail programs.\n"
                       "You choose where the export file is stored; your Postwick folder is offered."));

    auto* frExpOptions = named<QGroupBox>("frExpOptions");
    optExpCGCSV_ = namedWithTip<QRadioButton>(
        "optExpCGCSV", QStringLiteral("Export contacts to comma separated values (.csv) file"),
        QStringLiteral("Creates and stores a csv file of contacts, with file name of: PWKC_filename.csv"));
    optExpCGTXT_ = namedWithTip<QRadioButton>(
        "optExpCGTXT", QStringLiteral("Export contacts to text (.txt) file"),
        QStringLiteral("Creates and stores a text file of contacts, with file name of: PWKT_filename.txt"));
    optExpCGVCF_ = namedWithTip<QRadioButton>(
        "optExpCGVCF", QStringLiteral("Export contacts to vCard (.vcf) file"),
        QStringLiteral("Creates and stores a vCard file of contacts, with file name of: PWKV_filename.vcf"));
    auto* options = new QVBoxLayout(frExpOptions);
    options->addWidget(optExpCGCSV_);
    options->addWidget(optExpCGTXT_);
    options->addWidget(optExpCGVCF_);

    cmdExpCreate_ = namedWithTip<QPushButton>("cmdExpCreate", QStringLiteral("&Create export file"),
                                              QStringLiteral("Creates selected export file and stores it where you choose"));
    cmdExpCreate_->setEnabled(false);
    cmdExpCancel_ = namedWithTip<QPushButton>("cmdExpCancel", QStringLiteral("C&lose"),
                                              QStringLiteral("Return to main screen"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExpCreate_);
    buttons->addWidget(cmdExpCancel_);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(banner);
    layout->addWidget(lblExport);
    layout->addWidget(frExpOptions);
    layout->addLayout(buttons);
    setCentralWidget(central);

    for (QRadioButton* option : {optExpCGCSV_, optExpCGTXT_, optExpCGVCF_})
        connect(option, &QRadioButton::toggled, cmdExpCreate_, [this] { cmdExpCreate_->setEnabled(true); });
    connect(cmdExpCreate_, &QPushButton::clicked, this, &ExportWindow::create);
    connect(cmdExpCancel_, &QPushButton::clicked, this, &QWidget::close);
    optExpCGCSV_->setFocus();
}

void ExportWindow::buildMenus()
{
    QMenu* file = addMenu(menuBar(), "mnuETFile", QStringLiteral("&File"));
    addExitItem(file, "mnuETFileExit");
    addHelpMenu("mnuETHelp", "mnuETHelpUM", "mnuETHelpAbout");
}

QString ExportWindow::chooseFile(ExportFormat format)
{
    Platform& platform = this->platform();
    QFileInfo offered(QDir(platform.applicationFolder()).filePath(exportFileName(format, session_.path())));
    // No to the replace question asks for another name, starting from the one refused.
    for (;;) {
        const QString path = platform.saveFileDialog(
            {QStringLiteral("Save As"), offered.absolutePath(), exportFileFilter(format), false, offered.fileName()});
        if (path.isEmpty() || !QFileInfo::exists(path)
            || platform.message(exportReplaceQuestion(path)) == MessageResult::Yes)
            return path;
        offered.setFile(path);
    }
}

void ExportWindow::create()
{
    Platform& platform = this->platform();
    const ExportFormat format = optExpCGTXT_->isChecked()   ? ExportFormat::Text
                                : optExpCGVCF_->isChecked() ? ExportFormat::VCard
                                                            : ExportFormat::Csv;
    const QString path = chooseFile(format);
    if (path.isEmpty())
        return;
    ExportResult result;
    platform.setBusyPointer(true);
    {
        const auto progress = platform.startProgress(QStringLiteral("Writing %1").arg(QFileInfo(path).fileName()),
                                                     QStringLiteral("Export Contacts"));
        result = writeExportFile(session_.file(), format, path,
                                 [&progress](qint64 done, qint64 total) { return progress->setProgress(done, total); });
    }
    platform.setBusyPointer(false);
    if (result.error) {
        if (showErrorPrompt(platform, *result.error) == MessageResult::Cancel)
            close();
        return;
    }
    platform.message(exportEndMessage(result, format, path));
    cmdExpCancel_->setFocus();
}

}  // namespace pw
