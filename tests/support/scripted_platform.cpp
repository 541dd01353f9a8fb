#include "support/scripted_platform.h"

#include <QObject>

namespace pw::test {
namespace {

MessageResult firstButton(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
    case MessageButtons::PrintAnywayCancel: return MessageResult::Yes;
    case MessageButtons::RetryCancel: return MessageResult::Retry;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel: break;
    }
    return MessageResult::Ok;
}

}  // namespace

void ScriptedPlatform::answerMessage(MessageResult answer, std::function<void()> whileOpen)
{
    messageAnswers_.emplace_back(answer, std::move(whileOpen));
}

void ScriptedPlatform::answerInput(const QString& text)
{
    inputAnswers_.push_back(text);
}

void ScriptedPlatform::answerFileDialog(const QString& path, std::function<void()> whileOpen)
{
    fileAnswers_.emplace_back(path, std::move(whileOpen));
}

void ScriptedPlatform::answerPrintDialog(std::optional<PrintChoice> choice)
{
    printAnswers_.push_back(choice);
}

MessageResult ScriptedPlatform::message(const Message& message)
{
    messages.append(message);
    if (messageAnswers_.empty())
        return firstButton(message.buttons);
    auto [answer, whileOpen] = std::move(messageAnswers_.front());
    messageAnswers_.pop_front();
    if (whileOpen)
        whileOpen();
    return answer;
}

QString ScriptedPlatform::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    inputs.append({prompt, title, defaultText});
    if (inputAnswers_.empty())
        return {};
    QString answer = inputAnswers_.front();
    inputAnswers_.pop_front();
    return answer;
}

QString ScriptedPlatform::openFileDialog(const FileDialogRequest& request)
{
    fileDialogs.append(request);
    return answerFile();
}

QString ScriptedPlatform::saveFileDialog(const FileDialogRequest& request)
{
    saveDialogs.append(request);
    return answerFile();
}

QString ScriptedPlatform::answerFile()
{
    if (fileAnswers_.empty())
        return {};
    auto [answer, whileOpen] = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    if (whileOpen)
        whileOpen();
    return answer;
}

std::optional<PrintChoice> ScriptedPlatform::printDialog(const PrintDialogRequest& request)
{
    printDialogs.append(request);
    if (printAnswers_.empty())
        return std::nullopt;
    std::optional<PrintChoice> answer = printAnswers_.front();
    printAnswers_.pop_front();
    return answer;
}

void ScriptedPlatform::printPreview(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& outlines,
                                    const QList<QRectF>& overrun, const QList<QRectF>& used,
                                    const std::function<void()>& print)
{
    previewOutlines.append(outlines);
    previewOverrun.append(overrun);
    previewUsed.append(used);
    job(previewSurface);
    (void)previewSurface.endJob();
    if (printFromPreview)
        print();
}

std::optional<SheetChoice> ScriptedPlatform::pickSheetPositions(const SheetChoice& offered, const SheetPicture& sheet)
{
    sheetsOffered.append(offered);
    sheetPictures.append(sheet);
    if (sheetAnswers_.empty())
        return std::nullopt;
    std::optional<SheetChoice> answer = sheetAnswers_.front();
    sheetAnswers_.pop_front();
    return answer;
}

void ScriptedPlatform::storePassword(const QString& key, const QString& password, QObject* context,
                                     std::function<void(std::expected<void, QString>)> done)
{
    std::expected<void, QString> answer;
    if (keyringError.isEmpty())
        keyring[key] = password;
    else
        answer = std::unexpected(keyringError);
    QMetaObject::invokeMethod(
        context, [done, answer] { done(answer); }, Qt::QueuedConnection);
}

void ScriptedPlatform::readPassword(const QString& key, QObject* context,
                                    std::function<void(std::expected<QString, QString>)> done)
{
    const std::expected<QString, QString> answer =
        !keyringError.isEmpty()  ? std::unexpected(keyringError)
        : !keyring.contains(key) ? std::unexpected(QStringLiteral("The keyring holds no such password"))
                                 : std::expected<QString, QString>(keyring.value(key));
    QMetaObject::invokeMethod(
        context, [done, answer] { done(answer); }, Qt::QueuedConnection);
}

std::unique_ptr<ProgressDialog> ScriptedPlatform::startProgress(const QString& text, const QString& title)
{
    class Scripted final : public ProgressDialog {
    public:
        Scripted(ScriptedPlatform& platform, qsizetype index) : platform_(platform), index_(index) {}
        bool setProgress(qint64 done, qint64 total) override
        {
            ProgressCall& call = platform_.progressDialogs[index_];
            call.done.append(done);
            call.total = total;
            return platform_.cancelProgressAt < 0 || done < platform_.cancelProgressAt;
        }

    private:
        ScriptedPlatform& platform_;
        qsizetype index_;
    };
    progressDialogs.append({text, title, {}, 0});
    return std::make_unique<Scripted>(*this, progressDialogs.size() - 1);
}

void ScriptedPlatform::writeSetting(const QString& application, const QString& section, const QString& key,
                                    const QString& value)
{
    settings.insert(application + u'/' + section + u'/' + key, value);
}

bool ScriptedPlatform::openDocument(const QString& pathOrUrl)
{
    openedDocuments.append(pathOrUrl);
    return openDocumentSucceeds;
}

}  // namespace pw::test
