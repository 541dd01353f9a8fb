#include "support/main_window_fixture.h"

#include <QAction>
#include <QFile>

namespace pw::test {
namespace {

TEST_F(MainWindowTest, FirstStartCreatesAnEmptyDefaultFileAndTheParameterFile)
{
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(QFile::exists(folder.file("PWK_Contacts.DAT")));
    EXPECT_EQ(folder.read("PWK_Contacts.DAT").size(), 0);
    EXPECT_EQ(folder.read("PWKPARAM.TXT").size(), 72);
    EXPECT_EQ(window->windowTitle(), u"Postwick");
    EXPECT_FALSE(find<QAction>("mnuFileBdayOn")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuFileBdayOff")->isEnabled());
}

}  // namespace
}  // namespace pw::test
