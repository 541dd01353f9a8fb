#include "printing/margin_settings.h"

#include "program/app_files.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

// The file as delivered; earlier versions held a list-label top of -1, which the layout now holds.
QByteArray deliveredFile(const char* listLabelTop = "0")
{
    return record("ONTHEFLY", "0", "0") + record("ENVELOPE", "0", "0") + record("RETURNAD", "0", "0")
           + record("BULKLIST", "0", listLabelTop);
}

class MarginFileTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    QString path = folder.file(QStringLiteral("PWKPARAM.TXT"));
};

TEST_F(MarginFileTest, AKindWithoutARecordReadsZeroAndAnAdjustmentAddsItsRecord)
{
    // Reading an absent file finds no record and creates nothing.
    auto settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_FALSE(QFile::exists(path));
    for (MarginKind kind : {MarginKind::OnTheFly, MarginKind::Envelope, MarginKind::ReturnAddress,
                            MarginKind::SearchResult})
        EXPECT_EQ(settings->pair(kind), (MarginPair{0, 0}));

    auto adjusted = adjustMargins(path, MarginKind::OnTheFly, 2, std::nullopt);
    ASSERT_TRUE(adjusted);
    EXPECT_EQ(adjusted->recordsChanged, 1);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), record("ONTHEFLY", "2", "0"));

    // After a last record cut short of its line end, the added record still starts on a boundary.
    const QByteArray cut = record("RETURNAD", "1", "1").left(16);
    folder.write(QStringLiteral("PWKPARAM.TXT"), cut);
    ASSERT_TRUE(adjustMargins(path, MarginKind::SearchResult, std::nullopt, 1.5));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), cut + "\r\n" + record("BULKLIST", "0", "1.5"));
    settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->pair(MarginKind::SearchResult), (MarginPair{0, 2}));
    EXPECT_EQ(settings->pair(MarginKind::Envelope), (MarginPair{0, 0}));

    // Nothing to add: nothing written.
    ASSERT_TRUE(adjustMargins(path, MarginKind::Envelope, std::nullopt, std::nullopt));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")).size(), 2 * 18);
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

TEST_F(MarginFileTest, AStoredValueThatIsNotANumberIsAFailureAndBlanksReadAsZero)
{
    const QByteArray before = record("ONTHEFLY", "", "1") + record("ENVELOPE", "x1", "0");
    folder.write(QStringLiteral("PWKPARAM.TXT"), before);
    auto settings = readMarginSettings(path);
    ASSERT_FALSE(settings);
    EXPECT_EQ(settings.error(),
              (FileError{13, QStringLiteral("Type mismatch: the ENVELOPE margin \"x1\" in PWKPARAM.TXT is not a number")}));
    // The adjustment refuses even when only the other value of the record would change.
    auto adjusted = adjustMargins(path, MarginKind::Envelope, std::nullopt, 1);
    ASSERT_FALSE(adjusted);
    EXPECT_EQ(adjusted.error().number, 13);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), before);

    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ONTHEFLY", "", "1") + record("ENVELOPE", "1e2", "0"));
    settings = readMarginSettings(path);
    ASSERT_FALSE(settings);
    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ONTHEFLY", "", " 1"));
    settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->pair(MarginKind::OnTheFly), (MarginPair{0, 1}));
}

// An empty file, one of other text, or one cut inside its values holds no corrections to print
// with: printing goes on without them, and a window says so once in a run.
TEST_F(MarginFileTest, AFileWithNoCorrectionsToReadIsNamedOnceAndPrintsWithout)
{
    const auto unreadable = [&](const QByteArray& bytes) {
        folder.write(QStringLiteral("PWKPARAM.TXT"), bytes);
        return readMarginSettings(path).value().unreadable;
    };
    EXPECT_TRUE(unreadable(""));
    EXPECT_TRUE(unreadable("<html><body>Not Found</body></html>\n"));
    EXPECT_TRUE(unreadable(deliveredFile() + record("ONTHEFLY", "2", "2").left(11)));
    EXPECT_FALSE(unreadable(deliveredFile()));
    EXPECT_FALSE(unreadable(deliveredFile().chopped(2)));  // only the line end missing
    EXPECT_FALSE(unreadable(deliveredFile() + "\n"));
    EXPECT_FALSE(readMarginSettings(folder.file(QStringLiteral("absent.TXT"))).value().unreadable);

    folder.write(QStringLiteral("PWKPARAM.TXT"), "");
    test::ScriptedPlatform platform(folder.path());
    for (int print = 0; print < 2; ++print)
        EXPECT_TRUE(correctionsForPrint(platform, path));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text,
              path + QStringLiteral(": margin corrections could not be read: printing without them."));
}

TEST_F(MarginFileTest, AFolderInPlaceOfTheFileIsAFailure)
{
    const QString folderPath = folder.file(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(folderPath));
    EXPECT_FALSE(readMarginSettings(folderPath));
    EXPECT_FALSE(adjustMargins(folderPath, MarginKind::OnTheFly, 1, std::nullopt));
}

// A file the program may not write: read-only for an ordinary user, immutable for root.
class UnwritableFile final {
public:
    explicit UnwritableFile(const QString& path) : path_(path)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (::geteuid() == 0)
            immutable_ = setImmutable(true);
    }
    ~UnwritableFile()
    {
        if (immutable_)
            setImmutable(false);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    }
    bool holds() const { return ::access(QFile::encodeName(path_).constData(), W_OK) != 0 || immutable_; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }
    QString path_;
    bool immutable_ = false;
};

TEST_F(MarginFileTest, AParameterFileThatCannotBeWrittenStillReads)
{
    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ONTHEFLY", "1", "-1"));
    UnwritableFile unwritable(path);
    if (!unwritable.holds())
        GTEST_SKIP() << "this file system lets every write through";
    auto settings = readMarginSettings(path);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->pair(MarginKind::OnTheFly), (MarginPair{1, -1}));
    EXPECT_FALSE(adjustMargins(path, MarginKind::OnTheFly, 1, std::nullopt));
}

// Start-up puts the delivered file back when it is missing or empty, and leaves any other alone.
TEST_F(MarginFileTest, TheListLabelRowOfAnEarlierDeliveredFileMovesIntoTheLayoutOnce)
{
    test::ScriptedPlatform platform(folder.path());
    // A pair the user set stays: it is the printer's offset.
    folder.write(QStringLiteral("PWKPARAM.TXT"), deliveredFile("-2"));
    moveListLabelRowIntoLayout(platform, path);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), deliveredFile("-2"));

    test::ScriptedPlatform fresh(folder.path());
    folder.write(QStringLiteral("PWKPARAM.TXT"), deliveredFile("-1"));
    moveListLabelRowIntoLayout(fresh, path);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), deliveredFile());
    // Once: a -1 the user sets afterwards is theirs.
    folder.write(QStringLiteral("PWKPARAM.TXT"), deliveredFile("-1"));
    moveListLabelRowIntoLayout(fresh, path);
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), deliveredFile("-1"));
}

TEST_F(MarginFileTest, TheDeliveredFileIsRestoredWhenMissingOrEmpty)
{
    ASSERT_TRUE(prepareApplicationFolder(folder.path()));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), deliveredFile());
    folder.write(QStringLiteral("PWKPARAM.TXT"), {});
    ASSERT_TRUE(prepareApplicationFolder(folder.path()));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), deliveredFile());
    folder.write(QStringLiteral("PWKPARAM.TXT"), record("ONTHEFLY", "3", "0"));
    ASSERT_TRUE(prepareApplicationFolder(folder.path()));
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), record("ONTHEFLY", "3", "0"));
}

}  // namespace
}  // namespace pw
