#include "transfer/server_import_window.h"

#include "carddav/address_book_reader.h"
#include "data/contacts_session.h"
#include "platform/platform.h"
#include "transfer/csv_import.h"
#include "transfer/import_summary_window.h"
#include "transfer/server_memory.h"
#include "transfer/server_update.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace pw {
namespace {

const QString kTitle = QStringLiteral("Import from Server");

// A fetch under way: where it began, how its reads go and where its end goes.
struct Fetching final {
    DavSession& session;
    QUrl address;
    ReadOptions read;
    std::function<void(ServerFetch)> done;
};

// An address that is no address book led to `found`: the only one is read, several are offered.
void fetchFound(const std::shared_ptr<Fetching>& fetching, ServerResult<AddressBookCards> notOne,
                ServerResult<std::vector<FoundAddressBook>> found)
{
    if (!found)
        return fetching->done({std::unexpected(found.error()), {}});
    if (found->empty()) {
        notOne.error().text = QStringLiteral("%1 leads to no address book.").arg(fetching->address.toString());
        return fetching->done({std::move(notOne), {}});
    }
    if (found->size() > 1)
        return fetching->done({std::move(notOne), std::move(*found)});
    readAddressBook(fetching->session, found->front().address, fetching->read,
                    [fetching](ServerResult<AddressBookCards> only) {
                        fetching->done({std::move(only), {}});
                    });
}

// The cards at `address`; with `discover`, an address that is no address book leads to those found
// from it. `done` is called once, from the replies.
void fetchCards(DavSession& session, const QUrl& address, bool discover, ReadOptions read,
                std::function<void(ServerFetch)> done)
{
    auto fetching = std::make_shared<Fetching>(session, address, std::move(read), std::move(done));
    readAddressBook(session, address, fetching->read, [fetching, discover](ServerResult<AddressBookCards> book) {
        if (book || !discover || book.error().kind != ServerError::Kind::NotAnAddressBook)
            return fetching->done({std::move(book), {}});
        findAddressBooks(fetching->session, fetching->address,
                         [fetching, book](ServerResult<std::vector<FoundAddressBook>> found) {
                             fetchFound(fetching, book, std::move(found));
                         });
    });
}

}  // namespace

