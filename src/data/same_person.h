#pragma once

#include "data/contact_record.h"

#include <QString>
#include <QStringList>

namespace pw {

// What tells one person from another, taken from a contact as the contacts file stores it (cut to
// its fields, in letters the file holds): names folded for case and accents, the e-mail in lower
// case, the street folded as the names, the phones as their digits.
struct PersonMarks final {
    QString name;  // first and last name; empty when the contact has neither
    QString email;
    QString street;
    QStringList phones;  // the digits of each phone that has any
};
PersonMarks personMarks(const ContactRecord& stored);

// The digits of a text, in order: "+1 (555) 010-4444" gives "15550104444".
QString digitsOf(const QString& text);

// Whether two contacts are certainly the same person: the same first and last name, and the same
// e-mail, street or phone; or the same name when neither has any of the three. Two phones are the
// same when both have at least 7 digits and the last digits of the shorter agree (at most 10 of
// them), so that "+44 20 7946 0018" and "020 7946 0018" meet. An e-mail alone never decides it:
// a couple may share one.
bool samePerson(const PersonMarks& a, const PersonMarks& b);

}  // namespace pw
