#pragma once

#include "data/contacts_file.h"
#include "printing/onthefly_labels.h"
#include "shell/contact_from_lines.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pw {

class ContactEditorWindow;
class Platform;

// The main window, frmLMaker: created at start-up and alive for the whole run. It owns the current
// contacts file, starts every other window and print job, and holds the on-the-fly label entry.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(Platform& platform, QWidget* parent = nullptr);

    // The start-up steps: the entry area's initial state, the default contacts file, the birthday
    // menu state and the reminders. False when the user chose to end the program at an error prompt.
    bool startUp();

    Platform& platform() { return platform_; }
    ContactsFile& contactsFile() { return contacts_; }
    // txtFileNam and txtFileTitle: the current file's full path and title; empty with no file open.
    QString currentFilePath() const;
    QString currentFileTitle() const;

    // Shows a secondary window in front: the main window hides and comes back when it closes.
    void showSecondary(QWidget* window);

    // The standard error prompt for a failure in one of this window's commands. Retry leaves the
    // window up with no file open; Cancel ends the program. Returns true after Retry.
    bool reportFileFailure(const FileError& error);

    // Marks a command whose feature is built, so that the file states may enable it.
    void setCommandAvailable(QObject* command, bool available = true);

    // Contacts (main_window_contacts.cpp). Reminders count as on while "Enable Birthday Reminders"
    // is disabled, as in a file without records; a record saved with them on makes "Disable
    // Birthday Reminders" available.
    bool birthdayRemindersOn() const;
    void noteSavedWithRemindersOn();

    // Contact editor (main_window_contacts.cpp). Opens the editor with no contact shown or, for a
    // record above 0, with that record shown and editable. With no record, an editor that Print
    // Label hid comes back as it was left.
    void openContactEditor(int record = 0);
    // Print Label of the editor: this window in front with the address in the five label lines,
    // the envelope bold option cleared and hidden, the focus in Line 1.
    void showLabelLines(const LabelLines& lines);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void setInitialEntryState();

    void fileNew();
    void fileOpen();
    void fileClose();
    // Shows the New or Open dialog and makes the chosen file current; false when cancelled or failed.
    bool chooseContactsFile(const QString& dialogTitle);
    bool openContactsFile(const QString& path, const QString& title);
    void setContactCommandsEnabled(bool enabled);
    void setCommandEnabled(QObject* command, bool enabled);
    // The birthday items follow record 1's reminder flag; false after a failure was reported.
    bool updateBirthdayMenuState();
    // The reminder pass for the open file; the birthdays feature fills it in.
    bool runBirthdayReminders();
    void shutDown();

    // Contacts (main_window_contacts.cpp).
    void connectContactCommands();
    void addContact();
    // Drops an editor that Print Label hid, so that none outlives the contacts file it shows.
    void discardContactEditor();

    // The on-the-fly label entry, its print and the Margins menu (main_window_labels.cpp).
    void connectLabelEntry();
    void enterLabelPosition();
    void printOnTheFly();
    void clearForm();
    void adjustMarginsOf(MarginKind kind);
    void showLinesAligned(Qt::Alignment alignment);
    void setLabelPlaceFields(LabelPlace place);
    QString parameterFile();

    Platform& platform_;
    ContactsFile contacts_;
    QSet<QObject*> availableCommands_;
    bool shutDownDone_ = false;
    PositionRange positionRange_;
    int envelopeSizeCode_ = 0;
    QPointer<ContactEditorWindow> contactEditor_;  // the open or hidden contact editor

    QAction* mnuFileNew_ = nullptr;
    QAction* mnuFileOpen_ = nullptr;
    QAction* mnuFileClose_ = nullptr;
    QAction* mnuFileBdayOn_ = nullptr;
    QAction* mnuFileBdayOff_ = nullptr;
    QAction* mnuRetAddress_ = nullptr;
    QAction* mnuStates_ = nullptr;
    QAction* mnuFilePrint_ = nullptr;
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
    QAction* mnuAdjustOTF_ = nullptr;
    QAction* mnuAdjustSR_ = nullptr;
    QAction* mnuAdjustENV_ = nullptr;
    QAction* mnuAdjustRA_ = nullptr;
    QAction* mnuManual_ = nullptr;
    QAction* mnuAbout_ = nullptr;

    QLabel* lblLMInstruct_ = nullptr;
    QLineEdit* txtLMLine_[5] = {};
    QPushButton* cmdLMStart_ = nullptr;
    QPushButton* cmdLMClear_ = nullptr;
    QPushButton* cmdLMExit_ = nullptr;
    QPushButton* cmdRetAddress_ = nullptr;
    QPushButton* cmdBDlist_ = nullptr;
    QPushButton* cmdAddContact_ = nullptr;
    QPushButton* cmdFindContact_ = nullptr;
    QPushButton* cmdPeopleFind_ = nullptr;
    QPushButton* cmdZipFinder_ = nullptr;
    QRadioButton* optLMLabel_ = nullptr;
    QRadioButton* optLMEnvelope_ = nullptr;
    QComboBox* cboLMEnvelope_ = nullptr;
    QRadioButton* optPortrait_ = nullptr;
    QRadioButton* optLandscape_ = nullptr;
    QRadioButton* optLMLeftjust_ = nullptr;
    QRadioButton* optLMCenter_ = nullptr;
    QLineEdit* txtLMLeftPad_ = nullptr;
    QLineEdit* txtLMToppad_ = nullptr;
    QLabel* lblLMPosition_ = nullptr;
    QLabel* lblLMEnvSize_ = nullptr;
    QGroupBox* frFeatures_ = nullptr;
    QCheckBox* chkLblBold_ = nullptr;
    QCheckBox* chkLblItalic_ = nullptr;
    QCheckBox* chkBold_ = nullptr;
    QCheckBox* chkLargeFont_ = nullptr;
    QLineEdit* txtFileNam_ = nullptr;
    QLineEdit* txtFileTitle_ = nullptr;
};

}  // namespace pw
