// Import and export on the generated file of 100,000 contacts. Compare with BM_SequentialCopy, the
// floor any whole-file operation stands on.
#include "data/contacts_file.h"
#include "generated_contacts.h"
#include "transfer/contact_export.h"
#include "transfer/csv_import.h"
#include "transfer/vcard.h"

#include <QBuffer>
#include <QFile>

#include <benchmark/benchmark.h>

namespace pw {
namespace {



constexpr int kRows = 10'000;

QByteArray csvHeader()
{
    return exportHeaderLine(ExportFormat::Csv);
}

// 10,000 rows in the program's own export layout, none of them in the generated file.
QByteArray newRows()
{
    QByteArray csv = csvHeader();
    for (int i = 0; i < kRows; ++i)
        csv += QStringLiteral("New%1,R,Person%1,1 Elm Rd,Apt 2,Boise,ID,83702,USA,Elm Co,1,555-0101,555-0102,"
                              "555-0103,new%1@mail.com,4-5-1980,club,\"Imported, with a comma\"\r\n")
                   .arg(i)
                   .toLatin1();
    return csv;
}

// 10,000 rows that are all in the generated file already: its own export lines, spread over it.
QByteArray duplicateRows()
{
    QByteArray csv = csvHeader();
    for (int i = 0; i < kRows; ++i)
        csv += exportLine(ExportFormat::Csv, generatedContact(i * 10).encode());
    return csv;
}

ImportResult importInto(ContactsFile& file, const QByteArray& csv)
{
    QBuffer buffer;
    buffer.setData(csv);
    buffer.open(QIODevice::ReadOnly);
    return importContacts(buffer, file, {});
}

void BM_Import10kNewRows(benchmark::State& state)
{
    const QByteArray csv = newRows();
    for (auto _ : state) {
        state.PauseTiming();
        fixture().freshWork();
        ContactsFile file;
        file.open(fixture().work());
        state.ResumeTiming();
        const ImportResult result = importInto(file, csv);
        if (result.imported != kRows)
            state.SkipWithError("not every row was imported");
    }
}
BENCHMARK(BM_Import10kNewRows)->Unit(benchmark::kMillisecond);

void BM_Import10kDuplicateRows(benchmark::State& state)
{
    const QByteArray csv = duplicateRows();
    ContactsFile file;
    file.open(fixture().master());
    for (auto _ : state) {
        const ImportResult result = importInto(file, csv);
        if (result.imported != 0)
            state.SkipWithError("a duplicate was imported");
    }
}
BENCHMARK(BM_Import10kDuplicateRows)->Unit(benchmark::kMillisecond);

// 10,000 cards as a phone writes them, none of them in the generated file, imported into it: the
// 100,000 records there are read for the duplicate test first.
void BM_Import10kVCardsInto100k(benchmark::State& state)
{
    QByteArray vcf;
    for (int i = 0; i < kRows; ++i) {
        ContactRecord c = generatedContact(kContacts + i);
        c.FirstName = QStringLiteral("Card%1").arg(i);
        c.Email = QStringLiteral("card%1@mail.com").arg(i);
        vcf += vCardOf(c);
    }
    for (auto _ : state) {
        state.PauseTiming();
        fixture().freshWork();
        ContactsFile file;
        file.open(fixture().work());
        state.ResumeTiming();
        const ImportResult result = importInto(file, vcf);
        if (result.imported != kRows)
            state.SkipWithError("not every card was imported");
    }
}
BENCHMARK(BM_Import10kVCardsInto100k)->Unit(benchmark::kMillisecond);

// Every contact of the 100,000-contact file written in one format.
void exportMaster(benchmark::State& state, ExportFormat format, const char* fileName)
{
    ContactsFile file;
    file.open(fixture().master());
    const QString target = fixture().file(QString::fromLatin1(fileName));
    for (auto _ : state) {
        const ExportResult result = writeExportFile(file, format, target);
        if (result.written != kContacts)
            state.SkipWithError("not every contact was written");
    }
}

void BM_Export100kVCard(benchmark::State& state)
{
    exportMaster(state, ExportFormat::VCard, "PWKV_master.vcf");
}
BENCHMARK(BM_Export100kVCard)->Unit(benchmark::kMillisecond);

void BM_Export100kCsv(benchmark::State& state)
{
    exportMaster(state, ExportFormat::Csv, "PWKC_master.csv");
}
BENCHMARK(BM_Export100kCsv)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw
