#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"
#include "data/message.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Birthday reminders and the birthday list, worked out from the records alone.
namespace pw {

// A stored birth date taken apart. Only a real calendar date counts: a record whose date is blank,
// not eight digits or not a day that exists is left out of the reminders and the list alike.
struct Birthday final {
    QDate born;  // in a leap year when the year is not known
    bool yearKnown = true;
    QString monthText;  // the stored month and day, with their leading zeros
    QString dayText;

    // MM/DD/YYYY, or MM/DD without the year.
    QString text() const;

    // This year's birthday; 29 February falls on 28 February in a year without it.
    QDate in(int year) const;
};
std::optional<Birthday> birthdayOf(const ContactRecord& record);

class ContactsFile;

// Whether a file's contacts have birthday reminders on, as its first record says; on for an empty
// file. The records a file gains take this setting.
Expected<bool> remindersSetting(const ContactsFile& contacts);

// The reminders for a file, one message per hit, from one pass over it: every birthday today, then
// every upcoming one (1 to 7 days ahead, and January's first fortnight seen from late December) by
// date; those of one day in record order.
Expected<QList<Message>> birthdayReminders(const ContactsFile& contacts, QDate today);

// The month prompt of "View Birthdays" and the check of its answer: the first rule the entry
// breaks, or none.
QString birthdayMonthPrompt();
std::optional<Message> monthEntryProblem(const QString& entry);
// The month of an entry that passed the check.
int enteredMonth(const QString& entry);
QString monthName(int month);

// The birthdays of one month, one line per contact by day, those of one day in record order: the
// name padded to 43 characters, a tab and the date as MM/DD/YYYY (MM/DD when the year is not known).
struct BirthdayList final {
    static constexpr int kMaxLines = 2000;
    // More lines than this would make a message box taller than a screen.
    static constexpr int kMessageBoxLines = 30;

    QString title;      // "March Birthdays"
    QStringList lines;  // each ending in a line break
    int leftOut = 0;    // birthdays past the bound

    // The lines as shown, with a closing word on those left out.
    QString text() const;
    bool fitsMessageBox() const { return lines.size() <= kMessageBoxLines; }
};
Expected<BirthdayList> birthdaysInMonth(const ContactsFile& contacts, int month);

}  // namespace pw
