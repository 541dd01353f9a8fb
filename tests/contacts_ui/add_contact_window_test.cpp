#include "data/contact_record.h"
#include "support/main_window_fixture.h"
#include "support/qt_printers.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

class AddContactWindowTest : public MainWindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(startUp()); }

    QMainWindow* openAddContact()
    {
        find<QPushButton>("cmdAddContact")->click();
        settle();
        return find<QMainWindow>("frmNewContact");
    }

    void type(const char* box, const QString& text) { QTest::keyClicks(find<QLineEdit>(box), text); }

    QByteArray contactsFile() const { return folder.read(u"PWK_Contacts.DAT"_s); }

    void expectMainWindowBack()
    {
        settle();
        EXPECT_EQ(find<QMainWindow>("frmNewContact"), nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(focusName(), u"txtLMLine1");
    }
};

TEST_F(AddContactWindowTest, OpensInFrontWithTheFocusInFirstNameAndEnterWalksTheBoxesInTabOrder)
{
    QMainWindow* add = openAddContact();
    ASSERT_NE(add, nullptr);
    EXPECT_TRUE(add->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(add->windowTitle(), u"Add Contact  [PWK_Contacts]");
    EXPECT_TRUE(find<QCheckBox>("chkIncComp")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("chkIncComp")->isHidden());
    EXPECT_TRUE(find<QLabel>("lblIncCompName")->isHidden());
    EXPECT_EQ(find<QLabel>("lblACSStreet")->text(), u"Additional Street Info/Apt:");
    EXPECT_EQ(find<QLineEdit>("txtACFName")->toolTip(), u"14 characters maximum");

    const char* const tabOrder[] = {"txtACFName", "txtACMiddleInit", "txtACLName", "txtACFStreet", "txtACSStreet",
                                    "txtACCity", "txtACState", "txtACZip", "txtACCountry", "txtACCompany",
                                    "txtACBirthdate", "txtACHPhone", "txtACCPhone", "txtACWPhone", "txtACEmail",
                                    "txtACCategory", "txtACNotes", "cmdSave"};
    for (const char* name : tabOrder) {
        EXPECT_EQ(focusName(), QString::fromLatin1(name));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(find<QLineEdit>("txtACNotes")->text(), u"");
}

TEST_F(AddContactWindowTest, SavingOnlyALastNameAppendsOneBlankRecordAndReturnsToTheMainWindow)
{
    activate(openAddContact());
    type("txtACLName", u"Doe"_s);
    // Ctrl+S saves as Save does.
    QTest::keyClick(find<QLineEdit>("txtACLName"), Qt::Key_S, Qt::ControlModifier);

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0], (Message{u"S A V E D"_s, u"Contact saved to file"_s}));
    const QByteArray bytes = contactsFile();
    ContactRecord expected;
    expected.LastName = u"Doe"_s;
    expected.IncludeCompany = u"0"_s;
    expected.BirthdayReminders = u"1"_s;  // a file without records counts as reminders on
    ASSERT_EQ(bytes.size(), 518);
    EXPECT_EQ(bytes, expected.encode());
    EXPECT_EQ(bytes.mid(231, 8), QByteArray(8, ' '));
    EXPECT_TRUE(find<QAction>("mnuFileBdayOff")->isEnabled());
    expectMainWindowBack();
}

TEST_F(AddContactWindowTest, AFailedSaveKeepsTheCleanedTextsAndFocusesTheOffendingBox)
{
    openAddContact();
    type("txtACFName", u"A,nn"_s);
    type("txtACLName", u"Doe"_s);
    type("txtACHPhone", u"(555) 123-4567"_s);
    type("txtACEmail", u"ann@example"_s);
    find<QPushButton>("cmdSave")->click();

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0], (Message{u"Email address must contain the '.' character."_s, u"Incorrect entry"_s}));
    EXPECT_EQ(find<QLineEdit>("txtACFName")->text(), u"Ann");
    EXPECT_EQ(find<QLineEdit>("txtACHPhone")->text(), u"555-123-4567");
    EXPECT_EQ(focusName(), u"txtACEmail");
    EXPECT_TRUE(find<QMainWindow>("frmNewContact")->isVisible());
    EXPECT_TRUE(contactsFile().isEmpty());
}

