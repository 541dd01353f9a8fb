#include "data/contact_validation.h"

#include "data/text_rules.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <optional>

namespace pw {
namespace {

// Birthdates are accepted from year 1000 to 9999: the years written with four digits.
constexpr int kFirstYear = 1000;
constexpr int kLastYear = 9999;

Message dateMessage(const char* text)
{
    return {QString::fromLatin1(text), QStringLiteral("Date error")};
}

Message entryMessage(const char* text)
{
    return {QString::fromLatin1(text), QStringLiteral("Incorrect entry")};
}

// MM/DD/YYYY with blanks tolerated around each number; the space checks that follow refuse them.
bool isCalendarDate(QStringView text)
{
    const QStringView month = text.sliced(0, 2);
    const QStringView day = text.sliced(3, 2);
    const QStringView year = text.sliced(6, 4);
    if (!readsAsNumber(month) || !readsAsNumber(day) || !readsAsNumber(year))
        return false;
    const int y = trimBlanks(year).toInt();
    return y >= kFirstYear && y <= kLastYear
        && QDate::isValid(y, trimBlanks(month).toInt(), trimBlanks(day).toInt());
}

// MM/DD: a birthday whose year is not known, which the reminders need no year for.
bool isYearless(const QString& date)
{
    return date.size() == 5 && date[2] == u'/';
}

// The number checks come before the space checks because a number may carry blanks around it.
std::optional<Message> birthdateProblem(const QString& date)
{
    // Month and day get the same checks as in a full date; a leap year lets 02/29 pass.
    if (isYearless(date))
        return birthdateProblem(date + QStringLiteral("/2000"));
    if (date.size() != 10 || date[2] != u'/' || date[5] != u'/')
        return dateMessage("Date must be in format MM/DD/YYYY   Example: April 10, 1980 is 04/10/1980");
    if (!readsAsNumber(QStringView(date).right(4)))
        return dateMessage("Year must be an actual 4-digit year.  Example: 1988");
    if (date.back() == u' ')
        return dateMessage("Year must be a 4-digit year, no spaces.  Example: 1988");
    if (numericValue(QStringView(date).left(2)) > 12)
        return dateMessage("Month must be a number no greater than 12.  Example: 07");
    if (!readsAsNumber(QStringView(date).left(2)))
        return dateMessage("Month must be a 2-digit month.  Example: 08");
    if (!isCalendarDate(date))
        return dateMessage("Birthdate must be a valid date in MM/DD/YYYY format.  Example: 05/12/1988");
    if (date[3] == u' ' || date[4] == u' ')
        return dateMessage("Day must be a 2-digit day, no spaces.  Example: 26");
    if (date[0] == u' ')
        return dateMessage("Month must be a 2-digit month, no spaces.  Example: 03");
    if (date[1] == u' ')
        return dateMessage("Month must be a 2-digit month, no spaces.  Example: 07");
    if (date.contains(u' '))
        return dateMessage("Birthdate must be a valid date in MM/DD/YYYY format. No spaces.  Example: 05/12/1988");
    return std::nullopt;
}

// Brackets and blanks come out of a typed phone number; a leading "+" stays, as without it the
// digits are another number.
void cleanPhone(QString& phone)
{
    const bool international = trimBlanks(phone).startsWith(u'+');
    phone.remove(u'(').replace(u')', u'-').remove(u' ').remove(u'+');
    if (international)
        phone.prepend(u'+');
}

// Which boxes a save checks and cleans: all of them on a new contact, else those the user changed.
using ChangedBoxes = std::array<bool, kContactBoxCount>;

ChangedBoxes changedBoxes(const ContactBoxTexts& boxes, const LoadedContact* loaded)
{
    ChangedBoxes changed;
    for (std::size_t i = 0; i < kContactBoxCount; ++i)
        changed[i] = !loaded || boxes.text[i] != loaded->boxes.text[i];
    return changed;
}

// Each length is checked on the text as typed, before that box's own clean-ups, except for the
// phones, whose brackets and blanks go first.
std::optional<FieldFailure> checkFields(ContactBoxTexts& b, FormVariant variant, const ChangedBoxes& changed)
{
    using enum ContactBox;
    const auto edited = [&changed](ContactBox box) { return changed[static_cast<std::size_t>(box)]; };
    const auto longer = [&](ContactBox box, qsizetype limit) { return edited(box) && b[box].size() > limit; };
    const auto remove = [&](ContactBox box, QChar c) {
        if (edited(box))
            b[box].remove(c);
    };
    const auto blank = [&](ContactBox box) {
        if (edited(box))
            b[box].replace(u',', u' ');
    };
    const auto refuse = [](ContactBox box, const char* text) { return FieldFailure{entryMessage(text), box}; };

    if (longer(FName, 14))
        return refuse(FName, "First name must be 14 characters or less.");
    remove(FName, u',');
    remove(MiddleInit, u',');
    remove(MiddleInit, u'.');
    if (longer(MiddleInit, 1))
        return refuse(MiddleInit, "Enter only 1 character for middle initial.");
    if (longer(LName, 18))
        return refuse(LName, "Enter last name, 18 characters or less.");
    remove(LName, u',');
    // Blanks alone would store an empty last name, which this check exists to prevent.
    if (edited(LName) && trimBlanks(b[LName]).isEmpty())
        return refuse(LName, "Enter last name, 18 characters or less.");
    if (longer(FStreet, 30))
        return refuse(FStreet, "Street address must be 30 characters or less.");
    remove(FStreet, u',');
    if (longer(SStreet, 15))
        return refuse(SStreet, "Street address2 must be 15 characters or less.");
    remove(SStreet, u',');
    if (longer(City, 16))
        return refuse(City, "City must be 16 characters or less.");
    if (edited(State) && !b[State].isEmpty() && b[State].size() != 2)
        return refuse(State, "State must be 2 character abbreviation.");
    remove(State, u',');
    if (longer(Zip, 10))
        return refuse(Zip, "Zip Code must be 10 characters or less.");
    remove(Zip, u',');
    if (longer(Country, 19))
        return refuse(Country, variant == FormVariant::AddContact
                                   ? "Country must be 19 characters or less.  For example, USA."
                                   : "Country must be 19 characters or less. For example, USA.");
    if (variant == FormVariant::AddContact)
        blank(Country);
    else
        remove(Country, u',');
    if (longer(Company, 30))
        return refuse(Company, "Company Name must be 30 characters or less.");
    remove(Company, u',');

    const struct {
        ContactBox box;
        qsizetype limit;
        const char* message;
    } phones[] = {
        {HPhone, 15, "Home Phone must be 15 characters or less."},
        {CPhone, 15, "Cell Phone must be 15 characters or less."},
        {WPhone, 13, "Work Phone must be 13 characters or less."},
    };
    for (const auto& phone : phones) {
        if (edited(phone.box))
            cleanPhone(b[phone.box]);
        if (longer(phone.box, phone.limit))
            return refuse(phone.box, phone.message);
        remove(phone.box, u',');
    }

    if (edited(Email)) {
        const QString& email = b[Email];
        if (longer(Email, 50))
            return refuse(Email, "Email address must be 50 characters or less.");
        if (email.contains(u','))
            return refuse(Email, "Email address cannot contain a comma.");
        if (email.contains(u' '))
            return refuse(Email, "Email address cannot contain a space.");
        if (!email.isEmpty() && !email.contains(u'@'))
            return refuse(Email, "Email address must contain the '@' character.");
        if (!email.isEmpty() && !email.contains(u'.'))
            return refuse(Email, "Email address must contain the '.' character.");
    }

    if (longer(Category, 80))
        return refuse(Category, "Category must be 80 characters or less.");
    blank(Category);
    if (longer(Notes, 160))
        return refuse(Notes, "Notes must be 160 characters or less.");
    blank(Notes);
    remove(City, u',');
    return std::nullopt;
}

// The record field each box feeds, in box order.
constexpr QString ContactRecord::*kBoxFields[kContactBoxCount] = {
    &ContactRecord::FirstName, &ContactRecord::MiddleInitial, &ContactRecord::LastName,  &ContactRecord::Street1,
    &ContactRecord::Street2,   &ContactRecord::City,          &ContactRecord::State,     &ContactRecord::Zip,
    &ContactRecord::Country,   &ContactRecord::Company,       &ContactRecord::Birthdate, &ContactRecord::HomePhone,
    &ContactRecord::CellPhone, &ContactRecord::WorkPhone,     &ContactRecord::Email,     &ContactRecord::Category,
    &ContactRecord::Notes,
};

ContactRecord buildRecord(const ContactBoxTexts& b, bool includeCompany, bool remindersOn)
{
    using enum ContactBox;
    const QString& date = b[Birthdate];
    // The stored company is trimmed, so a company of blanks is no company to print.
    const bool printCompany = includeCompany && !trimBlanks(b[Company]).isEmpty();
    ContactRecord r;
    r.FirstName = trimBlanks(b[FName]);
    r.MiddleInitial = b[MiddleInit].toUpper();
    r.LastName = b[LName];
    r.Street1 = b[FStreet];
    r.Street2 = b[SStreet];
    r.City = b[City];
    r.State = b[State].toUpper();
    r.Zip = b[Zip];
    r.Country = b[Country].toUpper();
    r.HomePhone = b[HPhone];
    r.CellPhone = b[CPhone];
    r.WorkPhone = b[WPhone];
    r.Email = b[Email];
    const QString year = isYearless(date) ? QString::fromUtf16(kNoBirthYear) : date.right(4);
    r.Birthdate = date.isEmpty() ? QString() : year + date.left(2) + date.mid(3, 2);
    r.Category = b[Category];
    r.Notes = b[Notes];
    r.Company = b[Company];
    r.IncludeCompany = printCompany ? QStringLiteral("1") : QStringLiteral("0");
    r.BirthdayReminders = remindersOn ? QStringLiteral("1") : QStringLiteral("0");
    return r;
}

}  // namespace

std::expected<ContactRecord, FieldFailure> validateContactForm(ContactBoxTexts& boxes, bool includeCompany,
                                                               bool remindersOn, FormVariant variant,
                                                               const LoadedContact* loaded)
{
    // Nothing changed: the contact is stored as it was read.
    if (loaded && boxes == loaded->boxes && includeCompany == loaded->includeCompany)
        return loaded->record;
    const ChangedBoxes changed = changedBoxes(boxes, loaded);
    for (std::size_t i = 0; i < kContactBoxCount; ++i) {
        if (changed[i])
            boxes.text[i] = blankControlCharacters(boxes.text[i]);
    }
    const bool dateChanged = changed[static_cast<std::size_t>(ContactBox::Birthdate)];
    if (const QString& date = boxes[ContactBox::Birthdate]; dateChanged && !date.isEmpty()) {
        if (auto problem = birthdateProblem(date))
            return std::unexpected(FieldFailure{*problem, ContactBox::Birthdate});
    }
    if (auto failure = checkFields(boxes, variant, changed))
        return std::unexpected(*failure);
    ContactRecord record = buildRecord(boxes, includeCompany, remindersOn);
    if (!loaded)
        return record;
    const ContactRecord& stored = loaded->record;
    for (std::size_t i = 0; i < kContactBoxCount; ++i) {
        if (!changed[i])
            record.*kBoxFields[i] = stored.*kBoxFields[i];
    }
    if (!changed[static_cast<std::size_t>(ContactBox::Company)] && includeCompany == loaded->includeCompany)
        record.IncludeCompany = stored.IncludeCompany;
    return record;
}

QString contactBoxCaption(ContactBox box)
{
    static const char* const captions[kContactBoxCount] = {
        "First Name", "Middle Initial", "Last Name", "Street Address", "Additional Street Info/Apt",
        "City", "State", "Zip Code", "Country", "Company Name", "Birthdate", "Home Phone", "Cell Phone",
        "Work Phone", "Email Address", "Category", "Notes",
    };
    return QString::fromLatin1(captions[static_cast<std::size_t>(box)]);
}

std::vector<UnstorableBox> unstorableBoxes(const ContactBoxTexts& boxes)
{
    std::vector<UnstorableBox> found;
    for (std::size_t i = 0; i < kContactBoxCount; ++i) {
        if (QStringList characters = unstorableCharacters(boxes.text[i]); !characters.isEmpty())
            found.push_back({static_cast<ContactBox>(i), characters});
    }
    return found;
}

Message unstorableQuestion(const std::vector<UnstorableBox>& found)
{
    QString lines;
    for (const UnstorableBox& entry : found) {
        QStringList nearest;
        for (const QString& c : entry.characters)
            nearest.append(c + QStringLiteral(" as ") + nearestStorable(c));
        lines += contactBoxCaption(entry.box) + QStringLiteral(":  ") + nearest.join(QStringLiteral(",  ")) + u'\n';
    }
    return {QStringLiteral("The contacts file cannot store these characters.  They can be saved as the nearest "
                           "letters it holds:\n\n%1\nSave them so?  Choose No to go back and change them.")
                .arg(lines),
            QStringLiteral("Characters that cannot be saved"), MessageIcon::Question, MessageButtons::YesNo};
}

ContactBoxTexts boxTextsOf(const ContactRecord& r)
{
    ContactBoxTexts b;
    b[ContactBox::FName] = r.FirstName;
    b[ContactBox::MiddleInit] = r.MiddleInitial;
    b[ContactBox::LName] = r.LastName;
    b[ContactBox::FStreet] = r.Street1;
    b[ContactBox::SStreet] = r.Street2;
    b[ContactBox::City] = r.City;
    b[ContactBox::State] = r.State;
    b[ContactBox::Zip] = r.Zip;
    b[ContactBox::Country] = r.Country;
    b[ContactBox::Company] = r.Company;
    b[ContactBox::Birthdate] = r.birthdateForDisplay();
    b[ContactBox::HPhone] = r.HomePhone;
    b[ContactBox::CPhone] = r.CellPhone;
    b[ContactBox::WPhone] = r.WorkPhone;
    b[ContactBox::Email] = r.Email;
    b[ContactBox::Category] = r.Category;
    b[ContactBox::Notes] = r.Notes;
    return b;
}

}  // namespace pw
