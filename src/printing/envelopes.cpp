#include "printing/envelopes.h"

#include "printing/print_surface.h"
#include "printing/sheet_outlines.h"

#include <array>

namespace pw {
namespace {

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

void printEnvelope(PrintSurface& surface, const EnvelopeJob& envelope)
{
    // The leading blank row is a Verdana row whatever type the printer kept from its last job.
    surface.setFontName(QStringLiteral("Verdana"));
    surface.setOrientation(PageOrientation::Landscape);
    surface.setFontSize(11);
    const QString device = surface.deviceName();
    const bool specialModel = SpecialPrinterModels::setsPaperSize(device);
    // The edge-fed envelope lies against the bottom edge of a Letter landscape page, as the preview
    // shows it; the special models take a #10 page, which is the envelope itself. On any other page
    // a queue ends with, the address keeps its place against the page's bottom edge.
    surface.setPaperSize(specialModel ? PaperSize::Envelope10 : PaperSize::Letter);
    const double page = surface.paperHeightInches();
    surface.homeAt(page - kLandscapeLetterInches);
    // The address keeps a quarter inch from the envelope's right edge.
    constexpr double kRightMargin = 0.25;
    surface.setFrame(envelopeOutline(envelope.sizeCode, page).adjusted(0, 0, -kRightMargin, 0));
    printBlankLines(surface, 1);

    surface.setFontName(envelope.largeFont ? QStringLiteral("Trebuchet MS") : QStringLiteral("Verdana"));
    surface.setFontSize(envelope.largeFont ? 14 : 11);
    surface.setBold(envelope.bold);
    surface.setItalic(envelope.largeFont);

    int column = envelope.place.column + envelope.correction.left;
    int rows = envelope.place.row + envelope.correction.top;
    // Bold and large type stand taller on the envelope, and the special models feed it higher.
    if (envelope.bold)
        rows -= 1;
    if (envelope.largeFont) {
        column -= 6;
        rows -= 7;
    }
    if (specialModel)
        rows -= 2;
    printBlankLines(surface, rows);

    for (const QString& line : envelope.lines) {
        if (envelope.centred)
            surface.printLine({PrintItem::tab(column - 6), PrintItem::spaces(centringSpaces(line.size(), 18)),
                               PrintItem::textItem(line)});
        else
            surface.printLine({PrintItem::tab(column), PrintItem::textItem(line)});
    }
}

}  // namespace pw
