#include "carddav/address_book_reader.h"
#include "carddav/server_fixture.h"
#include "cli/run_postwick.h"
#include "data/contact_record.h"
#include "support/main_window_fixture.h"
#include "support/test_folder.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;


// A server of one address book whose certificate no authority vouches for.
struct SelfSignedBook final {
    TestFolder keys;
    QSslConfiguration tls = selfSignedServer(keys.path());
    SmallHttpServer server{[](const ReceivedRequest& r) { return oneCardAddressBook(r, kEveCard); }, tls};
    QString fingerprint() const
    {
        return QString::fromLatin1(tls.localCertificate().digest(QCryptographicHash::Sha256).toHex(':').toUpper());
    }
};

TEST(AddressBookReader, FollowsRedirectsWithMethodAndBodyAndFetchesInBatches)
{
    // The first address sends the request on twice: within itself, then to the address book.
    SmallHttpServer moved([](const ReceivedRequest& request) {
        return request.path == "/old/"
                   ? httpAnswer("308 Permanent Redirect", "Location: /new/\r\n")
                   : httpAnswer("301 Moved Permanently",
                                "Location: " + radicale().url(u"ann/family/"_s).toEncoded() + "\r\n");
    });
    QList<qint64> totals;
    ReadOptions options;
    options.batchSize = 2;
    options.progress = [&](qint64 done, qint64 total) {
        if (totals.isEmpty() || totals.back() != done * 100 + total)
            totals.append(done * 100 + total);
        return true;
    };
    const ServerResult<AddressBookCards> book = readAddressBookAndWait(ann(moved.url(u"old/"_s)), options);
    ASSERT_TRUE(book.has_value()) << book.error().text.toStdString();
    EXPECT_EQ(book->name, u"Family");
    EXPECT_EQ(book->address, radicale().url(u"ann/family/"_s));
    ASSERT_EQ(book->cards.size(), 3u);
    EXPECT_TRUE(std::any_of(book->cards.begin(), book->cards.end(),
                            [](const ServerCard& card) { return card.data.contains("VERSION:4.0"); }));
    ASSERT_EQ(moved.received.size(), 2);
    EXPECT_EQ(moved.received[1].method, "PROPFIND");
    EXPECT_EQ(moved.received[1].body, moved.received[0].body);
    EXPECT_TRUE(moved.received[0].body.contains("resourcetype"));
    // Listed (0 of 0), 0 of 3 found, then 2 of 3 after the first batch and 3 of 3 after the second.
    EXPECT_EQ(totals, (QList<qint64>{0, 3, 203, 303}));
}