TEST_F(AddContactWindowTest, ACompanyTypedAndClearedLeavesTheCheckBoxShownButStoresNoCompanyLine)
{
    openAddContact();
    type("txtACCompany", u"Acme"_s);
    auto* check = find<QCheckBox>("chkIncComp");
    EXPECT_TRUE(check->isVisible());
    EXPECT_TRUE(find<QLabel>("lblIncCompName")->isVisible());
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(find<QLineEdit>("txtACCompany"), Qt::Key_Backspace);
    EXPECT_TRUE(check->isVisible());
    EXPECT_TRUE(check->isChecked());

    type("txtACLName", u"Doe"_s);
    bool checkedWhileSaved = true;
    platform.answerMessage(MessageResult::Ok, [&] { checkedWhileSaved = check->isChecked(); });
    find<QPushButton>("cmdSave")->click();
    EXPECT_FALSE(checkedWhileSaved);
    EXPECT_EQ(contactsFile().at(513), '0');
}

TEST_F(AddContactWindowTest, EveryWayOutAsksBeforeTypedTextIsLost)
{
    // An empty form goes without a question.
    openAddContact()->close();
    expectMainWindowBack();
    EXPECT_TRUE(platform.messages.isEmpty());

    // Close, the close box and Esc all ask; Cancel, the default, stays with the text.
    openAddContact();
    type("txtACLName", u"Doe"_s);
    for (int i = 0; i < 3; ++i)
        platform.answerMessage(MessageResult::Cancel);
    find<QPushButton>("cmdCancel")->click();
    find<QMainWindow>("frmNewContact")->close();
    QTest::keyClick(find<QLineEdit>("txtACLName"), Qt::Key_Escape);
    settle();
    const Message question{u"Save changes to this contact?"_s,
                           u"Unsaved changes"_s,
                           MessageIcon::Question,
                           MessageButtons::YesNoCancel,
                           false,
                           MessageResult::Cancel};
    EXPECT_EQ(platform.messages, QList<Message>(3, question));
    EXPECT_EQ(find<QLineEdit>("txtACLName")->text(), u"Doe");

    // No leaves without saving; Yes saves first, and a save that fails its checks stays.
    platform.answerMessage(MessageResult::No);
    find<QPushButton>("cmdCancel")->click();
    expectMainWindowBack();
    EXPECT_TRUE(contactsFile().isEmpty());
    openAddContact();
    type("txtACBirthdate", u"13/45/1990"_s);
    platform.answerMessage(MessageResult::Yes);
    QTest::keyClick(find<QLineEdit>("txtACBirthdate"), Qt::Key_Escape);
    settle();
    ASSERT_NE(find<QMainWindow>("frmNewContact"), nullptr);
    EXPECT_TRUE(contactsFile().isEmpty());
    find<QLineEdit>("txtACBirthdate")->clear();
    type("txtACLName", u"Doe"_s);
    platform.answerMessage(MessageResult::Yes);
    QTest::keyClick(find<QLineEdit>("txtACLName"), Qt::Key_Escape);
    expectMainWindowBack();
    EXPECT_EQ(contactsFile().size(), 518);
    EXPECT_EQ(platform.messages.last(), (Message{u"S A V E D"_s, u"Contact saved to file"_s}));
}

TEST_F(AddContactWindowTest, AFailedAppendOffersRetryToStayAndCancelToLeave)
{
    openAddContact();
    type("txtACLName", u"Doe"_s);
    window->contactsFile().close();

    platform.answerMessage(MessageResult::Retry);
    find<QPushButton>("cmdSave")->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.startsWith(u"An error has occurred. Error number 52 -- "));
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::RetryCancel);
    settle();
    ASSERT_NE(find<QMainWindow>("frmNewContact"), nullptr);
    EXPECT_FALSE(window->isVisible());

    platform.answerMessage(MessageResult::Cancel);
    find<QPushButton>("cmdSave")->click();
    EXPECT_EQ(platform.messages.size(), 2);
    expectMainWindowBack();
}

