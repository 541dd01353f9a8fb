#include "data/contacts_session.h"

#include "support/test_folder.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

TEST(ContactsSession, ARefusedFileLeavesTheCurrentOneItsPathAndTitleAndCloseClearsThem)
{
    test::TestFolder folder;
    folder.write(u"notes.DAT"_s, "Shopping list: milk, eggs, bread, and some apples.\r\n");
    ContactsSession session;
    ASSERT_TRUE(session.open(folder.file(u"family.DAT"_s), u"family"_s));

    const auto refused = session.open(folder.file(u"notes.DAT"_s), u"notes"_s);
    ASSERT_TRUE(refused);
    EXPECT_FALSE(refused->opened());
    EXPECT_EQ(session.path(), folder.file(u"family.DAT"_s));
    EXPECT_EQ(session.title(), u"family");
    EXPECT_TRUE(session.file().isOpen());

    session.close();
    EXPECT_FALSE(session.file().isOpen());
    EXPECT_TRUE(session.path().isEmpty());
    EXPECT_TRUE(session.title().isEmpty());
}

}  // namespace
}  // namespace pw