TEST(AddressBookReader, SaysClearlyWhatWentWrongAndAnswersARefusedLoginOnce)
{
    SmallHttpServer refusing([](const ReceivedRequest&) {
        return httpAnswer("401 Unauthorized", "WWW-Authenticate: Basic realm=\"x\"\r\n");
    });
    const ServerResult<AddressBookCards> refused = readAddressBookAndWait(ann(refusing.url(u"book/"_s)), {});
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().text,
              u"The server 127.0.0.1:%1 refused the user name or password."_s.arg(refusing.port()));
    // Once without credentials, once with them: never a loop.
    ASSERT_EQ(refusing.received.size(), 2);
    EXPECT_FALSE(refusing.received[0].headers.contains("Authorization"));
    EXPECT_TRUE(refusing.received[1].headers.contains("Authorization: Basic YW5uOnNlY3JldA=="));

    SmallHttpServer web([](const ReceivedRequest&) {
        return httpAnswer("200 OK", "Content-Type: text/html\r\n", "<html><body>Welcome</body></html>");
    });
    const ServerResult<AddressBookCards> page = readAddressBookAndWait(ann(web.url(u"book/"_s)), {});
    ASSERT_FALSE(page.has_value());
    EXPECT_EQ(page.error().text,
              u"%1 does not answer as an address-book server (CardDAV) does."_s.arg(web.url(u"book/"_s).toString()));

    SmallHttpServer silent([](const ReceivedRequest&) { return QByteArray(); });
    const ServerResult<AddressBookCards> hung = readAddressBookAndWait(ann(silent.url(u"book/"_s)), {}, SessionLimits{300});
    ASSERT_FALSE(hung.has_value());
    EXPECT_EQ(hung.error().text, u"The server 127.0.0.1:%1 did not answer within 0.3 seconds."_s.arg(silent.port()));

    // HTTPS with a certificate of no authority the system knows.
    TestFolder keys;
    const QSslConfiguration tls = selfSignedServer(keys.path());
    ASSERT_FALSE(tls.localCertificate().isNull()) << "openssl could not make a certificate";
    SmallHttpServer unknown([](const ReceivedRequest&) { return httpAnswer("207 Multi-Status"); }, tls);
    const ServerResult<AddressBookCards> untrusted = readAddressBookAndWait(ann(unknown.url(u"book/"_s)), {});
    ASSERT_FALSE(untrusted.has_value());
    EXPECT_TRUE(untrusted.error().text.startsWith(
        u"The server 127.0.0.1:%1 showed a certificate that this computer does not trust ("_s.arg(unknown.port())))
        << untrusted.error().text.toStdString();
    EXPECT_EQ(untrusted.error().certificateSha256, tls.localCertificate().digest(QCryptographicHash::Sha256));
    EXPECT_TRUE(unknown.received.isEmpty());

    // A collection that holds address books is not one.
    const ServerResult<AddressBookCards> home = readAddressBookAndWait(ann(radicale().url(u"ann/"_s)), {});
    ASSERT_FALSE(home.has_value());
    EXPECT_EQ(home.error().text,
              u"%1 is not an address book on the server."_s.arg(radicale().url(u"ann/"_s).toString()));
}

TEST(AddressBookReader, AnAuthorityNamedBySslCertFileOrSslCertDirIsTrusted)
{
    TestFolder keys;
    const QSslConfiguration tls = selfSignedServer(keys.path());
    ASSERT_FALSE(tls.localCertificate().isNull()) << "openssl could not make a certificate";
    SmallHttpServer server(
        [](const ReceivedRequest& r) {
            return oneCardAddressBook(r, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Al Ray\r\nEND:VCARD\r\n");
        },
        tls);
    const std::pair<const char*, QString> authorities[] = {{"SSL_CERT_FILE", keys.file(u"cert.pem"_s)},
                                                           {"SSL_CERT_DIR", keys.path()}};
    for (const auto& [variable, where] : authorities) {
        qputenv(variable, where.toUtf8());
        const ServerResult<AddressBookCards> read = readAddressBookAndWait(ann(server.url(u"book/"_s)), {});
        qunsetenv(variable);
        ASSERT_TRUE(read.has_value()) << variable << ": " << read.error().text.toStdString();
        EXPECT_EQ(read->cards.size(), 1u) << variable;
    }
}

// The command line, run as the real program against the server.
class ServerImportCommand : public ::testing::Test {
protected:
    TestFolder folder;

    ProgramRun import(const QString& address, const QString& password = u"secret"_s, const QStringList& more = {})
    {
        folder.write(u"password"_s, password.toUtf8() + '\n');
        return runPostwick(folder.path(),
                           QStringList{u"import"_s, folder.file(u"people.DAT"_s), address, u"--user"_s, u"ann"_s,
                                       u"--password-file"_s, folder.file(u"password"_s), u"--insecure-http"_s}
                               + more);
    }
};

TEST_F(ServerImportCommand, ImportsTheChosenAddressBookOnceWithTheImportsSummary)
{
    const ProgramRun first = import(radicale().url(u"ann/family/"_s).toString());
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, "3 cards read\n3 contacts imported\n0 skipped as duplicates\n0 skipped for having no name\n"
                         "0 fields cut to fit\n");
    const std::vector<ContactRecord> records = recordsIn(folder.read(u"people.DAT"_s));
    ASSERT_EQ(records.size(), 3u);
    const auto bob = std::find_if(records.begin(), records.end(),
                                  [](const ContactRecord& r) { return r.FirstName.trimmed() == u"Bob"; });
    ASSERT_NE(bob, records.end());
    EXPECT_EQ(bob->City.trimmed(), u"Salem");  // from the vCard 4.0 card
    EXPECT_EQ(bob->Street1.trimmed(), u"3 Elm Street");

    // The same address book again: every card is as it was imported, and so is the file.
    const QByteArray before = folder.read(u"people.DAT"_s);
    const ProgramRun again = import(radicale().url(u"ann/family/"_s).toString());
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.startsWith("3 cards read\n0 contacts imported\n0 skipped as duplicates\n"));
    EXPECT_TRUE(again.out.endsWith("3 contacts unchanged since the last import\n"));
    EXPECT_EQ(folder.read(u"people.DAT"_s), before);
}

