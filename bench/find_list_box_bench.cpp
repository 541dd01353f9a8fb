// The editor's find list of 100,000 names in a real drop-down list: filling it, typing a name to
// jump to it, and opening the list.
#include "generated_contacts.h"

#include "contacts_ui/contact_editor_window.h"
#include "contacts_ui/find_list.h"
#include "data/contacts_file.h"

#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

namespace pw {
namespace {

FindList entries()
{
    ContactsFile file;
    file.open(fixture().master());
    return *readFindList(file);
}

struct Box {
    FindListModel model;
    QComboBox box;
    Box()
    {
        setUpFindListBox(&box, &model);
        box.show();
    }
};

void BM_FindListBoxFill(benchmark::State& state)
{
    ContactsFile file;
    file.open(fixture().master());
    Box b;
    for (auto _ : state) {
        b.model.setList(std::move(*readFindList(file)));
        b.box.setCurrentIndex(-1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FindListBoxFill)->Unit(benchmark::kMillisecond);

void BM_FindListBoxTypeAName(benchmark::State& state)
{
    Box b;
    b.model.setList(entries());
    int i = 0;
    for (auto _ : state) {
        // Each name starts a new search, as after a pause in typing.
        state.PauseTiming();
        b.box.setCurrentIndex(-1);
        b.box.view()->keyboardSearch(QString());
        state.ResumeTiming();
        const QString name = QStringLiteral("first%1 ").arg((i++ * 7919) % kContacts);
        for (QChar c : name) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&b.box, &key);
        }
        benchmark::DoNotOptimize(b.box.currentIndex());
        state.PauseTiming();
        if (!b.box.currentText().startsWith(name, Qt::CaseInsensitive))
            state.SkipWithError("typing did not reach the name");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FindListBoxTypeAName)->Unit(benchmark::kMillisecond);

void BM_FindListBoxOpen(benchmark::State& state)
{
    Box b;
    b.model.setList(entries());
    b.box.setCurrentIndex(kContacts / 2);
    for (auto _ : state) {
        b.box.showPopup();
        QCoreApplication::processEvents();
        b.box.hidePopup();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FindListBoxOpen)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
