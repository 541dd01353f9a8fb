#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace pw {

class ContactsFile;

// The records on file and the rows taken so far, by the values the duplicate test compares.
class DuplicateIndex final {
public:
    explicit DuplicateIndex(bool nameAlone) : nameAlone_(nameAlone) {}

    Status load(const ContactsFile& contacts);
    void add(const ContactRecord& stored);
    // A row is a duplicate when its first and last name match and so does its e-mail or its
    // street, compared as the record would store them: two people may share an e-mail or a house.
    // With `nameAlone`, a name with neither matches the same name with neither: an address book read
    // again from its server holds the same card, which would otherwise come in at every update.
    bool contains(const ContactRecord& stored) const;

private:
    QStringList keys(const ContactRecord& r) const;

    bool nameAlone_;
    QSet<QString> keys_;
};

}  // namespace pw
