#include "printing/envelopes.h"

#include "platform/platform.h"
#include "printing/grid_cursor.h"
#include "printing/print_surface.h"
#include "printing/sheet_outlines.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pw {
namespace {

constexpr qsizetype kReturnLines = 3;

struct EnvelopeSize final {
    const char* name;
    LabelPlace place;
};

const std::array<EnvelopeSize, kEnvelopeSizeCount> kSizes = {{
    {"#10 Standard Business envelope (4 1/8 in x 9 1/2 in)", {50, 31}},
    {"#6 3/4 Small envelope (3 5/8 in x 6 1/2 in)", {33, 32}},
    {"#A2 Invitation envelope (4 3/8 in x 5 3/4 in)", {28, 30}},
    {"#A7 Announcement envelope (5 1/4 in x 7 1/4 in)", {38, 28}},
    {"#A8 Std Greeting Card envelope (5.5 in x 8 1/8 in)", {40, 28}},
    {"#A10 Lrg Greeting Card envelope (6 in x 9 1/2 in)", {45, 27}},
}};

// The address keeps a quarter inch from the envelope's right edge.
constexpr double kRightMargin = 0.25;
// The Postal Service reads the address between these heights above the envelope's bottom edge.
constexpr double kReadingAreaTop = 2.75;
constexpr double kReadingAreaBottom = 0.625;
// The return address: its corner's distance from the envelope's top and left edges, and its size.
constexpr double kReturnInset = 0.375;
constexpr double kReturnPoints = 9;
constexpr double kEnvelope10Height = 4.125;
constexpr int kEnvelopeLines = 5;

const QString kApplication = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("Envelope");
const QString kReturnKey = QStringLiteral("ReturnAddress");
const QString kLabelRunKey = QStringLiteral("ReturnLabelRun");
const QString kPrintReturnKey = QStringLiteral("PrintReturnAddress");

QStringList storedLines(Platform& platform, const QString& key)
{
    QStringList lines = platform.readSetting(kApplication, kSection, key).split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.mid(0, kReturnLines);
}

void storeLines(Platform& platform, const QString& key, const QStringList& lines)
{
    platform.writeSetting(kApplication, kSection, key, lines.mid(0, kReturnLines).join(u'\n'));
}

TypeFace envelopeType(const EnvelopeJob& envelope, double points)
{
    return {envelope.largeFont ? QStringLiteral("Trebuchet MS") : QStringLiteral("Verdana"), points, envelope.bold,
            envelope.largeFont};
}

void setType(PrintSurface& surface, const TypeFace& type)
{
    surface.setFontName(type.family);
    surface.setFontSize(type.points);
    surface.setBold(type.bold);
    surface.setItalic(type.italic);
}

double rowHeight(const PrintSurface& surface, const TypeFace& type)
{
    return surface.measure().grid(type).row / surface.measure().unitsPerInch();
}

// Up to three lines in the envelope's type at 9 points, their corner 3/8 inch in from the envelope's
// top and left edges; a line may take the left half of the envelope, clear of the address.
void printReturnAddress(PrintSurface& surface, const EnvelopeJob& envelope, const QRectF& outline)
{
    const TypeFace type = envelopeType(envelope, kReturnPoints);
    setType(surface, type);
    const double column = surface.measure().grid(type).column / surface.measure().unitsPerInch();
    const int tab = 1 + static_cast<int>(std::lround((outline.left() + kReturnInset - kGridInsetInches) / column));
    surface.homeAt(outline.top() + kReturnInset - kGridInsetInches);
    surface.setFrame(QRectF(outline.topLeft(), QSizeF(outline.width() / 2, outline.height())));
    for (const QString& line : envelope.returnAddress.mid(0, kReturnLines))
        surface.printLine({PrintItem::tab(tab), PrintItem::textItem(line)});
}

void layEnvelope(PrintSurface& surface, const EnvelopeJob& envelope, EnvelopeFeed feed, double pageHeight)
{
    const QRectF outline = envelopeOutline(envelope.sizeCode, pageHeight);
    if (std::any_of(envelope.returnAddress.begin(), envelope.returnAddress.end(),
                    [](const QString& line) { return !line.isEmpty(); }))
        printReturnAddress(surface, envelope, outline);

    // The layouts count their rows from the top of a landscape Letter page in whose lower-left corner
    // the envelope lies: that many inches above the envelope's top edge, wherever the envelope is.
    const double layoutTop = outline.top() - (kLandscapeLetterInches - outline.height());
    const TypeFace leadingType{QStringLiteral("Verdana"), 11, false, false};
    const TypeFace type = envelopeType(envelope, envelope.largeFont ? 14 : 11);
    int column = envelope.place.column;
    int rows = envelope.place.row;
    // Bold and large type stand taller on the envelope.
    if (envelope.bold)
        rows -= 1;
    if (envelope.largeFont) {
        column -= 6;
        rows -= 7;
    }
    // Lowered where needed until the top line is within the reading area, never so far that the
    // bottom line leaves it.
    const double row = rowHeight(surface, type);
    const double top = kGridInsetInches + layoutTop + rowHeight(surface, leadingType) + std::max(rows, 0) * row;
    const double lowest = outline.bottom() - kReadingAreaBottom - (top + kEnvelopeLines * row);
    const double lower = std::max(0.0, std::min(outline.bottom() - kReadingAreaTop - top, lowest));

    column += envelope.correction.left;
    rows += envelope.correction.top;
    // The special models feed their #10 page higher.
    if (feed == EnvelopeFeed::Envelope10)
        rows -= 2;
    setType(surface, leadingType);
    surface.homeAt(layoutTop + lower);
    printBlankLines(surface, 1);
    setType(surface, type);
    printBlankLines(surface, rows);
    // Set here, so that a line too long is named by its line of the address.
    surface.setFrame(envelopeAddressFrame(outline));
    for (const QString& line : envelope.lines) {
        if (envelope.centred)
            surface.printLine({PrintItem::tab(column - 6), PrintItem::spaces(centringSpaces(line.size(), 18)),
                               PrintItem::textItem(line)});
        else
            surface.printLine({PrintItem::tab(column), PrintItem::textItem(line)});
    }
}

}  // namespace

