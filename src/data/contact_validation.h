#pragma once

#include "data/contact_record.h"
#include "data/message.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <expected>
#include <vector>

namespace pw {

// The 17 text boxes of the contact form, in tab order. Each is named as its box, txtAC + name.
enum class ContactBox {
    FName, MiddleInit, LName, FStreet, SStreet, City, State, Zip, Country,
    Company, Birthdate, HPhone, CPhone, WPhone, Email, Category, Notes,
};
inline constexpr std::size_t kContactBoxCount = 17;

// The texts of the 17 boxes, indexed by ContactBox.
struct ContactBoxTexts final {
    std::array<QString, kContactBoxCount> text;

    QString& operator[](ContactBox box) { return text[static_cast<std::size_t>(box)]; }
    const QString& operator[](ContactBox box) const { return text[static_cast<std::size_t>(box)]; }
    bool operator==(const ContactBoxTexts&) const = default;
};

// The two windows that save a whole contact differ in how they treat commas in the country.
enum class FormVariant { AddContact, Editor };

// Why a form cannot be saved: the one message to show and the box that gets the focus.
struct FieldFailure final {
    Message message;
    ContactBox box;
    bool operator==(const FieldFailure&) const = default;
};

// A stored contact as a form showed it: the boxes and the include-company box as loaded, and the
// record they were loaded from.
struct LoadedContact final {
    ContactBoxTexts boxes;
    bool includeCompany = false;
    ContactRecord record;
};

// Checks the form field by field in the fixed order and builds the record from the cleaned boxes.
// Clean-ups (control characters made blanks first, then commas and phone brackets taken out; a
// phone's leading "+" stays) are written into `boxes` as they happen and stay there whether or not
// the form passes; the first failing check ends the run. The record's IncludeCompany is "0" whenever
// the company is empty, whatever `includeCompany` says.
// With `loaded`, only the boxes whose text differs from it are checked and cleaned: every other
// field, and the two flags when neither they nor the company changed, keep what the record held, so
// that a contact saved unchanged is stored as it was read.
std::expected<ContactRecord, FieldFailure> validateContactForm(ContactBoxTexts& boxes, bool includeCompany,
                                                               bool remindersOn, FormVariant variant,
                                                               const LoadedContact* loaded = nullptr);

// The name a box goes by in messages: its label without the colon ("First Name", "City").
QString contactBoxCaption(ContactBox box);

// A box whose text holds characters the contacts file cannot store as they are.
struct UnstorableBox final {
    ContactBox box;
    QStringList characters;  // each once, in order of first appearance
    bool operator==(const UnstorableBox&) const = default;
};

// The boxes, in tab order, that hold characters the contacts file cannot store.
std::vector<UnstorableBox> unstorableBoxes(const ContactBoxTexts& boxes);

// The question to ask before saving a form that unstorableBoxes() found wanting, after
// validateContactForm() passed: Yes saves the nearest letters the file holds in their place, as
// the import stores them (nearestStorable()), No goes back to the first box.
Message unstorableQuestion(const std::vector<UnstorableBox>& found);

// The boxes as a contact window shows a stored record: each field trimmed, the birthdate as
// MM/DD/YYYY or empty.
ContactBoxTexts boxTextsOf(const ContactRecord& record);

}  // namespace pw
