#include "data/birthdays.h"
#include "data/contacts_file.h"
#include "support/main_window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace pw::test {
namespace {

class BirthdaysTest : public MainWindowTest {
protected:
    // Contacts with these birth dates, reminders on or off, in a file of the application folder.
    void writeContacts(const QString& name, const QList<std::pair<QString, QString>>& people,
                       const QString& reminders = u"1"_s)
    {
        ContactsFile file;
        ASSERT_TRUE(file.open(folder.file(name)));
        for (const auto& [first, birthdate] : people) {
            ContactRecord r;
            r.FirstName = first;
            r.LastName = u"Ray"_s;
            r.Birthdate = birthdate;
            r.BirthdayReminders = reminders;
            ASSERT_TRUE(file.append(r));
        }
    }
    QStringList shown() const
    {
        QStringList out;
        for (const Message& m : platform.messages)
            out.append(m.title + u": "_s + m.text);
        return out;
    }
    bool enabled(const char* name) const { return find<QAction>(name)->isEnabled(); }
    QWidget* focused() const { return QApplication::focusWidget(); }
};

TEST_F(BirthdaysTest, RemindersAtStartUpAndAfterOpenButNotAfterNew)
{
    writeContacts(u"PWK_Contacts.DAT"_s, {{u"Bob"_s, u"19750305"_s},
                                          {u"Bad"_s, u"19800231"_s},
                                          {u"Dee"_s, u"19900302"_s},
                                          {u"None"_s, u""_s},
                                          {u"Ann"_s, u"19800301"_s}});
    writeContacts(u"family.DAT"_s, {{u"Cy"_s, u"20000302"_s}});
    platform.setToday(QDate(2027, 3, 1));
    ASSERT_TRUE(startUp());
    // Several reminders are one window: today's first, then by date.
    EXPECT_TRUE(platform.messages.isEmpty());
    auto* reminders = find<QDialog>("frmBirthdayReminders");
    ASSERT_NE(reminders, nullptr);
    EXPECT_EQ(reminders->windowTitle(), u"Birthday reminders");
    EXPECT_EQ(find<QPlainTextEdit>("txtBirthdayList")->toPlainText(),
              u"Today is Ann Ray's Birthday! \nDee Ray has a birthday coming up on 03/02\n"
              u"Bob Ray has a birthday coming up on 03/05\n");
    find<QPushButton>("cmdOK")->click();
    deleteClosedWindows();
    EXPECT_EQ(find<QDialog>("frmBirthdayReminders"), nullptr);

    // A single reminder keeps its box.
    platform.answerFileDialog(folder.file(u"family.DAT"_s));
    find<QAction>("mnuFileOpen")->trigger();
    EXPECT_EQ(shown(), QStringList{u"Birthday reminder: Cy Ray has a birthday coming up on 03/02"_s});

    platform.messages.clear();
    platform.answerFileDialog(folder.file(u"PWK_Contacts.DAT"_s));
    find<QAction>("mnuFileNew")->trigger();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(find<QDialog>("frmBirthdayReminders"), nullptr);
}

TEST_F(BirthdaysTest, TheRemindersWindowTurnsTheRemindersOff)
{
    writeContacts(u"PWK_Contacts.DAT"_s, {{u"Ann"_s, u"19800301"_s}, {u"Bob"_s, u"19750305"_s}});
    platform.setToday(QDate(2027, 3, 1));
    ASSERT_TRUE(startUp());
    find<QPushButton>("cmdBdayRemindersOff")->click();
    deleteClosedWindows();
    EXPECT_EQ(find<QDialog>("frmBirthdayReminders"), nullptr);
    EXPECT_EQ(shown(), QStringList{u"Birthday reminders disabled: Birthday Reminders have been turned off."_s});
    EXPECT_TRUE(enabled("mnuFileBdayOn"));
    const QByteArray bytes = folder.read(u"PWK_Contacts.DAT"_s);
    EXPECT_EQ(bytes.mid(515, 1) + bytes.mid(518 + 515, 1), "00");
}

TEST_F(BirthdaysTest, AFileNamedOnTheCommandLineIsTheOneOpenedAndReminded)
{
    writeContacts(u"PWK_Contacts.DAT"_s, {{u"Ann"_s, u"19800301"_s}});
    writeContacts(u"family.DAT"_s, {{u"Cy"_s, u"20000301"_s}});
    platform.setToday(QDate(2027, 3, 1));
    window = std::make_unique<MainWindow>(platform);
    ASSERT_TRUE(window->startUp(folder.file(u"family.DAT"_s)));
    EXPECT_EQ(window->windowTitle(), u"Postwick  [family]");
    EXPECT_EQ(window->currentFilePath(), folder.file(u"family.DAT"_s));
    EXPECT_EQ(shown(), QStringList{u"Birthday alert: Today is Cy Ray's Birthday! "_s});
}

TEST_F(BirthdaysTest, EnableAndDisableRewriteOnlyTheFlagOfEveryRecord)
{
    writeContacts(u"PWK_Contacts.DAT"_s, {{u"Ann"_s, u"19800301"_s}, {u"Bob"_s, u""_s}}, u"0"_s);
    const QByteArray before = folder.read(u"PWK_Contacts.DAT"_s);
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(enabled("mnuFileBdayOn"));
    EXPECT_FALSE(enabled("mnuFileBdayOff"));

    find<QAction>("mnuFileBdayOn")->trigger();
    QByteArray expected = before;
    expected[515] = '1';
    expected[518 + 515] = '1';
    EXPECT_EQ(folder.read(u"PWK_Contacts.DAT"_s), expected);
    EXPECT_EQ(platform.messages.last(), (Message{u"Birthday Reminders have been turned on."_s,
                                                 u"Birthday reminders enabled"_s, MessageIcon::Information}));
    EXPECT_FALSE(enabled("mnuFileBdayOn"));
    EXPECT_TRUE(enabled("mnuFileBdayOff"));

    // Reopened, record 1 says the reminders are on.
    platform.answerFileDialog(folder.file(u"PWK_Contacts.DAT"_s));
    find<QAction>("mnuFileOpen")->trigger();
    EXPECT_FALSE(enabled("mnuFileBdayOn"));
    EXPECT_TRUE(enabled("mnuFileBdayOff"));

    find<QAction>("mnuFileBdayOff")->trigger();
    EXPECT_EQ(folder.read(u"PWK_Contacts.DAT"_s), before);
    EXPECT_EQ(platform.messages.last(), (Message{u"Birthday Reminders have been turned off."_s,
                                                 u"Birthday reminders disabled"_s, MessageIcon::Information}));
    EXPECT_TRUE(enabled("mnuFileBdayOn"));
    EXPECT_FALSE(enabled("mnuFileBdayOff"));
}

TEST_F(BirthdaysTest, ViewBirthdaysAsksUntilAMonthFitsThenListsIt)
{
    writeContacts(u"PWK_Contacts.DAT"_s, {{u"Ann"_s, u"19800310"_s}, {u"Bob"_s, u"19750512"_s}}, u"0"_s);
    platform.setToday(QDate(2027, 3, 1));
    ASSERT_TRUE(startUp());
    // A refused entry asks again; the checks themselves are the core's.
    platform.answerInput(u"13"_s);
    platform.answerInput(u"3"_s);
    find<QPushButton>("cmdBDlist")->click();
    ASSERT_EQ(platform.inputs.size(), 2);
    EXPECT_EQ(platform.inputs[0], (ScriptedPlatform::InputCall{birthdayMonthPrompt(), u"View Birthdays"_s, u"3"_s}));
    EXPECT_EQ(shown(), (QStringList{u"Enter a number between 1 and 12: Cannot be greater than 12"_s,
                                    u"March Birthdays: Ann Ray"_s + QString(36, u' ') + u"\t03/10/1980\n"_s}));
    EXPECT_EQ(platform.messages.last().icon, MessageIcon::None);
    EXPECT_EQ(focused(), find<QWidget>("txtLMLine1"));

    platform.messages.clear();
    platform.answerInput(u"7"_s);
    find<QPushButton>("cmdBDlist")->click();
    EXPECT_EQ(shown(), QStringList{u"July Birthdays: No birthdays in the month of July"_s});

    // Cancel ends it quietly.
    platform.messages.clear();
    find<QPushButton>("cmdBDlist")->click();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(focused(), find<QWidget>("txtLMLine1"));
}

TEST_F(BirthdaysTest, AMonthTooLongForAMessageBoxScrollsInItsOwnWindow)
{
    ContactRecord r;
    r.FirstName = u"Sam"_s;
    r.Birthdate = u"19990415"_s;
    r.BirthdayReminders = u"0"_s;
    folder.write(u"PWK_Contacts.DAT"_s, r.encode().repeated(2500));
    ASSERT_TRUE(startUp());
    platform.answerInput(u"4"_s);
    find<QPushButton>("cmdBDlist")->click();
    EXPECT_TRUE(platform.messages.isEmpty());
    auto* list = find<QDialog>("frmBirthdayList");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->windowTitle(), u"April Birthdays");
    const QString text = find<QPlainTextEdit>("txtBirthdayList")->toPlainText();
    EXPECT_EQ(text.count(u"\t04/15/1999"_s), 2000);
    EXPECT_TRUE(text.contains(u"... and 500 more"_s));

