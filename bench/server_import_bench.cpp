// Import from the two address-book servers the tests use, each started on the loopback address with
// one address book of POSTWICK_BENCH_CARDS cards (10,000 unless told): BM_Import* reads it through the
// client and imports it into an empty contacts file, as the command line does; BM_ServerOwnTime* sends
// the same requests and leaves the answers unread, the floor the client stands on (the server's own
// time and the loopback's). Radicale's first answer after its start builds its cache of the cards,
// which takes it minutes for 10,000; that is done once before the timing and reported.
#include "carddav/address_book_reader.h"
#include "carddav/dav_multistatus.h"
#include "carddav/test_servers.h"
#include "data/contacts_file.h"
#include "transfer/server_update.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>

namespace pw {
namespace {

int cardCount()
{
    const int n = qEnvironmentVariableIntValue("POSTWICK_BENCH_CARDS");
    return n > 0 ? n : 10'000;
}

QByteArray cardNumber(int i)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c%1\r\nN:Person%1;Card;;;\r\nFN:Card Person%1\r\n"
                          "EMAIL:card%1@example.com\r\nTEL:555-01%1\r\n"
                          "ADR;TYPE=HOME:;;%1 Long Road;Reno;NV;89501;USA\r\nEND:VCARD\r\n")
        .arg(i)
        .toUtf8();
}

QList<QByteArray> cards()
{
    QList<QByteArray> all;
    for (int i = 0; i < cardCount(); ++i)
        all.append(cardNumber(i));
    return all;
}

void writeCards(const QString& folder)
{
    const QList<QByteArray> all = cards();
    for (int i = 0; i < all.size(); ++i) {
        QFile file(QDir(folder).filePath(QStringLiteral("c%1.vcf").arg(i)));
        if (file.open(QIODevice::WriteOnly))
            file.write(all[i]);
    }
}

ServerLogin radicaleBook;  // ann's, with her password
ServerLogin xandikosBook;  // no login

DavReply exchange(DavSession& session, const DavRequest& request)
{
    const auto reply = session.waitFor<DavReply>([&](auto done) { session.send(request, std::move(done)); });
    return reply.value_or(DavReply{});
}

void import(benchmark::State& state, const ServerLogin& book)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        ContactsFile file;
        file.open(QDir(folder.path()).filePath(QStringLiteral("bench.DAT")));
        state.ResumeTiming();
        const ServerResult<AddressBookCards> cards = readAddressBookAndWait(book, {}, {600000, 3600000});
        if (!cards) {
            state.SkipWithError(qPrintable(cards.error().text));
            break;
        }
        const ServerUpdate done = updateFromServer(*cards, file, {});
        if (done.import.imported != cardCount())
            state.SkipWithError("not every card was imported");
    }
}

// The requests the client sends for a first import: what the book is, its cards' versions, the cards.
void serverOwnTime(benchmark::State& state, const ServerLogin& login)
{
    const QUrl& book = login.address;
    DavSession session(login);
    session.setLimits({600000, 3600000});
    for (auto _ : state) {
        for (const DavRequest& request : {DavRequest{"PROPFIND", book, "0", propfindBody()},
                                          DavRequest{"REPORT", book, "1", queryBody(false)},
                                          DavRequest{"REPORT", book, "1", queryBody(true)}}) {
            if (exchange(session, request).status != 207)
                state.SkipWithError("a request failed");
        }
    }
}

void BM_ImportFromRadicale(benchmark::State& state) { import(state, radicaleBook); }
void BM_ServerOwnTimeRadicale(benchmark::State& state) { serverOwnTime(state, radicaleBook); }
void BM_ImportFromXandikos(benchmark::State& state) { import(state, xandikosBook); }
void BM_ServerOwnTimeXandikos(benchmark::State& state) { serverOwnTime(state, xandikosBook); }
BENCHMARK(BM_ImportFromRadicale)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ServerOwnTimeRadicale)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportFromXandikos)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ServerOwnTimeXandikos)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace pw

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    pw::test::RadicaleServer radicale;
    radicale.addAddressBook(QStringLiteral("ann/book"), QStringLiteral("Book"), pw::cards());
    pw::test::XandikosServer xandikos;
    for (const QString& problem : {radicale.start(), xandikos.start()}) {
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
            return 1;
        }
    }
    // Radicale's cards as files, read at its first request; Xandikos's committed to its repository.
    pw::radicaleBook = {radicale.url(QStringLiteral("ann/book/")), QStringLiteral("ann"), QStringLiteral("secret")};
    const QString repository = QDir(xandikos.folder()).filePath(QStringLiteral("user/contacts/addressbook"));
    pw::writeCards(repository);
    for (const QStringList& git : {QStringList{QStringLiteral("add"), QStringLiteral("-A")},
                                   QStringList{QStringLiteral("-c"), QStringLiteral("user.name=bench"),
                                               QStringLiteral("-c"), QStringLiteral("user.email=bench@example.com"),
                                               QStringLiteral("commit"), QStringLiteral("-qm"), QStringLiteral("cards")}})
        QProcess::execute(QStringLiteral("git"), QStringList{QStringLiteral("-C"), repository} + git);
    pw::xandikosBook = {xandikos.url(QStringLiteral("user/contacts/addressbook/")), {}, {}};
    QElapsedTimer cold;
    cold.start();
    pw::DavSession warm(pw::radicaleBook);
    warm.setLimits({3600000, 3600000});
    pw::exchange(warm, {"REPORT", pw::radicaleBook.address, "1", pw::queryBody(false)});
    std::printf("Radicale's first answer, building its cache of %d cards: %lld ms\n", pw::cardCount(),
                static_cast<long long>(cold.elapsed()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
