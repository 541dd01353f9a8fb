#include "list/mailing_order.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "printing/address_format.h"
#include "printing/mailing_address.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

constexpr qsizetype kListedAtMost = 15;
constexpr QStringView kUnitedStates = u"United States";
// The ranks of ZIP order after the 5-digit ZIP codes.
constexpr int kNoZip = 100000;
constexpr int kAbroad = 100001;

struct Spelling final {
    QStringView alias;
    QStringView word;
};

// The usual abbreviations of street lines and the words they stand for. Every marker of a unit in
// a building is "#", so "Apt 2", "Unit 2" and "#2" are one address and "Apt 3" another; "#" is
// looked up too, so that "Apt #2" marks its unit once.
constexpr Spelling kSpellings[] = {
    {u"st", u"street"},    {u"str", u"street"},     {u"ave", u"avenue"},   {u"av", u"avenue"},   {u"rd", u"road"},
    {u"dr", u"drive"},     {u"blvd", u"boulevard"}, {u"ln", u"lane"},      {u"ct", u"court"},    {u"pl", u"place"},
    {u"cir", u"circle"},   {u"hwy", u"highway"},    {u"pkwy", u"parkway"}, {u"ter", u"terrace"}, {u"sq", u"square"},
    {u"apt", u"#"},        {u"apartment", u"#"},    {u"unit", u"#"},       {u"ste", u"#"},       {u"suite", u"#"},
    {u"n", u"north"},      {u"s", u"south"},        {u"e", u"east"},       {u"w", u"west"},      {u"ne", u"northeast"},
    {u"nw", u"northwest"}, {u"se", u"southeast"},   {u"sw", u"southwest"},  {u"#", u"#"},
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
// character a break. `spelt` spells out the street abbreviations. Written straight into the key:
// a mailing makes one for every contact.
void appendWords(QString& key, QStringView text, bool spelt)
{
    qsizetype word = key.size();
    const auto endWord = [&] {
        if (key.size() == word)
            return;
        if (spelt) {
            if (const QStringView spelling = spellings().value(QStringView(key).sliced(word)); !spelling.isNull()) {
                key.truncate(word);
                // "Apt #2" marks the unit twice.
                if (spelling == u"#" && key.endsWith(u"# "))
                    return;
                key.append(spelling);
            }
        }
        key.append(u' ');
        word = key.size();
    };
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            key.append(QChar(u + 32));
        else if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))
            key.append(c);
        else if (u >= 0x80 && c.isLetterOrNumber())
            key.append(sortLetter(c));
        else if (c != u'.' && c != u'\'') {
            endWord();
            if (c == u'#') {
                key.append(c);
                endWord();
            }
        }
    }
    endWord();
}

