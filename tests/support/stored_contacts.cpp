#include "support/stored_contacts.h"

#include <QFile>

#include <gtest/gtest.h>

namespace pw::test {

std::vector<ContactRecord> storedRecords(const ContactsFile& contacts)
{
    std::vector<ContactRecord> records;
    const Status read = contacts.forEachRecord([&](int, const ContactRecord& record) {
        records.push_back(record);
        return Visit::Next;
    });
    EXPECT_TRUE(read) << read.error().description.toStdString();
    return records;
}

void writeContacts(ContactsFile& contacts, const QString& path, const std::vector<ContactRecord>& records)
{
    QByteArray bytes;
    for (const ContactRecord& record : records)
        bytes += record.encode();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    ASSERT_TRUE(contacts.open(path).value().opened());
}

}  // namespace pw::test