ServerImportWindow::ServerImportWindow(Platform& platform, ContactsSession& session, QWidget* parent)
    : SecondaryWindow(platform, "frmSrvImport", kTitle, session.title(), parent), session_(session)
{
    QMenu* file = addMenu(menuBar(), "mnuSrvFile", QStringLiteral("&File"));
    // Exit closes this window first, which stops a fetch under way.
    QAction* exit = addItem(file, "mnuSrvFileExit", QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, [this] {
        if (close())
            emit exitRequested();
    });
    addEditMenu("mnuSrvEdit", "mnuSrvEditCut", "mnuSrvEditCopy", "mnuSrvEditPaste");
    addHelpMenu("mnuSrvHelp", "mnuSrvHelpUM", "mnuSrvHelpAbout");

    auto* lblSrvHdr =
        named<QLabel>("lblSrvHdr",
                      QStringLiteral("Give the address of your server, or of an address book on it, as its settings or "
                                     "your mail program show it, with your user name and password (or an app "
                                     "password).  Click 'Import' to add its contacts."));
    lblSrvHdr->setWordWrap(true);
    txtSrvAddress_ = named<QLineEdit>("txtSrvAddress");
    txtSrvAddress_->setPlaceholderText(QStringLiteral("https://server/path/"));
    txtSrvUser_ = named<QLineEdit>("txtSrvUser");
    txtSrvPassword_ = named<QLineEdit>("txtSrvPassword");
    txtSrvPassword_->setEchoMode(QLineEdit::Password);
    lstSrvBooks_ = named<QListWidget>("lstSrvBooks");
    chkSrvRemember_ = named<QCheckBox>("chkSrvRemember", QStringLiteral("Re&member this server"));
    cmdSrvUpdate_ = named<QPushButton>("cmdSrvUpdate", QStringLiteral("Up&date from Server"));
    cmdSrvImport_ = named<QPushButton>("cmdSrvImport", QStringLiteral("&Import"));
    cmdSrvClose_ = named<QPushButton>("cmdSrvClose", QStringLiteral("&Close"));

    fields_ = new QFormLayout;
    QFormLayout* fields = fields_;
    auto addField = [&](const char* name, const QString& caption, QWidget* field) {
        auto* label = named<QLabel>(name, caption);
        label->setBuddy(field);
        fields->addRow(label, field);
        return label;
    };
    addField("lblSrvAddress", QStringLiteral("&Address:"), txtSrvAddress_);
    addField("lblSrvUser", QStringLiteral("&User name:"), txtSrvUser_);
    addField("lblSrvPassword", QStringLiteral("&Password:"), txtSrvPassword_);
    addField("lblSrvBooks", QStringLiteral("Address &book to import:"), lstSrvBooks_);
    fields->setRowVisible(lstSrvBooks_, false);
    lblSrvUpdates_ = named<QLabel>("lblSrvUpdates");
    lblSrvUpdates_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkSrvRemember_);
    buttons->addStretch();
    buttons->addWidget(cmdSrvUpdate_);
    buttons->addWidget(cmdSrvImport_);
    buttons->addWidget(cmdSrvClose_);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(lblSrvHdr);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(lblSrvUpdates_);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(620, sizeHint().height());

    // A remembered server is filled in, ready for Update from Server.
    const std::optional<RememberedServer> remembered = rememberedServer(platform);
    cmdSrvUpdate_->setEnabled(remembered.has_value());
    showUpdatedBook();
    if (remembered) {
        txtSrvAddress_->setText(remembered->address);
        txtSrvUser_->setText(remembered->user);
        chkSrvRemember_->setChecked(true);
    }

    // Enter goes from the address to the user name and password, and there starts the import.
    makeEnterMoveOn(txtSrvAddress_);
    makeEnterMoveOn(txtSrvUser_);
    connect(txtSrvPassword_, &QLineEdit::returnPressed, this, &ServerImportWindow::startImport);
    connect(lstSrvBooks_, &QListWidget::itemActivated, this, &ServerImportWindow::startImport);
    // Another address leads to other address books.
    connect(txtSrvAddress_, &QLineEdit::textEdited, this, [this] { offerChoice({}); });
    connect(cmdSrvUpdate_, &QPushButton::clicked, this, &ServerImportWindow::updateFromServer);
    connect(cmdSrvImport_, &QPushButton::clicked, this, &ServerImportWindow::startImport);
    connect(cmdSrvClose_, &QPushButton::clicked, this, &QWidget::close);
    txtSrvAddress_->setFocus();
}

