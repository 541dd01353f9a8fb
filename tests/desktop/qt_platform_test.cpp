#include "desktop/qt_platform.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// The dialog that opens next, as a person sees it before closing it.
struct SeenDialog final {
    QWidget* parent = nullptr;
    QRect frame;
    QRect buttons;  // the dialog's buttons, in screen coordinates
};

void closeNextDialog(SeenDialog& seen)
{
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen.parent = dialog->parentWidget();
        seen.frame = dialog->frameGeometry();
        if (auto* box = dialog->findChild<QDialogButtonBox*>())
            seen.buttons = QRect(box->mapToGlobal(QPoint(0, 0)), box->size());
        dialog->reject();
    });
}

TEST(QtPlatformTest, LongPromptsWrapOnScreenOverTheWindowTheyBelongTo)
{
    QMainWindow window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    QApplication::setActiveWindow(&window);
    const QRect smallScreen(0, 0, 1024, 768);
    const QString prompt = u"Enter the label positions to print, one or a range. "_s.repeated(25);
    QtPlatform platform;

    SeenDialog input;
    closeNextDialog(input);
    EXPECT_EQ(platform.inputBox(prompt, u"Label position"_s, {}), QString());
    EXPECT_EQ(input.parent, &window);
    EXPECT_LE(input.frame.width(), 700);
    EXPECT_TRUE(smallScreen.contains(input.buttons)) << "OK and Cancel off the screen";

    SeenDialog message;
    closeNextDialog(message);
    platform.message({prompt, u"Incorrect entry"_s});
    EXPECT_EQ(message.parent, &window);
    EXPECT_TRUE(smallScreen.contains(message.buttons));

    // A short text under a long title: the box is wide enough for the whole title.
    const QString title = u"Contact saved to the contacts file"_s;
    SeenDialog saved;
    closeNextDialog(saved);
    platform.message({u"S A V E D"_s, title});
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GT(saved.frame.width(), QFontMetrics(bold).horizontalAdvance(title) + 60);
}

TEST(QtPlatformTest, TheProgressDialogAppearsAfterHalfASecondAndItsCancelStopsTheTask)
{
    QMainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QtPlatform platform;
    QElapsedTimer clock;
    clock.start();
    auto progress = platform.startProgress(u"Importing"_s, u"Import Contacts"_s);
    auto shown = [] { return QApplication::activeModalWidget() != nullptr; };
    EXPECT_TRUE(progress->setProgress(1, 100));
    EXPECT_FALSE(shown()) << "a quick task flashed the dialog";

    // However slow the machine (the sanitizers slow it several times), the dialog comes after half a
    // second of work and not before.
    bool going = true;
    while (going && !shown() && clock.elapsed() < 20000)
        going = progress->setProgress(2, 100);
    EXPECT_TRUE(going) << "stopped without Cancel";
    ASSERT_TRUE(shown());
    EXPECT_GE(clock.elapsed(), 500) << "shown before half a second";
    auto* cancel = QApplication::activeModalWidget()->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_FALSE(progress->setProgress(3, 100));
}

TEST(QtPlatformTest, ForATaskOfTheEventLoopTheDialogComesByItselfAndCancelEndsTheTask)
{
    QMainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QtPlatform platform;
    auto progress = platform.startProgress(u"Importing contacts from example.org"_s, u"Import Contacts"_s);
    // As a window does: the task's end takes the dialog with it.
    bool ended = false;
    progress->cancelWith([&] {
        progress.reset();
        ended = true;
    });
    EXPECT_TRUE(progress->setProgress(0, 0));
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 20000));
    QApplication::activeModalWidget()->findChild<QPushButton*>()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 20000));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace pw
