#include "data/contact_validation.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace pw {
namespace {

using enum ContactBox;
using namespace Qt::StringLiterals;

ContactBoxTexts form(std::initializer_list<std::pair<ContactBox, const char16_t*>> texts)
{
    ContactBoxTexts boxes;
    boxes[LName] = QStringLiteral("Doe");
    for (const auto& [box, text] : texts)
        boxes[box] = QString::fromUtf16(text);
    return boxes;
}

// The message a form fails with, empty when it passes.
QString failure(ContactBoxTexts boxes, FormVariant variant = FormVariant::AddContact)
{
    auto result = validateContactForm(boxes, true, true, variant);
    return result ? QString() : result.error().message.text;
}

TEST(ContactValidation, BirthdateChecksRunInTheirOrderWithTheirMessages)
{
    const auto date = [](const char16_t* text) { return failure(form({{Birthdate, text}})); };
    const QString format = u"Date must be in format MM/DD/YYYY   Example: April 10, 1980 is 04/10/1980"_s;
    const QString invalid = u"Birthdate must be a valid date in MM/DD/YYYY format.  Example: 05/12/1988"_s;
    EXPECT_EQ(date(u"4/10/1980"), format);
    EXPECT_EQ(date(u"04-10-1980"), format);
    EXPECT_EQ(date(u"04/10/19800"), format);
    EXPECT_EQ(date(u"04/10/19x0"), u"Year must be an actual 4-digit year.  Example: 1988");
    EXPECT_EQ(date(u"04/10/198 "), u"Year must be a 4-digit year, no spaces.  Example: 1988");
    EXPECT_EQ(date(u"13/01/1990"), u"Month must be a number no greater than 12.  Example: 07");
    EXPECT_EQ(date(u"AB/01/1990"), u"Month must be a 2-digit month.  Example: 08");
    EXPECT_EQ(date(u"+1/01/1990"), u"Month must be a 2-digit month.  Example: 08");
    EXPECT_EQ(date(u"02/30/1990"), invalid);
    EXPECT_EQ(date(u"02/29/1900"), invalid);
    EXPECT_EQ(date(u"00/10/1990"), invalid);
    EXPECT_EQ(date(u"04/31/1990"), invalid);
    EXPECT_EQ(date(u"04/10/0999"), invalid);
    EXPECT_EQ(date(u"04/10/ 999"), invalid);
    EXPECT_EQ(date(u"04/ 1/1980"), u"Day must be a 2-digit day, no spaces.  Example: 26");
    EXPECT_EQ(date(u" 4/10/1980"), u"Month must be a 2-digit month, no spaces.  Example: 03");
    EXPECT_EQ(date(u"4 /10/1980"), u"Month must be a 2-digit month, no spaces.  Example: 07");
    EXPECT_EQ(date(u"02/29/2000"), u"");
    EXPECT_EQ(date(u"12/31/9999"), u"");
    // A birthday without its year is kept for the reminders.
    EXPECT_EQ(date(u"02/29"), u"");
    EXPECT_EQ(date(u"02/30"), invalid);
    EXPECT_EQ(date(u"13/01"), u"Month must be a number no greater than 12.  Example: 07");
    EXPECT_EQ(date(u"4/10"), format);
    ContactBoxTexts yearless = form({{LName, u"Lee"}, {Birthdate, u"12/09"}});
    const auto stored = validateContactForm(yearless, true, true, FormVariant::AddContact);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Birthdate, u"00001209");
    EXPECT_EQ(boxTextsOf(*stored)[Birthdate], u"12/09");

    ContactBoxTexts boxes = form({{Birthdate, u"04/10/198 "}});
    auto result = validateContactForm(boxes, true, true, FormVariant::AddContact);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message.title, u"Date error");
    EXPECT_EQ(result.error().box, Birthdate);
}

