#include "list/list_labels.h"

#include "data/contacts_file.h"
#include "platform/platform.h"
#include "printing/label_sheet.h"
#include "printing/overflow.h"
#include "printing/print_surface.h"
#include "printing/sheet_outlines.h"

#include <algorithm>
#include <iterator>

namespace pw {
namespace {

constexpr int kLabelsPerSheet = 30;

// What one label contributes to one line of a row. A blank prints a single blank character at the
// label's column; nothing prints nothing, not even the tab.
enum class Item : quint8 { Name, Company, Street, City, Blank, Nothing };

using RowLine = std::array<Item, 3>;

struct RowLayout final {
    std::array<RowLine, 4> lines;
    int count;
};

// The lines of a full row after its names, by which labels have a company line: bit 4 for the
// left label, 2 for the middle, 1 for the right. A label without a company line has one line
// less, so its city shares the line of its neighbours' streets.
constexpr std::array<RowLayout, 8> kFullRows = {{
    /* no,  no,  no  */ {{{{Item::Street, Item::Street, Item::Street}, {Item::City, Item::City, Item::City}}}, 2},
    /* no,  no,  yes */ {{{{Item::Street, Item::Street, Item::Company}, {Item::City, Item::City, Item::Street},
                           {Item::Blank, Item::Blank, Item::City}}}, 3},
    /* no,  yes, no  */ {{{{Item::Street, Item::Company, Item::Street}, {Item::City, Item::Street, Item::City},
                           {Item::Blank, Item::City, Item::Blank}}}, 3},
    /* no,  yes, yes */ {{{{Item::Street, Item::Company, Item::Company}, {Item::City, Item::Street, Item::Street},
                           {Item::Blank, Item::City, Item::City}}}, 3},
    /* yes, no,  no  */ {{{{Item::Company, Item::Street, Item::Street}, {Item::Street, Item::City, Item::City},
                           {Item::City, Item::Nothing, Item::Nothing}}}, 3},
    /* yes, no,  yes */ {{{{Item::Company, Item::Street, Item::Company}, {Item::Street, Item::City, Item::Street},
                           {Item::City, Item::Blank, Item::City}}}, 3},
    /* yes, yes, no  */ {{{{Item::Company, Item::Company, Item::Street}, {Item::Street, Item::Street, Item::City},
                           {Item::City, Item::City, Item::Nothing}}}, 3},
    /* yes, yes, yes */ {{{{Item::Company, Item::Company, Item::Company}, {Item::Street, Item::Street, Item::Street},
                           {Item::City, Item::City, Item::City}}}, 3},
}};

// The last two labels of a list, left and middle, with the company line above the name: bit 2 for
// the left label, 1 for the middle. The third place of each line is unused.
constexpr std::array<RowLayout, 4> kPairRows = {{
    /* no,  no  */ {{{{Item::Name, Item::Name, Item::Nothing}, {Item::Street, Item::Street, Item::Nothing},
                      {Item::City, Item::City, Item::Nothing}}}, 3},
    /* no,  yes */ {{{{Item::Name, Item::Company, Item::Nothing}, {Item::Street, Item::Name, Item::Nothing},
                      {Item::City, Item::Street, Item::Nothing}, {Item::Blank, Item::City, Item::Nothing}}}, 4},
    /* yes, no  */ {{{{Item::Company, Item::Name, Item::Nothing}, {Item::Name, Item::Street, Item::Nothing},
                      {Item::Street, Item::City, Item::Nothing}, {Item::City, Item::Nothing, Item::Nothing}}}, 4},
    /* yes, yes */ {{{{Item::Company, Item::Company, Item::Nothing}, {Item::Name, Item::Name, Item::Nothing},
                      {Item::Street, Item::Street, Item::Nothing}, {Item::City, Item::City, Item::Nothing}}}, 4},
}};

QString textOf(const LabelAddress& a, Item item)
{
    switch (item) {
    case Item::Name: return a.name;
    case Item::Company: return a.company;
    case Item::Street: return a.street;
    case Item::City: return a.city;
    case Item::Blank: return QStringLiteral(" ");
    case Item::Nothing: break;
    }
    return {};
}

class LabelJob final {
public:
    LabelJob(PrintSurface& surface, const ListLabelStyle& style)
        : surface_(surface), style_(style), columns_(listLabelColumns(surface.deviceName(), style))
    {
    }

    // The rows above the first label of a sheet, in the type that is current.
    void topLines()
    {
        const int top = style_.correction.top;
        printBlankLines(surface_, top >= -2 && top <= 2 ? 4 + top : 4);
    }

    void fullRow(const std::array<const LabelAddress*, 3>& row)
    {
        surface_.setFontSize(9);
        printLine(row, {Item::Name, Item::Name, Item::Name});
        const RowLayout& layout = kFullRows[companyBits(row)];
        for (int l = 0; l < layout.count; ++l)
            printLine(row, layout.lines[l]);
        if (layout.count == 3) {
            surface_.setFontSize(8);
            printBlankLines(surface_, 3);
        } else {
            surface_.setFontSize(11);
            printBlankLines(surface_, 1);
            surface_.setFontSize(7);
            printBlankLines(surface_, 3);
        }
        surface_.setFontSize(9);
    }

    void partialRow(const LabelAddress& left, const LabelAddress* middle)
    {
        surface_.setFontSize(9);
        const std::array<const LabelAddress*, 3> row = {&left, middle, nullptr};
        if (!middle) {
            if (left.hasCompany())
                printLine(row, {Item::Company, Item::Nothing, Item::Nothing});
            for (Item item : {Item::Name, Item::Street, Item::City})
                printLine(row, {item, Item::Nothing, Item::Nothing});
            return;
        }
        const RowLayout& layout = kPairRows[(left.hasCompany() ? 2 : 0) | (middle->hasCompany() ? 1 : 0)];
        for (int l = 0; l < layout.count; ++l)
            printLine(row, layout.lines[l]);
    }

private:
    static int companyBits(const std::array<const LabelAddress*, 3>& row)
    {
        return (row[0]->hasCompany() ? 4 : 0) | (row[1]->hasCompany() ? 2 : 0) | (row[2]->hasCompany() ? 1 : 0);
    }

