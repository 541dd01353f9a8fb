#pragma once

#include "data/contact_record.h"
#include "data/message.h"
#include "list/list_labels.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <expected>
#include <utility>
#include <vector>

namespace pw {

class ContactsFile;
class Platform;

// How the labels of a list are chosen and ordered: the list window's choices beside "Print labels"
// and the labels command's --households, --presort zip and --complete-only.
struct MailingChoices final {
    bool households = false;    // one label for the contacts at one address
    bool zipOrder = false;      // by 5-digit ZIP, then name; addresses abroad after them, by country
    bool completeOnly = false;  // no label without a street and a city or ZIP
};

// The labels of a mailing in print order, and the names of the contacts that got none for want of
// a complete address, in list order.
struct Mailing final {
    std::vector<LabelAddress> labels;
    QStringList leftOut;
    int damaged = 0;  // listed records that were damaged in the file: no label
};

// Builds a mailing from contacts given in list order, keeping only what their labels need.
class MailingList final {
public:
    // `expected`: about how many contacts will be added.
    MailingList(MailingChoices choices, QStringView homeCountry, std::size_t expected = 0);
    void add(const ContactRecord& record);
    // The labels, in list order or ZIP order. A household's name line reads "John & Mary Smith",
    // "John Smith & Mary Jones", "The Smith Family" (three or more of one last name) or the first
    // two names and "& household"; the same person listed twice is named once.
    Mailing take();

private:
    struct Entry final {
        LabelAddress address;
        QString first, last;
        // Where a key stands in keys_, and its length.
        using Key = std::pair<qsizetype, qsizetype>;
        Key household;  // the address as households compare it; empty: the contact is alone
        // ZIP order: the 5-digit ZIP (later ranks for none and abroad), the country, the name.
        int rank = 0;
        QString country;
        Key name;
    };
    QString nameLine(const std::vector<int>& members) const;
    QString companyLine(const std::vector<int>& members) const;

    MailingChoices choices_;
    QString home_;
    std::vector<Entry> entries_;
    QHash<QString, QString> countries_;  // as stored, as compared
    QString keys_;  // every entry's keys side by side: one allocation, not one a key
    QStringList leftOut_;
};

Mailing mailingOf(const std::vector<ContactRecord>& records, const MailingChoices& choices,
                  QStringView homeCountry = kDefaultHomeCountry);

// The mailing of the listed records, read again from the contacts file in one pass; a line without
// a record (0, pasted into the list) gets no label, nor does a damaged record (counted). `listedAt` is the file's follows() when the
// list was made. When another program has replaced the file since, its record numbers may name
// other people: listReplacedMessage() is shown instead. A record that cannot be read is shown in
// the standard error prompt. Either way there is no mailing, but the answer to the message.
std::expected<Mailing, MessageResult> readMailing(Platform& platform, const ContactsFile& contacts,
                                                  const std::vector<int>& listed, const MailingChoices& choices,
                                                  int listedAt);
Message listReplacedMessage(const QString& path);

// A contact's address is complete with a street and a city or a ZIP code.
bool hasCompleteAddress(const ContactRecord& record);

// The address of `record` as households compare it: street lines, city, state, ZIP and country
// without case, punctuation or extra blanks, the usual street abbreviations spelt out. Empty without
// a street.
QString householdKey(const ContactRecord& record, QStringView homeCountry = kDefaultHomeCountry);

// "2 contacts have no complete address ... and get no label:", the command line's warning.
QString leftOutHeading(qsizetype count);
// The same and who, shown before the print dialog; after 15 names the rest are counted.
Message leftOutMessage(const QStringList& names);

}  // namespace pw
