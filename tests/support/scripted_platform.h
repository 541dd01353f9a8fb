#pragma once

#include "platform/platform.h"
#include "support/recording_surface.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace pw::test {

// A platform that answers from a script and records every call, so that a test can check the exact
// texts, titles, icons and buttons a window showed, in order.
class ScriptedPlatform final : public Platform {
public:
    explicit ScriptedPlatform(QString applicationFolder) : folder_(std::move(applicationFolder)) {}

    // Answers, used in order. A message with no scripted answer gets its first button; an input box,
    // file dialog or print dialog with none is cancelled. Open and save dialogs take their answers
    // from the one queue of answerFileDialog(). A hook runs while the box is "open" and may inspect
    // or drive the windows, as a person would before answering.
    void answerMessage(MessageResult answer, std::function<void()> whileOpen = {});
    void answerInput(const QString& text);
    void answerFileDialog(const QString& path, std::function<void()> whileOpen = {});
    // An accepted print dialog with this choice, or a cancelled one.
    void answerPrintDialog(std::optional<PrintChoice> choice);

    MessageResult message(const Message& message) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const FileDialogRequest& request) override;
    QString saveFileDialog(const FileDialogRequest& request) override;
    std::optional<PrintChoice> printDialog(const PrintDialogRequest& request) override;
    PrintSurface& printer() override { return printerSurface; }
    // Runs the job on the preview surface and keeps the outlines; prints when told to.
    void printPreview(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& outlines,
                      const QList<QRectF>& overrun, const QList<QRectF>& used,
                      const std::function<void()>& print) override;
    // Records each dialog and the progress it was told; presses Cancel once `cancelProgressAt` is reached.
    std::unique_ptr<ProgressDialog> startProgress(const QString& text, const QString& title) override;
    void setBusyPointer(bool busy) override { busyPointer.append(busy); }
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    QString readSetting(const QString& application, const QString& section, const QString& key) override
    {
        return settings.value(application + u'/' + section + u'/' + key);
    }
    // A keyring that answers as `keyringError` says, from the event loop: empty, it keeps
    // passwords in `keyring`.
    void storePassword(const QString& key, const QString& password, QObject* context,
                       std::function<void(std::expected<void, QString>)> done) override;
    void readPassword(const QString& key, QObject* context,
                      std::function<void(std::expected<QString, QString>)> done) override;
    QMap<QString, QString> keyring;
    QString keyringError;
    // The sheet picture answers from the script (cancelled without one) and keeps what it offered.
    std::optional<SheetChoice> pickSheetPositions(const SheetChoice& offered, const SheetPicture& sheet) override;
    void answerSheet(std::optional<SheetChoice> choice) { sheetAnswers_.push_back(std::move(choice)); }
    QList<SheetChoice> sheetsOffered;
    QList<SheetPicture> sheetPictures;
    bool openDocument(const QString& pathOrUrl) override;
    QString clipboardText() override { return clipboard_; }
    void setClipboardText(const QString& text) override { clipboard_ = text; }
    QString applicationFolder() override { return folder_; }
    QDate today() override { return today_; }

    void setToday(QDate date) { today_ = date; }

    // What was shown, in order.
    QList<Message> messages;
    struct InputCall {
        QString prompt, title, defaultText;
        bool operator==(const InputCall&) const = default;
    };
    QList<InputCall> inputs;
    QList<FileDialogRequest> fileDialogs;
    QList<FileDialogRequest> saveDialogs;
    QList<PrintDialogRequest> printDialogs;
    // The current printer.
    RecordingSurface printerSurface;
    // What previews showed: their jobs and the outlines under them; whether Print is pressed there.
    RecordingSurface previewSurface;
    QList<QList<QRectF>> previewOutlines;
    QList<QList<QRectF>> previewOverrun;
    QList<QList<QRectF>> previewUsed;
    bool printFromPreview = false;
    struct ProgressCall {
        QString text, title;
        QList<qint64> done;
        qint64 total = 0;
    };
    QList<ProgressCall> progressDialogs;
    qint64 cancelProgressAt = -1;
    QList<bool> busyPointer;  // each change of the pointer, in order
    QMap<QString, QString> settings;  // "application/section/key" to value
    QStringList openedDocuments;
    bool openDocumentSucceeds = true;

private:
    QString folder_;
    QString clipboard_;
    QDate today_ = QDate(2026, 12, 7);
    std::deque<std::pair<MessageResult, std::function<void()>>> messageAnswers_;
    std::deque<QString> inputAnswers_;
    std::deque<std::pair<QString, std::function<void()>>> fileAnswers_;
    std::deque<std::optional<PrintChoice>> printAnswers_;
    std::deque<std::optional<SheetChoice>> sheetAnswers_;

    QString answerFile();
};

}  // namespace pw::test
