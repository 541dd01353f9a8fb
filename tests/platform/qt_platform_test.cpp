#include "platform/qt_platform.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMainWindow>
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
}

}  // namespace
}  // namespace pw
