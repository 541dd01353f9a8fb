#include "list/list_labels.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/address_format.h"
#include "printing/font_grid.h"
#include "printing/grid_cursor.h"
#include "printing/label_fit.h"
#include "printing/label_sheet.h"
#include "printing/overflow.h"
#include "printing/print_surface.h"
#include "printing/sheet_fit.h"
#include "printing/sheet_outlines.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pw {
namespace {

const QString kLabelFont = QStringLiteral("Verdana");

// The lines of one label, top to bottom. A full row of labels puts the company line under the
// name, unless the country's order puts it above; the last one or two labels of a list put it
// above. A contact without an address gets its name alone, not blank or lone-comma lines.
QList<LabelLine> labelLines(const LabelAddress& a, bool companyFirst)
{
    companyFirst = companyFirst || a.companyAbove;
    QList<LabelLine> lines;
    if (companyFirst && a.hasCompany())
        lines.append({a.company});
    lines.append({a.name});
    if (!companyFirst && a.hasCompany())
        lines.append({a.company});
    const auto add = [&lines](const QString& text, bool joinable) {
        if (!text.isEmpty())
            lines.append({text, true, joinable});
    };
    add(a.street, false);
    add(a.suite, !a.street.isEmpty());
    for (const QString& line : a.city.split(u'\n'))
        add(line, false);
    add(a.country, false);
    return lines;
}

TypeFace labelType(const ListLabelStyle& style)
{
    return {kLabelFont, 9, style.bold, style.italic};
}

// The stand-in font's glyphs reach a little below the rows of the font the layout measures in: a
// block ends this far above its label's bottom edge.
constexpr double kBottomClearance = 1.0 / 32;

// The lines of the list font a label of `stock` holds: six on a one-inch label.
int labelRows(const LabelStock& stock)
{
    return static_cast<int>((stock.label.height() - kBottomClearance) / rowInches(kLabelFont, 9) + 1e-9);
}

bool isDefaultStock(const LabelStock& stock)
{
    return stock == labelStocks().front();
}

// Where the first line of the label `outline` starts below the grid's top, with the user's row
// correction; never above the grid. The 30-label sheet keeps the rows it always had: the layout's
// three Verdana 9 rows above its first row of labels. The taller labels of the other stocks would
// leave their lower part empty that way, so there each label's lines are centred on it, whatever
// their number; on the one-inch labels of the 20-label sheet that puts four lines within 1/100 inch
// of where the 30-label sheet has them.
double labelHome(const LabelStock& stock, const QRectF& outline, qsizetype lines, const ListLabelStyle& style)
{
    const double row = rowInches(kLabelFont, 9);
    const double labelTop = outline.top() - kGridInsetInches;
    if (isDefaultStock(stock)) {
        // A block of more lines than the rows below the layout's place rises as far as it must to
        // end on its label.
        // The user's row correction moves that place as it moves the layout's.
        const double home = 3 * row + outline.top() - stock.first.y();
        const double highest = labelTop + stock.label.height() - kBottomClearance - static_cast<double>(lines) * row;
        return std::max(0.0, std::min(home, std::max(highest, labelTop)) + style.correction.top * row);
    }
    const double centred = labelTop + (stock.label.height() - static_cast<double>(lines) * row) / 2;
    return std::max(0.0, centred + style.correction.top * row);
}

// The style as the layout places it, before the user's correction moves it.
ListLabelStyle uncorrected(ListLabelStyle style)
{
    style.correction = {};
    return style;
}

double columnInches(const TypeFace& type, const TextMeasure& measure)
{
    return measure.grid(type).column / measure.unitsPerInch();
}

// The print column of every label of the sheet, in the sheet's order.
QList<int> columnsOnSheet(QStringView deviceName, const ListLabelStyle& style, const LabelStock& stock)
{
    // Three of the special models print these labels two columns further right; the first of
    // SpecialPrinterModels does not.
    bool special = false;
    for (const char16_t* model : {u"Officejet", u"ENVY", u"Photosmart"})
        special = special || deviceName.contains(QStringView(model), Qt::CaseSensitive);
    const int base = (special ? 4 : 2) + style.correction.left;
    QList<int> columns;
    if (isDefaultStock(stock)) {
        const QList<int> row =
            style.bold ? QList<int>{base, base + 39, base + 76} : QList<int>{base, base + 44, base + 87};
        for (int i = 0; i < stock.labels(); ++i)
            columns.append(row[i % row.size()]);
        return columns;
    }
    // The other stocks' lines start on the first column at least 1/8 inch inside their label, which
    // is column 2 for the left labels, as on the 30-label sheet.
    const double column = fontGrid(kLabelFont, style.bold, false)->averageWidth * 9 / 72;
    for (const QRectF& outline : stock.outlines()) {
        const double left = outline.left() + 0.125 - kGridInsetInches;
        columns.append(base - 1 + static_cast<int>(std::ceil(left / column)));
    }
    return columns;
}

}  // namespace

