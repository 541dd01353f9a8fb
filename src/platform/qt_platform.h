#pragma once

#include "platform/platform.h"

namespace pw {

// The platform on the real desktop, through Qt's dialogs, settings, clipboard and launcher.
class QtPlatform final : public Platform {
public:
    MessageResult message(const Message& message) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const FileDialogRequest& request) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    bool openDocument(const QString& pathOrUrl) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    QString applicationFolder() override;
    QDate today() override;
};

}  // namespace pw
