#include "printing/onthefly_labels.h"

#include "data/text_rules.h"
#include "printing/font_grid.h"
#include "printing/grid_cursor.h"
#include "printing/label_fit.h"
#include "printing/print_surface.h"
#include "printing/sheet_fit.h"
#include "printing/sheet_outlines.h"

#include <algorithm>
#include <cmath>

namespace pw {
namespace {

const QString kMaximumTitle = QStringLiteral("Maximum is 30");
const QString kCannotExceed30 = QStringLiteral("Label position cannot exceed 30");
const QString kNoMoreThan30 =
    QStringLiteral("No more than 30 labels may be printed.  To print an entire sheet, enter 1-30.");

Message entryMessage(const QString& text, const QString& title, MessageIcon icon = MessageIcon::Information)
{
    return {text, title, icon, MessageButtons::Ok, true};
}

QString cleanPositionEntry(const QString& answer)
{
    QString cleaned = answer;
    cleaned.remove(u' ');
    cleaned.remove(u'.');
    return cleaned;
}

// An entry of six or more characters fits no pattern of the parser: a number above 30 on either
// side of the dash is named as such, anything else asks for the whole-sheet form.
Message tooLongEntryMessage(const QString& text)
{
    const qsizetype dash = text.indexOf(u'-');
    if (numericValue(QStringView(text).left(dash)) > 30 || numericValue(QStringView(text).mid(dash + 1)) > 30)
        return entryMessage(kCannotExceed30, kMaximumTitle);
    return entryMessage(kNoMoreThan30, kMaximumTitle);
}

// The message for a range that does not parse.
std::optional<Message> parseProblem(PositionRange& range)
{
    switch (parseRange(range)) {
    case RangeParse::EndBeforeStart:
        return entryMessage(QStringLiteral("Label starting position cannot exceed ending position."),
                            QStringLiteral("Try again"));
    case RangeParse::TooLong: return tooLongEntryMessage(range.text);
    case RangeParse::Ok: break;
    }
    return std::nullopt;
}

}  // namespace

RangeParse parseRange(PositionRange& range)
{
    const QString& text = range.text;
    const qsizetype length = text.size();
    if (length == 0) {
        range.start = text;
        return RangeParse::Ok;
    }
    if (length <= 2) {
        range.start = text;
        range.count = 1;
        return RangeParse::Ok;
    }
    if (length > 5)
        return RangeParse::TooLong;
    const QString start = text.left(length == 5 ? 2 : 1);
    const QString end = text.right(length == 3 ? 1 : 2);
    if (numericValue(end) < numericValue(start))
        return RangeParse::EndBeforeStart;
    range.start = start;
    range.end = end;
    range.count = static_cast<qint16>(roundHalfEven(numericValue(end) - numericValue(start) + 1));
    return RangeParse::Ok;
}

std::optional<Message> positionEntryProblem(PositionRange& range)
{
    const QString& text = range.text;
    if (!text.contains(u'-') && text.size() > 2)
        return entryMessage(QStringLiteral("Use a dash when specifying a range of labels to print.  Examples: 1-30, "
                                           "5-8, 15-22.  Each number represents a label position on label sheet."),
                            QStringLiteral("Include dash for range of labels"));
    if (numericValue(QStringView(text).right(2)) > 30)
        return entryMessage(kCannotExceed30, kMaximumTitle);
    if (text.size() == 5 && text[1] == u'-')
        return entryMessage(kNoMoreThan30, kMaximumTitle);
    if (auto problem = parseProblem(range))
        return problem;
    if (numericValue(range.start) > 30)
        return entryMessage(QStringLiteral("Cannot be greater than 30"),
                            QStringLiteral("Enter a number between 1 and 30"), MessageIcon::Warning);
    return std::nullopt;
}

std::optional<Message> reparsePositionRange(PositionRange& range)
{
    range.start = range.text;
    return parseProblem(range);
}

void askLabelPositions(Platform& platform, PositionRange& range, int offered)
{
    for (;;) {
        const QString answer = platform.inputBox(
            QStringLiteral("Enter the label position [a number between 1 and 30] on which to print.  Example: label "
                           "position 5 would be the middle label on the 2nd row of label sheet.  To print multiple "
                           "labels, enter a range such as 4-9, 15-18, etc.  To print an entire sheet, enter 1-30."),
            QStringLiteral("Label position reading L to R"), QString::number(offered));
        range.text = cleanPositionEntry(answer);
        range.start = range.text;
        const std::optional<Message> problem = positionEntryProblem(range);
        if (!problem)
            return;
        platform.message(*problem);
    }
}

std::optional<Message> onTheFlyFormProblem(const QStringList& lines, Media media, int envelopeSizeCode,
                                           Alignment alignment)
{
    const auto warning = [](const QString& text, const QString& title) {
        return Message{text, title, MessageIcon::Warning, MessageButtons::Ok, true};
    };
    if (std::all_of(lines.begin(), lines.end(), [](const QString& line) { return line.isEmpty(); }))
        return warning(QStringLiteral("No information entered"), QStringLiteral("Missing Data"));
    if (media == Media::None)
        return warning(QStringLiteral("Select Label stock or Envelope"), QStringLiteral("Media Selection"));
    if (media == Media::Envelope && envelopeSizeCode == 0)
        return warning(QStringLiteral("Select Envelope size"), QStringLiteral("Envelope Size"));
    if (alignment == Alignment::None)
        return warning(QStringLiteral("Select Left-Justified or Centered"), QStringLiteral("Text Alignment"));
    return std::nullopt;
}

namespace {

// A label holds five typed lines.
constexpr int kTypedLines = 5;

// The lines through the last one that holds text; every one of them takes its row.
QList<LabelLine> usedLines(const QStringList& lines)
{
    QList<LabelLine> used;
    for (const QString& line : lines.first(std::min<qsizetype>(lines.size(), kTypedLines)))
        used.append({line});
    while (!used.isEmpty() && used.last().text.isEmpty())
        used.removeLast();
    return used;
}

// The stock of the labels when it is not the 30-label sheet under any of its numbers.
const LabelStock* otherStock(const OnTheFlyLabels& labels)
{
    if (!labels.stock || labels.stock->memoryKey == labelStocks().front().memoryKey)
        return nullptr;
    return labels.stock;
}

}  // namespace

void printOnTheFlyLabels(PrintSurface& surface, const OnTheFlyLabels& labels)
{
    // The leading blank row is a Verdana row whatever type the printer kept from its last job.
    surface.setFontName(QStringLiteral("Verdana"));
    surface.setOrientation(labels.portrait ? PageOrientation::Portrait : PageOrientation::Landscape);
    surface.setFontSize(labels.portrait ? 9 : 11);
    // The place of every label is taken for the printer that prints it, so that a printer chosen in
    // the print dialog moves all labels of the sheet alike.
    const QString device = surface.deviceName();
    // The stock's own paper whatever paper the printer defaults to: the 30-label sheet's right-hand
    // column falls off an A4 page.
    const LabelStock* other = otherStock(labels);
    setStockPaper(surface, other ? *other : labelStocks().front());
    printBlankLines(surface, 1);
    surface.setFontName(QStringLiteral("Verdana"));
    surface.setBold(labels.bold);
    surface.setItalic(labels.italic);

    const QList<QRectF> outlines = other ? other->outlines() : labelSheetOutlines();
    const TypeFace type{QStringLiteral("Verdana"), labels.portrait ? 9.0 : 11.0, labels.bold, labels.italic};
    const double row = rowInches(type.family, type.points);
    const QList<LabelLine> typed = usedLines(labels.lines);
    // Each label's block is centred on the label of its position, the same on every row; the row
    // correction shifts it by whole rows. A position without a place of its own prints where the
    // one before it did.
    QRectF frame = outlines.first();
    LabelPlace place = labels.fallback;
    const double columnWidth = surface.measure().grid(type).column / surface.measure().unitsPerInch();
    const auto printLabel = [&](double p) {
        int placed = 0;  // the column the layout puts the lines at, before any correction
        int halfWidth = 18;
        if (other) {
            // Another stock's lines start on the first column 1/16 inch inside the label and are
            // centred in the label's own width.
            if (p != std::floor(p) || p < 1 || p > static_cast<double>(outlines.size()))
                return;
            frame = outlines[static_cast<qsizetype>(p) - 1];
            const double inside = frame.left() + kFrameEdgeInches - kGridInsetInches;
            placed = 1 + static_cast<int>(std::ceil(inside / columnWidth - 1e-9));
            halfWidth = static_cast<int>((frame.width() - 2 * kFrameEdgeInches) / columnWidth / 2);
        } else {
            place = LabelPositionTable::place(p, labels.bold, device).value_or(place);
            if (LabelPositionTable::place(p, false, {}))
                frame = outlines[static_cast<qsizetype>(p) - 1];
            placed = labels.centred && labels.bold ? place.column - 3 : place.column;
        }
        // The lines are fitted to the label's own box as the layout places them; the correction
        // then moves the fitted block, and the box with it.
        const int column = (other ? placed : place.column) + labels.correction.left;
        const int tab = placed + labels.correction.left;
        const LabelRoom room{type, roomInFrame(frame, placed, type, surface.measure()), kTypedLines};
        const QStringList lines = fitLabel(typed, room, surface.measure()).lines;
        const double centred = frame.top() - kGridInsetInches + (frame.height() - lines.size() * row) / 2;
        const double home = std::max(0.0, centred + labels.correction.top * row);
        surface.homeAt(home);
        // A tab to column 0 or less prints at column 1: the block moves only that far.
        surface.setFrame(movedFrame(frame, {(std::max(tab, 1) - placed) * columnWidth, home - centred}));
        for (const QString& line : lines) {
            if (labels.centred)
                surface.printLine({PrintItem::tab(tab), PrintItem::spaces(centringSpaces(line.size(), halfWidth)),
                                   PrintItem::textItem(line)});
            else
                surface.printLine({PrintItem::tab(column), PrintItem::textItem(line)});
        }
    };
    if (!labels.positions.isEmpty()) {
        for (int p : labels.positions)
            printLabel(p);
        return;
    }
    for (int label = 0; label < labels.count; ++label)
        printLabel(labels.start + label);
}

}  // namespace pw
