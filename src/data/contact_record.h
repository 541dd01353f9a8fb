#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <span>

namespace pw {

// One contact: 19 text fields that a contacts file stores as one fixed-width record of 518 bytes.
struct ContactRecord final {
    QString FirstName;
    QString MiddleInitial;
    QString LastName;
    QString Street1;
    QString Street2;
    QString City;
    QString State;
    QString Zip;
    QString Country;
    QString HomePhone;
    QString CellPhone;
    QString WorkPhone;
    QString Email;
    QString Birthdate;  // stored form: YYYYMMDD (0000MMDD when the year is not known), or empty
    QString Category;
    QString Notes;
    QString Company;
    QString IncludeCompany;     // "1" or "0"
    QString BirthdayReminders;  // "1" or "0"

    static constexpr int kSize = 518;
    static constexpr int kFieldCount = 19;

    struct Field {
        QString ContactRecord::*member;
        int offset;
        int width;
    };
    // Every field with its byte offset and width; a "|" follows each field, CR LF ends the record.
    static const std::array<Field, kFieldCount> kFields;

    // The 518 stored bytes: fields left-trimmed, padded or cut, separators and terminator afresh.
    QByteArray encode() const;
    // Fields taken apart by position and trimmed; a short record reads as if padded with blanks.
    static ContactRecord decode(QByteArrayView bytes);
    // The same into an existing record, reusing its texts' storage: a pass over a whole file
    // decodes every record into one.
    static void decodeInto(QByteArrayView bytes, ContactRecord& record);
    // Only the fields given (taken from kFields), for a pass that needs a few fields of every
    // record; the others keep what they held.
    static void decodeInto(QByteArrayView bytes, ContactRecord& record, std::span<const Field> fields);
    // Where the last of `fields` ends in a stored record.
    static qsizetype fieldsEnd(std::span<const Field> fields);
    // The same fields as views into `buffer`, which takes one character a stored byte: for a pass
    // over every record that keeps no string of its own. `bytes` may end after the fields' end.
    // The views live as long as the buffer.
    static void viewInto(QByteArrayView bytes, std::span<char16_t, kSize> buffer, std::span<const Field> fields,
                         std::span<QStringView> views);
    // The same fields as views of the stored bytes themselves, when they hold no byte where the
    // code page differs from Latin-1 (0x80 to 0x9F), as nearly every record: false otherwise.
    // `bytes` must reach the fields' end.
    static bool viewLatin1(QByteArrayView bytes, std::span<const Field> fields, std::span<QLatin1StringView> views);

    // Decoded views of the stored flags and date, as every window shows them.
    QString birthdateForDisplay() const;  // "MM/DD/YYYY", "MM/DD" without a year, or empty
    bool includeCompanyChecked() const;
    bool remindersOn() const;

    bool operator==(const ContactRecord&) const = default;
};

// The year a birthday is stored with when it is not known. Reminders read only month and day, and
// no one is born in year 0, so the date stays a birthday to remember.
inline constexpr char16_t kNoBirthYear[] = u"0000";

// Offsets shared by the file operations that touch single bytes.
inline constexpr int kBirthdayRemindersOffset = 515;
inline constexpr char kDeletedMarker[] = "*DELETED*";

}  // namespace pw
