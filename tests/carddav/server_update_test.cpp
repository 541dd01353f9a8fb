#include "carddav/address_book_reader.h"
#include "carddav/server_fixture.h"
#include "cli/run_postwick.h"
#include "support/test_folder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

QByteArray card(const char* uid, const char* lines)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + QByteArray(uid) + "\r\n" + lines + "END:VCARD\r\n";
}

const ContactRecord* named(const std::vector<ContactRecord>& records, const QString& first, const QString& last)
{
    for (const ContactRecord& r : records) {
        if (r.FirstName.trimmed() == first && r.LastName.trimmed() == last)
            return &r;
    }
    return nullptr;
}

// The same address book on each test server, as a person pastes its address.
struct BookOnServer final {
    const char* server;
    QUrl book;
    QString pasted;
    QString user;  // empty: the server asks for no login
};

std::vector<BookOnServer> booksOnBothServers()
{
    const QString name = u"Wörk Böok 2024"_s;
    const QUrl r = radicale().url(u"dee/%1/"_s.arg(name));
    const QUrl x = xandikos().url(u"user/contacts/%1/"_s.arg(name));
    return {{"Radicale", r, u"http://127.0.0.1:%1/dee/%2/"_s.arg(r.port()).arg(name), u"dee"_s},
            {"Xandikos", x, u"http://127.0.0.1:%1/user/contacts/%2/"_s.arg(x.port()).arg(name), {}}};
}

