#include "list/list_labels.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/font_grid.h"
#include "printing/grid_cursor.h"
#include "printing/label_sheet.h"
#include "printing/overflow.h"
#include "printing/print_surface.h"
#include "printing/sheet_fit.h"
#include "printing/sheet_outlines.h"

#include <algorithm>
#include <cmath>

namespace pw {
namespace {

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

bool isDefaultStock(const LabelStock& stock)
{
    return stock == labelStocks().front();
}

// Where the first line of label `onSheet` (from 0) starts below the grid's top, with the user's row
// correction; never above the grid. The 30-label sheet keeps the rows it always had: the layout's
// three Verdana 9 rows above its first row of labels. The taller labels of the other stocks would
// leave their lower part empty that way, so there each label's lines are centred on it, whatever
// their number; on the one-inch labels of the 20-label sheet that puts four lines within 1/100 inch
// of where the 30-label sheet has them.
double labelHome(const LabelStock& stock, qsizetype onSheet, qsizetype lines, const ListLabelStyle& style)
{
    const double row = rowInches(kLabelFont, 9);
    const double labelRow = static_cast<double>(onSheet / stock.across) * stock.pitch.height();
    if (isDefaultStock(stock))
        return std::max(0, 3 + style.correction.top) * row + labelRow;
    const double labelTop = stock.first.y() + labelRow - kGridInsetInches;
    const double centred = labelTop + (stock.label.height() - static_cast<double>(lines) * row) / 2;
    return std::max(0.0, centred + style.correction.top * row);
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

QList<int> listLabelColumns(QStringView deviceName, const ListLabelStyle& style, const LabelStock& stock)
{
    // Three of the special models print these labels two columns further right; the first of
    // SpecialPrinterModels does not.
    bool special = false;
    for (const char16_t* model : {u"Officejet", u"ENVY", u"Photosmart"})
        special = special || deviceName.contains(QStringView(model), Qt::CaseSensitive);
    const int base = (special ? 4 : 2) + style.correction.left;
    if (isDefaultStock(stock))
        return style.bold ? QList<int>{base, base + 39, base + 76} : QList<int>{base, base + 44, base + 87};
    // The other stocks' lines start on the first column at least 1/8 inch inside their label, which
    // is column 2 for the left labels, as on the 30-label sheet.
    const double column = fontGrid(kLabelFont, style.bold, false)->averageWidth * 9 / 72;
    QList<int> columns;
    for (int c = 0; c < stock.across; ++c) {
        const double left = stock.first.x() + c * stock.pitch.width() + 0.125 - kGridInsetInches;
        columns.append(base - 1 + static_cast<int>(std::ceil(left / column)));
    }
    return columns;
}

void printListLabelsJob(PrintSurface& surface, const std::vector<LabelAddress>& addresses, const ListLabelStyle& style,
                        int firstPosition, const LabelStock& stock)
{
    // Label stock is US Letter whatever paper the printer defaults to.
    surface.setPaperSize(PaperSize::Letter);
    surface.setFontName(kLabelFont);
    surface.setFontSize(9);
    surface.setBold(style.bold);
    surface.setItalic(style.italic);
    const QList<int> columns = listLabelColumns(surface.deviceName(), style, stock);

    // The used positions of a partly used sheet stay blank; every label is placed from its own
    // origin, so nothing printed for one label can move another.
    const qsizetype perSheet = stock.labels();
    const qsizetype across = stock.across;
    const qsizetype skipped = std::clamp<qsizetype>(firstPosition, 1, perSheet) - 1;
    const qsizetype count = skipped + static_cast<qsizetype>(addresses.size());
    const qsizetype lastRowStart = count - (count % across == 0 ? across : count % across);
    const QList<QRectF> outlines = stock.outlines();
    for (qsizetype i = skipped; i < count; ++i) {
        const qsizetype onSheet = i % perSheet;
        // A new sheet only for a label that follows: one after the last label would feed a blank
        // sheet of label stock whenever the count fills whole sheets.
        if (onSheet == 0 && i > 0)
            surface.newPage();
        const bool partialRow = i >= lastRowStart && count % across != 0;
        const QStringList lines = labelLines(addresses[static_cast<std::size_t>(i - skipped)], partialRow);
        surface.homeAt(labelHome(stock, onSheet, lines.size(), style));
        surface.setFrame(outlines[onSheet]);
        for (const QString& line : lines)
            surface.printLine({PrintItem::tab(columns[onSheet % across]), PrintItem::textItem(line)});
    }
}

Message emptyListMessage()
{
    return {QStringLiteral("Empty list, no labels to print."), QStringLiteral("No contacts found")};
}

std::expected<ListLabelJob, PrintOutcome> listLabelJob(Platform& platform, std::vector<LabelAddress> addresses,
                                                       const QString& parameterFile, bool bold, bool italic,
                                                       int firstPosition, const LabelStock& stock)
{
    const Expected<MarginSettings> margins = readMarginSettings(parameterFile);
    if (!margins) {
        platform.message(printerProblem());
        return std::unexpected(PrintOutcome::Failed);
    }
    if (addresses.empty()) {
        platform.message(emptyListMessage());
        return std::unexpected(PrintOutcome::Cancelled);
    }
    const ListLabelStyle style{bold, italic, margins->pair(MarginKind::SearchResult)};
    ListLabelJob job;
    job.run = [addresses = std::move(addresses), style, firstPosition, stock](PrintSurface& surface) {
        surface.setOrientation(PageOrientation::Portrait);
        printListLabelsJob(surface, addresses, style, firstPosition, stock);
    };
    job.outlines = stock.outlines();
    const QList<ProbedText> texts = probeJob(job.run, platform.printer().measure());
    if (const std::optional<Message> problem = belowSheetProblem(texts, job.outlines)) {
        platform.message(*problem);
        return std::unexpected(PrintOutcome::Cancelled);
    }
    job.overflows = overflowsOf(texts, job.outlines);
    return job;
}

PrintOutcome printListLabels(Platform& platform, const std::vector<LabelAddress>& addresses,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition,
                             const LabelStock& stock, const std::function<bool(const QList<Overflow>&)>& goAhead)
{
    const auto job = listLabelJob(platform, addresses, parameterFile, bold, italic, firstPosition, stock);
    if (!job)
        return job.error();
    if (const QList<Overflow>& overflows = job->overflows; !overflows.isEmpty()) {
        const bool go = goAhead ? goAhead(overflows)
                                : platform.message(overflowQuestion(overflows)) == MessageResult::Yes;
        if (!go)
            return PrintOutcome::Cancelled;
    }
    PrintSurface& printer = platform.printer();
    printer.setFontName(QStringLiteral("Verdana"));
    printer.setFontSize(9);
    printer.setItalic(false);
    return printCopies(platform, PrintDialogRequest{.printToFile = true, .labelSheet = true}, job->run);
}

}  // namespace pw
