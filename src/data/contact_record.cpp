#include "data/contact_record.h"

#include "data/text_rules.h"

namespace pw {

const std::array<ContactRecord::Field, ContactRecord::kFieldCount> ContactRecord::kFields = {{
    {&ContactRecord::FirstName, 0, 14},
    {&ContactRecord::MiddleInitial, 15, 1},
    {&ContactRecord::LastName, 17, 18},
    {&ContactRecord::Street1, 36, 30},
    {&ContactRecord::Street2, 67, 15},
    {&ContactRecord::City, 83, 16},
    {&ContactRecord::State, 100, 2},
    {&ContactRecord::Zip, 103, 10},
    {&ContactRecord::Country, 114, 19},
    {&ContactRecord::HomePhone, 134, 15},
    {&ContactRecord::CellPhone, 150, 15},
    {&ContactRecord::WorkPhone, 166, 13},
    {&ContactRecord::Email, 180, 50},
    {&ContactRecord::Birthdate, 231, 8},
    {&ContactRecord::Category, 240, 80},
    {&ContactRecord::Notes, 321, 160},
    {&ContactRecord::Company, 482, 30},
    {&ContactRecord::IncludeCompany, 513, 1},
    {&ContactRecord::BirthdayReminders, 515, 1},
}};

QByteArray ContactRecord::encode() const
{
    QByteArray out(kSize, '|');
    for (const Field& f : kFields)
        out.replace(f.offset, f.width, fixedWidthBytes(this->*f.member, f.width));
    out[kSize - 2] = '\r';
    out[kSize - 1] = '\n';
    return out;
}

ContactRecord ContactRecord::decode(QByteArrayView bytes)
{
    QByteArray padded;
    if (bytes.size() < kSize) {
        padded = bytes.toByteArray().leftJustified(kSize, ' ');
        bytes = padded;
    }
    ContactRecord r;
    for (const Field& f : kFields) {
        // Trimmed on the bytes, so that each field costs one decode and no copies.
        QByteArrayView field = bytes.sliced(f.offset, f.width);
        while (!field.isEmpty() && field.front() == ' ')
            field = field.sliced(1);
        while (!field.isEmpty() && field.back() == ' ')
            field.chop(1);
        if (!field.isEmpty())
            r.*f.member = fromCodePage(field);
    }
    return r;
}

QString ContactRecord::birthdateForDisplay() const
{
    if (numericValue(Birthdate) <= 1)
        return {};
    const QString b = Birthdate;
    return trimBlanks(b.mid(4, 2) + u'/' + b.mid(6, 2) + u'/' + b.left(4));
}

bool ContactRecord::includeCompanyChecked() const
{
    return numericValue(IncludeCompany) != 0;
}

bool ContactRecord::remindersOn() const
{
    return BirthdayReminders == u"1";
}

}  // namespace pw