TEST_F(ServerImportCommand, FromTheServersAddressTheAddressBookIsChosenByName)
{
    const QString root = radicale().url({}).toString();
    const ProgramRun unnamed = import(root);
    EXPECT_EQ(unnamed.status, 1);
    EXPECT_EQ(unnamed.err, "postwick import: " + root.toUtf8()
                               + " leads to 2 address books; name one with --addressbook: Family, Work\n");
    EXPECT_FALSE(QFile::exists(folder.file(u"people.DAT"_s)));

    const ProgramRun work = import(root, u"secret"_s, {u"--addressbook"_s, u"work"_s});
    EXPECT_EQ(work.status, 0) << work.err.toStdString();
    const std::vector<ContactRecord> records = recordsIn(folder.read(u"people.DAT"_s));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Email.trimmed(), u"dee@example.net");
}

TEST_F(ServerImportCommand, AnAddressPastedWithBlanksAndAccentsImportsTheBookWithItsPreferredValues)
{
    const QString pasted = u"http://127.0.0.1:%1/cy/Wörk Böok 2024/"_s.arg(radicale().url({}).port());
    folder.write(u"password"_s, "secret\n");
    const ProgramRun run =
        runPostwick(folder.path(), {u"import"_s, folder.file(u"people.DAT"_s), pasted, u"--user"_s, u"cy"_s,
                                    u"--password-file"_s, folder.file(u"password"_s), u"--insecure-http"_s});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const std::vector<ContactRecord> records = recordsIn(folder.read(u"people.DAT"_s));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Email.trimmed(), u"cy@example.com");
    EXPECT_EQ(records[0].Birthdate.trimmed(), u"00000122");
}

TEST_F(ServerImportCommand, AFailureSaysWhyInOneLineAndLeavesTheContactsFileAsItWas)
{
    const QByteArray before = ContactRecord{}.encode();
    folder.write(u"people.DAT"_s, before);
    const QString port = QString::number(radicale().url({}).port());
    const ProgramRun wrong = import(radicale().url(u"ann/family/"_s).toString(), u"guess"_s);
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err,
              "postwick import: The server 127.0.0.1:" + port.toUtf8() + " refused the user name or password.\n");

    const ProgramRun missing = import(radicale().url(u"ann/holiday/"_s).toString());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "postwick import: There is no address book at http://127.0.0.1:" + port.toUtf8() + "/ann/holiday/.\n");
    EXPECT_EQ(folder.read(u"people.DAT"_s), before);

    // A password never goes on the command line, and a new contacts file is not left behind empty.
    const ProgramRun noPassword =
        runPostwick(folder.path(), {u"import"_s, folder.file(u"new.DAT"_s), radicale().url(u"ann/family/"_s).toString(),
                                    u"--user"_s, u"ann"_s});
    EXPECT_EQ(noPassword.status, 2);
    EXPECT_EQ(noPassword.err, "postwick import: --user NAME and --password-file FILE go together\n");
    folder.write(u"password"_s, "guess\n");
    runPostwick(folder.path(), {u"import"_s, folder.file(u"new.DAT"_s), radicale().url(u"ann/work/"_s).toString(),
                                u"--user"_s, u"ann"_s, u"--password-file"_s, folder.file(u"password"_s),
                                u"--insecure-http"_s});
    EXPECT_FALSE(QFile::exists(folder.file(u"new.DAT"_s)));
}

