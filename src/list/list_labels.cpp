#include "list/list_labels.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/font_grid.h"
#include "printing/label_sheet.h"
#include "printing/overflow.h"
#include "printing/print_surface.h"
#include "printing/sheet_fit.h"
#include "printing/sheet_outlines.h"

#include <algorithm>

namespace pw {
namespace {

constexpr int kLabelsPerSheet = 30;
constexpr int kLabelsAcross = 3;
constexpr double kLabelRowPitch = 1.0;  // inches from one row of labels to the next

const QString kLabelFont = QStringLiteral("Verdana");

// The lines of one label, top to bottom. A full row of labels puts the company line under the
// name; the last one or two labels of a list put it above. A contact without an address gets its
// name alone, not blank or lone-comma lines.
QStringList labelLines(const LabelAddress& a, bool companyFirst)
{
    QStringList lines;
    if (companyFirst && a.hasCompany())
        lines << a.company;
    lines << a.name;
    if (!companyFirst && a.hasCompany())
        lines << a.company;
    for (const QString& line : {a.street, a.city, a.country}) {
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

// Where the first row of labels starts below the grid's top: the layout's three Verdana 9 rows and
// the user's row correction.
double firstRowInches(const ListLabelStyle& style)
{
    return std::max(0, 3 + style.correction.top) * rowInches(kLabelFont, 9);
}

}  // namespace

LabelAddress labelAddress(const ContactRecord& r, QStringView homeCountry)
{
    LabelAddress a;
    a.name = r.MiddleInitial.isEmpty() ? QString(r.FirstName + u' ' + r.LastName)
                                       : QString(r.FirstName + u' ' + r.MiddleInitial + u' ' + r.LastName);
    if (r.IncludeCompany == u"1")
        a.company = r.Company;
    a.street = r.Street2.isEmpty() ? r.Street1 : trimBlanks(QString(r.Street1 + u' ' + r.Street2));
    a.city = cityLine(r.City, r.State, r.Zip);
    a.country = countryLine(r.Country, homeCountry);
    return a;
}

std::array<int, 3> listLabelColumns(QStringView deviceName, const ListLabelStyle& style)
{
    // Three of the special models print these labels two columns further right; the first of
    // SpecialPrinterModels does not.
    bool special = false;
    for (const char16_t* model : {u"Officejet", u"ENVY", u"Photosmart"})
        special = special || deviceName.contains(QStringView(model), Qt::CaseSensitive);
    const int base = (special ? 4 : 2) + style.correction.left;
    return style.bold ? std::array<int, 3>{base, base + 39, base + 76} : std::array<int, 3>{base, base + 44, base + 87};
}

void printListLabelsJob(PrintSurface& surface, const std::vector<LabelAddress>& addresses, const ListLabelStyle& style,
                        int firstPosition)
{
    // Label stock is US Letter whatever paper the printer defaults to.
    surface.setPaperSize(PaperSize::Letter);
    surface.setFontName(kLabelFont);
    surface.setFontSize(9);
    surface.setBold(style.bold);
    surface.setItalic(style.italic);
    const std::array<int, 3> columns = listLabelColumns(surface.deviceName(), style);
    const double firstRow = firstRowInches(style);

    // The used positions of a partly used sheet stay blank; every label is placed from its own
    // origin, so nothing printed for one label can move another.
    const std::size_t skipped = std::clamp(firstPosition, 1, kLabelsPerSheet) - 1;
    const std::size_t count = skipped + addresses.size();
    const std::size_t lastRowStart = count - (count % kLabelsAcross == 0 ? kLabelsAcross : count % kLabelsAcross);
    const QList<QRectF> outlines = labelSheetOutlines();
    for (std::size_t i = skipped; i < count; ++i) {
        const std::size_t onSheet = i % kLabelsPerSheet;
        // A new sheet only for a label that follows: one after the last label would feed a blank
        // sheet of label stock whenever the count is a multiple of 30.
        if (onSheet == 0 && i > 0)
            surface.newPage();
        surface.homeAt(firstRow + static_cast<double>(onSheet / kLabelsAcross) * kLabelRowPitch);
        surface.setFrame(outlines[static_cast<qsizetype>(onSheet)]);
        const bool partialRow = i >= lastRowStart && count % kLabelsAcross != 0;
        for (const QString& line : labelLines(addresses[i - skipped], partialRow))
            surface.printLine({PrintItem::tab(columns[onSheet % kLabelsAcross]), PrintItem::textItem(line)});
    }
}

Message emptyListMessage()
{
    return {QStringLiteral("Empty list, no labels to print."), QStringLiteral("No contacts found")};
}

PrintOutcome printListLabels(Platform& platform, const std::vector<LabelAddress>& addresses,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition,
                             const std::function<bool(const QList<Overflow>&)>& goAhead)
{
    const Expected<MarginSettings> margins = readMarginSettings(parameterFile);
    if (!margins) {
        platform.message(printerProblem());
        return PrintOutcome::Failed;
    }
    if (addresses.empty()) {
        platform.message(emptyListMessage());
        return PrintOutcome::Cancelled;
    }
    const ListLabelStyle style{bold, italic, margins->pair(MarginKind::SearchResult)};
    const auto job = [&](PrintSurface& surface) {
        surface.setOrientation(PageOrientation::Portrait);
        printListLabelsJob(surface, addresses, style, firstPosition);
    };
    PrintSurface& printer = platform.printer();
    const QList<ProbedText> texts = probeJob(job, printer.measure());
    const QList<QRectF> outlines = labelSheetOutlines();
    if (const std::optional<Message> problem = belowSheetProblem(texts, outlines)) {
        platform.message(*problem);
        return PrintOutcome::Cancelled;
    }
    if (const QList<Overflow> overflows = overflowsOf(texts, outlines); !overflows.isEmpty()) {
        const bool go = goAhead ? goAhead(overflows)
                                : platform.message(overflowQuestion(overflows)) == MessageResult::Yes;
        if (!go)
            return PrintOutcome::Cancelled;
    }
    printer.setFontName(QStringLiteral("Verdana"));
    printer.setFontSize(9);
    printer.setItalic(false);
    return printCopies(platform, PrintDialogRequest{.printToFile = true, .labelSheet = true}, job);
}

}  // namespace pw
