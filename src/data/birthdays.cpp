#include "data/birthdays.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <utility>

namespace pw {
namespace {

const std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};

Message reminder(const QString& text, const QString& title)
{
    return {text, title, MessageIcon::Information};
}

QString fullName(const ContactRecord& record)
{
    return trimBlanks(record.FirstName) + u' ' + trimBlanks(record.LastName);
}

bool isUpcoming(QDate birthday, QDate today)
{
    const qint64 ahead = today.daysTo(birthday);
    if (ahead >= 1 && ahead <= 7)
        return true;
    // Seen from late December, January's birthdays are next year's, which this year's date misses.
    return today.month() == 12 && today.day() > 15 && birthday.month() == 1 && birthday.day() < 15;
}

// A number as a person would type it: an optional sign, digits with at most one decimal point and
// an optional exponent, blanks around it.
bool isNumericEntry(const QString& entry)
{
    static const QRegularExpression number(
        QStringLiteral(R"(^[ \t]*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?[ \t]*$)"));
    return number.match(entry).hasMatch();
}

Message entryWarning(const QString& text, const QString& title)
{
    return {text, title, MessageIcon::Warning, MessageButtons::Ok, true};
}

}  // namespace

Expected<bool> remindersSetting(const ContactsFile& contacts)
{
    const Expected<int> count = contacts.recordCount();
    if (!count)
        return std::unexpected(count.error());
    if (*count == 0)
        return true;
    const Expected<ContactRecord> first = contacts.read(1);
    if (!first)
        return std::unexpected(first.error());
    return first->remindersOn();
}

QDate Birthday::in(int year) const
{
    const int month = born.month();
    const int day = born.day();
    if (month == 2 && day == 29 && !QDate::isLeapYear(year))
        return QDate(year, 2, 28);
    return QDate(year, month, day);
}

std::optional<Birthday> birthdayOf(const ContactRecord& record)
{
    QString digits = record.Birthdate;
    digits.remove(u' ');
    static const QRegularExpression eightDigits(QStringLiteral("^\\d{8}$"));
    if (!eightDigits.match(digits).hasMatch())
        return std::nullopt;
    const bool yearKnown = !digits.startsWith(kNoBirthYear);
    // A leap year stands in for an unknown one, so that 29 February is a day.
    const QDate born(yearKnown ? digits.left(4).toInt() : 2000, digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
    if (!born.isValid() || born.year() < 1)
        return std::nullopt;
    return Birthday{born, yearKnown, digits.mid(4, 2), digits.mid(6, 2)};
}

QString Birthday::text() const
{
    return born.toString(yearKnown ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("MM/dd"));
}

Expected<QList<Message>> birthdayReminders(const ContactsFile& contacts, QDate today)
{
    QList<std::pair<qint64, Message>> due;  // days ahead, 0 for today
    auto s = contacts.forEachRecord([&](int, const ContactRecord& record) {
        const auto birthday = record.remindersOn() ? birthdayOf(record) : std::nullopt;
        if (!birthday)
            return Visit::Next;
        const QDate thisYear = birthday->in(today.year());
        if (isUpcoming(thisYear, today)) {
            // January's birthdays seen from December come next year.
            const QDate next = thisYear < today ? birthday->in(today.year() + 1) : thisYear;
            due.append({today.daysTo(next), reminder(fullName(record) + QStringLiteral(" has a birthday coming up on ")
                                                         + birthday->monthText + u'/' + birthday->dayText,
                                                     QStringLiteral("Birthday reminder"))});
        }
        if (thisYear == today)
            due.append({0, reminder(QStringLiteral("Today is ") + fullName(record) + QStringLiteral("'s Birthday! "),
                                    QStringLiteral("Birthday alert"))});
        return Visit::Next;
    });
    if (!s)
        return std::unexpected(s.error());
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<Message> reminders;
    for (const auto& [days, message] : due)
        reminders.append(message);
    return reminders;
}

QString birthdayMonthPrompt()
{
    QStringList lines = {QStringLiteral("Enter a month by typing its number (1-12):"), QStringLiteral(" ")};
    for (int month = 1; month <= 12; ++month)
        lines.append(QString::number(month).leftJustified(3, u' ') + monthName(month));
    return lines.join(u'\n');
}

std::optional<Message> monthEntryProblem(const QString& entry)
{
    const QString between = QStringLiteral("Enter a number between 1 and 12");
    const double value = numericValue(entry);
    if (value < 1 || entry.size() >= 3)
        return entryWarning(between, QStringLiteral("Enter one month"));
    if (value > 12)
        return entryWarning(QStringLiteral("Cannot be greater than 12"), between);
    if (!isNumericEntry(entry) || !entry.back().isDigit())
        return entryWarning(between, QStringLiteral("Enter a month"));
    return std::nullopt;
}

int enteredMonth(const QString& entry)
{
    return static_cast<int>(roundHalfEven(numericValue(entry)));
}

QString monthName(int month)
{
    return QString::fromLatin1(kMonthNames.at(month - 1));
}

QString BirthdayList::text() const
{
    QString shown = lines.join(QString());
    if (leftOut > 0)
        shown += QStringLiteral("\n... and %1 more, not listed: the list stops at %2 lines.\n")
                     .arg(leftOut)
                     .arg(kMaxLines);
    return shown;
}

Expected<BirthdayList> birthdaysInMonth(const ContactsFile& contacts, int month)
{
    BirthdayList list{monthName(month) + QStringLiteral(" Birthdays"), {}, 0};
    QList<std::pair<int, QString>> found;  // day of the month, line
    auto s = contacts.forEachRecord([&](int, const ContactRecord& record) {
        const auto birthday = birthdayOf(record);
        if (!birthday || birthday->born.month() != month)
            return Visit::Next;
        found.append(
            {birthday->born.day(), fullName(record).leftJustified(43, u' ') + u'\t' + birthday->text() + u'\n'});
        return Visit::Next;
    });
    if (!s)
        return std::unexpected(s.error());
    // By day, contacts of one day in record order; the bound keeps the month's first days.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [day, line] : found) {
        if (list.lines.size() == BirthdayList::kMaxLines)
            ++list.leftOut;
        else
            list.lines.append(line);
    }
    return list;
}

}  // namespace pw