LabelAddress labelAddress(const ContactRecord& r, QStringView homeCountry)
{
    LabelAddress a;
    a.name = nameLine(r.FirstName, r.MiddleInitial, r.LastName, r.Company);
    if (r.IncludeCompany == u"1" && !nameIsCompany(r.FirstName, r.LastName, r.Company))
        a.company = r.Company;
    // A suite keeps a line of its own while the label has one.
    a.street = r.Street1;
    a.suite = r.Street2;
    a.city = cityLine(r.City, r.State, r.Zip);
    a.country = countryLine(r.Country, homeCountry);
    // Mail abroad is addressed in its country's own order.
    if (const CountryFormat* format = a.country.isEmpty() ? nullptr : countryNamed(r.Country)) {
        const LocalityLines locality = localityLines(*format, r.City, r.State, r.Zip);
        a.city = locality.lines.join(u'\n');
        (a.suite.isEmpty() ? a.street : a.suite) += locality.afterStreet;
        a.companyAbove = locality.companyAbove;
        for (const auto& [part, line] : {std::pair{'N', &a.name}, {'O', &a.company}, {'A', &a.street}, {'A', &a.suite}}) {
            if (inCapitals(*format, part))
                *line = line->toUpper();
        }
    }
    return a;
}

QList<int> listLabelColumns(QStringView deviceName, const ListLabelStyle& style, const LabelStock& stock)
{
    return columnsOnSheet(deviceName, style, stock).first(stock.across);
}

void printListLabelsJob(PrintSurface& surface, const std::vector<LabelAddress>& addresses, const ListLabelStyle& style,
                        int firstPosition, const LabelStock& stock)
{
    // The stock's own paper, whatever paper the printer defaults to.
    setStockPaper(surface, stock);
    surface.setFontName(kLabelFont);
    surface.setFontSize(9);
    surface.setBold(style.bold);
    surface.setItalic(style.italic);
    const QList<int> columns = columnsOnSheet(surface.deviceName(), style, stock);
    // The lines are fitted to each label's own box from the layout's place in it; the correction then
    // moves the fitted block, and the box with it.
    const QList<int> placed = columnsOnSheet(surface.deviceName(), uncorrected(style), stock);
    const double columnWidth = columnInches(labelType(style), surface.measure());

    // The used positions of a partly used sheet stay blank; every label is placed from its own
    // origin, so nothing printed for one label can move another.
    const qsizetype perSheet = stock.labels();
    const qsizetype across = stock.across;
    const qsizetype skipped = std::clamp<qsizetype>(firstPosition, 1, perSheet) - 1;
    const qsizetype count = skipped + static_cast<qsizetype>(addresses.size());
    const qsizetype lastRowStart = count - (count % across == 0 ? across : count % across);
    const QList<QRectF> outlines = stock.outlines();
    const TypeFace type = labelType(style);
    const int rows = labelRows(stock);
    for (qsizetype i = skipped; i < count; ++i) {
        const qsizetype onSheet = i % perSheet;
        // A new sheet only for a label that follows: one after the last label would feed a blank
        // sheet of label stock whenever the count fills whole sheets.
        if (onSheet == 0 && i > 0)
            surface.newPage();
        const bool partialRow = i >= lastRowStart && count % across != 0;
        const int column = columns[onSheet];
        const LabelRoom room{type, roomInFrame(outlines[onSheet], placed[onSheet], type, surface.measure()), rows};
        const QStringList lines =
            fitLabel(labelLines(addresses[static_cast<std::size_t>(i - skipped)], partialRow), room, surface.measure())
                .lines;
        const double home = labelHome(stock, outlines[onSheet], lines.size(), style);
        surface.homeAt(home);
        // A tab to column 0 or less prints at column 1: the block moves only that far.
        surface.setFrame(movedFrame(
            outlines[onSheet], {(std::max(column, 1) - placed[onSheet]) * columnWidth,
                                home - labelHome(stock, outlines[onSheet], lines.size(), uncorrected(style))}));
        for (const QString& line : lines)
            surface.printLine({PrintItem::tab(column), PrintItem::textItem(line)});
    }
}

QList<LeftOutLabel> leaveOutUnfitting(std::vector<LabelAddress>& addresses, const ListLabelStyle& style,
                                      const LabelStock& stock, QStringView deviceName, const TextMeasure& measure)
{
    // Measured in the narrowest room a label of the stock gives, so that it fits wherever it lands.
    const TypeFace type = labelType(style);
    const QList<int> columns = columnsOnSheet(deviceName, uncorrected(style), stock);
    const QList<QRectF> outlines = stock.outlines();
    LabelRoom room{type, std::numeric_limits<double>::max(), labelRows(stock)};
    for (qsizetype c = 0; c < columns.size(); ++c)
        room.width = std::min(room.width, roomInFrame(outlines[c], columns[c], type, measure));
    QList<LeftOutLabel> leftOut;
    std::erase_if(addresses, [&](const LabelAddress& a) {
        const QString changed = fitLabel(labelLines(a, false), room, measure).changed;
        if (changed.isEmpty())
            return false;
        const QString name = trimBlanks(a.name);
        leftOut.append({name.isEmpty() ? a.company : name, changed});
        return true;
    });
    return leftOut;
}

