// The CSV import on any bytes: decoding, the CSV reader, layout recognition and every layout's row
// rules, those found by column position and those found by heading name. The first byte chooses a
// layout to force on the rows: 0 for recognition from the heading, n for the n-th layout.
#include "fuzz_support.h"

#include "transfer/address_book_entry.h"
#include "transfer/csv_import.h"
#include "transfer/csv_text.h"
#include "transfer/import_layouts.h"

namespace {

// What the import stores must read back as one record of the contacts file.
void expectStorable(const pw::ContactRecord& contact)
{
    const QByteArray stored = contact.encode();
    if (stored.size() != pw::ContactRecord::kSize)
        __builtin_trap();
    (void)pw::ContactRecord::decode(stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pw;
    if (size == 0)
        return 0;
    const auto& layouts = importLayouts();
    const std::size_t choice = data[0] % (layouts.size() + 1);
    const QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);

    const std::vector<CsvRow> rows = parseCsv(decodeImportText(bytes));
    if (rows.empty())
        return 0;
    const QStringList& headingRow = rows.front().fields;
    (void)sliceColumns(headingRow, 0, joinedColumns(headingRow).size() / 2);
    const LayoutRules* layout = choice == 0 ? recogniseLayout(headingRow) : &layouts[choice - 1];
    if (!layout)
        return 0;
    const auto* positional = std::get_if<PositionalColumns>(&layout->columns);
    if (!positional) {
        const std::vector<BoundColumn> bound = std::get<NamedColumns>(layout->columns).bind(headingRow);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            if (auto contact = contactFromEntry(entryFromRow(bound, rows[i].fields)))
                expectStorable(contact->record);
        }
        return 0;
    }
    auto heading = prepareHeading(*positional, headingRow);
    if (!heading || !*heading)
        return 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (auto contact = contactFromRow(*positional, **heading, rows[i].fields))
            expectStorable(*contact);
    }
    return 0;
}
