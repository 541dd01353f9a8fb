// The all-contacts list on a generated file of 100,000 contacts: from the Get report click to a
// filled model, beside a plain read of the file, in its parts, and a search; the report and the labels of 3,000 listed
// contacts rendered to a PDF file.
#include "data/contacts_file.h"
#include "desktop/painter_surface.h"
#include "list/contact_line_model.h"
#include "list/contact_lines.h"
#include "list/contact_report.h"
#include "list/contact_search.h"
#include "list/list_labels.h"
#include "list/mailing_order.h"
#include "platform/quiet_platform.h"
#include "printing/overflow.h"
#include "printing/sheet_outlines.h"
#include "varied_contacts.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace pw {
namespace {

constexpr int kContacts = 100'000;
constexpr int kListed = 3'000;

class Fixture final {
public:
    Fixture()
    {
        bench::writeGeneratedContacts(path(), kContacts);
        contacts.open(path());
    }
    QString path() const { return dir_.filePath(QStringLiteral("contacts.DAT")); }
    QString pdf() const { return dir_.filePath(QStringLiteral("out.pdf")); }
    ContactsFile contacts;

private:
    QTemporaryDir dir_;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Painting text needs the GUI application's fonts, offscreen.
void needGui()
{
    static int argc = 1;
    static char name[] = "list_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

void BM_GetReportToFilledModel(benchmark::State& state)
{
    const auto order = static_cast<SortOrder>(state.range(0));
    const auto display = state.range(1) ? AddressDisplay::Email : AddressDisplay::Street;
    for (auto _ : state) {
        ContactLineModel model;
        auto lines = contactLines(fixture().contacts, {}, order, display);
        model.setLines(std::move(*lines));
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_GetReportToFilledModel)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"lastNameFirst", "email"})
    ->Unit(benchmark::kMillisecond);

// The floor: the same pass over the file with nothing decoded.
void BM_PlainReadOfTheFile(benchmark::State& state)
{
    for (auto _ : state) {
        qint64 bytes = 0;
        benchmark::DoNotOptimize(fixture().contacts.forEachStored([&](int, QByteArrayView record) {
            bytes += record.size();
            return Visit::Next;
        }));
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_PlainReadOfTheFile)->Unit(benchmark::kMillisecond);

// The parts: reading every record decoded, and sorting lines again, as Get report does when the
// list already holds pasted lines.
void BM_ReadEveryRecord(benchmark::State& state)
{
    for (auto _ : state) {
        int seen = 0;
        benchmark::DoNotOptimize(fixture().contacts.forEachRecord([&](int, const ContactRecord&) {
            ++seen;
            return Visit::Next;
        }));
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_ReadEveryRecord)->Unit(benchmark::kMillisecond);

void BM_SortLines(benchmark::State& state)
{
    auto shuffled = *contactLines(fixture().contacts, {}, SortOrder::FirstName, AddressDisplay::Street);
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ContactLine> lines = shuffled;
        state.ResumeTiming();
        sortLines(lines);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_SortLines)->Unit(benchmark::kMillisecond);

void BM_SearchAllRecords(benchmark::State& state)
{
    const ContactSearch search{SearchKind::City, QStringLiteral("spring")};
    std::size_t found = 0;
    for (auto _ : state) {
        ContactLineModel model;
        auto lines = contactLines(fixture().contacts, search, SortOrder::LastName, AddressDisplay::Street);
        sortLines(*lines);
        found = lines->size();
        model.setLines(std::move(*lines));
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_SearchAllRecords)->Unit(benchmark::kMillisecond);

std::vector<ContactLine> listedLines()
{
    auto lines = contactLines(fixture().contacts, {}, SortOrder::FirstName, AddressDisplay::Email);
    lines->resize(kListed);
    return *lines;
}

void BM_ReportOf3000ToPdf(benchmark::State& state)
{
    needGui();
    QStringList texts;
    for (const ContactLine& line : listedLines())
        texts << line.text().toString();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfOutput(printer, fixture().pdf());
        PainterSurface surface(printer);
        surface.setFontName(QStringLiteral("Verdana"));
        surface.setOrientation(PageOrientation::Landscape);
        printReportJob(surface, texts, AddressDisplay::Email, QStringLiteral("contacts"));
        benchmark::DoNotOptimize(surface.endJob());
    }
}
BENCHMARK(BM_ReportOf3000ToPdf)->Unit(benchmark::kMillisecond);

void BM_LabelsOf3000ToPdf(benchmark::State& state)
{
    needGui();
    // Read again by record number, as the print action does.
    std::vector<int> records;
    for (const ContactLine& line : listedLines())
        records.push_back(line.record());
    for (auto _ : state) {
        std::vector<LabelAddress> addresses;
        addresses.reserve(records.size());
        for (int record : records)
            addresses.push_back(labelAddress(*fixture().contacts.read(record)));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfOutput(printer, fixture().pdf());
        PainterSurface surface(printer);
        surface.setFontName(QStringLiteral("Verdana"));
        surface.setFontSize(9);
        printListLabelsJob(surface, addresses, {});
        benchmark::DoNotOptimize(surface.endJob());
    }
}
BENCHMARK(BM_LabelsOf3000ToPdf)->Unit(benchmark::kMillisecond);

// The labels of every listed contact, read again from the file in list order, as Print labels
// does before the print dialog.
void BM_ReadMailingOf100000Listed(benchmark::State& state)
{
    needGui();
    std::vector<int> records;
    for (const ContactLine& line : *contactLines(fixture().contacts, {}, SortOrder::LastName, AddressDisplay::Street))
        records.push_back(line.record());
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfOutput(printer, fixture().pdf());
    PainterSurface surface(printer);
    QuietPlatform platform(surface, QString());
    std::size_t labels = 0;
    for (auto _ : state) {
        const auto mailing = readMailing(platform, fixture().contacts, records, {}, fixture().contacts.follows());
        labels = mailing ? mailing->labels.size() : 0;
    }
    state.counters["labels"] = static_cast<double>(labels);
}
BENCHMARK(BM_ReadMailingOf100000Listed)->Unit(benchmark::kMillisecond);

std::vector<LabelAddress> listedAddresses()
{
    std::vector<LabelAddress> addresses;
    for (const ContactLine& line : listedLines())
        addresses.push_back(labelAddress(*fixture().contacts.read(line.record())));
    return addresses;
}

// The check made before the print dialog: every line of 3,000 labels measured with the printer's
// fonts against its label.
void BM_OverflowCheckOf3000Labels(benchmark::State& state)
{
    needGui();
    const std::vector<LabelAddress> addresses = listedAddresses();
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfOutput(printer, fixture().pdf());
    PainterSurface surface(printer);
    for (auto _ : state) {
        const QList<ProbedText> texts = probeJob(
            [&](PrintSurface& probe) { printListLabelsJob(probe, addresses, {}); }, surface.measure());
        benchmark::DoNotOptimize(overflowsOf(texts, labelSheetOutlines()));
    }
}
BENCHMARK(BM_OverflowCheckOf3000Labels)->Unit(benchmark::kMillisecond);

// What the labels cost at the least: the same lines drawn by a bare program, each at its place, in
// the same font, on a writer with the same resolution.
void BM_BareWriterDrawsTheSameLines(benchmark::State& state)
{
    needGui();
    const std::vector<LabelAddress> addresses = listedAddresses();
    for (auto _ : state) {
        QPdfWriter writer(fixture().pdf());
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setResolution(1200);
        QPainter painter(&writer);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(9);
        painter.setFont(font);
        const double row = writer.resolution() * 0.152;
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            if (i > 0 && i % 30 == 0)
                writer.newPage();
            const QPointF at(300 + static_cast<double>(i % 3) * 3300, 900 + static_cast<double>(i % 30 / 3) * 1200);
            const LabelAddress& a = addresses[i];
            int n = 0;
            for (const QString* line : {&a.name, &a.company, &a.street, &a.city}) {
                if (!line->isEmpty())
                    painter.drawText(at + QPointF(0, row * ++n), *line);
            }
        }
        benchmark::DoNotOptimize(painter.end());
    }
}
BENCHMARK(BM_BareWriterDrawsTheSameLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw
