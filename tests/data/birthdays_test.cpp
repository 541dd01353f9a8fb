#include "data/birthdays.h"
#include "data/contacts_file.h"

#include "support/stored_contacts.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace pw {
namespace {

ContactRecord contact(const QString& first, const QString& birthdate, const QString& reminders = u"1"_s)
{
    ContactRecord r;
    r.FirstName = first;
    r.LastName = u"Ray"_s;
    r.Birthdate = birthdate;
    r.BirthdayReminders = reminders;
    return r;
}

// The reminders and the month's list of a contacts file holding these records.
QList<Message> birthdayReminders(const std::vector<ContactRecord>& records, QDate today)
{
    test::TestFolder folder;
    ContactsFile file;
    test::writeContacts(file, folder.file(u"c.DAT"_s), records);
    return pw::birthdayReminders(file, today).value();
}

BirthdayList birthdaysInMonth(const std::vector<ContactRecord>& records, int month)
{
    test::TestFolder folder;
    ContactsFile file;
    test::writeContacts(file, folder.file(u"c.DAT"_s), records);
    return pw::birthdaysInMonth(file, month).value();
}

QStringList texts(const QList<Message>& messages)
{
    QStringList out;
    for (const Message& m : messages)
        out.append(m.title + u": "_s + m.text);
    return out;
}

TEST(BirthdayReminders, TodayThenAWeekAheadByDate)
{
    const std::vector<ContactRecord> records =
        {contact(u"Today"_s, u"19900301"_s), contact(u"Seven"_s, u"19850308"_s), contact(u"Eight"_s, u"19850309"_s),
         contact(u"Past"_s, u"19700228"_s),  contact(u"Blank"_s, u""_s),         contact(u"Bad"_s, u"19801341"_s),
         contact(u"Junk"_s, u"1980-4-1"_s),  contact(u"One"_s, u"20010302"_s),   contact(u"Yearless"_s, u"00000305"_s)};
    const QList<Message> shown = birthdayReminders(records, QDate(2027, 3, 1));
    EXPECT_EQ(texts(shown), (QStringList{u"Birthday alert: Today is Today Ray's Birthday! "_s,
                                         u"Birthday reminder: One Ray has a birthday coming up on 03/02"_s,
                                         u"Birthday reminder: Yearless Ray has a birthday coming up on 03/05"_s,
                                         u"Birthday reminder: Seven Ray has a birthday coming up on 03/08"_s}));
    for (const Message& m : shown) {
        EXPECT_EQ(m.icon, MessageIcon::Information);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
}

TEST(BirthdayReminders, LateDecemberLooksIntoJanuaryUnlessRemindersAreOff)
{
    const std::vector<ContactRecord> records = {contact(u"Third"_s, u"19900103"_s), contact(u"Fourteenth"_s, u"19900114"_s),
                                                contact(u"Fifteenth"_s, u"19900115"_s),
                                                contact(u"Eve"_s, u"19901224"_s)};
    EXPECT_EQ(texts(birthdayReminders(records, QDate(2026, 12, 20))),
              (QStringList{u"Birthday reminder: Eve Ray has a birthday coming up on 12/24"_s,
                           u"Birthday reminder: Third Ray has a birthday coming up on 01/03"_s,
                           u"Birthday reminder: Fourteenth Ray has a birthday coming up on 01/14"_s}));
    // The January rule starts after the 15th.
    EXPECT_TRUE(birthdayReminders(records, QDate(2026, 12, 15)).isEmpty());

    std::vector<ContactRecord> off = records;
    for (ContactRecord& r : off)
        r.BirthdayReminders = u"0"_s;
    off.push_back(contact(u"Now"_s, u"19501220"_s, u"0"_s));
    EXPECT_TRUE(birthdayReminders(off, QDate(2026, 12, 20)).isEmpty());
}

TEST(BirthdayReminders, LeapDayFallsOnTheLastDayOfFebruaryInOtherYears)
{
    const std::vector<ContactRecord> leap = {contact(u"Leap"_s, u"19960229"_s)};
    const auto on = [&](int year, int month, int day) { return texts(birthdayReminders(leap, QDate(year, month, day))); };
    const QStringList alert{u"Birthday alert: Today is Leap Ray's Birthday! "_s};
    EXPECT_EQ(on(2027, 2, 28), alert);
    EXPECT_EQ(on(2027, 2, 21), QStringList{u"Birthday reminder: Leap Ray has a birthday coming up on 02/29"_s});
    EXPECT_TRUE(on(2027, 3, 1).isEmpty());
    EXPECT_EQ(on(2028, 2, 28).size(), 1);  // one day ahead
    EXPECT_EQ(on(2028, 2, 29), alert);
}

TEST(BirthdayList, MonthEntryChecksInTheirOrder)
{
    const auto problem = [](const QString& entry) {
        const auto m = monthEntryProblem(entry);
        return m ? m->title + u": "_s + m->text : u"ok"_s;
    };
    EXPECT_EQ(problem(u"3"_s), u"ok");
    EXPECT_EQ(problem(u"03"_s), u"ok");
    EXPECT_EQ(problem(u"12"_s), u"ok");
    EXPECT_EQ(problem(u"13"_s), u"Enter a number between 1 and 12: Cannot be greater than 12");
    EXPECT_EQ(problem(u"0"_s), u"Enter one month: Enter a number between 1 and 12");
    EXPECT_EQ(problem(u"123"_s), u"Enter one month: Enter a number between 1 and 12");
    EXPECT_EQ(problem(u"x"_s), u"Enter one month: Enter a number between 1 and 12");
    EXPECT_EQ(problem(u"5."_s), u"Enter a month: Enter a number between 1 and 12");
    EXPECT_EQ(problem(u"1a"_s), u"Enter a month: Enter a number between 1 and 12");
    const Message m = *monthEntryProblem(u"13"_s);
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_TRUE(m.beep);

    EXPECT_TRUE(birthdayMonthPrompt().startsWith(u"Enter a month by typing its number (1-12):\n \n1  January\n2  February\n"));
    EXPECT_TRUE(birthdayMonthPrompt().endsWith(u"\n9  September\n10 October\n11 November\n12 December"));
}

TEST(BirthdayList, LinesByDayPaddedToTheTab)
{
    ContactRecord ann = contact(u"Ann"_s, u"19800310"_s, u"0"_s);  // the reminder flag plays no part
    ann.LastName = u"Lee"_s;
    const std::vector<ContactRecord> records = {contact(u"Zed"_s, u"20010330"_s), contact(u"May"_s, u"19800510"_s), ann,
                                                contact(u"Blank"_s, u"        "_s), contact(u"Kim"_s, u"00000312"_s)};
    const BirthdayList march = birthdaysInMonth(records, 3);
    EXPECT_EQ(march.title, u"March Birthdays");
    EXPECT_EQ(march.text(), u"Ann Lee"_s + QString(36, u' ') + u"\t03/10/1980\n"_s + u"Kim Ray"_s + QString(36, u' ')
                                + u"\t03/12\n"_s + u"Zed Ray"_s + QString(36, u' ') + u"\t03/30/2001\n"_s);
    EXPECT_TRUE(march.fitsMessageBox());
    EXPECT_TRUE(birthdaysInMonth(records, 7).lines.isEmpty());
}

TEST(BirthdayList, AMonthOfThousandsStopsAtTheBoundAndSaysHowManyMore)
{
    std::vector<ContactRecord> records(2500, contact(u"Sam"_s, u"19990415"_s));
    const BirthdayList april = birthdaysInMonth(records, 4);
    EXPECT_EQ(april.lines.size(), BirthdayList::kMaxLines);
    EXPECT_EQ(april.leftOut, 500);
    EXPECT_FALSE(april.fitsMessageBox());
    EXPECT_TRUE(april.text().endsWith(u"\n... and 500 more, not listed: the list stops at 2000 lines.\n"));
}

}  // namespace
}  // namespace pw
