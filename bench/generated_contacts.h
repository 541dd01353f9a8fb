#pragma once

#include "data/contact_record.h"

#include <QString>
#include <QTemporaryDir>

namespace pw {

inline constexpr int kContacts = 100'000;

// Contact i of the generated file: every field filled, names unique and in no particular order.
ContactRecord generatedContact(int i);

// One generated file of kContacts contacts per run, copied fresh where a benchmark changes it.
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

}  // namespace pw
