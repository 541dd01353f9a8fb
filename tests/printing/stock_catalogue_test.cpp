#include "printing/stock_catalogue.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

constexpr double kMm = 1 / 25.4;

// The sheets as their makers publish them: page, labels, label size, first label's corner and the
// pitch, in millimetres for the A4 sheets and inches for the Letter ones.
void expectSheet(const LabelStock* stock, QSizeF page, int labels, QSizeF label, QPointF first, QSizeF pitch,
                 double unit)
{
    ASSERT_TRUE(stock);
    SCOPED_TRACE(stock->name.toStdString());
    EXPECT_NEAR(stock->page.width(), page.width(), 0.01);
    EXPECT_NEAR(stock->page.height(), page.height(), 0.01);
    const QList<QRectF> outlines = stock->outlines();
    ASSERT_EQ(outlines.size(), labels);
    EXPECT_NEAR(outlines[0].width(), label.width() * unit, 0.005);
    EXPECT_NEAR(outlines[0].height(), label.height() * unit, 0.005);
    EXPECT_NEAR(outlines[0].left(), first.x() * unit, 0.005);
    EXPECT_NEAR(outlines[0].top(), first.y() * unit, 0.005);
    EXPECT_NEAR(outlines[1].left() - outlines[0].left(), pitch.width() * unit, 0.005);
    EXPECT_NEAR(outlines.last().top() - outlines.first().top(),
                (outlines.size() / stock->across - 1) * pitch.height() * unit, 0.01);
}

TEST(StockCatalogue, TheInstalledCollectionGivesTheMakersSheets)
{
    if (!QDir(QString::fromLatin1(kTemplateFolder)).exists())
        GTEST_SKIP() << "the label template collection is not installed";
    const QList<LabelStock>& all = installedStocks();
    const auto find = [&all](const char* text) { return findStock(all, QString::fromUtf8(text)).stock; };

    // The built-in sheets stay as they are, under their memories; their other numbers share them.
    EXPECT_EQ(find("5160")->caption, u"5160: 30 labels, 2 5/8 x 1 in");
    EXPECT_EQ(find("8160")->outlines(), labelSheetOutlines());
    EXPECT_EQ(find("8160")->memoryKey, u"Sheet30");
    EXPECT_EQ(find("5163")->outlines(), labelStockNamed(u"5163")->outlines());
    EXPECT_EQ(find("18167")->outlines(), returnAddressOutlines());

    expectSheet(find("L7160"), kA4Inches, 21, {63.5, 38.1}, {7.21, 15.15}, {66.04, 38.1}, kMm);
    expectSheet(find("J8160"), kA4Inches, 21, {63.5, 38.1}, {7.21, 15.15}, {66.04, 38.1}, kMm);
    expectSheet(find("L7163"), kA4Inches, 14, {99.1, 38.1}, {4.65, 15.15}, {101.6, 38.1}, kMm);
    expectSheet(find("zweckform 3475"), kA4Inches, 24, {70, 36}, {0, 4.5}, {70, 36}, kMm);
    expectSheet(find("5159"), kLetterInches, 14, {4, 1.5}, {0.15625, 0.25}, {4.1875, 1.5}, 1);
    // The return label under this number, not the round one the collection has.
    expectSheet(find("5195"), kLetterInches, 60, {1.75, 2 / 3.}, {0.28125, 0.5}, {2.0625, 2 / 3.}, 1);
    EXPECT_EQ(find("L7160")->caption, u"Avery L7160: 21 labels, 2.5 x 1.5 in (63.5 x 38.1 mm), A4");

    // A sheet of three grids numbers its labels across, then down.
    const LabelStock* grids = find("JAC 987349-2");
    ASSERT_TRUE(grids);
    QList<QPointF> corners;
    for (const QRectF& label : grids->outlines())
        corners.append(label.topLeft() / kMm);
    ASSERT_EQ(corners.size(), 5);
    EXPECT_NEAR(corners[1].y(), 44.5, 0.01);
    EXPECT_NEAR(corners[2].x(), 5.5, 0.01);
    EXPECT_NEAR(corners[3].y(), 216.5, 0.01);

    // Business cards, discs and round labels are no address stocks; nor is a search for nothing.
    for (const char* other : {"Avery 5371", "Avery 5931", "Avery 5294", "Avery 8293", ""})
        EXPECT_FALSE(find(other)) << other;
    // Typing a size finds its stocks.
    EXPECT_TRUE(stockMatches(*find("L7163"), u"99.1 x 38.1"));
}