TEST(ServerUpdate, EachContactTakesTheServersChangesButOneChangedHereAndDeletedOnesGoOnlyWhenAsked)
{
    for (const BookOnServer& on : booksOnBothServers()) {
        SCOPED_TRACE(on.server);
        TestFolder folder;
        if (on.user.isEmpty())
            ASSERT_EQ(makeAddressBook(on.book, u"Wörk Böok 2024"_s), 201);
        auto put = [&](const char* file, const QByteArray& c) {
            EXPECT_LT(putCard(on.book.resolved(QUrl(QString::fromLatin1(file))), c, on.user), 300);
        };
        auto import = [&](const QStringList& more = {}) {
            QStringList arguments{u"import"_s, folder.file(u"people.DAT"_s), on.pasted};
            if (!on.user.isEmpty()) {
                folder.write(u"password"_s, "secret\n");
                arguments += {u"--user"_s, on.user, u"--password-file"_s, folder.file(u"password"_s),
                              u"--insecure-http"_s};
            }
            const ProgramRun run = runPostwick(folder.path(), arguments + more);
            EXPECT_EQ(run.status, 0) << run.err.toStdString();
            return QString::fromUtf8(run.out);
        };
        put("c1.vcf", card("c1", "N:Jones;Sarah;;;\r\nFN:Sarah Jones\r\nEMAIL:sarah@example.com\r\n"));
        put("c2.vcf", card("c2", "N:Reed;Tom;;;\r\nFN:Tom Reed\r\nTEL;TYPE=HOME:555-0100\r\n"));
        put("c3.vcf", card("c3", "N:Park;Ada;;;\r\nFN:Ada Park\r\nADR;TYPE=HOME:;;1 Old Road;Reno;NV;89501;USA\r\n"));
        put("c4.vcf", card("c4", "N:Ward;Leo;;;\r\nFN:Leo Ward\r\nEMAIL:leo@example.com\r\n"));
        put("c5.vcf", card("c5", "N:Cole;Max;;;\r\nFN:Max Cole\r\nEMAIL:max@example.com\r\n"));
        put("c6.vcf", card("c6", "N:Lind;Joy;;;\r\nFN:Joy Lind\r\nEMAIL:old@example.com\r\n"
                                 "EMAIL;TYPE=INTERNET,pref:joy@example.com\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-03-09\r\n"));
        // Two people of one name, told apart by their phones alone.
        put("c7.vcf", card("c7", "N:Smith;John;;;\r\nFN:John Smith\r\nTEL;TYPE=CELL:555-0101\r\n"));
        put("c8.vcf", card("c8", "N:Smith;John;;;\r\nFN:John Smith\r\nTEL;TYPE=CELL:555-0199\r\n"));

        EXPECT_TRUE(import().startsWith(u"8 cards read\n8 contacts imported\n0 skipped as duplicates\n"));
        std::vector<ContactRecord> records = recordsIn(folder.read(u"people.DAT"_s));
        ASSERT_EQ(records.size(), 8u);
        ASSERT_NE(named(records, u"Joy"_s, u"Lind"_s), nullptr);
        EXPECT_EQ(named(records, u"Joy"_s, u"Lind"_s)->Email.trimmed(), u"joy@example.com");
        EXPECT_EQ(named(records, u"Joy"_s, u"Lind"_s)->Birthdate.trimmed(), u"00000309");

        // Without the notes of that import (an older program's), its contacts are paired by person.
        const QByteArray imported = folder.read(u"people.DAT"_s);
        ASSERT_TRUE(QFile::remove(folder.file(u"people.DAT.server"_s)));
        EXPECT_TRUE(import().contains(u"No earlier import from this address book was noted"_s));
        EXPECT_EQ(folder.read(u"people.DAT"_s), imported);

        // Leo changed here; then on the server: Sarah married, Tom's new phone, Ada moved, Leo's new
        // e-mail, Max deleted, Kim new.
        for (ContactRecord& r : records) {
            if (r.FirstName.trimmed() == u"Leo")
                r.Notes = u"Met in Oslo"_s;
        }
        QByteArray edited;
        for (const ContactRecord& r : records)
            edited += r.encode();
        folder.write(u"people.DAT"_s, edited);
        put("c1.vcf", card("c1", "N:van der Berg;Sarah;;;\r\nFN:Sarah van der Berg\r\nEMAIL:sarah@example.com\r\n"));
        put("c2.vcf", card("c2", "N:Reed;Tom;;;\r\nFN:Tom Reed\r\nTEL;TYPE=HOME:555-0177\r\n"));
        put("c3.vcf", card("c3", "N:Park;Ada;;;\r\nFN:Ada Park\r\nADR;TYPE=HOME:;;9 New Street;Reno;NV;89501;USA\r\n"));
        put("c4.vcf", card("c4", "N:Ward;Leo;;;\r\nFN:Leo Ward\r\nEMAIL:leo.ward@example.com\r\n"));
        EXPECT_LT(deleteCard(on.book.resolved(QUrl(u"c5.vcf"_s)), on.user), 300);
        put("c9.vcf", card("c9", "N:Bay;Kim;;;\r\nFN:Kim Bay\r\nEMAIL:kim@example.com\r\n"));

        const QString update = import();
        EXPECT_TRUE(update.startsWith(u"8 cards read\n1 contact imported\n0 skipped as duplicates\n")) << update.toStdString();
        for (const QString& line :
             {u"3 contacts unchanged since the last import\n"_s, u"3 contacts updated with the server's changes\n"_s,
              u"Updated: Sarah van der Berg\n"_s, u"Updated: Tom Reed\n"_s, u"Updated: Ada Park\n"_s,
              u"Leo Ward: changed in both places: kept yours\n"_s, u"Deleted on the server, kept here: Max Cole\n"_s})
            EXPECT_TRUE(update.contains(line)) << line.toStdString() << " not in\n" << update.toStdString();
        records = recordsIn(folder.read(u"people.DAT"_s));
        EXPECT_EQ(records.size(), 9u);
        EXPECT_EQ(named(records, u"Sarah"_s, u"Jones"_s), nullptr);
        ASSERT_NE(named(records, u"Sarah"_s, u"van der Berg"_s), nullptr);
        EXPECT_TRUE(named(records, u"Tom"_s, u"Reed"_s)->HomePhone.contains(u"0177"_s));
        EXPECT_EQ(named(records, u"Ada"_s, u"Park"_s)->Street1.trimmed(), u"9 New Street");
        EXPECT_EQ(named(records, u"Leo"_s, u"Ward"_s)->Notes.trimmed(), u"Met in Oslo");
        EXPECT_EQ(named(records, u"Leo"_s, u"Ward"_s)->Email.trimmed(), u"leo@example.com");
        ASSERT_NE(named(records, u"Kim"_s, u"Bay"_s), nullptr);

        EXPECT_TRUE(import({u"--remove-deleted"_s}).contains(u"Removed, deleted on the server: Max Cole\n"_s));
        records = recordsIn(folder.read(u"people.DAT"_s));
        EXPECT_EQ(records.size(), 8u);
        EXPECT_EQ(named(records, u"Max"_s, u"Cole"_s), nullptr);

        // Nothing changed since: nothing changes.
        const QByteArray settled = folder.read(u"people.DAT"_s);
        EXPECT_TRUE(import().contains(u"8 contacts unchanged since the last import\n"_s));
        EXPECT_EQ(folder.read(u"people.DAT"_s), settled);
    }
}

