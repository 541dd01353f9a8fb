#include "list/mailing_order.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/mailing_address.h"
#include "printing/print_action.h"

#include <QHash>

#include <algorithm>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

constexpr qsizetype kListedAtMost = 15;
constexpr QStringView kUnitedStates = u"United States";

struct Spelling final {
    QStringView alias;
    QStringView word;
};

// The usual abbreviations of street lines and the words they stand for. Every marker of a unit in
// a building is "#", so "Apt 2", "Unit 2" and "#2" are one address and "Apt 3" another.
constexpr Spelling kSpellings[] = {
    {u"st", u"street"},    {u"str", u"street"},     {u"ave", u"avenue"},   {u"av", u"avenue"},   {u"rd", u"road"},
    {u"dr", u"drive"},     {u"blvd", u"boulevard"}, {u"ln", u"lane"},      {u"ct", u"court"},    {u"pl", u"place"},
    {u"cir", u"circle"},   {u"hwy", u"highway"},    {u"pkwy", u"parkway"}, {u"ter", u"terrace"}, {u"sq", u"square"},
    {u"apt", u"#"},        {u"apartment", u"#"},    {u"unit", u"#"},       {u"ste", u"#"},       {u"suite", u"#"},
    {u"n", u"north"},      {u"s", u"south"},        {u"e", u"east"},       {u"w", u"west"},      {u"ne", u"northeast"},
    {u"nw", u"northwest"}, {u"se", u"southeast"},   {u"sw", u"southwest"},
};

const QHash<QStringView, QStringView>& spellings()
{
    static const QHash<QStringView, QStringView> table = [] {
        QHash<QStringView, QStringView> all;
        for (const Spelling& s : kSpellings)
            all.insert(s.alias, s.word);
        return all;
    }();
    return table;
}

// Appends the words of `text` to `key`, each followed by a blank: letters and digits without case
// or accent, dots and apostrophes dropped ("P.O." is "po"), "#" a word of its own, any other
// character a break. `spelt` spells out the street abbreviations.
void appendWords(QString& key, QStringView text, bool spelt)
{
    QString word;
    const auto flush = [&] {
        if (word.isEmpty())
            return;
        QStringView spelling = word;
        if (spelt)
            spelling = spellings().value(spelling, spelling);
        // "Apt #2" marks the unit twice.
        if (spelling != u"#" || !key.endsWith(u"# "))
            key.append(spelling).append(u' ');
        word.clear();
    };
    for (QChar c : text) {
        if (c.isLetterOrNumber()) {
            word += sortLetter(c);
        } else if (c != u'.' && c != u'\'') {
            flush();
            if (c == u'#') {
                word = u"#"_s;
                flush();
            }
        }
    }
    flush();
}

// The ZIP code's first five digits, or empty when it does not begin with five digits.
QString zip5(const QString& zip)
{
    if (zip.size() < 5 || (zip.size() > 5 && zip[5].isDigit()))
        return {};
    for (qsizetype i = 0; i < 5; ++i) {
        if (zip[i] < u'0' || zip[i] > u'9')
            return {};
    }
    return zip.left(5);
}

// The country as a mailing compares it: empty for the United States, a blank country being the
// home country.
QString countryKey(const QString& country, QStringView home)
{
    const QStringView named = trimBlanks(country).isEmpty() ? home : QStringView(country);
    QString key;
    if (isForeignCountry(named, kUnitedStates))
        appendWords(key, named, false);
    return key;
}

// ZIP order: the 5-digit ZIP, then US addresses without one, then the rest by country; by last
// and first name within each.
QString orderKey(const ContactRecord& r, QStringView home)
{
    const QString name = sortKey(QString(r.LastName + u'\t' + r.FirstName));
    const QString country = countryKey(r.Country, home);
    if (!country.isEmpty())
        return u'2' + country + u'\t' + name;
    const QString zip = zip5(r.Zip);
    return (zip.isEmpty() ? u"1"_s : u'0' + zip) + u'\t' + name;
}

// A part of an address is there with two characters or more: the list shows less as "Unknown".
bool present(QStringView text)
{
    return trimBlanks(text).size() >= 2;
}

QString fullName(const QString& first, const QString& last)
{
    return trimBlanks(QString(first + u' ' + last));
}

}  // namespace

bool hasCompleteAddress(const ContactRecord& r)
{
    return present(QString(r.Street1 + u' ' + r.Street2)) && (present(r.City) || present(r.Zip));
}

QString householdKey(const ContactRecord& r, QStringView homeCountry)
{
    QString key;
    appendWords(key, QString(r.Street1 + u' ' + r.Street2), true);
    if (key.isEmpty())
        return {};
    key += u'|';
    appendWords(key, r.City, false);
    key += u'|';
    appendWords(key, r.State, false);
    key += u'|';
    // "89501-1234" is delivered where "89501" is.
    const QString zip = zip5(r.Zip);
    if (zip.isEmpty())
        appendWords(key, r.Zip, false);
    else
        key += zip;
    return key + u'|' + countryKey(r.Country, homeCountry);
}

MailingList::MailingList(MailingChoices choices, QStringView homeCountry)
    : choices_(choices), home_(homeCountry.toString())
{ }

