// The habits of desktop software that every window keeps: keys, shortcuts, access keys, dialogs
// that name what they do, and windows that keep their size.
#include "support/main_window_fixture.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
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

// The access keys that clash in a window: each letter marked with "&" among the menu bar's titles and
// the controls a person sees at once, and within each menu among its items.
std::string accessKeyClashes(QWidget* window)
{
    QStringList clashes;
    const auto check = [&](const QString& where, const QStringList& captions) {
        QMap<QChar, QString> taken;
        for (const QString& caption : captions) {
            const qsizetype at = QString(caption).replace(u"&&"_s, u"__"_s).indexOf(u'&');
            if (at < 0 || at + 1 >= caption.size())
                continue;
            const QChar key = caption[at + 1].toLower();
            if (taken.contains(key))
                clashes << where + u": "_s + taken[key] + u" / "_s + caption;
            taken.insert(key, caption);
        }
    };
    QStringList front;
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        for (QAction* menu : main->menuBar()->actions()) {
            front << menu->text();
            if (menu->menu()) {
                QStringList items;
                for (QAction* item : menu->menu()->actions())
                    items << item->text();
                check(window->objectName() + u" menu "_s + menu->text(), items);
            }
        }
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window))
            front << button->text();
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() && label->isVisibleTo(window))
            front << label->text();
    }
    for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
        if (box->isVisibleTo(window))
            front << box->title();
    }
    check(window->objectName(), front);
    return clashes.join(u'\n').toStdString();
}

TEST_F(DesktopHabitsTest, AccessKeysAreUniqueInEveryWindow)
{
    QTest::keyClicks(find<QLineEdit>("txtLMLine1"), u"Ann Example"_s);
    EXPECT_EQ(accessKeyClashes(window.get()), "");

    QMainWindow* add = openAddContact();
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(accessKeyClashes(add), "");
    QTest::keyClicks(find<QLineEdit>("txtACFName"), u"Ann"_s);
    QTest::keyClicks(find<QLineEdit>("txtACLName"), u"Example"_s);
    click("cmdSave");
    settle();

    for (const auto& [command, name] : {std::pair{"mnuEdit", "frmEdDelViewContact"}, {"mnuViewAll", "frmViewAll"},
                                        {"mnuSrchContacts", "frmViewAll"}, {"mnuImport", "frmLMImport"},
                                        {"mnuExport", "frmLMExport"}}) {
        activate(window.get());
        QMainWindow* opened = openWith(command, name);
        ASSERT_NE(opened, nullptr) << command;
        EXPECT_EQ(accessKeyClashes(opened), "") << command;
        opened->close();
        settle();
    }
}

}  // namespace
}  // namespace pw::test
