// The vCard reader on any bytes: every card it reads must make a contact that stores as one record,
// and a contact's own vCard must read back as one card.
#include "fuzz_support.h"

#include "transfer/vcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pw;
    const QByteArray bytes = fuzz::bytesOf(data, size);
    (void)isVCardFile(bytes);
    for (const VCard& card : parseVCards(bytes)) {
        if (!card.error.isEmpty())
            continue;
        const auto entry = contactFromEntry(card.entry);
        if (!entry)
            continue;
        const ContactRecord* contact = &entry->record;
        if (contact->encode().size() != ContactRecord::kSize)
            __builtin_trap();
        if (parseVCards(vCardOf(*contact)).size() != 1)
            __builtin_trap();
    }
    return 0;
}
