#pragma once

#include "contacts_ui/contact_from_lines.h"
#include "data/contacts_session.h"
#include "platform/error_prompt.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;

namespace pw {

class ContactEditorWindow;
class LabelEntry;
class Platform;
enum class ListExit;
enum class MarginKind;

// The main window, frmLMaker: created at start-up and alive for the whole run. It owns the contacts
// session, its menus start every other window and print job, and it composes the entry area where
// label lines are typed and printed.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(Platform& platform, QWidget* parent = nullptr);

    // The start-up steps: the entry area's initial state, the default contacts file (or the one named
    // on the command line, which then shows in the title as after Open), the birthday menu state and
    // the reminders. False when the user chose to end the program at an error prompt.
    bool startUp(const QString& contactsPath = {});

    Platform& platform() { return platform_; }
    ContactsSession& session() { return session_; }
    ContactsFile& contactsFile() { return session_.file(); }
    LabelEntry& labelEntry() { return *entry_; }
    // The current file's full path and title, mirrored in txtFileNam and txtFileTitle; empty with no
    // file open.
    QString currentFilePath() const { return session_.path(); }
    QString currentFileTitle() const { return session_.title(); }

    // Shows a secondary window in front: the main window hides and comes back when it closes. A
    // secondary window's File > Exit ends the program.
    void showSecondary(QWidget* window);
    // Comes back to the front with a contact's address in the label lines, ready to print.
    void showLabelLines(const LabelLines& lines);

    // The standard error prompt for a failure in one of this window's commands. Retry leaves the
    // window up with no file open; Cancel ends the program. Returns true after Retry.
    bool reportFileFailure(const FileError& error);

    // Contact editor (main_window_contacts.cpp). Opens the editor with no contact shown or, for a
    // record above 0, with that record shown and editable. With no record, an editor that Print
    // Label hid comes back as it was left.
    void openContactEditor(int record = 0);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static inline const QString kAppTitle = QStringLiteral("Postwick");

    void buildMenus();
    void buildControls();

    // The File commands and the current file (main_window_file.cpp).
    void fileNew();
    void fileOpen();
    void fileClose();
    // File > Open Recent: the files opened last, refreshed whenever the File menu opens.
    void buildRecentMenu(QMenu* file);
    void fillRecentMenu();
    void openRecent(const QString& path);
    // Shows the New or Open dialog and makes the chosen file current; false when cancelled or failed.
    bool chooseContactsFile(const QString& dialogTitle, bool createNew);
    // Makes the file current: true; false when it was refused (the user was told); a file error is
    // left to the caller to report. The previous file stays current unless true.
    Expected<bool> openContactsFile(const QString& path, const QString& title);
    // The commands and hidden fields for the file just made current, read-only or not.
    void showOpenedFile();
    // A file that another program replaced is opened again at its path, with a word to the user.
    void showFollowedFile();
    bool followReplaced() { return followReplacedFile(platform_, session_); }
    // "Postwick  [title]", marked when the file opened read-only.
    QString currentFileWindowTitle() const;
    // The hidden fields and the commands follow the session's file.
    void showCurrentFile();
    void setContactCommandsEnabled(bool enabled);
    // The File menu offers to change the session's reminder setting when the file has one.
    void showReminderState();
    // The birthday items follow record 1's reminder flag; false after a failure was reported.
    bool updateBirthdayMenuState();
    // Birthdays and About (main_window_birthdays.cpp). The reminders for the file just made current;
    // false after a failure was reported.
    bool runBirthdayReminders();
    void connectBirthdayCommands();
    void setFileReminders(bool on);
    void viewBirthdays();
    void adjustMarginsOf(MarginKind kind);
    void shutDown();

    // Contacts (main_window_contacts.cpp).
    void connectContactCommands();
    void addContact();
    // Drops an editor that Print Label hid, so that none outlives the contacts file it shows.
    void discardContactEditor();

    // The all-contacts list (main_window_list.cpp) and its hand-over to the contact editor.
    void connectListCommands();
    void openContactList();
    void returnFromList(ListExit how);
    void editContactFromList(int record);
    bool returnToContactEditor();

    // Import and export (main_window_transfer.cpp).
    void connectTransferCommands();

    // Edit > Undo of the last delete and the last import (main_window_undo.cpp).
    void buildUndoItems(QMenu* edit);
    void showUndoItems();
    void undoDelete();
    void undoImport();

    Platform& platform_;
    ContactsSession session_;
    bool shutDownDone_ = false;
    LabelEntry* entry_ = nullptr;
    QPointer<ContactEditorWindow> contactEditor_;  // the open or hidden contact editor

    QAction* mnuFileNew_ = nullptr;
    QAction* mnuFileOpen_ = nullptr;
    QMenu* mnuFileRecent_ = nullptr;
    QAction* mnuFileClose_ = nullptr;
    QAction* mnuFileBdayOn_ = nullptr;
    QAction* mnuFileBdayOff_ = nullptr;
    QAction* mnuRetAddress_ = nullptr;
    QAction* mnuStates_ = nullptr;
    QAction* mnuFilePrint_ = nullptr;
    QAction* mnuFilePreview_ = nullptr;
    QAction* mnuFileExit_ = nullptr;
    QAction* mnuAdd_ = nullptr;
    QAction* mnuEdit_ = nullptr;
    QAction* mnuFind_ = nullptr;
    QAction* mnuDelete_ = nullptr;
    QAction* mnuSrchContacts_ = nullptr;
    QAction* mnuImport_ = nullptr;
    QAction* mnuImportServer_ = nullptr;
    QAction* mnuExport_ = nullptr;
    QAction* mnuUndoDelete_ = nullptr;
    QAction* mnuUndoImport_ = nullptr;
    QAction* undoSeparator_ = nullptr;
    QAction* mnuViewOne_ = nullptr;
    QAction* mnuViewAll_ = nullptr;
    QAction* mnuManual_ = nullptr;
    QAction* mnuAbout_ = nullptr;

    QLabel* lblLMInstruct_ = nullptr;
    QPushButton* cmdLMExit_ = nullptr;
    QPushButton* cmdBDlist_ = nullptr;
    QPushButton* cmdAddContact_ = nullptr;
    QPushButton* cmdFindContact_ = nullptr;
    QLineEdit* txtFileNam_ = nullptr;
    QLineEdit* txtFileTitle_ = nullptr;
};

}  // namespace pw
