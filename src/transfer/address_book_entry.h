#pragma once

#include "data/contact_record.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace pw {

// One person as today's address books hold them: names, any number of typed addresses, phones and
// e-mail addresses. The CSV exports of current services and vCards are both read into this form,
// and one set of rules turns it into a contact, so that the two agree on every choice.
struct AddressBookEntry final {
    struct Address final {
        QString key;   // the group a file's columns belong to ("home", "2"); not shown anywhere
        QString type;  // as the file writes it: "HOME", "* Work", "home,pref"
        QString poBox, extended, street, city, region, postalCode, country;
        bool isEmpty() const;
    };
    struct Phone final {
        QString key;
        QString type;
        QString number;
    };

    QString given, middle, family, fullName;
    QString company, note, birthday;
    QStringList categories;
    QStringList emails;
    std::vector<Address> addresses;
    std::vector<Phone> phones;
    std::optional<bool> includeCompany;  // as this program's own vCards say it

    Address& address(const QString& key);
    Phone& phone(const QString& key);
};

// The contact an entry gives; none when it names neither a person nor a company. The home address
// is taken, else the first one given; phones go by their type (home, mobile, work; an untyped one
// fills the home phone when no home phone is given); the first e-mail. A state written out becomes
// its postal code; the company line is printed only when the address taken is a work address. The
// birthdate is the text as given, for birthdateFromText(). A region that is no two-letter code follows
// the city where the country's addresses print one ("Rozelle NSW"), and is otherwise left out.
struct EntryContact final {
    ContactRecord record;
    // Lines of its address after the first, as the entry gave them, that did not fit whole into the
    // second street field beside those before them (an apartment comes before further street lines).
    QStringList noRoom;
    QStringList notes;  // what else was not stored as the entry gave it ("state "Sachsen" left out...")
    int cut = 0;        // of those, values left out for want of room
};
std::optional<EntryContact> contactFromEntry(const AddressBookEntry& entry);

// The phones of a contact made to fit their fields: a number longer than its field loses its
// formatting ("+1 (555) 123-4567" as "555-123-4567", "+49 7311 754669-1" as "+4973117546691"), and
// an extension goes first. A number whose digits still do not fit is never cut: it goes whole into
// the notes ("Work phone: +49 7311 7546691"). Returns each number so moved, with its caption.
struct MovedPhone final {
    QString caption;  // "Work phone"
    QString number;
};
std::vector<MovedPhone> fitPhones(ContactRecord& r);

// The two-letter postal code for a US state, territory or Canadian province written out, in any
// letter case ("new york", "Québec"); the text itself when it is none of them.
QString statePostalCode(const QString& text);

// A birthday in the forms files write: 1980-04-10, 19800410, 1980-04-10T00:00:00Z, 4/10/1980,
// 4-10-1980, and without the year --04-10, --0410, 04-10 and 4/10. The stored YYYYMMDD (0000MMDD
// without the year), empty for no text or the 0/0/00 some programs write for none, and none for a
// date that does not exist, a year outside 1000 to 9999 or one of two digits.
std::optional<QString> birthdateFromText(const QString& text);

// How many fields of a contact are longer than their fixed width, and so are cut when stored.
int fieldsCutToFit(const ContactRecord& r);

}  // namespace pw
