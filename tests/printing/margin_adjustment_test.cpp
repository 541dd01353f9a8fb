#include "printing/margin_adjustment.h"

#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

const char kFile[] = "PWKPARAM.TXT";

class MarginAdjustmentTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    test::ScriptedPlatform platform{folder.path()};

    void SetUp() override
    {
        folder.write(kFile, "ONTHEFLY 0   0  \r\nENVELOPE 0   0  \r\nRETURNAD 0   0  \r\nBULKLIST 0   0  \r\n");
    }

    Status run(MarginKind kind) { return runMarginAdjustment(platform, kind, folder.file(kFile)); }

    QStringList titles() const
    {
        QStringList out;
        for (const Message& m : platform.messages)
            out.append(m.title);
        return out;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Message& m : platform.messages)
            out.append(m.text);
        return out;
    }
};

TEST_F(MarginAdjustmentTest, OnTheFlySequenceExplainsAsksChecksAndStores)
{
    for (const char* answer : {"1234", "x", "-2", "12345", "1.5"})
        platform.answerInput(QString::fromLatin1(answer));
    ASSERT_TRUE(run(MarginKind::OnTheFly));

    EXPECT_EQ(folder.read(kFile).left(18), QByteArray("ONTHEFLY -2  1.5\r\n"));
    EXPECT_EQ(titles(), (QStringList{"Left margin adjustment", "Non-valid entry", "Non-valid entry",
                                     "Top margin adjustment", "Non-valid entry", "Margin adjustment completed"}));
    const QStringList shown = texts();
    EXPECT_EQ(shown[0], u"In the next box, enter a positive or negative number indicating how many characters to the "
                        u"right or left you want to move the print for an On-The-Fly label.  Example: 1 to move "
                        u"printing one character to right, 2 to move printing two characters to right, -1 to move "
                        u"printing one character to left, etc.");
    EXPECT_EQ(shown[1], u"Number too high.");
    EXPECT_EQ(shown[2], u"Enter no. of characters to move right or left.");
    EXPECT_EQ(shown[3], u"In the next box, enter a positive or negative number indicating how many rows down or up "
                        u"you want to move the print for an On-The-Fly label.  Example: 1 to move printing one row "
                        u"lower, 2 to move printing two rows lower, -1 to move printing one row higher, etc.");
    EXPECT_EQ(shown[4], u"Number too high.");
    EXPECT_EQ(shown[5], u"D O N E !  Margin(s) for On-The-Fly labels adjusted successfully.");
    for (const Message& m : platform.messages) {
        EXPECT_EQ(m.icon, MessageIcon::None);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }

    ASSERT_EQ(platform.inputs.size(), 5);
    const test::ScriptedPlatform::InputCall left{
        "Enter number of characters, positive or negative, to move right or left, respectively:",
        "How many characters right or left?", ""};
    const test::ScriptedPlatform::InputCall top{
        "Enter number of rows, positive or negative, to move down or up, respectively:",
        "How many rows down or up?", ""};
    EXPECT_EQ(platform.inputs, (QList<test::ScriptedPlatform::InputCall>{left, left, left, top, top}));
}

TEST_F(MarginAdjustmentTest, AnEmptyLeftAmountSkipsTheTopExplanationAndTwoEmptyAmountsChangeNothing)
{
    platform.answerInput(QString());
    platform.answerInput(QStringLiteral("2"));
    ASSERT_TRUE(run(MarginKind::Envelope));
    EXPECT_EQ(titles(), (QStringList{"Left margin adjustment", "Margin adjustment completed"}));
    EXPECT_EQ(texts().last(), u"D O N E !  Margin(s) for Envelopes adjusted successfully.");
    EXPECT_EQ(folder.read(kFile).mid(18, 18), QByteArray("ENVELOPE 0   2  \r\n"));

    platform.messages.clear();
    const QByteArray before = folder.read(kFile);
    ASSERT_TRUE(run(MarginKind::Envelope));
    EXPECT_EQ(texts(), (QStringList{texts().first(), "No margin adjustment made."}));
    EXPECT_EQ(titles().last(), u"Margins not adjusted");
    EXPECT_EQ(folder.read(kFile), before);
}

