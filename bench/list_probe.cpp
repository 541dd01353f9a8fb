// Measurements a benchmark loop cannot make, each in a fresh process:
//   list_probe generate N FILE   writes N generated contacts to FILE
//   list_probe window FILE       memory of the all-contacts window before and after Get report
//   list_probe repeat FILE N     N reports' lines in turn, each sort: wall time and the processor
//                                time of all threads
//   list_probe report FILE N     peak memory and time of the report of N listed contacts to PDF
//   list_probe labels FILE N     the same for their labels
#include "data/contacts_file.h"
#include "desktop/painter_surface.h"
#include "list/contact_lines.h"
#include "list/contact_list_window.h"
#include "list/contact_report.h"
#include "list/list_labels.h"
#include "platform/platform.h"
#include "platform/quiet_platform.h"
#include "printing/sheet_fit.h"
#include "varied_contacts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <time.h>

namespace pw {
namespace {

class NullSurface final : public PrintSurface {
public:
    void setFontName(const QString&) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    void setItalic(bool) override {}
    void setOrientation(PageOrientation) override {}
    void setPaperSize(PaperSize) override {}
    QString deviceName() const override { return {}; }
    void print(const QList<PrintItem>&, bool) override {}
    double paperHeightInches() const override { return 11; }
    void homeAt(double) override {}
    void setFrame(const QRectF&) override {}
    const TextMeasure& measure() const override { return measure_; }

private:
    ColumnMeasure measure_;
    void newPage() override {}
    Status endJob() override { return {}; }
    void abandonJob() override {}
};

// The probe's own folder, made before the platform that is given its path.
struct ProbeFolder {
    QTemporaryDir folder;
};

// Answers nothing and shows nothing, in a folder of its own.
class ProbePlatform final : private ProbeFolder, public QuietPlatform {
public:
    ProbePlatform() : QuietPlatform(surface_, folder.path()) {}

private:
    NullSurface surface_;
};

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096 / (1024 * 1024);
}

double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Processor time of this process, which a busy machine does not stretch as it does the clock.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

int window(const QString& file)
{
    ContactsFile contacts;
    if (!contacts.open(file))
        return 1;
    ProbePlatform platform;
    auto* list = new ContactListWindow(platform, contacts, QStringLiteral("contacts"), {});
    list->show();
    list->startSearch();
    settle();
    const double before = residentMb();
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    list->findChild<QPushButton*>(QStringLiteral("cmdACGetReport"))->click();
    const qint64 filled = timer.elapsed();
    const double filledCpu = cpuMs() - cpu;
    settle();
    const qint64 shown = timer.elapsed();
    const double after = residentMb();
    std::printf("lines %d, click to filled model %lld ms (%.0f ms processor), to drawn %lld ms, resident %.1f MB "
                "before, %.1f MB after: %.1f MB for the lines\n",
                list->findChild<QListView*>(QStringLiteral("lstAllContacts"))->model()->rowCount(),
                static_cast<long long>(filled), filledCpu, static_cast<long long>(shown), before, after,
                after - before);
    delete list;
    return 0;
}

int repeat(const QString& file, int times)
{
    ContactsFile contacts;
    if (!contacts.open(file))
        return 1;
    std::vector<double> walls;
    const double cpu = cpuMs();
    for (int i = 0; i < times; ++i) {
        QElapsedTimer timer;
        timer.start();
        auto lines = contactLines(contacts, {}, SortOrder(i % 2), AddressDisplay::Street);
        walls.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(walls.begin(), walls.end());
    std::printf("median wall %.1f ms, min %.1f, processor %.1f ms a report\n", walls[walls.size() / 2], walls[0],
                (cpuMs() - cpu) / times);
    return 0;
}

int print(const QString& file, int count, bool labels)
{
    ContactsFile contacts;
    if (!contacts.open(file))
        return 1;
    auto lines = contactLines(contacts, {}, SortOrder::FirstName, AddressDisplay::Email);
    lines->resize(std::min<std::size_t>(lines->size(), count));
    QTemporaryDir dir;
    const double start = peakMb();
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfOutput(printer, dir.filePath(QStringLiteral("out.pdf")));
    PainterSurface surface(printer);
    surface.setFontName(QStringLiteral("Verdana"));
    if (labels) {
        std::vector<LabelAddress> addresses;
        for (const ContactLine& line : *lines)
            addresses.push_back(labelAddress(*contacts.read(line.record())));
        surface.setFontSize(9);
        printListLabelsJob(surface, addresses, {});
    } else {
        QStringList texts;
        for (const ContactLine& line : *lines)
            texts << line.text().toString();
        surface.setOrientation(PageOrientation::Landscape);
        printReportJob(surface, texts, AddressDisplay::Email, QStringLiteral("contacts"));
    }
    const bool ok = surface.endJob().has_value();
    std::printf("%s of %zu contacts: %lld ms (%.0f ms processor), %lld bytes of PDF, peak resident %.1f MB (%.1f MB "
                "before printing)\n",
                labels ? "labels" : "report", lines->size(), static_cast<long long>(timer.elapsed()), cpuMs() - cpu,
                static_cast<long long>(QFile(dir.filePath(QStringLiteral("out.pdf"))).size()), peakMb(), start);
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace pw

int main(int argc, char** argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "generate") == 0) {
        pw::bench::writeGeneratedContacts(QString::fromLocal8Bit(argv[3]), QByteArray(argv[2]).toInt());
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], "repeat") == 0)
        return pw::repeat(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    if (argc >= 3 && qstrcmp(argv[1], "window") == 0)
        return pw::window(QString::fromLocal8Bit(argv[2]));
    if (argc >= 4 && (qstrcmp(argv[1], "report") == 0 || qstrcmp(argv[1], "labels") == 0))
        return pw::print(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt(), argv[1][0] == 'l');
    std::fprintf(stderr, "usage: list_probe generate N FILE | window FILE | repeat FILE N | report FILE N | labels FILE N\n");
    return 2;
}
