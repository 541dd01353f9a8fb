#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The documents as the build wrote them, read back with the PDF tools a user's viewer would match.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString document(const char* name)
{
    return QDir(QStringLiteral(POSTWICK_DOCUMENTS_DIR)).filePath(QString::fromLatin1(name));
}

int pages(const QString& pdf)
{
    const QString info = run(u"pdfinfo"_s, {pdf});
    const qsizetype at = info.indexOf(u"Pages:"_s);
    return at < 0 ? 0 : info.mid(at + 6).section(u'\n', 0, 0).trimmed().toInt();
}

// The text as laid out on the pages, its runs of blanks and line breaks folded to single spaces.
QString text(const QString& pdf)
{
    return run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).simplified();
}

TEST(DeliveredDocuments, TheManualHasItsChaptersAndPicturesThatShowSomething)
{
    const QString manual = document("pwkUman.pdf");
    EXPECT_GE(pages(manual), 10);
    EXPECT_LE(pages(manual), 20);
    const QString words = text(manual);
    for (const QString& title :
         {u"User Manual"_s, u"Version 6.4.0"_s, u"1. What Postwick is"_s, u"2. First start"_s,
          u"3. Printing labels on"_s, u"4. Envelopes"_s, u"5. Return-address labels"_s, u"6. Margins: measuring"_s,
          u"7. Contacts"_s, u"8. Importing and exporting"_s, u"9. Birthdays"_s, u"10. Troubleshooting"_s,
          u"How to measure a correction"_s, u"Birthdays of a month"_s})
        EXPECT_TRUE(words.contains(title)) << title.toStdString();

    // Eight pictures: seven windows and the sheet diagram, each with more than a few colours in it.
    QTemporaryDir images;
    run(u"pdfimages"_s, {u"-png"_s, manual, images.filePath(u"img"_s)});
    const QStringList files = QDir(images.path()).entryList({u"img-*.png"_s}, QDir::Files, QDir::Name);
    int pictures = 0;
    for (const QString& file : files) {
        const QImage image(images.filePath(file));
        if (image.width() < 64 || image.format() == QImage::Format_Grayscale8)
            continue;  // the soft masks of transparent pictures
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 5)
            for (int x = 0; x < image.width(); x += 5)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 10) << file.toStdString();
        ++pictures;
    }
    EXPECT_EQ(pictures, 8);
}

TEST(DeliveredDocuments, TheStateListHasEveryStateTerritoryAndMilitaryCode)
{
    const QString states = document("pwk_state_abbreviations.pdf");
    EXPECT_EQ(pages(states), 2);
    const QString words = text(states);
    EXPECT_TRUE(words.contains(u"Postal Abbreviations of the States and Territories"_s));
    for (const QString& entry : {u"Alabama AL"_s, u"Wyoming WY"_s, u"Puerto Rico PR"_s, u"Guam GU"_s, u"Palau PW"_s,
                                 u"state AE"_s, u"state AP"_s})
        EXPECT_TRUE(words.contains(entry)) << entry.toStdString();
    int codes = 0;
    for (const QString& word : words.split(u' '))
        codes += word.size() == 2 && word == word.toUpper() && word.at(0).isLetter() ? 1 : 0;
    EXPECT_GE(codes, 51 + 8 + 3);
}

}  // namespace
