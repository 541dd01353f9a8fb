#include "generated_contacts.h"

#include <QFile>

namespace pw::bench {

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

Fixture::Fixture()
{
    QByteArray bytes;
    bytes.reserve(qsizetype(kContacts) * ContactRecord::kSize);
    for (int i = 0; i < kContacts; ++i)
        bytes += generated(i).encode();
    QFile f(master());
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

void Fixture::freshWork() const
{
    QFile::remove(work());
    QFile::copy(master(), work());
}

const Fixture& fixture()
{
    static const Fixture f;
    return f;
}

}  // namespace pw::bench
