#pragma once

#include "data/contacts_file.h"
#include "shell/contact_from_lines.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pw {

class ContactEditorWindow;
class LabelEntry;
class Platform;
enum class ListExit;
enum class MarginKind;

// The main window, frmLMaker: created at start-up and alive for the whole run. It owns the current
// contacts file, its menus start every other window and print job, and it composes the entry area
// where label lines are typed and printed.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(Platform& platform, QWidget* parent = nullptr);

    // The start-up steps: the entry area's initial state, the default contacts file (or the one named
    // on the command line, which then shows in the title as after Open), the birthday menu state and
    // the reminders. False when the user chose to end the program at an error prompt.
    bool startUp(const QString& contactsPath = {});

    Platform& platform() { return platform_; }
    ContactsFile& contactsFile() { return contacts_; }
    LabelEntry& labelEntry() { return *entry_; }
    // txtFileNam and txtFileTitle: the current file's full path and title; empty with no file open.
    QString currentFilePath() const;
    QString currentFileTitle() const;

    // Shows a secondary window in front: the main window hides and comes back when it closes.
    void showSecondary(QWidget* window);
    // Comes back to the front with a contact's address in the label lines, ready to print.
    void showLabelLines(const LabelLines& lines);

    // The standard error prompt for a failure in one of this window's commands. Retry leaves the
    // window up with no file open; Cancel ends the program. Returns true after Retry.
    bool reportFileFailure(const FileError& error);

    // Marks a command whose feature is built, so that the file states may enable it.
    void setCommandAvailable(QObject* command, bool available = true);

    // The open file's birthday-reminder setting, which records saved by a contact window take.
    // A file without records counts as on.
    bool birthdayRemindersOn() const { return remindersOn_; }
    // A record was saved with the reminders on: the file now has a setting to turn off.
    void noteSavedWithRemindersOn();

    // Contact editor (main_window_contacts.cpp). Opens the editor with no contact shown or, for a
    // record above 0, with that record shown and editable. With no record, an editor that Print
    // Label hid comes back as it was left.
    void openContactEditor(int record = 0);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildControls();

    void fileNew();
    void fileOpen();
    void fileClose();
    // Shows the New or Open dialog and makes the chosen file current; false when cancelled or failed.
    bool chooseContactsFile(const QString& dialogTitle, bool createNew);
    bool openContactsFile(const QString& path, const QString& title);
    void setContactCommandsEnabled(bool enabled);
    void setCommandEnabled(QObject* command, bool enabled);
    // The reminder setting and whether the File menu offers to change it; the menu shows both.
    void setReminderState(bool on, bool offered);
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

    Platform& platform_;
    ContactsFile contacts_;
    QSet<QObject*> availableCommands_;
    bool shutDownDone_ = false;
    bool remindersOn_ = true;
    LabelEntry* entry_ = nullptr;
    QPointer<ContactEditorWindow> contactEditor_;  // the open or hidden contact editor

    QAction* mnuFileNew_ = nullptr;
    QAction* mnuFileOpen_ = nullptr;
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
    QAction* mnuExport_ = nullptr;
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