    void printLine(const std::array<const LabelAddress*, 3>& row, const RowLine& line)
    {
        QList<PrintItem> items;
        for (int i = 0; i < 3; ++i) {
            if (line[i] == Item::Nothing)
                continue;
            items << PrintItem::tab(columns_[i]) << PrintItem::textItem(textOf(*row[i], line[i]));
        }
        surface_.printLine(items);
    }

    PrintSurface& surface_;
    const ListLabelStyle& style_;
    std::array<int, 3> columns_;
};

}  // namespace

LabelAddress labelAddress(const ContactRecord& r)
{
    LabelAddress a;
    a.name = r.FirstName + (r.MiddleInitial.isEmpty() ? QStringLiteral(" ") : u' ' + r.MiddleInitial + u' ') +
             r.LastName;
    if (r.IncludeCompany == u"1")
        a.company = r.Company;
    a.street = r.Street1 + u' ' + r.Street2;
    a.city = r.City + QStringLiteral(", ") + r.State + QStringLiteral("  ") + r.Zip;
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
    LabelJob job(surface, style);
    job.topLines();
    surface.setFontName(QStringLiteral("Verdana"));
    surface.setFontSize(9);
    surface.setBold(style.bold);
    surface.setItalic(style.italic);

    // The used positions of a partly used sheet print as labels without text: a blank label takes
    // the height of a label without a company line, as every row is laid out for, so the labels
    // after it land where they would on a fresh sheet.
    const LabelAddress blank;
    const std::size_t skipped = std::clamp(firstPosition, 1, kLabelsPerSheet) - 1;
    const auto at = [&](std::size_t i) -> const LabelAddress& { return i < skipped ? blank : addresses[i - skipped]; };
    const std::size_t count = skipped + addresses.size();
    for (std::size_t i = 0; i < count; i += 3) {
        const std::size_t inRow = std::min<std::size_t>(3, count - i);
        if (inRow == 3)
            job.fullRow({&at(i), &at(i + 1), &at(i + 2)});
        else
            job.partialRow(at(i), inRow == 2 ? &at(i + 1) : nullptr);
        // A new sheet only for a label that follows: one after the last label would feed a blank
        // sheet of label stock whenever the count is a multiple of 30.
        const std::size_t printed = i + inRow;
        if (printed % kLabelsPerSheet == 0 && printed < count) {
            surface.newPage();
            job.topLines();
        }
    }
}

QList<Overflow> listLabelOverflows(const std::vector<LabelAddress>& addresses, const ListLabelStyle& style,
                                   QStringView deviceName)
{
    const std::array<int, 3> columns = listLabelColumns(deviceName, style);
    const QList<QRectF> outlines = labelSheetOutlines();
    const QString font = QStringLiteral("Verdana");
    QList<Overflow> found;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const LabelAddress& a = addresses[i];
        const int across = static_cast<int>(i % 3);
        const QRectF& label = outlines[across];
        for (const QString* line : {&a.company, &a.name, &a.street, &a.city}) {
            const int past = charactersPast(*line, columns[across], 0, label.right(), font, 9, style.bold, style.italic);
            if (past > 0)
                found.append({QStringLiteral("Label %1 (%2)").arg(i + 1).arg(a.name), *line, past, label});
        }
    }
    return found;
}

Message emptyListMessage()
{
    return {QStringLiteral("Empty list, no labels to print."), QStringLiteral("No contacts found")};
}

PrintOutcome printListLabels(Platform& platform, const ContactsFile& contacts, const std::vector<int>& listed,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition)
{
    const Expected<MarginSettings> margins = readMarginSettings(parameterFile);
    if (!margins) {
        platform.message(printerProblem());
        return PrintOutcome::Failed;
    }
    // A line pasted into the list names no contact to read; it gets no label, rather than ending
    // the whole job with a message that blames the printer.
    std::vector<int> records;
    records.reserve(listed.size());
    std::copy_if(listed.begin(), listed.end(), std::back_inserter(records), [](int record) { return record > 0; });
    if (records.empty()) {
        platform.message(emptyListMessage());
        return PrintOutcome::Cancelled;
    }
    // Every label is built from its stored record, read again by the line's record number.
    std::vector<LabelAddress> addresses;
    addresses.reserve(records.size());
    for (int record : records) {
        const Expected<ContactRecord> read = contacts.read(record);
        if (!read) {
            platform.message(printerProblem());
            return PrintOutcome::Failed;
        }
        addresses.push_back(labelAddress(*read));
    }
    const ListLabelStyle style{bold, italic, margins->pair(MarginKind::SearchResult)};
    PrintSurface& printer = platform.printer();
    if (const QList<Overflow> overflows = listLabelOverflows(addresses, style, printer.deviceName());
        !overflows.isEmpty() && platform.message(overflowQuestion(overflows)) != MessageResult::Yes)
        return PrintOutcome::Cancelled;
    printer.setFontName(QStringLiteral("Verdana"));
    printer.setFontSize(9);
    printer.setItalic(false);
    return printCopies(platform, PrintDialogRequest{.labelSheet = true}, [&](PrintSurface& surface) {
        surface.setOrientation(PageOrientation::Portrait);
        printListLabelsJob(surface, addresses, style, firstPosition);
    });
}

}  // namespace pw
