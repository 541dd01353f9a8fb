#pragma once

#include "carddav/dav_session.h"
#include "carddav/test_servers.h"
#include "data/contact_record.h"

#include <QByteArray>

#include <vector>

namespace pw::test {

// The records of a contacts file, decoded.
inline std::vector<ContactRecord> recordsIn(const QByteArray& file)
{
    std::vector<ContactRecord> records;
    for (qsizetype at = 0; at + ContactRecord::kSize <= file.size(); at += ContactRecord::kSize)
        records.push_back(ContactRecord::decode(file.mid(at, ContactRecord::kSize)));
    return records;
}

inline ServerLogin ann(const QUrl& address, const QString& password = QStringLiteral("secret"))
{
    return {address, QStringLiteral("ann"), password};
}

inline const QByteArray kEveCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hale;Eve;;;\r\nFN:Eve Hale\r\nEND:VCARD\r\n";

// The servers every test of the binary shares.
RadicaleServer& radicale();
XandikosServer& xandikos();

// ann's address books: "family" with three cards (vCard 3.0 and 4.0), "work" with one; bo's "home"
// with two, one of them a name alone; cy's "Wörk Böok 2024", one card that marks its preferred e-mail
// and a birthday without its year as Apple's programs write them; dee's "Wörk Böok 2024", empty, for
// the tests to fill as a client would.
inline void layOutAddressBooks(RadicaleServer& server)
{
    server.addAddressBook(
        QStringLiteral("ann/family"), QStringLiteral("Family"),
        {"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:f1\r\nN:Example;Ann;;;\r\nFN:Ann Example\r\nEMAIL:ann@example.com\r\n"
         "ADR;TYPE=HOME:;;12 Long Road;Reno;NV;89501;USA\r\nEND:VCARD\r\n",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:f2\r\nN:Stone;Bob;;;\r\nFN:Bob Stone\r\nEMAIL:bob@example.com\r\n"
         "ADR;TYPE=home:;;3 Elm Street;Salem;OR;97301;USA\r\nEND:VCARD\r\n",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:f3\r\nN:Lee;Cy;;;\r\nFN:Cy Lee\r\nEMAIL:cy@example.org\r\nEND:VCARD\r\n"});
    server.addAddressBook(QStringLiteral("ann/work"), QStringLiteral("Work"),
                          {"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:w1\r\nN:Ward;Dee;;;\r\nFN:Dee Ward\r\n"
                           "EMAIL:dee@example.net\r\nEND:VCARD\r\n"});
    server.addAddressBook(QStringLiteral("bo/home"), QStringLiteral("Home"),
                          {"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:h1\r\nN:Hale;Eve;;;\r\nFN:Eve Hale\r\n"
                           "ADR:;;9 Pine Lane;Bend;OR;97701;USA\r\nEND:VCARD\r\n",
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:h2\r\nN:Ray;Al;;;\r\nFN:Al Ray\r\nEND:VCARD\r\n"});
    server.addAddressBook(QStringLiteral("cy/Wörk Böok 2024"), QStringLiteral("Wörk Böok 2024"),
                          {"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c1\r\nN:Moss;Cy;;;\r\nFN:Cy Moss\r\n"
                           "EMAIL;TYPE=INTERNET:old@example.com\r\nEMAIL;TYPE=INTERNET,pref:cy@example.com\r\n"
                           "BDAY;X-APPLE-OMIT-YEAR=1604:1604-01-22\r\nEND:VCARD\r\n"});
    server.addAddressBook(QStringLiteral("dee/Wörk Böok 2024"), QStringLiteral("Wörk Böok 2024"), {});
}

}  // namespace pw::test
