#include "printing/margin_settings.h"

#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pw {
namespace {

// One 18-byte record: key, separator, left, separator, top, line end.
QByteArray record(const char* key, const char* left, const char* top, char sep8 = ' ', char sep12 = ' ',
                  const char* end = "\r\n")
{
    return QByteArray(key).leftJustified(8, ' ') + sep8 + QByteArray(left).leftJustified(3, ' ') + sep12
           + QByteArray(top).leftJustified(3, ' ') + end;
}

QByteArray deliveredFile()
{
    return record("ONTHEFLY", "0", "0") + record("ENVELOPE", "0", "0") + record("RETURNAD", "0", "0")
           + record("BULKLIST", "0", "0");
}

class MarginFileTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    QString path = folder.file(QStringLiteral("PWKPARAM.TXT"));
};

TEST_F(MarginFileTest, AMissingFileIsCreatedEmptyAndEveryKindReadsZero)
{
    auto settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")).size(), 0);
    for (MarginKind kind : {MarginKind::OnTheFly, MarginKind::Envelope, MarginKind::ReturnAddress,
                            MarginKind::SearchResult})
        EXPECT_EQ(settings->pair(kind), (MarginPair{0, 0}));

    // An adjustment finds no record and stores nothing.
    auto adjusted = adjustMargins(path, MarginKind::OnTheFly, 2, 2);
    ASSERT_TRUE(adjusted);
    EXPECT_EQ(adjusted->recordsChanged, 0);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")).size(), 0);
}

TEST_F(MarginFileTest, AdjustmentsAddToTheStoredValuesAndReadersRoundHalvesToEven)
{
    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ONTHEFLY", "1", "0") + record("ENVELOPE", "-9", "0")
                                                     + record("RETURNAD", "0", "2.5") + record("BULKLIST", "0", "0"));
    ASSERT_TRUE(adjustMargins(path, MarginKind::OnTheFly, -1, 2));
    ASSERT_TRUE(adjustMargins(path, MarginKind::Envelope, -9, std::nullopt));
    ASSERT_TRUE(adjustMargins(path, MarginKind::SearchResult, 1.5, std::nullopt));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")),
              record("ONTHEFLY", "0", "2") + record("ENVELOPE", "-18", "0") + record("RETURNAD", "0", "2.5")
                  + record("BULKLIST", "1.5", "0"));

    auto settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->pair(MarginKind::OnTheFly), (MarginPair{0, 2}));
    EXPECT_EQ(settings->pair(MarginKind::Envelope), (MarginPair{-18, 0}));
    EXPECT_EQ(settings->pair(MarginKind::ReturnAddress), (MarginPair{0, 2}));
    EXPECT_EQ(settings->pair(MarginKind::SearchResult), (MarginPair{2, 0}));
}

TEST_F(MarginFileTest, EveryRecordOfAKeyIsAdjustedAndTheLaterOneIsRead)
{
    // The last record lacks its line end and still counts (34 bytes make 2 records).
    folder.write(QStringLiteral("PWKPARAM.TXT"),
                 record("ONTHEFLY", "1", "1") + record("ONTHEFLY", "5", "-3").left(16));
    ASSERT_TRUE(adjustMargins(path, MarginKind::OnTheFly, 1, std::nullopt));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")),
              record("ONTHEFLY", "2", "1") + record("ONTHEFLY", "6", "-3").left(16));
    auto settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->pair(MarginKind::OnTheFly), (MarginPair{6, -3}));
}

TEST_F(MarginFileTest, KeysMatchCaseSensitivelyAndSeparatorsAndLineEndsStayAsRead)
{
    const QByteArray untouched = record("onthefly", "7", "7");
    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ONTHEFLY", "0", "0", '|', ':', "XY") + untouched);
    ASSERT_TRUE(adjustMargins(path, MarginKind::OnTheFly, 3, -2));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), record("ONTHEFLY", "3", "-2", '|', ':', "XY") + untouched);
}

TEST_F(MarginFileTest, ASumThatDoesNotFitItsFieldLeavesTheFileAsItWas)
{
    // The first record would fit; the second would need four characters, so neither is written.
    const QByteArray before = deliveredFile() + record("ONTHEFLY", "-99", "0");
    folder.write(QStringLiteral("PWKPARAM.TXT"), before);
    ASSERT_TRUE(adjustMargins(path, MarginKind::Envelope, 1, std::nullopt));  // unrelated kinds still work
    const QByteArray afterEnvelope = folder.read(QStringLiteral("PWKPARAM.TXT"));

    auto adjusted = adjustMargins(path, MarginKind::OnTheFly, -9, std::nullopt);
    ASSERT_TRUE(adjusted);
    EXPECT_EQ(adjusted->valueTooLong, u"-108");
    EXPECT_EQ(adjusted->recordsChanged, 0);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), afterEnvelope);

    adjusted = adjustMargins(path, MarginKind::Envelope, 0.25, std::nullopt);
    ASSERT_TRUE(adjusted);
    EXPECT_EQ(adjusted->valueTooLong, u"1.25");
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), afterEnvelope);
}

TEST_F(MarginFileTest, FailuresReachTheCaller)
{
    // A stored value far beyond any column is not a usable correction.
    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ENVELOPE", "9e9", "0"));
    auto settings = readMarginSettings(path);
    ASSERT_FALSE(settings);
    EXPECT_EQ(settings.error().number, 6);

    const QString folderPath = folder.file(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(folderPath));
    EXPECT_FALSE(readMarginSettings(folderPath));
    EXPECT_FALSE(adjustMargins(folderPath, MarginKind::OnTheFly, 1, std::nullopt));
}

}  // namespace
}  // namespace pw
