// The habits of desktop software that every window keeps: keys, shortcuts, access keys, dialogs
// that name what they do, and windows that keep their size.
#include "support/main_window_fixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

class DesktopHabitsTest : public MainWindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(startUp()); }

    QMainWindow* openAddContact()
    {
        find<QPushButton>("cmdAddContact")->click();
        QCoreApplication::processEvents();
        auto* add = find<QMainWindow>("frmNewContact");
        if (add)
            activate(add);
        return add;
    }
};

TEST_F(DesktopHabitsTest, EnterPressesTheFocusedButtonAndEscClosesASecondaryWindow)
{
    QMainWindow* add = openAddContact();
    ASSERT_NE(add, nullptr);
    QTest::keyClicks(find<QLineEdit>("txtACLName"), u"Example"_s);
    auto* save = find<QPushButton>("cmdSave");
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Return);
    EXPECT_EQ(folder.read(u"PWK_Contacts.DAT"_s).size(), 518);
    deleteClosedWindows();
    EXPECT_EQ(find<QMainWindow>("frmNewContact"), nullptr);

    add = openAddContact();
    ASSERT_NE(add, nullptr);
    QTest::keyClick(find<QLineEdit>("txtACFName"), Qt::Key_Escape);
    deleteClosedWindows();
    EXPECT_EQ(find<QMainWindow>("frmNewContact"), nullptr);
    EXPECT_TRUE(window->isVisible());
    // Esc leaves the main window alone, and Enter in label lines 1 to 4 still moves on.
    activate(window.get());
    QTest::keyClick(find<QLineEdit>("txtLMLine1"), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(find<QLineEdit>("txtLMLine1"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("txtLMLine2"));
}

TEST_F(DesktopHabitsTest, UsualShortcutsAndAccessKeysLeaveTheCaptionsAsTheyRead)
{
    const auto shortcut = [this](const char* name) { return find<QAction>(name)->shortcut(); };
    EXPECT_EQ(shortcut("mnuFileNew"), QKeySequence(u"Ctrl+N"_s));
    EXPECT_EQ(shortcut("mnuFileOpen"), QKeySequence(u"Ctrl+O"_s));
    EXPECT_EQ(shortcut("mnuFilePrint"), QKeySequence(u"Ctrl+P"_s));
    EXPECT_EQ(shortcut("mnuFileExit"), QKeySequence(u"Ctrl+Q"_s));
    EXPECT_EQ(shortcut("mnuManual"), QKeySequence(u"F1"_s));

    // Each caption carries one access key and reads as before without it.
    const QList<std::pair<const char*, QString>> buttons = {
        {"cmdLMStart", u"Print"_s},           {"cmdLMClear", u"Clear Form"_s},
        {"cmdLMExit", u"Exit"_s},             {"cmdAddContact", u"Add Contact"_s},
        {"cmdFindContact", u"Find Contact"_s}, {"cmdBDlist", u"View Birthdays"_s},
        {"cmdPeopleFind", u"People Finder"_s}, {"cmdZipFinder", u"Zip Code Finder"_s}};
    QSet<QChar> keys;
    for (const auto& [name, caption] : buttons) {
        const QString text = find<QPushButton>(name)->text();
        EXPECT_EQ(QString(text).remove(u'&'), caption) << name;
        ASSERT_EQ(text.count(u'&'), 1) << name;
        keys.insert(text.at(text.indexOf(u'&') + 1).toLower());
    }
    for (QAction* menu : window->menuBar()->actions())
        keys.insert(menu->text().at(menu->text().indexOf(u'&') + 1).toLower());
    EXPECT_EQ(keys.size(), buttons.size() + window->menuBar()->actions().size()) << "an access key is used twice";
    for (const char* item : {"mnuFileNew", "mnuFileBdayOn", "mnuAdjustOTF", "mnuViewAll", "mnuAbout"})
        EXPECT_EQ(find<QAction>(item)->text().count(u'&'), 1) << item;
    EXPECT_EQ(QString(find<QAction>("mnuFileBdayOn")->text()).remove(u'&'), u"Enable Birthday Reminders");
}

TEST_F(DesktopHabitsTest, NewAsksForAFileToCreateAndAddsTheExtension)
{
    platform.answerFileDialog(folder.file(u"family"_s));
    find<QAction>("mnuFileNew")->trigger();
    ASSERT_EQ(platform.fileDialogs.size(), 1);
    EXPECT_TRUE(platform.fileDialogs[0].createNew);
    EXPECT_TRUE(QFile::exists(folder.file(u"family.DAT"_s)));
    EXPECT_FALSE(QFile::exists(folder.file(u"family"_s)));
    EXPECT_EQ(window->windowTitle(), u"Postwick  [family]");

    platform.answerFileDialog(folder.file(u"club.txt"_s));
    find<QAction>("mnuFileNew")->trigger();
    EXPECT_TRUE(QFile::exists(folder.file(u"club.txt"_s)));
    platform.answerFileDialog(folder.file(u"family.DAT"_s));
    find<QAction>("mnuFileOpen")->trigger();
    EXPECT_FALSE(platform.fileDialogs.last().createNew);
}

TEST_F(DesktopHabitsTest, WindowsKeepTheirSizeWhileControlsComeAndGo)
{
    EXPECT_TRUE(find<QWidget>("frPortLand")->isHidden());
    const QSize mainSize = window->size();
    platform.answerInput(u"4-9"_s);
    find<QRadioButton>("optLMLabel")->click();
    QMainWindow* add = openAddContact();
    ASSERT_NE(add, nullptr);
    const QSize addSize = add->size();
    QTest::keyClicks(find<QLineEdit>("txtACCompany"), u"A"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(add->size(), addSize);
    EXPECT_FALSE(find<QWidget>("chkIncComp")->isHidden());
    add->close();
    deleteClosedWindows();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), mainSize);
    find<QPushButton>("cmdLMClear")->click();
    EXPECT_TRUE(find<QWidget>("frPortLand")->isHidden());
}

}  // namespace
}  // namespace pw::test