// The ZIP code's first five digits as a number, or -1 when it does not begin with five digits; a
// ZIP+4 is read with or without its hyphen.
int zip5(QStringView zip)
{
    const auto digits = [](QStringView s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (zip.size() < 5 || (zip.size() > 5 && zip[5].isDigit() && !(zip.size() == 9 && digits(zip))))
        return -1;
    int number = 0;
    for (QChar c : zip.first(5)) {
        if (c < u'0' || c > u'9')
            return -1;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

// The country as a mailing compares it: empty for the United States, a blank country being the
// home country.
QString countryKey(const QString& country, QStringView home)
{
    const QStringView named = trimBlanks(country).isEmpty() ? home : QStringView(country);
    // By the country's code where it is known, so that "UK" and "United Kingdom" are one.
    return isForeignCountry(named, kUnitedStates) ? pw::countryKey(named) : QString();
}

// Appends the address of `r` as households compare it to `key`, "|" first; nothing without a
// street.
void appendAddress(QString& key, const ContactRecord& r, const QString& country)
{
    const qsizetype start = key.size();
    key += u'|';
    appendWords(key, r.Street1, true);
    appendWords(key, r.Street2, true);
    if (key.size() == start + 1) {
        key.truncate(start);
        return;
    }
    key += u'|';
    appendWords(key, r.City, false);
    key += u'|';
    appendWords(key, r.State, false);
    key += u'|';
    // "89501-1234" is delivered where "89501" is.
    if (zip5(r.Zip) < 0)
        appendWords(key, r.Zip, false);
    else
        key += QStringView(r.Zip).first(5);
    key += u'|';
    key += country;
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
    appendAddress(key, r, countryKey(r.Country, homeCountry));
    return key;
}

MailingList::MailingList(MailingChoices choices, QStringView homeCountry, std::size_t expected)
    : choices_(choices), home_(homeCountry.toString())
{
    entries_.reserve(expected);
    keys_.reserve(static_cast<qsizetype>(expected) * 48);
}

void MailingList::add(const ContactRecord& r)
{
    LabelAddress address = labelAddress(r, home_);
    if (choices_.completeOnly && !hasCompleteAddress(r)) {
        const QString name = trimBlanks(address.name);
        leftOut_ << (!name.isEmpty() ? name : !r.Company.isEmpty() ? r.Company : u"(no name)"_s);
        return;
    }
    // A list holds few countries, each written a few ways.
    QString country;
    if (choices_.households || choices_.zipOrder) {
        auto known = countries_.constFind(r.Country);
        if (known == countries_.cend())
            known = countries_.insert(r.Country, countryKey(r.Country, home_));
        country = *known;
    }
    Entry& e = entries_.emplace_back();
    e.address = std::move(address);
    e.first = r.FirstName;
    e.last = r.LastName;
    if (choices_.households) {
        e.household.first = keys_.size();
        appendAddress(keys_, r, country);
        e.household.second = keys_.size() - e.household.first;
    }
    if (choices_.zipOrder) {
        // By ZIP code, then US addresses without one, then the rest by country; by last and first
        // name within each.
        const int zip = zip5(r.Zip);
        e.rank = !country.isEmpty() ? kAbroad : zip >= 0 ? zip : kNoZip;
        e.country = country;
        e.name.first = keys_.size();
        for (QChar c : r.LastName)
            keys_ += sortLetter(c);
        keys_ += u'\t';
        for (QChar c : r.FirstName)
            keys_ += sortLetter(c);
        e.name.second = keys_.size() - e.name.first;
    }
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
    // Each household stands where its first member is listed; `next` links the others to it.
    std::vector<int> firsts;
    std::vector<int> tails;
    firsts.reserve(entries_.size());
    tails.reserve(entries_.size());
    std::vector<int> next(entries_.size(), -1);
    const QStringView keys(keys_);
    QHash<QStringView, int> households;  // the household's place in `firsts`, from 1
    households.reserve(static_cast<qsizetype>(entries_.size()));
    for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
        const QStringView key = keys.sliced(entries_[i].household.first, entries_[i].household.second);
        if (!key.isEmpty()) {
            int& household = households[key];
            if (household > 0) {
                next[tails[household - 1]] = i;
                tails[household - 1] = i;
                continue;
            }
            household = static_cast<int>(firsts.size()) + 1;
        }
        firsts.push_back(i);
        tails.push_back(i);
    }
    if (choices_.zipOrder) {
        // The ranks side by side, so that most comparisons read no entry.
        std::vector<std::pair<int, int>> ranked;
        ranked.reserve(firsts.size());
        for (int first : firsts)
            ranked.emplace_back(entries_[first].rank, first);
        std::stable_sort(ranked.begin(), ranked.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first)
                return a.first < b.first;
            const Entry& x = entries_[a.second];
            const Entry& y = entries_[b.second];
            if (x.country != y.country)
                return x.country < y.country;
            return keys.sliced(x.name.first, x.name.second) < keys.sliced(y.name.first, y.name.second);
        });
        std::transform(ranked.begin(), ranked.end(), firsts.begin(), [](const auto& r) { return r.second; });
    }

    Mailing mailing;
    mailing.leftOut = std::move(leftOut_);
    mailing.labels.reserve(firsts.size());
    for (int first : firsts) {
        if (next[first] < 0) {
            mailing.labels.push_back(std::move(entries_[first].address));
            continue;
        }
        std::vector<int> members;
        for (int i = first; i >= 0; i = next[i])
            members.push_back(i);
        LabelAddress label = entries_[first].address;
        label.name = nameLine(members);
        label.company = companyLine(members);
        mailing.labels.push_back(std::move(label));
    }
    entries_.clear();
    keys_.clear();
    return mailing;
}

Mailing mailingOf(const std::vector<ContactRecord>& records, const MailingChoices& choices, QStringView homeCountry)
{
    MailingList list(choices, homeCountry, records.size());
    for (const ContactRecord& r : records)
        list.add(r);
    return list.take();
}

std::expected<Mailing, MessageResult> readMailing(Platform& platform, const ContactsFile& contacts,
                                                  const std::vector<int>& listed, const MailingChoices& choices,
                                                  int listedAt)
{
    // One pass over the file copies each wanted record to its place in list order; they are then
    // decoded in that order. A line pasted into the list names no contact to read.
    std::vector<std::pair<int, qsizetype>> wanted;  // record number, place in list order
    wanted.reserve(listed.size());
    for (int record : listed) {
        if (record > 0)
            wanted.emplace_back(record, qsizetype(wanted.size()));
    }
    std::sort(wanted.begin(), wanted.end());
    constexpr qsizetype size = ContactRecord::kSize;
    QByteArray stored(qsizetype(wanted.size()) * size, ' ');
    auto next = wanted.begin();
    const Status read = contacts.forEachStored([&](int n, QByteArrayView record) -> PassStep {
        for (; next != wanted.end() && next->first == n; ++next)
            std::memcpy(stored.data() + next->second * size, record.data(), std::min(record.size(), size));
        return next == wanted.end() ? Visit::Stop : Visit::Next;
    });
    if (!read)
        return std::unexpected(showErrorPrompt(platform, read.error()));
    if (contacts.follows() != listedAt)
        return std::unexpected(platform.message(listReplacedMessage(contacts.path())));
    if (next != wanted.end())  // cut short by another program since it was listed
        return std::unexpected(showErrorPrompt(platform, badRecordNumber()));
    MailingList list(choices, homeCountry(platform), wanted.size());
    ContactRecord record;
    int damaged = 0;
    for (qsizetype at = 0; at < stored.size(); at += size) {
        const QByteArrayView bytes = QByteArrayView(stored).sliced(at, size);
        if (ContactsFile::damagedNumber(bytes) > 0) {
            ++damaged;
            continue;
        }
        ContactRecord::decodeInto(bytes, record);
        list.add(record);
    }
    Mailing mailing = list.take();
    mailing.damaged = damaged;
    return mailing;
}

Message listReplacedMessage(const QString& path)
{
    return {u"%1 was replaced by another program (a sync client, perhaps) after the list was made, so its "
            u"record numbers may now belong to other contacts.  Nothing was printed: press Get report again to "
            u"list the contacts it holds now."_s.arg(QDir::toNativeSeparators(path)),
            u"Contacts file replaced"_s, MessageIcon::Warning};
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
