// Contacts-file operations on a generated file of 100,000 contacts, beside a plain sequential copy
// and a sequential read plus write of the same file, the floor any whole-file operation stands on.
#include "generated_contacts.h"

#include "data/contacts_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

namespace pw {
namespace {

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

// One pass decoding every record, as the reminders and the list read the file.
void BM_PassOverEveryRecord(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    for (auto _ : state) {
        int seen = 0;
        benchmark::DoNotOptimize(file.forEachRecord([&](int, const ContactRecord&) {
            ++seen;
            return Visit::Next;
        }));
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_PassOverEveryRecord)->Unit(benchmark::kMillisecond);

void BM_Append(benchmark::State& state)
{
    const Fixture& f = fixture();
    f.freshWork();
    ContactsFile file;
    file.open(f.work());
    const ContactRecord r = generatedContact(7);
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
    const ContactRecord r = generatedContact(7);
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