QString leftOutText(const LeftOutLabel& label)
{
    return label.name + QStringLiteral(" left out: the address does not fit the label");
}

Message leftOutQuestion(const QList<LeftOutLabel>& leftOut)
{
    Message question{leftOut.size() == 1
                         ? QStringLiteral("1 contact is left out: the address does not fit the label, and a cut "
                                          "address is a wrong one.")
                         : QStringLiteral("%1 contacts are left out: the address does not fit the label, and a cut "
                                          "address is a wrong one.")
                               .arg(leftOut.size()),
                     QStringLiteral("Addresses do not fit"), MessageIcon::Warning, MessageButtons::PrintOthersCancel};
    for (const LeftOutLabel& label : leftOut)
        question.items.append(QStringLiteral("%1: \"%2\"").arg(label.name, label.line));
    return question;
}

Message nothingFitsMessage(const QList<LeftOutLabel>& leftOut)
{
    Message message = leftOutQuestion(leftOut);
    message.text += QStringLiteral("  No label is left to print.");
    message.buttons = MessageButtons::Ok;
    return message;
}

Message emptyListMessage()
{
    return {QStringLiteral("Empty list, no labels to print."), QStringLiteral("No contacts found")};
}

std::expected<ListLabelJob, PrintOutcome> listLabelJob(Platform& platform, std::vector<LabelAddress> addresses,
                                                       const QString& parameterFile, bool bold, bool italic,
                                                       int firstPosition, const LabelStock& stock)
{
    const std::optional<MarginSettings> margins = correctionsForPrint(platform, parameterFile);
    if (!margins)
        return std::unexpected(PrintOutcome::Failed);
    if (addresses.empty()) {
        platform.message(emptyListMessage());
        return std::unexpected(PrintOutcome::Cancelled);
    }
    ListLabelStyle style{bold, italic, margins->pair(MarginKind::SearchResult)};
    // The row correction moves these labels at most 2 rows up or down; a stored value beyond that
    // (two adjustments of 2) is ignored.
    if (std::abs(style.correction.top) > 2)
        style.correction.top = 0;
    ListLabelJob job;
    job.leftOut = leaveOutUnfitting(addresses, style, stock, platform.printer().deviceName(),
                                    platform.printer().measure());
    job.labels = static_cast<int>(addresses.size());
    job.run = [addresses = std::move(addresses), style, firstPosition, stock](PrintSurface& surface) {
        surface.setOrientation(PageOrientation::Portrait);
        printListLabelsJob(surface, addresses, style, firstPosition, stock);
    };
    job.outlines = stock.outlines();
    const TextMeasure& measure = platform.printer().measure();
    const QList<ProbedText> texts = probeJob(job.run, measure, platform.printer().deviceName());
    if (const std::optional<Message> problem = belowSheetProblem(texts)) {
        platform.message(*problem);
        return std::unexpected(PrintOutcome::Cancelled);
    }
    job.overflows = overflowsOf(texts, job.outlines);
    job.shiftNote =
        correctionShiftNote({style.correction.left * columnInches(labelType(style), measure),
                             style.correction.top * measure.grid(labelType(style)).row / measure.unitsPerInch()},
                            job.outlines);
    return job;
}

PrintOutcome printListLabels(Platform& platform, const std::vector<LabelAddress>& addresses,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition,
                             const LabelStock& stock, const std::function<bool(const ListLabelJob&)>& goAhead,
                             int* printedLabels)
{
    const auto job = listLabelJob(platform, addresses, parameterFile, bold, italic, firstPosition, stock);
    if (!job)
        return job.error();
    if (printedLabels)
        *printedLabels = job->labels;
    if (goAhead) {
        if (!goAhead(*job))
            return PrintOutcome::Cancelled;
    } else {
        if (job->labels == 0) {
            platform.message(nothingFitsMessage(job->leftOut));
            return PrintOutcome::Cancelled;
        }
        if (!job->leftOut.isEmpty() && platform.message(leftOutQuestion(job->leftOut)) != MessageResult::Yes)
            return PrintOutcome::Cancelled;
        if (!job->shiftNote.isEmpty()
            && platform.message(correctionShiftQuestion(job->shiftNote)) != MessageResult::Yes)
            return PrintOutcome::Cancelled;
        if (!job->overflows.isEmpty() && platform.message(overflowQuestion(job->overflows)) != MessageResult::Yes)
            return PrintOutcome::Cancelled;
    }
    if (job->labels == 0)
        return PrintOutcome::Failed;
    PrintSurface& printer = platform.printer();
    printer.setFontName(QStringLiteral("Verdana"));
    printer.setFontSize(9);
    printer.setItalic(false);
    return printCopies(platform, PrintDialogRequest{.printToFile = true, .labelSheet = true, .sheetPaper = stock.page}, job->run);
}

}  // namespace pw