void MailingList::add(const ContactRecord& r)
{
    LabelAddress address = labelAddress(r, home_);
    if (choices_.completeOnly && !hasCompleteAddress(r)) {
        const QString name = trimBlanks(address.name);
        leftOut_ << (!name.isEmpty() ? name : !r.Company.isEmpty() ? r.Company : u"(no name)"_s);
        return;
    }
    entries_.push_back({std::move(address), r.FirstName, r.LastName,
                        choices_.households ? householdKey(r, home_) : QString(),
                        choices_.zipOrder ? orderKey(r, home_) : QString()});
}

QString MailingList::nameLine(const std::vector<int>& members) const
{
    // The same person listed twice is one name.
    std::vector<const Entry*> people;
    for (int i : members) {
        const Entry& e = entries_[i];
        const bool known = std::any_of(people.begin(), people.end(), [&](const Entry* p) {
            return p->first.compare(e.first, Qt::CaseInsensitive) == 0
                   && p->last.compare(e.last, Qt::CaseInsensitive) == 0;
        });
        if (!known && !(e.first.isEmpty() && e.last.isEmpty()))
            people.push_back(&e);
    }
    if (people.size() < 2)
        return people.empty() ? entries_[members.front()].address.name : people.front()->address.name;
    const Entry& a = *people[0];
    const Entry& b = *people[1];
    const bool oneLastName = !a.last.isEmpty() && std::all_of(people.begin(), people.end(), [&](const Entry* p) {
        return p->last.compare(a.last, Qt::CaseInsensitive) == 0;
    });
    if (people.size() == 2) {
        if (oneLastName && !a.first.isEmpty() && !b.first.isEmpty())
            return a.first + u" & "_s + b.first + u' ' + a.last;
        return fullName(a.first, a.last) + u" & "_s + fullName(b.first, b.last);
    }
    if (oneLastName)
        return u"The "_s + a.last + u" Family"_s;
    return fullName(a.first, a.last) + u", "_s + fullName(b.first, b.last) + u" & household"_s;
}

QString MailingList::companyLine(const std::vector<int>& members) const
{
    // A company line is only printed when asked for, so an empty one means someone did not ask.
    const QString& company = entries_[members.front()].address.company;
    const bool shared = std::all_of(members.begin(), members.end(), [&](int i) {
        return entries_[i].address.company.compare(company, Qt::CaseInsensitive) == 0;
    });
    return shared ? company : QString();
}

Mailing MailingList::take()
{
    // Each household stands where its first member is listed.
    std::vector<std::vector<int>> groups;
    groups.reserve(entries_.size());
    QHash<QString, std::size_t> households;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const QString& key = entries_[i].household;
        if (!key.isEmpty()) {
            if (const auto known = households.constFind(key); known != households.cend()) {
                groups[*known].push_back(static_cast<int>(i));
                continue;
            }
            households.insert(key, groups.size());
        }
        groups.push_back({static_cast<int>(i)});
    }
    if (choices_.zipOrder) {
        std::stable_sort(groups.begin(), groups.end(), [&](const std::vector<int>& a, const std::vector<int>& b) {
            return entries_[a.front()].order < entries_[b.front()].order;
        });
    }

    Mailing mailing;
    mailing.leftOut = std::move(leftOut_);
    mailing.labels.reserve(groups.size());
    for (const std::vector<int>& members : groups) {
        if (members.size() == 1) {
            mailing.labels.push_back(std::move(entries_[members.front()].address));
            continue;
        }
        LabelAddress label = entries_[members.front()].address;
        label.name = nameLine(members);
        label.company = companyLine(members);
        mailing.labels.push_back(std::move(label));
    }
    entries_.clear();
    return mailing;
}

Mailing mailingOf(const std::vector<ContactRecord>& records, const MailingChoices& choices, QStringView homeCountry)
{
    MailingList list(choices, homeCountry);
    for (const ContactRecord& r : records)
        list.add(r);
    return list.take();
}

std::optional<Mailing> readMailing(Platform& platform, const ContactsFile& contacts, const std::vector<int>& listed,
                                   const MailingChoices& choices)
{
    MailingList list(choices, homeCountry(platform));
    for (int record : listed) {
        // A line pasted into the list names no contact to read.
        if (record <= 0)
            continue;
        const Expected<ContactRecord> read = contacts.read(record);
        if (!read) {
            platform.message(printerProblem());
            return std::nullopt;
        }
        list.add(*read);
    }
    return list.take();
}

QString leftOutHeading(qsizetype count)
{
    return count == 1 ? u"1 contact has no complete address (a street, and a city or a ZIP code) and gets no "
                        u"label:"_s
                      : u"%1 contacts have no complete address (a street, and a city or a ZIP code) and get no "
                        u"label:"_s.arg(count);
}

Message leftOutMessage(const QStringList& names)
{
    QStringList shown = names.first(std::min(names.size(), kListedAtMost));
    if (names.size() > kListedAtMost)
        shown << u"and %1 more"_s.arg(names.size() - kListedAtMost);
    return {leftOutHeading(names.size()) + u"\n\n"_s + shown.join(u'\n'), u"Incomplete addresses"_s,
            MessageIcon::Information};
}

}  // namespace pw
