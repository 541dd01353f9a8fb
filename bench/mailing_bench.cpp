// The labels of a mailing of 100,000 listed contacts: one per household, in ZIP order, complete
// addresses only, from the records as read to the labels in print order.
#include "list/mailing_order.h"
#include "varied_contacts.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace pw {
namespace {

constexpr int kListed = 100'000;

// The varied contacts, every fourth at the address of the one before it spelt another way (a
// couple), one in fifty abroad and one in a hundred without a street.
const std::vector<ContactRecord>& listed()
{
    static const std::vector<ContactRecord> all = [] {
        std::vector<ContactRecord> records;
        records.reserve(kListed);
        for (int i = 0; i < kListed; ++i) {
            ContactRecord r = bench::generatedContact(i);
            if (i % 4 == 1) {
                const ContactRecord& partner = records.back();
                r.Street1 = partner.Street1.toUpper().replace(QStringLiteral("STREET"), QStringLiteral("St."));
                r.Street2 = partner.Street2;
                r.City = partner.City;
                r.State = partner.State;
                r.Zip = partner.Zip;
            }
            if (i % 50 == 7)
                r.Country = QStringLiteral("Canada");
            if (i % 100 == 3)
                r.Street1.clear();
            records.push_back(std::move(r));
        }
        return records;
    }();
    return all;
}

void BM_MailingOf100kContacts(benchmark::State& state)
{
    const MailingChoices choices{state.range(0) != 0, state.range(1) != 0, state.range(2) != 0};
    std::size_t labels = 0;
    for (auto _ : state) {
        auto mailing = std::make_unique<Mailing>(mailingOf(listed(), choices));
        labels = mailing->labels.size();
        // The labels are freed after printing, not while they are chosen and ordered.
        state.PauseTiming();
        mailing.reset();
        state.ResumeTiming();
    }
    state.counters["labels"] = static_cast<double>(labels);
}
BENCHMARK(BM_MailingOf100kContacts)
    ->Args({0, 0, 0})
    ->Args({1, 1, 0})
    ->Args({1, 1, 1})
    ->ArgNames({"households", "zipOrder", "completeOnly"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw
