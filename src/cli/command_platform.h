#pragma once

#include "platform/quiet_platform.h"
#include "printing/print_surface.h"

#include <QElapsedTimer>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

namespace pw {

// Tells a person at a terminal how far a long task has come, on one line of standard error that it
// rewrites; nothing at all when standard error is not a terminal or the task ends within a second.
class TerminalProgress final : public ProgressDialog {
public:
    explicit TerminalProgress(QString text);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool setProgress(qint64 done, qint64 total) override;

private:
    QString text_;
    bool terminal_ = false;
    bool shown_ = false;
    QElapsedTimer started_;
    qint64 lastShown_ = 0;
};

// The printer of a command: passes everything to the real surface, keeps the first failure it
// reported so that the error can name it, and counts the pages fed for the progress line.
class CommandSurface final : public PrintSurface {
public:
    explicit CommandSurface(PrintSurface& target) : target_(target) {}

    // Pages are reported to `progress` out of `totalPages`.
    void reportPages(ProgressDialog* progress, qint64 totalPages)
    {
        progress_ = progress;
        totalPages_ = totalPages;
    }
    const std::optional<FileError>& failure() const { return failure_; }

    void setFontName(const QString& family) override { target_.setFontName(family); }
    void setFontSize(double points) override { target_.setFontSize(points); }
    void setBold(bool on) override { target_.setBold(on); }
    void setItalic(bool on) override { target_.setItalic(on); }
    void setOrientation(PageOrientation orientation) override { target_.setOrientation(orientation); }
    void setPaperSize(PaperSize size) override { target_.setPaperSize(size); }
    QString deviceName() const override { return target_.deviceName(); }
    bool takesPaper(QSizeF inches) const override { return target_.takesPaper(inches); }
    void setPaperInches(QSizeF inches) override { target_.setPaperInches(inches); }
    bool writesFile() const override { return target_.writesFile(); }
    void print(const QList<PrintItem>& items, bool endLine) override { target_.print(items, endLine); }
    double paperHeightInches() const override { return target_.paperHeightInches(); }
    void homeAt(double inchesDown) override { target_.homeAt(inchesDown); }
    void setFrame(const QRectF& inches) override { target_.setFrame(inches); }
    const TextMeasure& measure() const override { return target_.measure(); }
    void newPage() override;
    Status endJob() override;
    void abandonJob() override { target_.abandonJob(); }
    void setCalibration(const PrinterCalibration& calibration) override { target_.setCalibration(calibration); }

private:
    PrintSurface& target_;
    std::optional<FileError> failure_;
    ProgressDialog* progress_ = nullptr;
    qint64 totalPages_ = 0;
    qint64 pages_ = 1;
};

// The platform of a command: there is no one to ask. The print dialog is accepted with the copies
// of the command line, on the printer it named; what a window would show in a message box is kept
// for the command's error line.
class CommandPlatform final : public QuietPlatform {
public:
    CommandPlatform(PrintSurface& printer, QString folder, int copies, std::function<bool(QSizeF)> takesSheet)
        : QuietPlatform(printer, std::move(folder)), copies_(copies), takesSheet_(std::move(takesSheet))
    {
    }

    MessageResult message(const Message& message) override
    {
        messages.append(message);
        return MessageResult::Ok;
    }
    std::optional<PrintChoice> printDialog(const PrintDialogRequest& request) override;
    std::unique_ptr<ProgressDialog> startProgress(const QString& text, const QString& title) override;
    // The windows' per-user settings, so that the sheet in the printer is remembered alike.
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    QString readSetting(const QString& application, const QString& section, const QString& key) override;

    QList<Message> messages;

private:
    int copies_;
    std::function<bool(QSizeF)> takesSheet_;  // whether the printer takes a label sheet's paper
};

}  // namespace pw
