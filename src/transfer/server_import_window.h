#pragma once

#include "carddav/address_book_finder.h"
#include "carddav/address_book_reader.h"
#include "platform/platform.h"
#include "widgets/secondary_window.h"

#include <memory>
#include <vector>

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pw {

class ContactsSession;

// What a fetch from a server came to: the cards, or the address books to choose from, or why neither.
struct ServerFetch final {
    ServerResult<AddressBookCards> book;
    std::vector<FoundAddressBook> choices;
};

// frmSrvImport: the cards of an address book on a server (CardDAV) appended to the current
// contacts file, through the import's duplicate rule and summary. A server's own address offers the
// address books found there; a remembered server is imported again with Update from Server, which
// brings the contacts it gave to the server's version and adds the new ones.
class ServerImportWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    ServerImportWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startImport();
    void updateFromServer();
    // Fetches the cards at `login` (or, with `discover`, offers the address books it leads to) and
    // imports them; an untrusted certificate is asked about, and the answer kept. One at a time:
    // while one runs, another start does nothing.
    void importFrom(ServerLogin login, bool discover, bool rememberAfter);
    // The fetch goes on from the server's replies; fetched() takes it from there.
    void fetchFrom(const ServerLogin& login, bool discover, bool rememberAfter);
    void fetched(ServerFetch fetched, ServerLogin login, bool discover, bool rememberAfter);
    // Import and Update from Server wait while an import runs.
    void setBusy(bool busy);
    void showFailure(const ServerError& error);
    bool trusts(const ServerError& error, ServerLogin& login);
    void offerChoice(const std::vector<FoundAddressBook>& found);
    // frmSrvDeleted: which of the contacts whose cards the server deleted to remove; none ticked at first.
    std::vector<bool> chooseRemovals(const QStringList& names);
    // The address book's server, user and chosen address book in the settings, the password in the keyring.
    void remember(const QUrl& addressBook, const QString& password);
    // lblSrvUpdates: the address book that Update from Server reads, and as whom.
    void showUpdatedBook();

    ContactsSession& session_;
    bool busy_ = false;  // from the start of an import to its summary
    bool writing_ = false;  // the fetched cards are being written to the contacts file
    bool closing_ = false;  // what runs when the window closes ends without a word
    DavSession* fetch_ = nullptr;  // the fetch under way
    std::unique_ptr<ProgressDialog> progress_;
    std::vector<FoundAddressBook> found_;
    QLineEdit* txtSrvAddress_ = nullptr;
    QLineEdit* txtSrvUser_ = nullptr;
    QLineEdit* txtSrvPassword_ = nullptr;
    QFormLayout* fields_ = nullptr;
    QListWidget* lstSrvBooks_ = nullptr;
    QCheckBox* chkSrvRemember_ = nullptr;
    QLabel* lblSrvUpdates_ = nullptr;
    QPushButton* cmdSrvUpdate_ = nullptr;
    QPushButton* cmdSrvImport_ = nullptr;
    QPushButton* cmdSrvClose_ = nullptr;
};

}  // namespace pw
