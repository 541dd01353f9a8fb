#pragma once

#include "platform/platform.h"

#include <QObject>
#include <QString>

#include <memory>

namespace pw {

// A platform with no one to ask: every message gets its first answer, every dialog is cancelled,
// nothing is stored or opened. For programs that run without a person (the document builder, a
// benchmark probe); each overrides what it needs.
class QuietPlatform : public Platform {
public:
    QuietPlatform(PrintSurface& printer, QString folder) : printer_(printer), folder_(std::move(folder)) {}

    MessageResult message(const Message&) override { return MessageResult::Ok; }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileDialog(const FileDialogRequest&) override { return {}; }
    QString saveFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<PrintChoice> printDialog(const PrintDialogRequest&) override { return std::nullopt; }
    PrintSurface& printer() override { return printer_; }
    void printPreview(const std::function<void(PrintSurface&)>&, const QList<QRectF>&, const QList<QRectF>&,
                      const QList<QRectF>&, const std::function<void()>&) override
    {
    }
    std::unique_ptr<ProgressDialog> startProgress(const QString&, const QString&) override
    {
        struct NeverCancelled final : ProgressDialog {
            bool setProgress(qint64, qint64) override { return true; }
        };
        return std::make_unique<NeverCancelled>();
    }
    void setBusyPointer(bool) override {}
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}
    QString readSetting(const QString&, const QString&, const QString&) override { return {}; }
    void storePassword(const QString&, const QString&, QObject* context,
                       std::function<void(std::expected<void, QString>)> done) override
    {
        QMetaObject::invokeMethod(
            context, [done] { done(std::unexpected(QStringLiteral("there is no keyring here"))); },
            Qt::QueuedConnection);
    }
    void readPassword(const QString&, QObject* context,
                      std::function<void(std::expected<QString, QString>)> done) override
    {
        QMetaObject::invokeMethod(
            context, [done] { done(std::unexpected(QStringLiteral("there is no keyring here"))); },
            Qt::QueuedConnection);
    }
    std::optional<SheetChoice> pickSheetPositions(const SheetChoice&, const SheetPicture&) override
    {
        return std::nullopt;
    }
    bool openDocument(const QString&) override { return false; }
    QString clipboardText() override { return {}; }
    void setClipboardText(const QString&) override {}
    QString applicationFolder() override { return folder_; }
    QDate today() override { return QDate::currentDate(); }

private:
    PrintSurface& printer_;
    QString folder_;
};

}  // namespace pw
