#include "transfer/server_import_window.h"

#include "carddav/address_book_reader.h"
#include "data/contacts_session.h"
#include "platform/platform.h"
#include "transfer/csv_import.h"
#include "transfer/import_summary_window.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {

const QString kTitle = QStringLiteral("Import from Server");

}  // namespace

ServerImportWindow::ServerImportWindow(Platform& platform, ContactsSession& session, QWidget* parent)
    : SecondaryWindow(platform, "frmSrvImport", kTitle, session.title(), parent), session_(session)
{
    QMenu* file = addMenu(menuBar(), "mnuSrvFile", QStringLiteral("&File"));
    addExitItem(file, "mnuSrvFileExit");
    addEditMenu("mnuSrvEdit", "mnuSrvEditCut", "mnuSrvEditCopy", "mnuSrvEditPaste");
    addHelpMenu("mnuSrvHelp", "mnuSrvHelpUM", "mnuSrvHelpAbout");

    auto* lblSrvHdr =
        named<QLabel>("lblSrvHdr",
                      QStringLiteral("Give the address of an address book on your server, as its settings or your mail "
                                     "program show it, with your user name and password (or an app password).  Click "
                                     "'Import' to add its contacts."));
    lblSrvHdr->setWordWrap(true);
    txtSrvAddress_ = named<QLineEdit>("txtSrvAddress");
    txtSrvAddress_->setPlaceholderText(QStringLiteral("https://server/path/"));
    txtSrvUser_ = named<QLineEdit>("txtSrvUser");
    txtSrvPassword_ = named<QLineEdit>("txtSrvPassword");
    txtSrvPassword_->setEchoMode(QLineEdit::Password);
    cmdSrvImport_ = named<QPushButton>("cmdSrvImport", QStringLiteral("&Import"));
    cmdSrvClose_ = named<QPushButton>("cmdSrvClose", QStringLiteral("&Close"));

    auto* fields = new QFormLayout;
    auto addField = [&](const char* name, const QString& caption, QLineEdit* edit) {
        auto* label = named<QLabel>(name, caption);
        label->setBuddy(edit);
        fields->addRow(label, edit);
    };
    addField("lblSrvAddress", QStringLiteral("&Address:"), txtSrvAddress_);
    addField("lblSrvUser", QStringLiteral("&User name:"), txtSrvUser_);
    addField("lblSrvPassword", QStringLiteral("&Password:"), txtSrvPassword_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSrvImport_);
    buttons->addWidget(cmdSrvClose_);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(lblSrvHdr);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(560, sizeHint().height());

    // Enter goes from the address to the user name and password, and there starts the import.
    makeEnterMoveOn(txtSrvAddress_);
    makeEnterMoveOn(txtSrvUser_);
    connect(txtSrvPassword_, &QLineEdit::returnPressed, this, &ServerImportWindow::startImport);
    connect(cmdSrvImport_, &QPushButton::clicked, this, &ServerImportWindow::startImport);
    connect(cmdSrvClose_, &QPushButton::clicked, this, &QWidget::close);
    txtSrvAddress_->setFocus();
}

void ServerImportWindow::closeEvent(QCloseEvent* event)
{
    // The fetch runs in an event loop inside startImport(): the progress dialog's Cancel ends it.
    if (busy_)
        event->ignore();
    else
        SecondaryWindow::closeEvent(event);
}

void ServerImportWindow::startImport()
{
    Platform& platform = this->platform();
    const std::optional<QUrl> address = serverAddress(txtSrvAddress_->text());
    if (!address) {
        platform.message({QStringLiteral("Type the address of the address book, beginning with https:// or http://."),
                          kTitle, MessageIcon::Information, MessageButtons::Ok, true});
        txtSrvAddress_->setFocus();
        return;
    }
    busy_ = true;
    cmdSrvImport_->setEnabled(false);
    ServerResult<AddressBookCards> book;
    ImportResult result;
    {
        const auto progress = platform.startProgress(QStringLiteral("Importing contacts from %1").arg(address->host()),
                                                     QStringLiteral("Import Contacts"));
        ReadOptions read;
        read.progress = [&progress](qint64 done, qint64 total) { return progress->setProgress(done, total); };
        book = readAddressBook({*address, txtSrvUser_->text(), txtSrvPassword_->text()}, read);
        if (book) {
            ImportOptions options;
            options.remindersOn = session_.remindersOn();
            options.progress = read.progress;
            result = importCards(book->cards, session_.file(), options);
        }
    }
    busy_ = false;
    cmdSrvImport_->setEnabled(true);
    if (!book) {
        const ServerError& error = book.error();
        if (error.kind == ServerError::Kind::Cancelled) {
            result.end = ImportResult::End::Cancelled;
            platform.message(*importEndMessage(result));
        } else {
            platform.message({error.text + QStringLiteral("  No contacts were imported."),
                              QStringLiteral("No contacts imported"), MessageIcon::Warning, MessageButtons::Ok, true});
        }
        // Where the person puts it right.
        QLineEdit* login = txtSrvUser_->text().isEmpty() ? txtSrvUser_ : txtSrvPassword_;
        QLineEdit* fix = error.kind == ServerError::Kind::Login       ? login
                         : error.kind == ServerError::Kind::Cancelled ? nullptr
                                                                      : txtSrvAddress_;
        if (fix) {
            fix->setFocus();
            fix->selectAll();
        }
        return;
    }
    if (result.imported > 0 && session_.remindersOn())
        session_.noteSavedWithRemindersOn();
    cmdSrvClose_->setFocus();
    if (showImportEnd(result, platform, this))
        close();
}

}  // namespace pw
