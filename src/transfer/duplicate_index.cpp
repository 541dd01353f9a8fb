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
    // Only the four compared fields are decoded: the rest would cost most of the time.
    const ContactRecord::Field first = field(&ContactRecord::FirstName);
    const ContactRecord::Field last = field(&ContactRecord::LastName);
    const ContactRecord::Field email = field(&ContactRecord::Email);
    const ContactRecord::Field street = field(&ContactRecord::Street1);
    return contacts.forEachStored([&](int, QByteArrayView stored) {
        ContactRecord r;
        r.FirstName = fromCodePage(trimmed(stored, first));
        r.LastName = fromCodePage(trimmed(stored, last));
        r.Email = fromCodePage(trimmed(stored, email));
        r.Street1 = fromCodePage(trimmed(stored, street));
        add(r);
        return Visit::Next;
    });
}

void DuplicateIndex::add(const ContactRecord& stored)
{
    for (const QString& key : keys(stored))
        keys_.insert(key);
}

bool DuplicateIndex::contains(const ContactRecord& stored) const
{
    const QStringList k = keys(stored);
    return std::any_of(k.begin(), k.end(), [&](const QString& key) { return keys_.contains(key); });
}

QStringList DuplicateIndex::keys(const ContactRecord& r) const
{
    const QString name = r.FirstName + u'\x1f' + r.LastName + u'\x1f';
    QStringList k;
    if (!r.Email.isEmpty())
        k.append(name + QStringLiteral("e:") + r.Email);
    if (!r.Street1.isEmpty())
        k.append(name + QStringLiteral("s:") + r.Street1);
    if (k.isEmpty() && nameAlone_)
        k.append(name);
    return k;
}

}  // namespace pw
