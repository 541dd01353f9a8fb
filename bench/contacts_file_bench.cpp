// Contacts-file operations on a generated file of 100,000 contacts, beside a plain sequential copy
// and a sequential read plus write of the same file, the floor any whole-file operation stands on.
#include "data/contacts_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

namespace pw {
namespace {

constexpr int kContacts = 100'000;

ContactRecord generated(int i)
{
    ContactRecord r;
    r.FirstName = QStringLiteral("First%1").arg(i);
    r.MiddleInitial = QStringLiteral("Q");
    r.LastName = QStringLiteral("Last%1").arg(kContacts - i);
    r.Street1 = QStringLiteral("%1 Oak Street").arg(i % 9000 + 1);
    r.City = QStringLiteral("Reno");
    r.State = QStringLiteral("NV");
    r.Zip = QStringLiteral("895%1").arg(i % 100, 2, 10, QLatin1Char('0'));
    r.Country = QStringLiteral("USA");
    r.HomePhone = QStringLiteral("555-%1").arg(i % 10000, 4, 10, QLatin1Char('0'));
    r.Email = QStringLiteral("person%1@example.com").arg(i);
    r.Birthdate = QStringLiteral("1980%1%2").arg(i % 12 + 1, 2, 10, QLatin1Char('0')).arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
    r.Category = QStringLiteral("friends;club");
    r.Notes = QStringLiteral("Generated contact");
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

// One generated file per run, copied fresh where a benchmark changes it.
class Fixture final {
public:
    Fixture()
    {
        QByteArray bytes;
        bytes.reserve(qsizetype(kContacts) * ContactRecord::kSize);
        for (int i = 0; i < kContacts; ++i)
            bytes += generated(i).encode();
        QFile f(master());
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QString master() const { return dir_.filePath(QStringLiteral("master.DAT")); }
    QString work() const { return dir_.filePath(QStringLiteral("work.DAT")); }
    void freshWork() const
    {
        QFile::remove(work());
        QFile::copy(master(), work());
    }

private:
    QTemporaryDir dir_;
};

const Fixture& fixture()
{
    static const Fixture f;
    return f;
}

void copyFile(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray chunk;
    while (!(chunk = in.read(1 << 21)).isEmpty())
        out.write(chunk);
    out.flush();
    ::fdatasync(out.handle());
}

void BM_SequentialCopy(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state)
        copyFile(f.master(), f.work());
}
BENCHMARK(BM_SequentialCopy)->Unit(benchmark::kMillisecond);

void BM_SequentialReadPlusWriteInPlace(benchmark::State& state)
{
    const Fixture& f = fixture();
    f.freshWork();
    for (auto _ : state) {
        QFile file(f.work());
        file.open(QIODevice::ReadWrite);
        const QByteArray all = file.readAll();
        file.seek(0);
        file.write(all);
        file.flush();
        ::fdatasync(file.handle());
    }
}
BENCHMARK(BM_SequentialReadPlusWriteInPlace)->Unit(benchmark::kMillisecond);

void BM_RecordCount(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.recordCount());
}
BENCHMARK(BM_RecordCount);

void BM_ReadEveryRecordOneByOne(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    for (auto _ : state) {
        for (int n = 1; n <= kContacts; ++n)
            benchmark::DoNotOptimize(file.read(n));
    }
}
BENCHMARK(BM_ReadEveryRecordOneByOne)->Unit(benchmark::kMillisecond);

void BM_ReadAll(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.readAll());
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);

void BM_Append(benchmark::State& state)
{
    const Fixture& f = fixture();
    f.freshWork();
    ContactsFile file;
    file.open(f.work());
    const ContactRecord r = generated(7);
    for (auto _ : state)
        file.append(r);
}
BENCHMARK(BM_Append)->Unit(benchmark::kMicrosecond);

void BM_Overwrite(benchmark::State& state)
{
    const Fixture& f = fixture();
    f.freshWork();
    ContactsFile file;
    file.open(f.work());
    const ContactRecord r = generated(7);
    for (auto _ : state)
        file.overwrite(kContacts / 2, r);
}
BENCHMARK(BM_Overwrite)->Unit(benchmark::kMicrosecond);

void BM_RemoveMiddleRecord(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.freshWork();
        ContactsFile file;
        file.open(f.work());
        state.ResumeTiming();
        file.remove(kContacts / 2);
    }
}
BENCHMARK(BM_RemoveMiddleRecord)->Unit(benchmark::kMillisecond);

void BM_SetBirthdayReminders(benchmark::State& state)
{
    const Fixture& f = fixture();
    f.freshWork();
    ContactsFile file;
    file.open(f.work());
    bool on = false;
    for (auto _ : state) {
        file.setBirthdayReminders(on);
        on = !on;
    }
}
BENCHMARK(BM_SetBirthdayReminders)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw
