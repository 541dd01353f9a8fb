#pragma once

#include "list/contact_lines.h"
#include "list/contact_search.h"
#include "widgets/secondary_window.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QLayout;
class QGroupBox;
class QLabel;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;

namespace pw {

class ContactLineModel;
class ContactsFile;
class Platform;
struct LabelStock;
struct Mailing;
class TabStopDelegate;

// How the all-contacts window was closed, which decides the window that comes to the front.
enum class ListExit {
    Frame,        // the window frame or Esc: the contact editor if it holds a record, else the main window
    CloseButton,  // "Close": the main window, its label Bold and Italic boxes cleared
    Editor,       // a double-click: the contact editor, opened through editRequested
    Failure,      // Cancel at an error prompt: the main window
};

// The all-contacts window, frmViewAll: one search, a sort order and a display mode chosen once,
// then the listed contacts, their report and their labels.
class ContactListWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    // The main window's label Bold and Italic boxes, read when labels are printed.
    using LabelStyle = std::function<std::pair<bool, bool>()>;

    ContactListWindow(Platform& platform, ContactsFile& contacts, const QString& fileTitle, LabelStyle labelStyle,
                      QWidget* parent = nullptr);

    // The opening steps of both menu entries: the Search group shown, no search, first names first.
    void startSearch();

signals:
    // A double-click asks for the contact editor with this record; the window closes right after.
    void editRequested(int record);
    // The window is closing; its list is already empty.
    void closed(pw::ListExit how);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildChoices();
    void chooseSearch(SearchKind kind);
    void chooseSortOrder(SortOrder order);
    AddressDisplay display() const;
    void getReport();
    void showHeader(AddressDisplay shown);
    void newSearch();
    void openContact(int row);
    void printReport();
    void printLabels();
    // The label commands' stock choice and the labels of the list on it (contact_list_labels.cpp).
    // A mailing that cannot be read says why and leaves the window as the answer asks.
    QLayout* buildLabelStockChoice();
    const LabelStock& chosenStock() const;
    // Chooses the stock typed into the stock choice, when the text names one.
    void findTypedStock();
    std::optional<Mailing> listedMailing();
    void startAfterUsedLabels();
    int firstLabel(const LabelStock& stock);
    void previewLabels();
    void markUsedLabels();
    void focusAfterDialog(QWidget* control);
    void closeTo(ListExit how);

    // The Edit menu on the list's lines, when the header box is not the focused control.
    bool headerFocused() const;
    QList<int> selectedRows() const;
    QString selectedLinesText() const;
    void copyLines();
    void cutLines();
    void pasteLines();
    void selectAll();

    ContactsFile& contacts_;
    QString fileTitle_;
    LabelStyle labelStyle_;
    ContactSearch search_;
    SortOrder order_ = SortOrder::FirstName;
    ListExit exit_ = ListExit::Frame;
    int listedAt_ = 0;  // the contacts file's follows() when the list was made

    ContactLineModel* model_ = nullptr;
    TabStopDelegate* delegate_ = nullptr;
    QGroupBox* frSearch_ = nullptr;
    QGroupBox* frSortOrder_ = nullptr;
    QGroupBox* frShowStreet_ = nullptr;
    QRadioButton* optSearchAll_ = nullptr;
    QRadioButton* optFnameSort_ = nullptr;
    QRadioButton* optEmailAdd_ = nullptr;
    QPushButton* cmdACGetReport_ = nullptr;
    QPushButton* cmdPrintLabels_ = nullptr;
    QPushButton* cmdNewSearch_ = nullptr;
    QCheckBox* chkFreeStart_ = nullptr;
    QComboBox* cboLabelStock_ = nullptr;
    QPushButton* cmdLabelSheet_ = nullptr;
    QPushButton* cmdPreviewLabels_ = nullptr;
    QCheckBox* chkHouseholds_ = nullptr;
    QCheckBox* chkZipOrder_ = nullptr;
    QCheckBox* chkCompleteOnly_ = nullptr;
    QPushButton* cmdViewAllClose_ = nullptr;
    QLineEdit* txtViewAllHeader_ = nullptr;
    QListView* lstAllContacts_ = nullptr;
    QLabel* lblSearchDisplay_ = nullptr;
    QLabel* lblTotContacts_ = nullptr;
    QAction* mnuPrint_ = nullptr;
};

}  // namespace pw
