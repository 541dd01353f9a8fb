#include "cli/command_platform.h"

#include "desktop/painter_surface.h"

#include <QSettings>

#include <cstdio>
#include <unistd.h>

namespace pw {
namespace {

// Quick work shows no progress at all, and a long one rewrites its line a few times a second.
constexpr qint64 kQuietMilliseconds = 1000;
constexpr qint64 kRedrawMilliseconds = 200;

}  // namespace

TerminalProgress::TerminalProgress(QString text) : text_(std::move(text)), terminal_(::isatty(STDERR_FILENO) == 1)
{
    started_.start();
}

TerminalProgress::~TerminalProgress()
{
    if (shown_)
        std::fputc('\n', stderr);
}

bool TerminalProgress::setProgress(qint64 done, qint64 total)
{
    const qint64 elapsed = started_.elapsed();
    if (!terminal_ || elapsed < kQuietMilliseconds || (shown_ && elapsed - lastShown_ < kRedrawMilliseconds))
        return true;
    shown_ = true;
    lastShown_ = elapsed;
    const int percent = total > 0 ? static_cast<int>(100 * done / total) : 0;
    std::fprintf(stderr, "\r%s: %lld of %lld (%d%%)", qUtf8Printable(text_), static_cast<long long>(done),
                 static_cast<long long>(total), percent);
    std::fflush(stderr);
    return true;
}

void CommandSurface::newPage()
{
    target_.newPage();
    ++pages_;
    if (progress_)
        progress_->setProgress(pages_, totalPages_);
}

Status CommandSurface::endJob()
{
    Status status = target_.endJob();
    if (!status && !failure_)
        failure_ = status.error();
    pages_ = 1;
    return status;
}

std::optional<PrintChoice> CommandPlatform::printDialog(const PrintDialogRequest& request)
{
    if (request.labelSheet && !takesSheet_(request.sheetPaper)) {
        const auto [paper, shortName] = sheetPaperNames(request.sheetPaper);
        message({QStringLiteral("The printer %1 cannot take %2 paper, which label sheets are made of.  "
                                "Nothing was printed.")
                     .arg(printer().deviceName(), paper),
                 QStringLiteral("%1 paper not available").arg(shortName), MessageIcon::Warning});
        return std::nullopt;
    }
    PrintChoice choice;
    choice.copies = copies_;
    return choice;
}

std::unique_ptr<ProgressDialog> CommandPlatform::startProgress(const QString& text, const QString&)
{
    return std::make_unique<TerminalProgress>(text);
}

}  // namespace pw

namespace pw {

void CommandPlatform::writeSetting(const QString& application, const QString& section, const QString& key,
                                   const QString& value)
{
    QSettings settings(application, application);
    settings.setValue(section + u'/' + key, value);
}

QString CommandPlatform::readSetting(const QString& application, const QString& section, const QString& key)
{
    return QSettings(application, application).value(section + u'/' + key).toString();
}

}  // namespace pw
