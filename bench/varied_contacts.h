#pragma once

#include "data/contact_record.h"

#include <QFile>
#include <QString>

#include <array>

namespace pw::bench {

// A varied contact: names, cities and states drawn from short lists so that leading names repeat
// and sorting has ties to break, about one in five with a printed company line.
inline ContactRecord generatedContact(int i)
{
    static const std::array<const char*, 16> firsts = {"James", "mary", "Robert", "Patricia", "John", "jennifer",
                                                       "Michael", "Linda", "David", "Elizabeth", "William", "Barbara",
                                                       "Richard", "Susan", "Joseph", "Jessica"};
    static const std::array<const char*, 12> lasts = {"Smith", "Johnson", "williams", "Brown", "Jones", "Garcia",
                                                      "Miller", "Davis", "Rodriguez", "Martinez", "Hernandez", "Lopez"};
    static const std::array<const char*, 8> cities = {"Springfield", "Reno", "Austin", "Portland",
                                                      "Madison", "", "Columbus", "Salem"};
    static const std::array<const char*, 8> states = {"IL", "NV", "TX", "OR", "WI", "CA", "OH", "MA"};
    ContactRecord r;
    r.FirstName = QString::fromLatin1(firsts[i % firsts.size()]);
    r.MiddleInitial = QString(QChar(u'A' + i % 26));
    r.LastName = QString::fromLatin1(lasts[(i / 16) % lasts.size()]) + QString::number(i / 192);
    r.Street1 = QStringLiteral("%1 Oak Street").arg(i % 9000 + 1);
    r.Street2 = i % 7 == 0 ? QStringLiteral("Apt %1").arg(i % 40) : QString();
    r.City = QString::fromLatin1(cities[i % cities.size()]);
    r.State = QString::fromLatin1(states[i % states.size()]);
    r.Zip = QStringLiteral("%1").arg(10000 + (i * 37) % 89999);
    r.Country = QStringLiteral("USA");
    r.HomePhone = i % 3 == 0 ? QStringLiteral("(555) 010-%1").arg(i % 10000, 4, 10, QLatin1Char('0'))
                             : QStringLiteral("555-%1").arg(i % 10000, 4, 10, QLatin1Char('0'));
    r.CellPhone = QStringLiteral("555-%1").arg((i * 7) % 10000, 4, 10, QLatin1Char('0'));
    r.Email = QStringLiteral("person%1@example.com").arg(i);
    r.Birthdate = QStringLiteral("1980%1%2").arg(i % 12 + 1, 2, 10, QLatin1Char('0')).arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
    r.Category = i % 2 ? QStringLiteral("friends;club") : QStringLiteral("family");
    r.Notes = QStringLiteral("Generated contact");
    r.Company = i % 5 == 0 ? QStringLiteral("Company %1 Inc").arg(i % 300) : QString();
    r.IncludeCompany = r.Company.isEmpty() ? QStringLiteral("0") : QStringLiteral("1");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

inline void writeGeneratedContacts(const QString& path, int count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * ContactRecord::kSize);
    for (int i = 0; i < count; ++i)
        bytes += generatedContact(i).encode();
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

}  // namespace pw::bench