TEST_F(ServerImportCommand, AnUntrustedCertificateIsRefusedUnlessInsecureIsGiven)
{
    SelfSignedBook book;
    ASSERT_FALSE(book.tls.localCertificate().isNull());
    // The program runs beside this test's server, which answers from this test's event loop.
    auto run = [&](const QStringList& more) {
        const QStringList arguments{u"import"_s, folder.file(u"people.DAT"_s), book.server.url(u"book/"_s).toString()};
        std::unique_ptr<QProcess> program(startPostwick(folder.path(), arguments + more));
        while (!program->waitForFinished(10))
            QCoreApplication::processEvents();
        return std::pair{program->exitCode(), program->readAllStandardError() + program->readAllStandardOutput()};
    };
    const auto [refused, why] = run({});
    EXPECT_EQ(refused, 1);
    EXPECT_TRUE(why.startsWith("postwick import: The server 127.0.0.1:" + QByteArray::number(book.server.port())
                               + " showed a certificate that this computer does not trust ("));
    EXPECT_TRUE(why.endsWith("With --insecure it is trusted; its SHA-256 fingerprint is "
                             + book.fingerprint().toLatin1() + ".\n"))
        << why.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file(u"people.DAT"_s)));

    const auto [trusted, summary] = run({u"--insecure"_s});
    EXPECT_EQ(trusted, 0);
    EXPECT_TRUE(summary.startsWith("1 card read\n1 contact imported\n")) << summary.toStdString();
}

// The window, on the main window's Contacts menu.
class ServerImportWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startUp());
        acceptPlainHttp(radicale().url({}).port());
    }
    // The warning about a password over plain http was answered Yes for that server before.
    void acceptPlainHttp(int port) { platform.settings[u"Postwick/PlainHttpAccepted/127.0.0.1:%1"_s.arg(port)] = u"1"_s; }

    int records() const { return int(folder.read(u"PWK_Contacts.DAT"_s).size() / ContactRecord::kSize); }
    // The counts of the summary an import showed, which is then closed as a person would.
    QString summary()
    {
        auto* dialog = find<QDialog>("frmImpSummary");
        const QString counts = dialog ? dialog->findChild<QLabel*>("lblSumCounts")->text() : QString();
        delete dialog;
        return counts;
    }
    QString setting(const QString& section, const QString& key)
    {
        return platform.settings.value(u"Postwick/"_s + section + u'/' + key);
    }

    void importFrom(const QString& address, const QString& password, const QString& user = u"ann"_s)
    {
        find<QLineEdit>("txtSrvAddress")->setText(address);
        find<QLineEdit>("txtSrvUser")->setText(user);
        find<QLineEdit>("txtSrvPassword")->setText(password);
        click("cmdSrvImport");
        waitForImport();
    }

    // The fetch goes on from the event loop: it is over once Import can be clicked again.
    void waitForImport()
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [this] {
                auto* import = find<QPushButton>("cmdSrvImport");
                return !import || import->isEnabled();
            },
            60000));
        settle();
    }

    // As a person types: Enter moves on from the address and the user name, and imports from the password.
    void typeAndImport(const QString& address, const QString& password)
    {
        for (const auto& [field, text] : {std::pair{"txtSrvAddress", address}, std::pair{"txtSrvUser", u"ann"_s},
                                          std::pair{"txtSrvPassword", password}}) {
            EXPECT_EQ(focusName(), QLatin1StringView(field));
            QTest::keyClicks(QApplication::focusWidget(), text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        waitForImport();
    }
};

TEST_F(ServerImportWindowTest, ImportsTheAddressBookWithTheFileImportsSummaryAndSaysWhyWhenItCannot)
{
    EXPECT_EQ(find<QAction>("mnuImportServer")->text(), u"Import f&rom address-book server\u2026");
    QMainWindow* server = openWith("mnuImportServer", "frmSrvImport");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->windowTitle(), u"Import from Server  [PWK_Contacts]");
    EXPECT_EQ(focusName(), u"txtSrvAddress");
    EXPECT_EQ(find<QLineEdit>("txtSrvPassword")->echoMode(), QLineEdit::Password);

    typeAndImport(radicale().url(u"ann/family/"_s).toString(), u"wrong"_s);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0],
              (Message{u"The server 127.0.0.1:%1 refused the user name or password.  No contacts were imported."_s.arg(
                           radicale().url({}).port()),
                       u"No contacts imported"_s, MessageIcon::Warning, MessageButtons::Ok, true}));
    EXPECT_EQ(focusName(), u"txtSrvPassword");
    EXPECT_EQ(records(), 0);

    platform.cancelProgressAt = 0;
    importFrom(radicale().url(u"ann/family/"_s).toString(), u"secret"_s);
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[1].text,
              u"Import stopped.  No contacts were imported; the contacts file is as it was.");
    EXPECT_EQ(records(), 0);

    platform.cancelProgressAt = -1;
    importFrom(radicale().url(u"ann/family/"_s).toString(), u"secret"_s);
    EXPECT_EQ(platform.messages.size(), 2);
    ASSERT_NE(find<QDialog>("frmImpSummary"), nullptr);
    EXPECT_EQ(find<QLabel>("lblSumHeading")->text(), u"D O N E !  3 contacts successfully imported.");
    EXPECT_EQ(find<QLabel>("lblSumCounts")->text(),
              u"3 cards read\n3 contacts imported\n0 skipped as duplicates\n0 skipped for having no name\n"
              "0 fields cut to fit");
    EXPECT_EQ(platform.progressDialogs.back().title, u"Import Contacts");
    EXPECT_EQ(platform.progressDialogs.back().text, u"Importing contacts from 127.0.0.1");
    EXPECT_EQ(records(), 3);
}