// The parameters of an Authorization: Digest header.
QMap<QByteArray, QByteArray> digestFields(const QByteArray& headers)
{
    QMap<QByteArray, QByteArray> fields;
    const qsizetype at = headers.indexOf("Authorization: Digest ");
    if (at < 0)
        return fields;
    const QString line = QString::fromLatin1(headers.mid(at + 22, headers.indexOf('\r', at) - at - 22));
    static const QRegularExpression field(uR"re((\w+)=(?:"([^"]*)"|([^,\s]*)))re"_s);
    for (const auto& m : field.globalMatch(line))
        fields.insert(m.captured(1).toLatin1(), (m.captured(2) + m.captured(3)).toLatin1());
    return fields;
}

TEST(AddressBookReader, ADigestOnlyServerTakesTheRightPasswordAndNeverSeesABasicHeader)
{
    const auto md5 = [](const QByteArray& text) { return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex(); };
    SmallHttpServer digest([&](const ReceivedRequest& r) {
        const QMap<QByteArray, QByteArray> f = digestFields(r.headers);
        const QByteArray expected =
            md5(md5("ann:dav:secret") + ':' + f.value("nonce") + ':' + f.value("nc") + ':' + f.value("cnonce")
                + ":auth:" + md5(r.method + ':' + f.value("uri")));
        if (f.isEmpty() || f.value("qop") != "auth" || f.value("response") != expected)
            return httpAnswer("401 Unauthorized",
                              "WWW-Authenticate: Digest realm=\"dav\", nonce=\"5e1f0c\", qop=\"auth\", algorithm=MD5\r\n");
        return oneCardAddressBook(r, kEveCard);
    });
    const ServerResult<AddressBookCards> book = readAddressBookAndWait(ann(digest.url(u"book/"_s)), {});
    ASSERT_TRUE(book.has_value()) << book.error().text.toStdString();
    EXPECT_EQ(book->cards.size(), 1u);
    const ServerResult<AddressBookCards> wrong = readAddressBookAndWait(ann(digest.url(u"book/"_s), u"guess"_s), {});
    ASSERT_FALSE(wrong.has_value());
    EXPECT_EQ(wrong.error().text, u"The server 127.0.0.1:%1 refused the user name or password."_s.arg(digest.port()));
    for (const ReceivedRequest& r : digest.received)
        EXPECT_FALSE(r.headers.contains("Basic")) << r.headers.toStdString();
}

TEST(ServerPasswords, GoOnlyToTheServerNamedAndNeverIntoAnAddressOrMessage)
{
    TestFolder folder;
    folder.write(u"password"_s, "secret\n");
    // The program runs beside this test's server, which answers from this test's event loop.
    auto run = [&](const QString& address, const QStringList& more) {
        const QStringList arguments{u"import"_s,          folder.file(u"people.DAT"_s), address, u"--user"_s, u"ann"_s,
                                    u"--password-file"_s, folder.file(u"password"_s)};
        std::unique_ptr<QProcess> program(startPostwick(folder.path(), arguments + more));
        while (!program->waitForFinished(10))
            QCoreApplication::processEvents();
        return ProgramRun{program->exitCode(), program->readAllStandardOutput(), program->readAllStandardError()};
    };
    const QByteArray family = radicale().url(u"ann/family/"_s).toEncoded();
    const ProgramRun inAddress =
        run(QString::fromLatin1(family).replace(u"http://"_s, u"http://ann:secret@"_s), {u"--insecure-http"_s});
    EXPECT_EQ(inAddress.status, 2);
    EXPECT_EQ(inAddress.err, "postwick import: " + family
                                 + ": a user name or password does not go into the address; give them with --user "
                                   "and --password-file\n");

    const ProgramRun plain = run(QString::fromLatin1(family), {});
    EXPECT_EQ(plain.status, 2);
    EXPECT_EQ(plain.err, "postwick import: " + family
                             + " is not encrypted: anyone on the way could read the password. Use https://, or "
                               "--insecure-http to send it all the same\n");

    // Sent on to another host that asks: the password goes there only when allowed.
    const QByteArray elsewhere = "http://localhost:" + QByteArray::number(radicale().url({}).port()) + "/ann/family/";
    SmallHttpServer moved([&](const ReceivedRequest&) {
        return httpAnswer("307 Temporary Redirect", "Location: " + elsewhere + "\r\n");
    });
    const ProgramRun refused = run(moved.url(u"book/"_s).toString(), {u"--insecure-http"_s});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "postwick import: The server localhost asks for the user name and password, but the address "
                           "given was on 127.0.0.1; they were not sent. With --allow-host localhost they are.\n");
    const ProgramRun allowed =
        run(moved.url(u"book/"_s).toString(), {u"--insecure-http"_s, u"--allow-host"_s, u"localhost"_s});
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_TRUE(allowed.out.startsWith("3 cards read\n3 contacts imported\n"));
}