TEST_F(AddContactWindowTest, LookUpsWorkAlikeInEveryWindowAndARemovedDocumentIsPutBack)
{
    // First start delivered both documents; one the user removed is delivered again when asked for.
    const QByteArray manual = folder.read(u"pwkUman.pdf"_s);
    EXPECT_TRUE(manual.startsWith("%PDF"));
    EXPECT_TRUE(folder.read(u"pwk_state_abbreviations.pdf"_s).startsWith("%PDF"));
    QFile::remove(folder.file(u"pwkUman.pdf"_s));
    find<QPushButton>("cmdPeopleFind")->click();
    find<QPushButton>("cmdZipFinder")->click();
    find<QAction>("mnuManual")->trigger();
    find<QAction>("mnuStates")->trigger();
    EXPECT_EQ(platform.openedDocuments,
              (QStringList{u"https://www.whitepages.com/"_s, u"https://tools.usps.com/zip-code-lookup.htm"_s,
                           folder.file(u"pwkUman.pdf"_s), folder.file(u"pwk_state_abbreviations.pdf"_s)}));
    EXPECT_EQ(folder.read(u"pwkUman.pdf"_s), manual);
    EXPECT_TRUE(platform.messages.isEmpty());

    // The same commands in Add Contact; a document that cannot be put back is said so.
    platform.openedDocuments.clear();
    QFile::remove(folder.file(u"pwkUman.pdf"_s));
    QDir(folder.path()).mkdir(u"pwkUman.pdf"_s);
    QMainWindow* add = openAddContact();
    add->findChild<QPushButton*>(u"cmdStateAbb"_s)->click();
    EXPECT_EQ(focusName(), u"txtACState");
    add->findChild<QPushButton*>(u"cmdPeopleFind"_s)->click();
    add->findChild<QPushButton*>(u"cmdZipFinder"_s)->click();
    find<QAction>("mnuNewManual")->trigger();
    EXPECT_EQ(platform.openedDocuments,
              (QStringList{folder.file(u"pwk_state_abbreviations.pdf"_s), u"https://www.whitepages.com/"_s,
                           u"https://tools.usps.com/zip-code-lookup.htm"_s}));
    const Message notFound{u"The file pwkUman.pdf was not found in "_s + folder.path() + u", so it cannot be opened."_s,
                           u"File not found"_s, MessageIcon::Warning};
    EXPECT_EQ(platform.messages, QList<Message>{notFound});

    // Without a program to open them, a web page and a document each say so.
    platform.messages.clear();
    platform.openDocumentSucceeds = false;
    add->findChild<QPushButton*>(u"cmdPeopleFind"_s)->click();
    add->findChild<QPushButton*>(u"cmdStateAbb"_s)->click();
    const auto cannotOpen = [](const QString& what) {
        return Message{what + u" could not be opened: this desktop has no program set to open it."_s, u"Cannot open"_s,
                       MessageIcon::Warning};
    };
    EXPECT_EQ(platform.messages, (QList<Message>{cannotOpen(u"https://www.whitepages.com/"_s),
                                                 cannotOpen(folder.file(u"pwk_state_abbreviations.pdf"_s))}));
    platform.openDocumentSucceeds = true;

    find<QAction>("mnuNewAbout")->trigger();
    ASSERT_NE(find<QWidget>("frmLMAbout"), nullptr);
    EXPECT_TRUE(find<QWidget>("frmLMAbout")->isVisible());
}

TEST_F(AddContactWindowTest, TheEditMenuWorksOnTheFocusedBoxAndTheClipboard)
{
    openAddContact();
    auto* first = find<QLineEdit>("txtACFName");
    auto* cut = find<QAction>("mnuNewCut");
    emit find<QMenu>("mnuNewEdit")->aboutToShow();
    EXPECT_FALSE(cut->isEnabled());

    type("txtACFName", u"Ann"_s);
    first->selectAll();
    emit find<QMenu>("mnuNewEdit")->aboutToShow();
    EXPECT_TRUE(cut->isEnabled());
    cut->trigger();
    EXPECT_EQ(first->text(), u"");
    EXPECT_EQ(platform.clipboardText(), u"Ann");
    find<QLineEdit>("txtACLName")->setFocus();
    find<QAction>("mnuNewPaste")->trigger();
    EXPECT_EQ(find<QLineEdit>("txtACLName")->text(), u"Ann");
}