TEST_F(ServerImportWindowTest, FromTheServersAddressOffersItsAddressBooksAndRemembersTheChosenOne)
{
    ASSERT_NE(openWith("mnuImportServer", "frmSrvImport"), nullptr);
    EXPECT_FALSE(find<QPushButton>("cmdSrvUpdate")->isEnabled());
    EXPECT_FALSE(find<QListWidget>("lstSrvBooks")->isVisible());
    const QString root = radicale().url({}).toString();
    importFrom(root, u"secret"_s);
    auto* books = find<QListWidget>("lstSrvBooks");
    EXPECT_TRUE(books->isVisible());
    ASSERT_EQ(books->count(), 2);
    EXPECT_EQ(books->item(0)->text(), u"Family");
    EXPECT_EQ(books->item(1)->text(), u"Work");
    EXPECT_EQ(focusName(), u"lstSrvBooks");
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(records(), 0);

    // Work, remembered where no keyring answers: all but the password.
    books->setCurrentRow(1);
    find<QCheckBox>("chkSrvRemember")->setChecked(true);
    platform.keyringError = u"No keyring service is available"_s;
    click("cmdSrvImport");
    waitForImport();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0],
              (Message{u"The server and user name are remembered, but not the password: no keyring of the desktop took "
                       "it (No keyring service is available).  Update from Server will ask for it."_s,
                       u"Import from Server"_s, MessageIcon::Information, MessageButtons::Ok}));
    EXPECT_TRUE(summary().startsWith(u"1 card read\n1 contact imported\n"));
    EXPECT_EQ(setting(u"AddressBookServer"_s, u"Address"_s), root);
    EXPECT_EQ(setting(u"AddressBookServer"_s, u"User"_s), u"ann");
    EXPECT_EQ(setting(u"AddressBookServer"_s, u"AddressBook"_s), radicale().url(u"ann/work/"_s).toString());
    EXPECT_TRUE(platform.keyring.isEmpty());
    EXPECT_TRUE(find<QPushButton>("cmdSrvUpdate")->isEnabled());
}

