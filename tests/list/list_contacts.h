#pragma once

#include "data/contact_record.h"

#include <QFile>
#include <QString>

#include <vector>

namespace pw::test {

// A contact with an address and both flags, the rest empty.
inline ContactRecord person(const QString& first, const QString& last, const QString& city = QStringLiteral("Reno"))
{
    ContactRecord r;
    r.FirstName = first;
    r.LastName = last;
    r.Street1 = QStringLiteral("12 Main St");
    r.City = city;
    r.State = QStringLiteral("NV");
    r.Zip = QStringLiteral("89501");
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

inline ContactRecord withCompany(ContactRecord r, const QString& company)
{
    r.Company = company;
    r.IncludeCompany = QStringLiteral("1");
    return r;
}

inline void writeContacts(const QString& path, const std::vector<ContactRecord>& records)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const ContactRecord& r : records)
        file.write(r.encode());
}

}  // namespace pw::test
