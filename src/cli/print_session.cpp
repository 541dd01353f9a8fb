#include "cli/print_session.h"

#include "desktop/qt_platform.h"
#include "program/app_files.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace pw {
namespace {

// Why a PDF file cannot be written at `path`, found before any page is laid out.
std::optional<QString> unwritable(const QString& path)
{
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.exists() ? path : info.absolutePath());
    if (::access(target.constData(), W_OK) != 0)
        return QStringLiteral("%1: %2").arg(path, FileError::fromErrno(errno).description);
    if (info.isDir())
        return QStringLiteral("%1: %2").arg(path, FileError::fromErrno(EISDIR).description);
    return std::nullopt;
}

}  // namespace

Result<void> PrintSession::setUp(const ParsedOptions& options)
{
    int copies = 1;
    if (auto s = setUpOutput(options, copies); !s)
        return s;
    const QString folder = userApplicationFolder();
    platform_ = std::make_unique<CommandPlatform>(surface_, folder, copies,
                                                  [this](QSizeF paper) { return takesSheetPaper(printer_, paper); });
    return readMargins(options, folder);
}

Result<void> PrintSession::setUpOutput(const ParsedOptions& options, int& copies)
{
    const bool pdf = options.has("-o");
    if (pdf == options.has("--printer"))
        return std::unexpected(usage(QStringLiteral("give either -o FILE.pdf or --printer NAME")));
    if (options.has("--copies")) {
        if (pdf)
            return std::unexpected(usage(QStringLiteral("--copies goes with --printer: a PDF file holds one copy")));
        const Parsed<int> n = parseWholeNumber(options.value("--copies"), 1, 999, QStringLiteral("--copies"));
        if (!n)
            return std::unexpected(usage(n.error()));
        copies = *n;
    }
    if (pdf) {
        target_ = options.value("-o");
        const QString path = QFileInfo(target_).absoluteFilePath();
        if (const std::optional<QString> problem = unwritable(path))
            return std::unexpected(failed(*problem));
        setUpPdfOutput(printer_, path);
        return {};
    }
    target_ = options.value("--printer");
    if (QPrinterInfo::printerInfo(target_).isNull())
        return std::unexpected(failed(QStringLiteral("there is no printer named %1").arg(target_)));
    printer_.setPrinterName(target_);
    printAtActualSize(printer_);
    return {};
}

Result<void> PrintSession::readMargins(const ParsedOptions& options, const QString& folder)
{
    if (options.has("--margins")) {
        marginsPath_ = QFileInfo(options.value("--margins")).absoluteFilePath();
        // A missing file would read as no corrections at all, which a misspelt name should not mean.
        if (!QFileInfo(marginsPath_).isFile())
            return std::unexpected(
                failed(QStringLiteral("%1: %2").arg(options.value("--margins"), FileError::fromErrno(ENOENT).description)));
    } else {
        // The parameter file the windows deliver at their first start: a command run before them
        // delivers it too, so that both print with the same corrections.
        if (auto s = prepareApplicationFolder(folder); !s)
            return std::unexpected(failed(QStringLiteral("%1: %2").arg(folder, s.error().description)));
        marginsPath_ = QDir(folder).filePath(QString::fromLatin1(kParameterFileName));
        moveListLabelRowIntoLayout(*platform_, marginsPath_);
    }
    const Expected<MarginSettings> read = readMarginSettings(marginsPath_);
    if (!read)
        return std::unexpected(failed(QStringLiteral("%1: %2").arg(marginsPath_, read.error().description)));
    margins_ = *read;
    if (margins_.unreadable)
        std::fprintf(stderr, "postwick: warning: %s\n", qUtf8Printable(unreadableCorrectionsText(marginsPath_)));
    return {};
}

Result<void> PrintSession::finish(PrintOutcome outcome) const
{
    if (outcome == PrintOutcome::Printed)
        return {};
    if (const std::optional<FileError>& failure = surface_.failure())
        return std::unexpected(failed(QStringLiteral("%1: %2").arg(target_, failure->description)));
    if (!platform_->messages.isEmpty())
        return std::unexpected(failed(platform_->messages.last().text.simplified()));
    return std::unexpected(failed(QStringLiteral("nothing was printed")));
}

}  // namespace pw
