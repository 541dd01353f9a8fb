// Import from an address-book server on this machine: 10,000 cards read through the client and
// imported into an empty contacts file (BM_Import10kCardsFromServer), beside the server's own time to
// answer the same listing and multiget requests (BM_ServerAnswers10kCards), the floor the client
// stands on. The server is a stand-in on a thread of its own that answers from cards it holds in
// memory: Radicale, given 10,000 cards in one address book, took more than 30 seconds to list them
// here, which would measure Radicale alone.
#include "carddav/address_book_reader.h"
#include "carddav/dav_multistatus.h"
#include "carddav/test_servers.h"
#include "data/contacts_file.h"
#include "transfer/csv_import.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace pw {
namespace {

constexpr int kCards = 10'000;
constexpr int kBatch = 100;  // the client's own batch size

QByteArray cardNumber(int i)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c%1\r\nN:Person%1;Card;;;\r\nFN:Card Person%1\r\n"
                          "EMAIL:card%1@example.com\r\nTEL:555-01%1\r\n"
                          "ADR;TYPE=HOME:;;%1 Long Road;Reno;NV;89501;USA\r\nEND:VCARD\r\n")
        .arg(i)
        .toUtf8();
}

QByteArray response(const QByteArray& href, const QByteArray& props)
{
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props
           + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}

// An address book at /book/ of kCards cards, answering as a CardDAV server does.
class StandInBook final {
public:
    StandInBook()
    {
        listing_ = response("/book/", "<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype>");
        for (int i = 0; i < kCards; ++i) {
            const QByteArray href = "/book/c" + QByteArray::number(i) + ".vcf";
            cards_.insert(href, cardNumber(i));
            listing_ += response(href, "<d:resourcetype/><d:getetag>\"" + QByteArray::number(i) + "\"</d:getetag>");
        }
    }

    QByteArray answer(const test::ReceivedRequest& request) const
    {
        QByteArray body = kOpening;
        if (request.method == "PROPFIND") {
            body += listing_;
        } else {
            static const QRegularExpression href(QStringLiteral("<d:href>([^<]*)</d:href>"));
            for (const auto& m : href.globalMatch(QString::fromUtf8(request.body))) {
                const QByteArray path = m.captured(1).toUtf8();
                body += response(path, "<c:address-data>" + cards_.value(path) + "</c:address-data>");
            }
        }
        return test::httpAnswer("207 Multi-Status", "Content-Type: application/xml\r\n", body + "</d:multistatus>");
    }

private:
    static constexpr char kOpening[] = "<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">";
    QByteArray listing_;
    QHash<QByteArray, QByteArray> cards_;
};

// The stand-in's address, once it listens on its own thread.
QUrl bookAddress;

const ServerLogin& login()
{
    static const ServerLogin ann{bookAddress, QStringLiteral("ann"), QStringLiteral("secret")};
    return ann;
}

void BM_Import10kCardsFromServer(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        ContactsFile file;
        file.open(QDir(folder.path()).filePath(QStringLiteral("bench.DAT")));
        state.ResumeTiming();
        const ServerResult<AddressBookCards> book = readAddressBookAndWait(login(), {});
        if (!book) {
            state.SkipWithError(qPrintable(book.error().text));
            break;
        }
        std::vector<QByteArray> cards;
        for (const ServerCard& card : book->cards)
            cards.push_back(card.data);
        const ImportResult result = importCards(cards, file, {});
        if (result.imported != kCards)
            state.SkipWithError("not every card was imported");
    }
}
BENCHMARK(BM_Import10kCardsFromServer)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same listing and multigets, each reply taken whole and left unread: what the server and the
// loopback cost.
void BM_ServerAnswers10kCards(benchmark::State& state)
{
    DavSession session(login());
    auto exchange = [&session](const DavRequest& request) {
        return session.waitFor<DavReply>([&](auto done) { session.send(request, std::move(done)); });
    };
    const DavRequest listing{"PROPFIND", login().address, "1", propfindBody()};
    QStringList hrefs;
    if (const auto listed = exchange(listing); listed && listed->status == 207) {
        for (const DavResource& r : parseMultistatus(listed->body).value_or(std::vector<DavResource>{})) {
            if (!r.collection)
                hrefs.append(login().address.resolved(QUrl(r.href)).path(QUrl::FullyEncoded));
        }
    }
    if (hrefs.size() != kCards) {
        state.SkipWithError("the server did not list every card");
        return;
    }
    std::vector<QByteArray> bodies;
    for (qsizetype first = 0; first < hrefs.size(); first += kBatch)
        bodies.push_back(multigetBody(hrefs.mid(first, kBatch)));
    for (auto _ : state) {
        if (!exchange(listing))
            state.SkipWithError("the listing failed");
        for (const QByteArray& body : bodies) {
            if (const auto reply = exchange({"REPORT", login().address, "1", body}); !reply || reply->status != 207)
                state.SkipWithError("a multiget failed");
        }
    }
}
BENCHMARK(BM_ServerAnswers10kCards)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace pw

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const pw::StandInBook book;
    QThread thread;
    QObject anchor;
    anchor.moveToThread(&thread);
    thread.start();
    std::unique_ptr<pw::test::SmallHttpServer> server;
    QMetaObject::invokeMethod(
        &anchor,
        [&] {
            server = std::make_unique<pw::test::SmallHttpServer>(
                [&](const pw::test::ReceivedRequest& request) { return book.answer(request); });
            pw::bookAddress = server->url(QStringLiteral("book/"));
        },
        Qt::BlockingQueuedConnection);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QMetaObject::invokeMethod(
        &anchor, [&] { server.reset(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    return 0;
}
