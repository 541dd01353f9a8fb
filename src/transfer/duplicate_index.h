#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"
#include "data/same_person.h"

#include <QHash>
#include <QString>

#include <vector>

namespace pw {

class ContactsFile;

// The records on file and the rows taken so far, by the values the duplicate test compares.
class DuplicateIndex final {
public:
    Status load(const ContactsFile& contacts);
    void add(const ContactRecord& stored);
    // Whether the contact, as the file would store it, is certainly a person already there
    // (samePerson()). An address book read again, from a file or its server, adds nothing.
    bool contains(const ContactRecord& stored) const;

private:
    QHash<QString, std::vector<PersonMarks>> byName_;
};

}  // namespace pw