TEST_F(ServerImportWindowTest, UpdateFromServerAddsTheNewCardsAndRemovesOnlyTheDeletedOnesTicked)
{
    ASSERT_NE(openWith("mnuImportServer", "frmSrvImport"), nullptr);
    const QString home = radicale().url(u"bo/home/"_s).toString();
    find<QCheckBox>("chkSrvRemember")->setChecked(true);
    importFrom(home, u"secret"_s, u"bo"_s);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(platform.keyring, (QMap<QString, QString>{{u"bo@"_s + home, u"secret"_s}}));
    EXPECT_TRUE(summary().startsWith(u"2 cards read\n2 contacts imported\n"));
    find<QMainWindow>("frmSrvImport")->close();
    settle();

    for (const QString& value : platform.settings)
        EXPECT_FALSE(value.contains(u"secret"_s)) << value.toStdString();

    // Fay added on the server, Al deleted: the new card comes in, and Al goes only once ticked.
    radicale().addCard(u"bo/home"_s, u"card3.vcf"_s,
                       "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:h3\r\nN:Moss;Fay;;;\r\nFN:Fay Moss\r\n"
                       "EMAIL:fay@example.com\r\nEND:VCARD\r\n");
    ASSERT_EQ(deleteCard(radicale().url(u"bo/home/card2.vcf"_s), u"bo"_s), 200);
    ASSERT_NE(openWith("mnuImportServer", "frmSrvImport"), nullptr);
    EXPECT_EQ(find<QLineEdit>("txtSrvAddress")->text(), home);
    EXPECT_EQ(find<QLineEdit>("txtSrvUser")->text(), u"bo");
    EXPECT_EQ(find<QLabel>("lblSrvUpdates")->text(), u"Update from Server reads %1 as bo."_s.arg(home));
    EXPECT_TRUE(find<QCheckBox>("chkSrvRemember")->isChecked());
    // The list is asked from its own event loop: a person ticks Al there and presses Remove Ticked.
    QStringList offered;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* list = find<QListWidget>("lstSrvDeleted");
        if (!list)
            return;
        person.stop();
        for (int i = 0; i < list->count(); ++i) {
            offered.append(list->item(i)->text());
            list->item(i)->setCheckState(Qt::Checked);
        }
        click("cmdSrvRemoveTicked");
    });
    person.start(20);
    click("cmdSrvUpdate");
    waitForImport();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(offered, QStringList{u"Al Ray"_s});
    const QString counts = summary();
    EXPECT_TRUE(counts.startsWith(u"2 cards read\n1 contact imported\n0 skipped as duplicates\n")) << counts.toStdString();
    const std::vector<ContactRecord> after = recordsIn(folder.read(u"PWK_Contacts.DAT"_s));
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].FirstName.trimmed(), u"Eve");
    EXPECT_EQ(after[1].Email.trimmed(), u"fay@example.com");

    // A keyring that lost the password: it is asked for where it is typed.
    platform.keyring.clear();
    activate(find<QMainWindow>("frmSrvImport"));
    click("cmdSrvUpdate");
    settle();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, u"No password for bo came from the desktop's keyring (The keyring holds no "
                                         "such password).  Type it under Password and click Update from Server again.");
    EXPECT_EQ(focusName(), u"txtSrvPassword");
}

