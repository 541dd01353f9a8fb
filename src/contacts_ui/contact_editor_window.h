#pragma once

#include "contacts_ui/contact_from_lines.h"
#include "data/contact_validation.h"
#include "data/file_error.h"
#include "widgets/secondary_window.h"

class QComboBox;
class QPushButton;

namespace pw {

class ContactForm;
class ContactsSession;
class FindListModel;

// The contact browser and editor, frmEdDelViewContact: one contact of the current contacts file at
// a time, found by name in the find list or stepped to in record order, saved in place, deleted or
// printed. The main window keeps it while Print Label has it hidden.
class ContactEditorWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    ContactEditorWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

    // Fills the find list with no contact shown and editing disabled. False when a failure closed
    // the window.
    bool open();
    // Shows record n editable, as when picked from a list, and rebuilds the find list.
    void showPicked(int record);

    // The record on show; 0 when none.
    int currentRecord() const { return current_; }

signals:
    // Print Label hid the window: the main window is to show these lines, ready to print.
    void labelLinesChosen(const pw::LabelLines& lines);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Step { First, Previous, Next, Last };

    void buildMenus();
    QWidget* buildNavigation();
    bool fillFindList();
    bool showRecord(int n);
    void setEditingEnabled(bool enabled);
    void showIncludeCompany(bool shown);
    void pickEntry(int index);
    void step(Step step);
    bool save();
    // Before a change to the contact on show: a file that another program replaced is opened again,
    // and the contact must still be at its number there, or the change would land on someone else.
    bool contactStillInPlace();
    // True when the form holds what was loaded or saved, or the user settled the changes.
    bool changesSettled();
    // The form as it is now becomes what a later change is measured against.
    void noteLoaded(const ContactRecord& record);
    void closeWithoutAsking();
    void deleteContact();
    void printLabel();
    void printDetails();
    // The error prompt; Cancel closes the window, Retry leaves it open.
    void reportFailure(const FileError& error);

    ContactsSession& session_;
    ContactForm* form_ = nullptr;
    QComboBox* cboFindContact_ = nullptr;
    FindListModel* findList_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdPrintLabel_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    int current_ = 0;
    int pickedIndex_ = -1;  // the find list's entry on show, to go back to when a pick is cancelled
    // What the form showed when its contact was loaded or saved, and the record as read or saved.
    LoadedContact loaded_;
    bool asksBeforeClosing_ = true;
};

// Makes `box` a drop-down list over `model` that stays quick with a whole file of names: rows
// measured by the first one, no sizing to the longest entry, a scrolling list of 20 entries.
void setUpFindListBox(QComboBox* box, FindListModel* model);

}  // namespace pw
