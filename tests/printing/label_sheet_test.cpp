#include "printing/label_sheet.h"
#include "printing/sheet_outlines.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(LabelSheet, PositionsTakeTheirColumnAndRowFromTheTable)
{
    const QString plain = QStringLiteral("Office Laser");
    EXPECT_EQ(LabelPositionTable::place(1, false, plain), (LabelPlace{2, 3}));
    EXPECT_EQ(LabelPositionTable::place(5, false, plain), (LabelPlace{45, 9}));
    EXPECT_EQ(LabelPositionTable::place(5, true, plain), (LabelPlace{41, 9}));
    EXPECT_EQ(LabelPositionTable::place(30, false, plain), (LabelPlace{89, 62}));
    EXPECT_EQ(LabelPositionTable::place(30, true, plain), (LabelPlace{79, 62}));
    EXPECT_EQ(LabelPositionTable::place(16, false, plain), (LabelPlace{2, 36}));

    const QString officejet = QStringLiteral("HP Officejet Pro 8600");
    EXPECT_EQ(LabelPositionTable::place(30, false, officejet), (LabelPlace{91, 62}));
    EXPECT_EQ(LabelPositionTable::place(30, true, officejet), (LabelPlace{81, 62}));
    EXPECT_EQ(LabelPositionTable::place(28, false, officejet), (LabelPlace{4, 62}));
    EXPECT_EQ(LabelPositionTable::place(28, true, officejet), (LabelPlace{4, 62}));
    EXPECT_EQ(LabelPositionTable::place(2, true, officejet), (LabelPlace{43, 3}));

    // Only whole positions of the sheet have a place.
    EXPECT_EQ(LabelPositionTable::place(0, false, plain), std::nullopt);
    EXPECT_EQ(LabelPositionTable::place(31, false, plain), std::nullopt);
    EXPECT_EQ(LabelPositionTable::place(2.5, false, plain), std::nullopt);
    EXPECT_EQ(LabelPositionTable::place(-3, false, plain), std::nullopt);
}

TEST(LabelSheet, PrinterModelsMatchAsCaseSensitiveFragmentsAtTheirTestPoints)
{
    EXPECT_TRUE(SpecialPrinterModels::movesLabelColumns(u"HP Officejet Pro 8600"));
    EXPECT_FALSE(SpecialPrinterModels::movesLabelColumns(u"HP OFFICEJET PRO"));
    EXPECT_TRUE(SpecialPrinterModels::movesLabelColumns(u"HP DeskJet 640C/642C/648C Series"));
    EXPECT_TRUE(SpecialPrinterModels::movesLabelColumns(u"HP ENVY 5540"));

    // Photosmart moves label columns but sets no paper size and does not move envelopes.
    EXPECT_TRUE(SpecialPrinterModels::movesLabelColumns(u"Photosmart C4280"));
    EXPECT_FALSE(SpecialPrinterModels::setsPaperSize(u"Photosmart C4280"));
    EXPECT_TRUE(SpecialPrinterModels::setsPaperSize(u"HP ENVY 5540"));
    EXPECT_TRUE(SpecialPrinterModels::setsPaperSize(u"Officejet"));
    EXPECT_FALSE(SpecialPrinterModels::setsPaperSize(u"HP DeskJet 640C"));
}

TEST(LabelSheet, CentringRoundsHalvesToEven)
{
    EXPECT_EQ(centringSpaces(7, 18), 14);
    EXPECT_EQ(centringSpaces(5, 18), 16);  // 15.5
    EXPECT_EQ(centringSpaces(9, 18), 14);  // 13.5
    EXPECT_EQ(centringSpaces(3, 18), 16);  // 16.5
    EXPECT_EQ(centringSpaces(1, 18), 18);  // 17.5
    EXPECT_EQ(centringSpaces(0, 18), 18);
    EXPECT_EQ(centringSpaces(40, 18), -2);
    EXPECT_EQ(centringSpaces(5, 12), 10);  // 9.5
    EXPECT_EQ(centringSpaces(10, 12), 7);
}

TEST(LabelSheet, EveryStockLiesOnLetterWithEvenMarginsAndLabelsApart)
{
    const QList<std::tuple<const char*, int, int, QSizeF>> published = {
        {"5160", 3, 10, {2.625, 1}}, {"5161", 2, 10, {4, 1}},       {"5162", 2, 7, {4, 4.0 / 3}},
        {"5163", 2, 5, {4, 2}},      {"5164", 2, 3, {4, 10.0 / 3}},
    };
    ASSERT_EQ(labelStocks().size(), published.size());
    for (const auto& [name, across, down, size] : published) {
        const LabelStock* stock = labelStockNamed(QString::fromLatin1(name));
        ASSERT_TRUE(stock) << name;
        const QList<QRectF> labels = stock->outlines();
        ASSERT_EQ(labels.size(), across * down) << name;
        EXPECT_EQ(labels.first().size(), size) << name;
        // The margins left and right, and top and bottom, are the same: the sheet is centred.
        EXPECT_NEAR(labels.first().left(), 8.5 - labels.last().right(), 1e-9) << name;
        EXPECT_NEAR(labels.first().top(), 11 - labels.last().bottom(), 1e-9) << name;
        for (qsizetype i = 0; i < labels.size(); ++i) {
            for (qsizetype j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i].intersects(labels[j])) << name << " labels " << i + 1 << ", " << j + 1;
        }
    }
    EXPECT_EQ(labelStocks().front().outlines(), labelSheetOutlines());
    EXPECT_FALSE(labelStockNamed(u"8160"));
}

}  // namespace
}  // namespace pw