TEST(ContactValidation, OnlyTheFirstFailureIsReportedAndTheBirthdateComesFirst)
{
    ContactBoxTexts boxes = form({{FName, u"Bartholomew-James"}, {Birthdate, u"4/10/1980"}, {Email, u"x"}});
    auto result = validateContactForm(boxes, true, true, FormVariant::AddContact);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().box, Birthdate);

    boxes[Birthdate].clear();
    result = validateContactForm(boxes, true, true, FormVariant::AddContact);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), (FieldFailure{{u"First name must be 14 characters or less."_s, u"Incorrect entry"_s}, FName}));
}

TEST(ContactValidation, LengthsAreCheckedBeforeCommasAreTakenOut)
{
    EXPECT_EQ(failure(form({{FName, u"Ann,Marie,Lise"}})), u"");  // 14 characters, 2 commas
    EXPECT_EQ(failure(form({{FName, u"Anne,Marie,Lise1"}})), u"First name must be 14 characters or less.");
    EXPECT_EQ(failure(form({{LName, u",,,"}})), u"Enter last name, 18 characters or less.");
    EXPECT_EQ(failure(form({{LName, u"   "}})), u"Enter last name, 18 characters or less.");
    EXPECT_EQ(failure(form({{State, u"N"}})), u"State must be 2 character abbreviation.");
    EXPECT_EQ(failure(form({{City, u"Winston,,Salem,NC"}})), u"City must be 16 characters or less.");

    // The clean-ups made before the failing box stay in the boxes.
    ContactBoxTexts boxes = form({{FName, u"A,nn"}, {MiddleInit, u"j."}, {HPhone, u"(555) 123-4567"}, {Email, u"a@b"}});
    auto result = validateContactForm(boxes, true, true, FormVariant::AddContact);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message.text, u"Email address must contain the '.' character.");
    EXPECT_EQ(boxes[FName], u"Ann");
    EXPECT_EQ(boxes[MiddleInit], u"j");
    EXPECT_EQ(boxes[HPhone], u"555-123-4567");
}

TEST(ContactValidation, PhonesAreCleanedBeforeTheirLengthIsChecked)
{
    ContactBoxTexts boxes = form({{WPhone, u"(555) 123-4567"}, {CPhone, u"+1 555 123 4567"}});
    auto result = validateContactForm(boxes, true, true, FormVariant::AddContact);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->WorkPhone, u"555-123-4567");
    EXPECT_EQ(result->CellPhone, u"+15551234567");
    EXPECT_EQ(failure(form({{HPhone, u"(555) 123-4567 x123"}})), u"Home Phone must be 15 characters or less.");
}

TEST(ContactValidation, CountryCommasDependOnTheWindow)
{
    for (auto [variant, stored] : {std::pair{FormVariant::AddContact, u"IRELAND  REP."},
                                   std::pair{FormVariant::Editor, u"IRELAND REP."}}) {
        ContactBoxTexts boxes = form({{Country, u"Ireland, Rep."}});
        auto result = validateContactForm(boxes, true, true, variant);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->Country, stored);
    }
    const auto tooLong = form({{Country, u"United Kingdom of GB"}});
    EXPECT_EQ(failure(tooLong, FormVariant::AddContact), u"Country must be 19 characters or less.  For example, USA.");
    EXPECT_EQ(failure(tooLong, FormVariant::Editor), u"Country must be 19 characters or less. For example, USA.");
}

TEST(ContactValidation, EmailChecksRunInTheirOrder)
{
    EXPECT_EQ(failure(form({{Email, u"ann@example"}})), u"Email address must contain the '.' character.");
    EXPECT_EQ(failure(form({{Email, u"ann.example.com"}})), u"Email address must contain the '@' character.");
    EXPECT_EQ(failure(form({{Email, u"ann example.com"}})), u"Email address cannot contain a space.");
    EXPECT_EQ(failure(form({{Email, u"ann,x@example.com"}})), u"Email address cannot contain a comma.");
    EXPECT_EQ(failure(form({{Email, u"ann@example.com"}})), u"");
    EXPECT_EQ(failure(form({{Email, u""}})), u"");
}