void ServerImportWindow::closeEvent(QCloseEvent* event)
{
    // Whatever else runs has written nothing: a fetch stops with the window, and a keyring's late
    // answer finds it closing. Cards being written go on to their end, which their progress
    // dialog's Cancel brings sooner.
    if (writing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (fetch_)
        fetch_->cancel();
    SecondaryWindow::closeEvent(event);
}

void ServerImportWindow::startImport()
{
    if (busy_)
        return;
    const std::optional<QUrl> address = serverAddress(txtSrvAddress_->text());
    if (!address) {
        platform().message({QStringLiteral("Type the address of the server or address book, beginning with https:// "
                                           "or http://."),
                            kTitle, MessageIcon::Information, MessageButtons::Ok, true});
        txtSrvAddress_->setFocus();
        return;
    }
    if (holdsCredentials(txtSrvAddress_->text())) {
        platform().message({QStringLiteral("Type the user name and password in their own boxes, not in the address."),
                            kTitle, MessageIcon::Information, MessageButtons::Ok, true});
        txtSrvAddress_->setFocus();
        return;
    }
    ServerLogin login{*address, txtSrvUser_->text(), txtSrvPassword_->text()};
    const int chosen = lstSrvBooks_->currentRow();
    const bool choosing = !found_.empty() && chosen >= 0;
    if (choosing)
        login.address = found_[chosen].address;
    importFrom(login, !choosing, chkSrvRemember_->isChecked());
}

void ServerImportWindow::updateFromServer()
{
    const std::optional<RememberedServer> server = rememberedServer(platform());
    if (!server || busy_)
        return;
    if (!txtSrvPassword_->text().isEmpty())
        return importFrom({QUrl(server->addressBook), server->user, txtSrvPassword_->text()}, false, false);
    // The import is under way while the keyring looks for the password.
    setBusy(true);
    platform().readPassword(passwordKey(*server), this, [this, server = *server](std::expected<QString, QString> kept) {
        setBusy(false);
        if (closing_)
            return;
        if (!kept) {
            platform().message(noPasswordMessage(server, kept.error()));
            txtSrvPassword_->setFocus();
            return;
        }
        importFrom({QUrl(server.addressBook), server.user, *kept}, false, false);
    });
}

void ServerImportWindow::importFrom(ServerLogin login, bool discover, bool rememberAfter)
{
    if (busy_)
        return;
    const QString server = hostAndPort(login.address);
    login.trustedCertificates[server] = trustedCertificate(platform(), server);
    // Once per server: a password over plain http is readable by anyone on the way.
    if (login.address.scheme() == u"http" && !login.password.isEmpty() && !plainHttpAccepted(platform(), server)) {
        const Message ask{QStringLiteral("The address %1 is not encrypted (http://): anyone on the way can read your "
                                         "password.  Send it all the same?")
                              .arg(login.address.toDisplayString()),
                          kTitle, MessageIcon::Warning, MessageButtons::YesNo, false, MessageResult::No};
        if (platform().message(ask) != MessageResult::Yes)
            return;
        acceptPlainHttp(platform(), server);
    }
    setBusy(true);
    fetchFrom(login, discover, rememberAfter);
}

void ServerImportWindow::setBusy(bool busy)
{
    busy_ = busy;
    cmdSrvImport_->setEnabled(!busy);
    cmdSrvUpdate_->setEnabled(!busy && rememberedServer(platform()).has_value());
}

void ServerImportWindow::fetchFrom(const ServerLogin& login, bool discover, bool rememberAfter)
{
    progress_ = platform().startProgress(QStringLiteral("Importing contacts from %1").arg(login.address.host()),
                                         QStringLiteral("Import Contacts"));
    // The session is this window's: closed, it takes the fetch with it.
    fetch_ = new DavSession(login, this);
    progress_->cancelWith([this] {
        if (fetch_)
            fetch_->cancel();
    });
    // A server may work on a long listing or batch for minutes: the dialog counts the seconds, with Cancel.
    const QString text = QStringLiteral("Importing contacts from %1").arg(login.address.host());
    auto* waiting = new QTimer(fetch_);
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    connect(waiting, &QTimer::timeout, fetch_, [this, since, text] {
        if (const qint64 seconds = since->elapsed() / 1000; seconds >= 2 && progress_)
            progress_->setText(QStringLiteral("%1: waiting for the server (%2 s)").arg(text).arg(seconds));
    });
    waiting->start(1000);
    ReadOptions read;
    read.progress = [this, since, text](qint64 done, qint64 total) {
        if (since->elapsed() >= 2000)
            progress_->setText(text);
        since->restart();
        if (!progress_->setProgress(done, total))
            fetch_->cancel();
    };
    if (const Expected<std::vector<ServerCardNote>> notes = readServerNotes(session_.file().path()); notes)
        read.fetch = cardsToFetch(*notes, login.address);
    read.allowMore = [this](qint64 listed) {
        return platform().message({tooManyCardsText(listed) + QStringLiteral("  Import them all?"), kTitle,
                                   MessageIcon::Question, MessageButtons::YesNo, false, MessageResult::No})
               == MessageResult::Yes;
    };
    fetchCards(*fetch_, login.address, discover, std::move(read),
               [this, login, discover, rememberAfter](ServerFetch result) {
                   // Taken up from the event loop, out of the way of the session's last reply.
                   QMetaObject::invokeMethod(
                       this,
                       [this, result = std::move(result), login, discover, rememberAfter]() mutable {
                           fetched(std::move(result), std::move(login), discover, rememberAfter);
                       },
                       Qt::QueuedConnection);
               });
}

void ServerImportWindow::fetched(ServerFetch fetched, ServerLogin login, bool discover, bool rememberAfter)
{
    delete fetch_;
    fetch_ = nullptr;
    std::unique_ptr<ProgressDialog> progress = std::move(progress_);
    if (closing_)
        return;
    if (!fetched.book && fetched.choices.empty()) {
        progress.reset();
        const bool again = trusts(fetched.book.error(), login);
        if (closing_)
            return;
        if (again)
            return fetchFrom(login, discover, rememberAfter);
    }
    ImportResult result;
    if (fetched.book && fetched.choices.empty()) {
        // The cards are written in a loop of their own, which the progress dialog keeps answering.
        progress->cancelWith({});
        ImportOptions options;
        options.remindersOn = session_.remindersOn();
        options.progress = [&progress](qint64 done, qint64 total) { return progress->setProgress(done, total); };
        ServerUpdateOptions update{options, {}};
        update.removeDeleted = [this](const QStringList& names) { return chooseRemovals(names); };
        writing_ = true;
        ServerUpdate updated = pw::updateFromServer(*fetched.book, session_.file(), update);
        writing_ = false;
        result = std::move(updated.import);
        QStringList lines = serverUpdateLines(updated);
        for (const QString& href : fetched.book->tooLarge)
            lines.append(QStringLiteral("Skipped, larger than 1 MB: %1").arg(href));
        result.changed = lines + result.changed;
    }
    progress.reset();
    setBusy(false);
    if (!fetched.choices.empty())
        return offerChoice(fetched.choices);
    if (!fetched.book)
        return showFailure(fetched.book.error());
    if (result.imported > 0 && session_.remindersOn())
        session_.noteSavedWithRemindersOn();
    if (result.end == ImportResult::End::Completed && rememberAfter)
        remember(fetched.book->address, login.password);
    cmdSrvClose_->setFocus();
    if (showImportEnd(result, platform(), this))
        close();
}

void ServerImportWindow::showFailure(const ServerError& error)
{
    if (error.kind == ServerError::Kind::Cancelled) {
        ImportResult stopped;
        stopped.end = ImportResult::End::Cancelled;
        platform().message(*importEndMessage(stopped));
    } else {
        platform().message({error.text + QStringLiteral("  No contacts were imported."),
                            QStringLiteral("No contacts imported"), MessageIcon::Warning, MessageButtons::Ok, true});
    }
    // Where the person puts it right.
    QLineEdit* credentials = txtSrvUser_->text().isEmpty() ? txtSrvUser_ : txtSrvPassword_;
    QLineEdit* fix = error.kind == ServerError::Kind::Login       ? credentials
                     : error.kind == ServerError::Kind::Cancelled ? nullptr
                                                                  : txtSrvAddress_;
    if (fix) {
        fix->setFocus();
        fix->selectAll();
    }
}

bool ServerImportWindow::trusts(const ServerError& error, ServerLogin& login)
{
    const QString& server = error.certificateHost;
    if (error.kind == ServerError::Kind::OtherHost && !login.allowedHosts.contains(server)) {
        const Message ask{QStringLiteral("The server %1 asks for your user name and password, but the address you "
                                         "gave is on %2.  Send them to %1?")
                              .arg(server, login.address.host()),
                          kTitle, MessageIcon::Warning, MessageButtons::YesNo, false, MessageResult::No};
        if (platform().message(ask) != MessageResult::Yes)
            return false;
        login.allowedHosts.append(server);
        return true;
    }
    if (error.kind != ServerError::Kind::Certificate || error.certificateSha256.isEmpty()
        || login.trustedCertificates.value(server) == error.certificateSha256)
        return false;
    // Trusted before: a server that the address sent the request on to.
    const QByteArray before = trustedCertificate(platform(), server);
    if (before != error.certificateSha256) {
        const Message ask = before.isEmpty()
                                ? certificateQuestion(server, error.certificateSha256)
                                : changedCertificateQuestion(server, error.certificateSha256,
                                                             certificateTrustedOn(platform(), server));
        if (platform().message(ask) != MessageResult::Yes)
            return false;
        trustCertificate(platform(), server, error.certificateSha256);
    }
    login.trustedCertificates[server] = error.certificateSha256;
    return true;
}

void ServerImportWindow::showUpdatedBook()
{
    const std::optional<RememberedServer> server = rememberedServer(platform());
    lblSrvUpdates_->setText(server ? QStringLiteral("Update from Server reads %1 as %2.")
                                         .arg(QUrl(server->addressBook).toDisplayString(), server->user)
                                   : QString());
    lblSrvUpdates_->setVisible(server.has_value());
}

std::vector<bool> ServerImportWindow::chooseRemovals(const QStringList& names)
{
    QDialog ask(this);
    ask.setObjectName(QStringLiteral("frmSrvDeleted"));
    ask.setWindowTitle(QStringLiteral("Deleted on the Server"));
    auto* lblSrvDeleted = named<QLabel>(
        "lblSrvDeleted", QStringLiteral("The cards of these contacts were deleted on the server.  Tick those to remove "
                                        "here as well; the others are kept."));
    lblSrvDeleted->setWordWrap(true);
    auto* lstSrvDeleted = named<QListWidget>("lstSrvDeleted");
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, lstSrvDeleted);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* buttons = new QDialogButtonBox;
    auto* remove = buttons->addButton(QStringLiteral("&Remove Ticked"), QDialogButtonBox::AcceptRole);
    remove->setObjectName(QStringLiteral("cmdSrvRemoveTicked"));
    auto* keep = buttons->addButton(QStringLiteral("&Keep All"), QDialogButtonBox::RejectRole);
    keep->setObjectName(QStringLiteral("cmdSrvKeepAll"));
    keep->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    auto* layout = new QVBoxLayout(&ask);
    layout->addWidget(lblSrvDeleted);
    layout->addWidget(lstSrvDeleted);
    layout->addWidget(buttons);
    std::vector<bool> chosen(std::size_t(names.size()), false);
    if (ask.exec() != QDialog::Accepted)
        return chosen;
    for (int i = 0; i < lstSrvDeleted->count(); ++i)
        chosen[std::size_t(i)] = lstSrvDeleted->item(i)->checkState() == Qt::Checked;
    return chosen;
}

void ServerImportWindow::offerChoice(const std::vector<FoundAddressBook>& found)
{
    found_ = found;
    lstSrvBooks_->clear();
    for (const FoundAddressBook& book : found)
        lstSrvBooks_->addItem(book.name);
    fields_->setRowVisible(lstSrvBooks_, !found.empty());
    if (found.empty())
        return;
    lstSrvBooks_->setCurrentRow(0);
    lstSrvBooks_->setFocus();
}

void ServerImportWindow::remember(const QUrl& addressBook, const QString& password)
{
    const RememberedServer server{txtSrvAddress_->text().trimmed(), txtSrvUser_->text(), addressBook.toString()};
    rememberServer(platform(), server);
    cmdSrvUpdate_->setEnabled(true);
    showUpdatedBook();
    if (password.isEmpty())
        return;
    platform().storePassword(passwordKey(server), password, this, [this](std::expected<void, QString> stored) {
        if (!stored)
            platform().message(passwordNotRememberedMessage(stored.error()));
    });
}

}  // namespace pw
