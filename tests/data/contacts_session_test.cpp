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

// The presence mark: a second window on a file another window has current reads only and is told;
// once the first lets go, the file opens to write again.
TEST(ContactsSession, ASecondWindowOnAFileOpensItReadOnly)
{
    test::TestFolder folder;
    const QString path = folder.file(u"family.DAT"_s);
    ContactsSession first, second;
    const auto own = first.open(path, u"family"_s);
    ASSERT_TRUE(own && own->opened());
    EXPECT_FALSE(first.readOnly());
    ASSERT_TRUE(first.open(path, u"family"_s));
    EXPECT_FALSE(first.readOnly());

    const auto other = second.open(path, u"family"_s);
    ASSERT_TRUE(other && other->opened());
    EXPECT_TRUE(second.readOnly());
    EXPECT_EQ(other->message.value_or(Message{}).title, u"Open in another window");
    EXPECT_FALSE(second.file().append(ContactRecord{}));

    first.close();
    ASSERT_TRUE(second.open(path, u"family"_s));
    EXPECT_FALSE(second.readOnly());
    EXPECT_TRUE(second.file().append(ContactRecord{}));
}

}  // namespace
}  // namespace pw