TEST(ContactValidation, BuildsTheRecordFromTheCleanedBoxes)
{
    ContactBoxTexts boxes = form({{FName, u"  Ann  "}, {MiddleInit, u"j."}, {State, u"nv"}, {Country, u"usa"},
                                  {Birthdate, u"04/10/1980"}, {Category, u"Golf,Christmas"}, {Notes, u"a,b"},
                                  {Company, u"Acme, Inc"}, {City, u"Reno,"}});
    auto result = validateContactForm(boxes, true, false, FormVariant::AddContact);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->FirstName, u"Ann");
    EXPECT_EQ(result->MiddleInitial, u"J");
    EXPECT_EQ(result->State, u"NV");
    EXPECT_EQ(result->Country, u"USA");
    EXPECT_EQ(result->Birthdate, u"19800410");
    EXPECT_EQ(result->Category, u"Golf Christmas");
    EXPECT_EQ(result->Notes, u"a b");
    EXPECT_EQ(result->Company, u"Acme Inc");
    EXPECT_EQ(result->City, u"Reno");
    EXPECT_EQ(result->IncludeCompany, u"1");
    EXPECT_EQ(result->BirthdayReminders, u"0");

    ContactBoxTexts plain = form({});
    auto minimal = validateContactForm(plain, true, true, FormVariant::AddContact);
    ASSERT_TRUE(minimal);
    EXPECT_EQ(minimal->Birthdate, u"");
    EXPECT_EQ(minimal->BirthdayReminders, u"1");
}

TEST(ContactValidation, CompanyIsPrintedOnlyWhenThereIsOne)
{
    const auto include = [](const char16_t* company, bool checked) {
        ContactBoxTexts boxes = form({{Company, company}});
        return validateContactForm(boxes, checked, true, FormVariant::AddContact)->IncludeCompany;
    };
    EXPECT_EQ(include(u"", true), u"0");
    EXPECT_EQ(include(u"   ", true), u"0");
    EXPECT_EQ(include(u"Acme", true), u"1");
    EXPECT_EQ(include(u"Acme", false), u"0");
}

TEST(ContactValidation, ControlCharactersBecomeBlanksBeforeAnyCheck)
{
    ContactBoxTexts boxes = form({{FName, u"Ann\tMarie"}, {Notes, u"Gate code\r\n1234\x7f"}});
    auto result = validateContactForm(boxes, true, true, FormVariant::AddContact);
    ASSERT_TRUE(result);
    EXPECT_EQ(boxes[FName], u"Ann Marie");
    EXPECT_EQ(result->Notes, u"Gate code  1234 ");
    EXPECT_FALSE(result->encode().left(516).contains('\n'));
    // The checks see the blanks: a pasted line break is a space in an e-mail address.
    EXPECT_EQ(failure(form({{Email, u"ann@example.com\n"}})), u"Email address cannot contain a space.");
    EXPECT_EQ(failure(form({{LName, u"\t"}})), u"Enter last name, 18 characters or less.");
}

TEST(ContactValidation, ThePromptBeforeSavingNamesEachBoxAndTheCharactersItCannotStore)
{
    const ContactBoxTexts boxes = form({{City, u"\u6771\u4eac \u6771"}, {Notes, u"Hi \U0001F600 caf\u00e9?"}});
    const auto found = unstorableBoxes(boxes);
    ASSERT_EQ(found, (std::vector<UnstorableBox>{{City, {u"\u6771"_s, u"\u4eac"_s}}, {Notes, {u"\U0001F600"_s}}}));
    const Message question = unstorableQuestion(found);
    EXPECT_EQ(question.text, u"The contacts file cannot store these characters.  They can be saved as the nearest "
                             u"letters it holds:\n\nCity:  \u6771 as dong,  \u4eac as jing\nNotes:  \U0001F600 as ?\n\n"
                             u"Save them so?  Choose No to go back and change them."_s);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(unstorableBoxes(form({{FName, u"Ren\u00e9e \u20ac"}})).empty());
}

}  // namespace
}  // namespace pw
