#pragma once

#include "data/contact_record.h"
#include "data/contacts_file.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace pw::test {

// Every record of an open contacts file, decoded; a read failure fails the calling test.
std::vector<ContactRecord> storedRecords(const ContactsFile& contacts);

// A contacts file at `path` holding `records`, opened.
void writeContacts(ContactsFile& contacts, const QString& path, const std::vector<ContactRecord>& records);

}  // namespace pw::test