TEST_F(ServerImportWindowTest, AnUntrustedCertificateIsAskedAboutAndExactlyThatOneIsTrustedLater)
{
    SelfSignedBook book;
    ASSERT_FALSE(book.tls.localCertificate().isNull());
    const QString server = u"127.0.0.1:%1"_s.arg(book.server.port());
    auto question = [](const QString& server, const QString& fingerprint) {
        return Message{u"The server %1 shows a certificate that no authority known to this computer vouches for.  Its "
                       "SHA-256 fingerprint is\n\n%2\n\nTrust this certificate for %1 from now on?  Answer Yes only "
                       "when the server's owner gave you this same fingerprint."_s.arg(server, fingerprint),
                       u"Untrusted Certificate"_s,
                       MessageIcon::Warning,
                       MessageButtons::YesNo,
                       false,
                       MessageResult::No};
    };
    ASSERT_NE(openWith("mnuImportServer", "frmSrvImport"), nullptr);
    platform.answerMessage(MessageResult::No);
    importFrom(book.server.url(u"book/"_s).toString(), u"secret"_s);
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[0], question(server, book.fingerprint()));
    EXPECT_EQ(platform.messages[1].title, u"No contacts imported");
    EXPECT_EQ(records(), 0);
    EXPECT_TRUE(setting(u"TrustedCertificates"_s, server).isEmpty());

    platform.answerMessage(MessageResult::Yes);
    importFrom(book.server.url(u"book/"_s).toString(), u"secret"_s);
    ASSERT_EQ(platform.messages.size(), 3);
    EXPECT_EQ(setting(u"TrustedCertificates"_s, server), book.fingerprint());
    EXPECT_TRUE(summary().startsWith(u"1 card read\n1 contact imported\n"));
    // The next time that certificate is trusted without a word.
    importFrom(book.server.url(u"book/"_s).toString(), u"secret"_s);
    EXPECT_EQ(platform.messages.size(), 3);
    EXPECT_TRUE(summary().startsWith(u"1 card read\n0 contacts imported\n0 skipped as duplicates\n"));

    // Another certificate where that one was trusted is named as changed, No the answer unless chosen.
    SelfSignedBook other;
    const QString otherServer = u"127.0.0.1:%1"_s.arg(other.server.port());
    platform.settings[u"Postwick/TrustedCertificates/"_s + otherServer] = book.fingerprint();
    platform.settings[u"Postwick/TrustedCertificateDates/"_s + otherServer] = u"May 4, 2026"_s;
    platform.answerMessage(MessageResult::No);
    importFrom(other.server.url(u"book/"_s).toString(), u"secret"_s);
    ASSERT_EQ(platform.messages.size(), 5);
    EXPECT_EQ(platform.messages[3],
              (Message{u"The certificate of %1 has changed since you trusted it on May 4, 2026.  The new one's SHA-256 "
                       "fingerprint is\n\n%2\n\nA server's owner who replaced it can tell you this fingerprint; "
                       "otherwise someone may be listening in between.  Trust the new certificate for %1?"_s.arg(
                           otherServer, other.fingerprint()),
                       u"Changed Certificate"_s, MessageIcon::Warning, MessageButtons::YesNo, false,
                       MessageResult::No}));
    EXPECT_TRUE(other.server.received.isEmpty());
}

TEST_F(ServerImportWindowTest, WhileTheServerIsSlowEnterAgainStartsNothingAndExitStopsTheFetchWritingNothing)
{
    SmallHttpServer slow([](const ReceivedRequest&) { return QByteArray(); });
    acceptPlainHttp(slow.port());
    ASSERT_NE(openWith("mnuImportServer", "frmSrvImport"), nullptr);
    const QByteArray before = folder.read(u"PWK_Contacts.DAT"_s);
    find<QLineEdit>("txtSrvAddress")->setText(slow.url(u"book/"_s).toString());
    find<QLineEdit>("txtSrvUser")->setText(u"ann"_s);
    auto* password = find<QLineEdit>("txtSrvPassword");
    password->setText(u"secret"_s);
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow.received.size() == 1; }, 20000));

    QTest::keyClick(password, Qt::Key_Return);
    settle();
    EXPECT_EQ(platform.progressDialogs.size(), 1);
    EXPECT_EQ(slow.received.size(), 1);

    // Exit there ends the program at once: no word about the stopped fetch, the contacts file as it was.
    find<QAction>("mnuSrvFileExit")->trigger();
    settle();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(find<QMainWindow>("frmSrvImport"), nullptr);
    EXPECT_TRUE(platform.settings.contains(u"Postwick/Settings/MainLeft"_s));
    EXPECT_EQ(folder.read(u"PWK_Contacts.DAT"_s), before);
}

}  // namespace
}  // namespace pw::test
