#include "transfer/duplicate_index.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"

#include <algorithm>

namespace pw {
namespace {

ContactRecord::Field field(QString ContactRecord::*member)
{
    for (const ContactRecord::Field& f : ContactRecord::kFields) {
        if (f.member == member)
            return f;
    }
    return {};
}

QByteArrayView trimmed(QByteArrayView record, const ContactRecord::Field& f)
{
    QByteArrayView v = record.sliced(f.offset, f.width);
    while (!v.isEmpty() && v.front() == ' ')
        v = v.sliced(1);
    while (!v.isEmpty() && v.back() == ' ')
        v.chop(1);
    return v;
}

}  // namespace

Status DuplicateIndex::load(const ContactsFile& contacts)
{
    // Only the compared fields are decoded: the rest would cost most of the time.
    static QString ContactRecord::*const compared[] = {
        &ContactRecord::FirstName, &ContactRecord::LastName,  &ContactRecord::Email,    &ContactRecord::Street1,
        &ContactRecord::HomePhone, &ContactRecord::CellPhone, &ContactRecord::WorkPhone};
    std::vector<ContactRecord::Field> fields;
    for (QString ContactRecord::*member : compared)
        fields.push_back(field(member));
    return contacts.forEachStored([&](int, QByteArrayView stored) {
        ContactRecord r;
        for (const ContactRecord::Field& f : fields)
            r.*f.member = fromCodePage(trimmed(stored, f));
        add(r);
        return Visit::Next;
    });
}

void DuplicateIndex::add(const ContactRecord& stored)
{
    PersonMarks marks = personMarks(stored);
    if (!marks.name.isEmpty())
        byName_[marks.name].push_back(std::move(marks));
}

bool DuplicateIndex::contains(const ContactRecord& stored) const
{
    const PersonMarks marks = personMarks(stored);
    const auto found = byName_.constFind(marks.name);
    if (found == byName_.cend())
        return false;
    return std::any_of(found->begin(), found->end(), [&](const PersonMarks& m) { return samePerson(marks, m); });
}

}  // namespace pw
