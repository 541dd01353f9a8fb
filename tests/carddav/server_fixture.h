#pragma once

#include "carddav/test_servers.h"

#include <QByteArray>

namespace pw::test {

// The server every test of the binary shares.
RadicaleServer& radicale();

// ann's address books: "family" with three cards (vCard 3.0 and 4.0), "work" with one; bo's "home"
// with two, one of them a name alone; cy's "Wörk Böok 2024", one card that marks its preferred e-mail
// and a birthday without its year as Apple's programs write them.
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
}

}  // namespace pw::test