TEST_F(AddContactWindowTest, TheLabelLinesPreFillTheWindowAndASingleWordNameStopsIt)
{
    find<QLineEdit>("txtLMLine1")->setText(u"Jane Q. Doe"_s);
    find<QLineEdit>("txtLMLine2")->setText(u"1200 Oak Street Apt 4"_s);
    find<QLineEdit>("txtLMline3")->setText(u"Reno, NV 89501"_s);
    find<QAction>("mnuAdd")->trigger();
    settle();
    ASSERT_NE(find<QMainWindow>("frmNewContact"), nullptr);
    EXPECT_EQ(focusName(), u"txtACFName");
    QStringList filled;
    for (const char* name : {"txtACFName", "txtACMiddleInit", "txtACLName", "txtACFStreet", "txtACSStreet",
                             "txtACCity", "txtACState", "txtACZip", "txtACCountry"})
        filled.append(find<QLineEdit>(name)->text());
    EXPECT_EQ(filled, (QStringList{u"Jane"_s, u"Q"_s, u"Doe"_s, u"1200 Oak Street"_s, u"Apt 4"_s, u"Reno"_s,
                                   u"NV"_s, u"89501"_s, u""_s}));
    platform.answerMessage(MessageResult::No);  // filled boxes are kept or dropped on purpose
    find<QPushButton>("cmdCancel")->click();
    settle();
    platform.messages.clear();

    find<QLineEdit>("txtLMLine1")->setText(u"Jane"_s);
    find<QPushButton>("cmdAddContact")->click();
    EXPECT_EQ(find<QMainWindow>("frmNewContact"), nullptr);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0], (Message{u"Line 1 must contain a space."_s, u"Incorrect entry"_s,
                                             MessageIcon::None, MessageButtons::Ok, true}));
}

TEST_F(AddContactWindowTest, AddContactIsUnavailableWithoutAContactsFile)
{
    EXPECT_TRUE(find<QPushButton>("cmdAddContact")->isEnabled());
    EXPECT_TRUE(find<QAction>("mnuAdd")->isEnabled());
    find<QAction>("mnuFileClose")->trigger();
    EXPECT_FALSE(find<QPushButton>("cmdAddContact")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuAdd")->isEnabled());
}

}  // namespace
}  // namespace pw::test

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

TEST_F(AddContactWindowTest, CharactersTheFileCannotStoreAreOfferedTheNearestLettersBeforeSaving)
{
    openAddContact();
    find<QLineEdit>("txtACFName")->setText(u"Łukasz"_s);
    find<QLineEdit>("txtACLName")->setText(u"Thảo"_s);
    find<QLineEdit>("txtACCity")->setText(u"東京"_s);
    platform.answerMessage(MessageResult::No);
    find<QPushButton>("cmdSave")->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, u"Characters that cannot be saved");
    EXPECT_TRUE(
        platform.messages[0].text.contains(u"First Name:  Ł as L\nLast Name:  ả as a\nCity:  東 as dong,  京 as jing"_s));
    EXPECT_EQ(focusName(), u"txtACFName");
    EXPECT_TRUE(contactsFile().isEmpty());

    // Yes stores what the import would.
    platform.answerMessage(MessageResult::Yes);
    find<QPushButton>("cmdSave")->click();
    ASSERT_EQ(contactsFile().size(), 518);
    EXPECT_EQ(contactsFile().left(35), QByteArray("Lukasz        | |Thao              "));
    EXPECT_EQ(contactsFile().mid(83, 16), QByteArray("dong jing").leftJustified(16, ' '));
}

}  // namespace
}  // namespace pw::test