TEST(StockCatalogue, TemplatesAreReadByTheirUnitsPagesAndAliases)
{
    StockTemplates templates;
    templates.read(R"(<Glabels-templates>
      <Template brand="Acme" part="A1" size="Other" width="210mm" height="297mm">
        <Label-rectangle width="2in" height="72" round="0">
          <Layout nx="2" ny="2" x0="36" y0="0.5in" dx="3in" dy="25.4mm"/>
          <Layout nx="1" ny="1" x0="6in" y0="0.5in"/>
        </Label-rectangle>
      </Template>
      <Template brand="Acme" part="A2" equiv="A1"/>
      <Template brand="Acme" part="A1" size="US-Letter">
        <Label-rectangle width="4in" height="1in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle>
      </Template>
      <Template brand="Acme" part="Tiny" size="A4">
        <Label-rectangle width="1in" height="0.5in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle>
      </Template>
      <Template brand="Acme" part="Card" size="A4"><Meta category="business-card"/>
        <Label-rectangle width="3.5in" height="2in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle>
      </Template>
      <Template brand="Acme" part="Disc" size="A4">
        <Label-round radius="2in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-round>
      </Template>
      <Template brand="Acme" part="Roll" size="Other" width="2in" height="100in">
        <Label-rectangle width="2in" height="1in"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle>
      </Template>
    </Glabels-templates>)");
    templates.read("not a template file");
    const QList<LabelStock> stocks = templates.stocks();
    ASSERT_EQ(stocks.size(), 2);
    const LabelStock& a1 = stocks[0];
    EXPECT_EQ(a1.name, u"Acme A1");
    EXPECT_EQ(a1.page, kA4Inches);
    EXPECT_EQ(a1.memoryKey, u"Sheet-Acme A1");
    EXPECT_EQ(a1.outlines(), (QList<QRectF>{{0.5, 0.5, 2, 1}, {3.5, 0.5, 2, 1}, {6, 0.5, 2, 1}, {0.5, 1.5, 2, 1},
                                            {3.5, 1.5, 2, 1}}));
    EXPECT_EQ(stocks[1].name, u"Acme A2");
    EXPECT_EQ(stocks[1].outlines(), a1.outlines());

    // A part two makers sell alike is one sheet; sold as different sheets, the maker must be named.
    QList<LabelStock> two = {a1, a1, stocks[1]};
    two[1].name = u"Other A1"_s;
    two[1].part = u"A1"_s;
    EXPECT_EQ(findStock(two, u"a1").stock, &two[0]);
    two[1].first.setY(1);
    EXPECT_FALSE(findStock(two, u"A1").stock);
    EXPECT_EQ(findStock(two, u"A1").candidates, (QStringList{u"Acme A1"_s, u"Other A1"_s}));
    EXPECT_EQ(findStock(two, u"other a1").stock, &two[1]);
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST(StockCatalogue, AFirstStartOffersTheSheetOfTheHomeCountrysPaper)
{
    QList<LabelStock> catalogue = labelStocks();
    const auto home = [&catalogue](QLocale::Language language, QLocale::Territory territory) {
        return homeListStock(catalogue, QLocale(language, territory)).name;
    };
    // Without an A4 address sheet in the catalogue, the 30-label sheet everywhere.
    EXPECT_EQ(home(QLocale::German, QLocale::Germany), u"5160");
    catalogue.append(labelStocks().front());
    catalogue.last().name = QStringLiteral("Avery L7160");
    catalogue.last().page = kA4Inches;
    EXPECT_EQ(home(QLocale::German, QLocale::Germany), u"Avery L7160");
    EXPECT_EQ(home(QLocale::English, QLocale::UnitedKingdom), u"Avery L7160");
    EXPECT_EQ(home(QLocale::English, QLocale::UnitedStates), u"5160");
    EXPECT_EQ(home(QLocale::French, QLocale::Canada), u"5160");
    EXPECT_EQ(home(QLocale::Spanish, QLocale::Mexico), u"5160");
    EXPECT_EQ(homeListStock(catalogue, QLocale::c()).name, u"5160");
}

}  // namespace
}  // namespace pw
