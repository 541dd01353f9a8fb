#pragma once

#include "platform/platform.h"

#include <memory>

class QPrinter;

namespace pw {

class PainterSurface;

// The platform on the real desktop, through Qt's dialogs, settings, clipboard and launcher.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    MessageResult message(const Message& message) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const FileDialogRequest& request) override;
    QString saveFileDialog(const FileDialogRequest& request) override;
    std::optional<PrintChoice> printDialog(const PrintDialogRequest& request) override;
    PrintSurface& printer() override;
    void printPreview(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& outlines,
                      const QList<QRectF>& overrun, const QList<QRectF>& used,
                      const std::function<void()>& print) override;
    std::unique_ptr<ProgressDialog> startProgress(const QString& text, const QString& title) override;
    void setBusyPointer(bool busy) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    QString readSetting(const QString& application, const QString& section, const QString& key) override;
    // Through QtKeychain, in qt_keyring.cpp.
    void storePassword(const QString& key, const QString& password, QObject* context,
                       std::function<void(std::expected<void, QString>)> done) override;
    void readPassword(const QString& key, QObject* context,
                      std::function<void(std::expected<QString, QString>)> done) override;
    std::optional<SheetChoice> pickSheetPositions(const SheetChoice& offered, const SheetPicture& sheet) override;
    bool openDocument(const QString& pathOrUrl) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    QString applicationFolder() override;
    QDate today() override;

private:
    // The current printer, made at its first use: the system's default printer.
    QPrinter& qtPrinter();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PainterSurface> surface_;
    bool busy_ = false;
};

// The user's application folder: Postwick in the documents folder.
QString userApplicationFolder();

}  // namespace pw
