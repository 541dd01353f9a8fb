#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pw::test {

// A fresh folder per test, removed afterwards.
class TestFolder final {
public:
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
};

}  // namespace pw::test