QStringList envelopeSizeNames()
{
    QStringList names;
    for (const EnvelopeSize& size : kSizes)
        names.append(QString::fromLatin1(size.name));
    return names;
}

std::optional<LabelPlace> envelopePlace(int code)
{
    if (code < 1 || code > kEnvelopeSizeCount)
        return std::nullopt;
    return kSizes[code - 1].place;
}

QSizeF envelopeInches(int code)
{
    return envelopeOutline(code, 0).size();
}

EnvelopeFeed envelopeFeed(bool takesOwnPage, const QString& deviceName)
{
    if (takesOwnPage)
        return EnvelopeFeed::OwnPage;
    return SpecialPrinterModels::setsPaperSize(deviceName) ? EnvelopeFeed::Envelope10 : EnvelopeFeed::Letter;
}

QRectF envelopeOnPage(int code, EnvelopeFeed feed)
{
    switch (feed) {
    case EnvelopeFeed::OwnPage: return envelopeOutline(code, envelopeInches(code).height());
    case EnvelopeFeed::Envelope10: return envelopeOutline(code, kEnvelope10Height);
    case EnvelopeFeed::Letter: break;
    }
    return envelopeOutline(code, kLandscapeLetterInches);
}

QRectF envelopeAddressFrame(const QRectF& outline)
{
    return outline.adjusted(0, 0, -kRightMargin, 0);
}

QString envelopeFeedNote(EnvelopeFeed feed)
{
    // Printers turn a landscape page a quarter turn to the left: its bottom edge is the sheet's
    // right-hand edge, its left edge the end that goes in last.
    const QString note = QStringLiteral(
        "This printer lists no paper of the envelope's size, so the envelope is printed as part of a %1 page.  "
        "Feed it face up against the edge drawn at the bottom here: the right-hand edge of the sheet as it goes "
        "in, the envelope's left end toward the end that goes in last.");
    switch (feed) {
    case EnvelopeFeed::OwnPage: return {};
    case EnvelopeFeed::Envelope10: return note.arg(QStringLiteral("#10 envelope"));
    case EnvelopeFeed::Letter: break;
    }
    return note.arg(QStringLiteral("Letter"));
}

void printEnvelope(PrintSurface& surface, const EnvelopeJob& envelope)
{
    // The leading blank row is a Verdana row whatever type the printer kept from its last job.
    surface.setFontName(QStringLiteral("Verdana"));
    surface.setOrientation(PageOrientation::Landscape);
    surface.setFontSize(11);
    const QSizeF size = envelopeInches(envelope.sizeCode);
    const EnvelopeFeed feed = envelopeFeed(surface.takesPaper(size), surface.deviceName());
    switch (feed) {
    case EnvelopeFeed::OwnPage: surface.setPaperInches(size); break;
    case EnvelopeFeed::Envelope10: surface.setPaperSize(PaperSize::Envelope10); break;
    case EnvelopeFeed::Letter: surface.setPaperSize(PaperSize::Letter); break;
    }
    if (feed != EnvelopeFeed::OwnPage)
        surface.showNote(envelopeFeedNote(feed));
    // On a page other than the one asked for, the envelope keeps its place against the bottom edge.
    layEnvelope(surface, envelope, feed, surface.paperHeightInches());
}

void printEnvelopeFed(PrintSurface& surface, const EnvelopeJob& envelope, EnvelopeFeed feed)
{
    surface.setOrientation(PageOrientation::Landscape);
    layEnvelope(surface, envelope, feed, envelopeOnPage(envelope.sizeCode, feed).bottom());
}

QStringList envelopeReturnAddress(Platform& platform)
{
    const QStringList entered = storedLines(platform, kReturnKey);
    return !entered.isEmpty() ? entered : storedLines(platform, kLabelRunKey);
}

void setEnvelopeReturnAddress(Platform& platform, const QStringList& lines)
{
    storeLines(platform, kReturnKey, lines);
}

bool printsEnvelopeReturnAddress(Platform& platform)
{
    return platform.readSetting(kApplication, kSection, kPrintReturnKey) == u"1";
}

void setPrintsEnvelopeReturnAddress(Platform& platform, bool on)
{
    platform.writeSetting(kApplication, kSection, kPrintReturnKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

void rememberReturnLabelRun(Platform& platform, const QStringList& lines)
{
    storeLines(platform, kLabelRunKey, lines);
}

}  // namespace pw
