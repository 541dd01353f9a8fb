// Any text in the 17 boxes of the contact form (separated by newlines in the input): the
// clean-ups and checks of both windows, the record they build, and the shared text rules the checks
// lean on (numericValue, the birthdate, phone and place rules of the import).
#include "fuzz_support.h"

#include "data/contact_validation.h"
#include "data/text_rules.h"
#include "transfer/address_book_entry.h"
#include "transfer/import_layouts.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pw;
    if (size == 0)
        return 0;
    const QString text = QString::fromUtf8(fuzz::bytesOf(data + 1, size - 1));
    const QStringList parts = text.split(u'\n');

    ContactBoxTexts boxes;
    for (std::size_t i = 0; i < kContactBoxCount && i < std::size_t(parts.size()); ++i)
        boxes.text[i] = parts[qsizetype(i)];
    const FormVariant variant = data[0] & 1 ? FormVariant::Editor : FormVariant::AddContact;
    (void)unstorableQuestion(unstorableBoxes(boxes));
    auto record = validateContactForm(boxes, data[0] & 2, data[0] & 4, variant);
    if (record) {
        const QByteArray stored = record->encode();
        if (stored.size() != ContactRecord::kSize)
            __builtin_trap();
        (void)boxTextsOf(ContactRecord::decode(stored));
    }

    for (const QString& part : parts) {
        const double value = numericValue(part);
        if (std::isfinite(value) && std::fabs(value) < 9e18)
            (void)roundHalfEven(value);
        (void)readsAsNumber(part);
        (void)shortestDecimal(value);
        if (const auto date = birthdateFromText(part); date && !date->isEmpty() && date->size() != 8)
            __builtin_trap();
        QString phone = part;
        applyPhoneRule(phone, data[0] & 16);
    }
    ContactRecord place;
    place.City = text.left(40);
    place.State = text.mid(40, 10);
    place.Zip = text.mid(50, 12);
    place.Country = text.mid(62);
    applyPlaceRules(place);
    return 0;
}