QByteArray multistatus(const QByteArray& responses)
{
    return httpAnswer("207 Multi-Status", "Content-Type: application/xml\r\n",
                      "<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">" + responses
                          + "</d:multistatus>");
}

QByteArray response(const QByteArray& href, const QByteArray& props, const QByteArray& status = "200 OK")
{
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props
           + "</d:prop><d:status>HTTP/1.1 " + status + "</d:status></d:propstat></d:response>";
}

TEST(AddressBookReader, AFloodingTricklingOrBrokenServerIsStoppedAndNamed)
{
    // Three cards, one of them over 1 MB: more than allowed unless asked, and the large one left out.
    const QByteArray large = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Big\r\nNOTE:" + QByteArray(1100000, 'x') + "\r\nEND:VCARD\r\n";
    SmallHttpServer three([&](const ReceivedRequest& r) {
        if (r.method == "PROPFIND") {
            return multistatus(response("/book/", "<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype>")
                               + response("/book/a.vcf", "<d:getetag>\"1\"</d:getetag>")
                               + response("/book/big.vcf", "<d:getetag>\"2\"</d:getetag>")
                               + response("/book/c.vcf", "<d:getetag>\"3\"</d:getetag>"));
        }
        return multistatus(response("/book/a.vcf", "<c:address-data>" + kEveCard + "</c:address-data>")
                           + response("/book/big.vcf", "<c:address-data>" + large + "</c:address-data>")
                           + response("/book/c.vcf", "<c:address-data>" + kEveCard + "</c:address-data>"));
    });
    ReadOptions few;
    few.maxCards = 2;
    const ServerResult<AddressBookCards> refused = readAddressBookAndWait(ann(three.url(u"book/"_s)), few);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().text, u"The server lists 3 cards.");
    qint64 asked = 0;
    few.allowMore = [&](qint64 listed) {
        asked = listed;
        return true;
    };
    const ServerResult<AddressBookCards> allowed = readAddressBookAndWait(ann(three.url(u"book/"_s)), few);
    ASSERT_TRUE(allowed.has_value());
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(allowed->cards.size(), 2u);
    EXPECT_EQ(allowed->tooLarge, QStringList{u"/book/big.vcf"_s});

    // A mistyped address book that a server answers with a 404 inside its multi-status.
    SmallHttpServer missing([](const ReceivedRequest&) { return multistatus(response("/nook/", "", "404 Not Found")); });
    const ServerResult<AddressBookCards> none = readAddressBookAndWait(ann(missing.url(u"nook/"_s)), {});
    ASSERT_FALSE(none.has_value());
    EXPECT_EQ(none.error().text, u"There is no address book at %1."_s.arg(missing.url(u"nook/"_s).toString()));

    // One that sends a byte at a time meets the overall limit; one that hangs up midway is named so.
    QTcpServer dripping;
    ASSERT_TRUE(dripping.listen(QHostAddress::LocalHost));
    QPointer<QTcpSocket> client;
    bool hangUp = false;
    QTimer drip;
    QObject::connect(&dripping, &QTcpServer::newConnection, [&] {
        client = dripping.nextPendingConnection();
        client->write("HTTP/1.1 207 Multi-Status\r\nContent-Length: 5000\r\n\r\n<d:multistatus xmlns:d=\"DAV:\">");
        if (hangUp)
            client->disconnectFromHost();
        else
            drip.start(100);
    });
    QObject::connect(&drip, &QTimer::timeout, [&] {
        if (client)
            client->write("<");
    });
    const QUrl at(u"http://127.0.0.1:%1/book/"_s.arg(dripping.serverPort()));
    const ServerResult<AddressBookCards> slow = readAddressBookAndWait(ann(at), {}, SessionLimits{5000, 700});
    ASSERT_FALSE(slow.has_value());
    EXPECT_EQ(slow.error().text, u"The server 127.0.0.1:%1 did not finish its answer within 0.7 seconds."_s.arg(at.port()));
    drip.stop();
    hangUp = true;
    const ServerResult<AddressBookCards> cut = readAddressBookAndWait(ann(at), {});
    ASSERT_FALSE(cut.has_value());
    EXPECT_TRUE(cut.error().text.startsWith(u"The server 127.0.0.1:%1 broke off its answer: "_s.arg(at.port())))
        << cut.error().text.toStdString();
}

}  // namespace
}  // namespace pw::test