TEST_F(MarginAdjustmentTest, ReturnAddressTopTakesOneRowAtATime)
{
    for (const char* answer : {"", "2", "-1.0", "1x", "+1"})
        platform.answerInput(QString::fromLatin1(answer));
    ASSERT_TRUE(run(MarginKind::ReturnAddress));
    EXPECT_EQ(texts().mid(1), (QStringList{"Cannot adjust by more than 1 row down or up.", "Number too high.",
                                           "Enter 1 or -1 to adjust printing down or up, respectively.",
                                           "D O N E !  Margin(s) for Return Address labels adjusted successfully."}));
    EXPECT_EQ(platform.inputs[1].prompt, u"Enter 1 or -1 to move rows down or up, respectively:");
    EXPECT_EQ(platform.inputs[1].title, u"Enter 1 to move printing down, -1 to move up");
    EXPECT_EQ(folder.read(kFile).mid(36, 18), QByteArray("RETURNAD 0   1  \r\n"));

    // -1 and 0 pass as well.
    for (const char* answer : {"", "-1", "", "0"})
        platform.answerInput(QString::fromLatin1(answer));
    ASSERT_TRUE(run(MarginKind::ReturnAddress));
    ASSERT_TRUE(run(MarginKind::ReturnAddress));
    EXPECT_EQ(folder.read(kFile).mid(36, 18), QByteArray("RETURNAD 0   0  \r\n"));
}

TEST_F(MarginAdjustmentTest, ATopBeyondWhatTheLabelsMoveIsNotStoredAsDone)
{
    // Search-result labels move at most 2 rows: a second 2 would be said done and print the same.
    for (const char* answer : {"", "3", "2", "", "2"})
        platform.answerInput(QString::fromLatin1(answer));
    ASSERT_TRUE(run(MarginKind::SearchResult));
    ASSERT_TRUE(run(MarginKind::SearchResult));
    EXPECT_EQ(texts()[1], u"Cannot adjust by more than 2 rows down or up.");
    EXPECT_EQ(texts().mid(4), (QStringList{u"Search-result labels move at most 2 rows down or up, and the stored top "
                                           u"margin is already 2.  The top margin was not adjusted."_s,
                                           u"No margin adjustment made."_s}));
    EXPECT_EQ(folder.read(kFile).mid(54, 18), QByteArray("BULKLIST 0   2  \r\n"));

    // Return-address labels move 1 row; the left amount given with a second +1 is still stored.
    platform.messages.clear();
    for (const char* answer : {"", "+1", "2", "+1"})
        platform.answerInput(QString::fromLatin1(answer));
    ASSERT_TRUE(run(MarginKind::ReturnAddress));
    ASSERT_TRUE(run(MarginKind::ReturnAddress));
    EXPECT_EQ(titles().mid(4), (QStringList{u"Top margin not adjusted"_s, u"Margin adjustment completed"_s}));
    EXPECT_EQ(folder.read(kFile).mid(36, 18), QByteArray("RETURNAD 2   1  \r\n"));
}

TEST_F(MarginAdjustmentTest, ASumTooLongForItsFieldIsRefusedWithoutTouchingTheFile)
{
    folder.write(kFile, "ONTHEFLY -99 0  \r\n");
    platform.answerInput(QStringLiteral("-9"));
    platform.answerInput(QStringLiteral("1"));
    ASSERT_TRUE(run(MarginKind::OnTheFly));
    EXPECT_EQ(texts().last(),
              u"The adjusted margin would be -108, which does not fit in 3 characters.  No margin adjustment made.");
    EXPECT_EQ(titles().last(), u"Margins not adjusted");
    EXPECT_EQ(folder.read(kFile), QByteArray("ONTHEFLY -99 0  \r\n"));
}

TEST_F(MarginAdjustmentTest, AStoredValueThatIsNotANumberIsReturnedAsAFailureAndNothingIsDone)
{
    folder.write(kFile, "ONTHEFLY 1x  0  \r\n");
    platform.answerInput(QStringLiteral("1"));
    platform.answerInput(QStringLiteral("1"));
    const Status status = run(MarginKind::OnTheFly);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().number, 13);
    EXPECT_FALSE(texts().last().startsWith(u"D O N E"));
    EXPECT_EQ(folder.read(kFile), QByteArray("ONTHEFLY 1x  0  \r\n"));
}

TEST_F(MarginAdjustmentTest, AFileThatCannotBeOpenedIsReturnedAsAFailure)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("dir")));
    platform.answerInput(QStringLiteral("1"));
    const Status status = runMarginAdjustment(platform, MarginKind::OnTheFly, folder.file(QStringLiteral("dir")));
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().number, EISDIR);
    EXPECT_EQ(titles().last(), u"Top margin adjustment");  // no closing message after a failure
}

}  // namespace
}  // namespace pw
