#include "printing/label_sheet.h"

#include "data/text_rules.h"

#include <array>
#include <cmath>

namespace pw {
namespace {

// Print column by column index, for plain, bold, special and special-and-bold.
constexpr std::array<std::array<int, 3>, 4> kColumns = {{
    {2, 45, 89},
    {2, 41, 79},
    {4, 47, 91},
    {4, 43, 81},
}};

// Blank rows by row index. The steps alternate irregularly; the values were fitted to the sheet.
constexpr std::array<int, 10> kRows = {3, 9, 16, 23, 29, 36, 42, 49, 55, 62};

// In this order; only the first three set the paper size.
const std::array<QString, 4> kSpecialModels = {
    QStringLiteral("HP DeskJet 640C/642C/648C"),
    QStringLiteral("Officejet"),
    QStringLiteral("ENVY"),
    QStringLiteral("Photosmart"),
};

bool containsModel(QStringView deviceName, std::size_t models)
{
    for (std::size_t i = 0; i < models; ++i) {
        if (deviceName.contains(kSpecialModels[i], Qt::CaseSensitive))
            return true;
    }
    return false;
}

}  // namespace

bool SpecialPrinterModels::movesLabelColumns(QStringView deviceName)
{
    return containsModel(deviceName, 4);
}

bool SpecialPrinterModels::setsPaperSize(QStringView deviceName)
{
    return containsModel(deviceName, 3);
}

std::optional<LabelPlace> LabelPositionTable::place(double position, bool bold, QStringView deviceName)
{
    if (position < 1 || position > 30 || position != std::floor(position))
        return std::nullopt;
    const int p = static_cast<int>(position);
    const int variant = (SpecialPrinterModels::movesLabelColumns(deviceName) ? 2 : 0) + (bold ? 1 : 0);
    return LabelPlace{kColumns[variant][(p - 1) % 3], kRows[(p - 1) / 3]};
}

int centringSpaces(qsizetype length, int halfWidth)
{
    return static_cast<int>(roundHalfEven(halfWidth - length / 2.0));
}

}  // namespace pw