    find<QPushButton>("cmdCopyList")->click();
    EXPECT_EQ(platform.clipboardText().count(u'\n'), 2002);
    find<QPushButton>("cmdOK")->click();
    deleteClosedWindows();
    EXPECT_EQ(find<QDialog>("frmBirthdayList"), nullptr);
    EXPECT_EQ(focused(), find<QWidget>("txtLMLine1"));
}

TEST_F(BirthdaysTest, ViewBirthdaysWithNoFileOpenEndsInTheErrorPrompt)
{
    ASSERT_TRUE(startUp());
    find<QAction>("mnuFileClose")->trigger();
    EXPECT_TRUE(find<QPushButton>("cmdBDlist")->isEnabled());
    platform.answerInput(u"3"_s);
    platform.answerMessage(MessageResult::Retry);
    find<QPushButton>("cmdBDlist")->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.startsWith(u"An error has occurred. Error number 52 -- "));
    EXPECT_EQ(platform.messages[0].title, u"Error");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(BirthdaysTest, AboutOpensOnceOverAVisibleMainWindowAndOkUnloadsIt)
{
    ASSERT_TRUE(startUp());
    find<QAction>("mnuAbout")->trigger();
    find<QAction>("mnuAbout")->trigger();
    QList<QWidget*> abouts;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"frmLMAbout" && w->isVisible())
            abouts.append(w);
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(abouts[0]->isModal());
    EXPECT_EQ(abouts[0]->windowTitle(), u"About Postwick");
    EXPECT_EQ(find<QLabel>("lblTitle")->text(), u"Postwick");
    EXPECT_EQ(find<QLabel>("lblVersion")->text(), u"Version 6.4.0");
    EXPECT_TRUE(find<QLabel>("lblDescription")->text().startsWith(
        u"Postwick  is a software program for your home or small business.  It allows you"));
    EXPECT_TRUE(find<QLabel>("lblDisclaimer")->text().contains(u"entire risk"));
    EXPECT_FALSE(find<QLabel>("picIcon")->pixmap().isNull());

    find<QLabel>("lblTitle")->setText(u"changed"_s);
    find<QPushButton>("cmdOK")->click();
    deleteClosedWindows();
    EXPECT_EQ(find<QWidget>("frmLMAbout"), nullptr);
    find<QAction>("mnuAbout")->trigger();
    EXPECT_EQ(find<QLabel>("lblTitle")->text(), u"Postwick");  // loaded afresh
    EXPECT_TRUE(platform.messages.isEmpty());
}

}  // namespace
}  // namespace pw::test
