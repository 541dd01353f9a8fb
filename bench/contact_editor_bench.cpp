// The contact editor's work at 100,000 contacts: filling the find list (read, sort, model), one
// navigation step (show a record and fill the list again) and a save in place.
#include "generated_contacts.h"

#include "contacts_ui/find_list.h"
#include "data/contact_validation.h"
#include "data/contacts_file.h"

#include <benchmark/benchmark.h>

namespace pw {
namespace {

void BM_FindListFill(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    FindListModel model;
    for (auto _ : state)
        model.setList(std::move(*readFindList(file)));
}
BENCHMARK(BM_FindListFill)->Unit(benchmark::kMillisecond);

void BM_NavigationStep(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    FindListModel model;
    int n = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(boxTextsOf(*file.read(n)));
        model.setList(std::move(*readFindList(file)));
        n = n % kContacts + 1;
    }
}
BENCHMARK(BM_NavigationStep)->Unit(benchmark::kMillisecond);

// Checking the form and building the record: the part of Save before the write.
void BM_SaveCheckAndBuild(benchmark::State& state)
{
    const ContactBoxTexts shown = boxTextsOf(generatedContact(kContacts / 2));
    for (auto _ : state) {
        ContactBoxTexts boxes = shown;
        benchmark::DoNotOptimize(validateContactForm(boxes, false, true, FormVariant::Editor)->encode());
    }
}
BENCHMARK(BM_SaveCheckAndBuild)->Unit(benchmark::kMicrosecond);

// The whole Save: check, build, write in place and flush to the disk.
void BM_SaveWithFlush(benchmark::State& state)
{
    const Fixture& f = fixture();
    f.freshWork();
    ContactsFile file;
    file.open(f.work());
    const ContactBoxTexts shown = boxTextsOf(generatedContact(kContacts / 2));
    for (auto _ : state) {
        ContactBoxTexts boxes = shown;
        file.overwrite(kContacts / 2, *validateContactForm(boxes, false, true, FormVariant::Editor));
    }
}
BENCHMARK(BM_SaveWithFlush)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pw
