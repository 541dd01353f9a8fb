#pragma once

#include "data/contact_record.h"

#include <QString>
#include <QTemporaryDir>

// The generated contacts file the benchmarks run on: 100,000 contacts, written once per run.
namespace pw::bench {

inline constexpr int kContacts = 100'000;

// Contact i of the generated file: names First<i> and Last<kContacts - i>, e-mail person<i>@example.com.
ContactRecord generated(int i);

// One generated file per run, copied fresh where a benchmark changes it.
class Fixture final {
public:
    Fixture();
    QString master() const { return dir_.filePath(QStringLiteral("master.DAT")); }
    QString work() const { return dir_.filePath(QStringLiteral("work.DAT")); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    void freshWork() const;

private:
    QTemporaryDir dir_;
};

const Fixture& fixture();

}  // namespace pw::bench
