#pragma once

#include "data/message.h"

#include <QDate>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <expected>
#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace pw {

class PrintSurface;

struct FileDialogRequest final {
    QString title;
    QString folder;
    QString filter;  // "Data Files (*.DAT)|*.DAT": description and pattern separated by "|"
    bool createNew = false;  // a dialog that names a file to create, its button saying so
    QString fileName = {};   // the name a save dialog offers; its extension is added to a name typed without one
    bool operator==(const FileDialogRequest&) const = default;
};

// What the print dialog offers besides the choice of printer and the number of copies.
struct PrintDialogRequest final {
    bool printToFile = false;      // the print-to-file choice
    bool selectionChoice = false;  // printing only the selection
    int firstPage = 0;             // a page range to offer and preset; 0 offers none
    int lastPage = 0;
    // A label sheet, printed at actual size on its paper, `sheetPaper` inches: a printer that cannot
    // take that paper is said so and nothing prints.
    bool labelSheet = false;
    QSizeF sheetPaper{8.5, 11};
    // An envelope takes another path through the printer than sheets do: the printer's calibration,
    // measured on a sheet, is not applied to it.
    bool envelope = false;
    bool operator==(const PrintDialogRequest&) const = default;
};

// The answer of an accepted print dialog.
struct PrintChoice final {
    int copies = 1;
    bool selectionOnly = false;
    int fromPage = 0;  // the chosen page range; 0 and 0 for all pages
    int toPage = 0;
    bool operator==(const PrintChoice&) const = default;
};

// The positions of a label sheet: those to print on and those already used.
struct SheetChoice final {
    QList<int> toPrint;
    QList<int> used;
    bool operator==(const SheetChoice&) const = default;
};

// The sheet a picture shows: its labels in inches from the paper's corner, numbered in that order,
// and whether labels are picked there to print on or only marked used (a run of list labels goes
// on from the first free one).
struct SheetPicture final {
    QString stock;
    QList<QRectF> labels;
    bool picksLabels = true;
    QSizeF page{8.5, 11};  // the sheet, in inches
    bool operator==(const SheetPicture&) const = default;
};

// The progress of a long task, shown only once the task has run for half a second so that quick
// ones never flash a dialog. The dialog goes when this object does.
class ProgressDialog {
public:
    virtual ~ProgressDialog() = default;
    // How far the task has come; false once the user pressed Cancel.
    virtual bool setProgress(qint64 done, qint64 total) = 0;
    // For a task that goes on from the event loop (a server's replies) rather than in a loop of its
    // own: while `cancel` is set, the dialog shows itself after the half second, setProgress handles
    // no events, and Cancel calls `cancel` from the event loop. An empty one ends that.
    virtual void cancelWith(std::function<void()> /*cancel*/) { }
    // Says what the task is doing now, in place of the text it started with.
    virtual void setText(const QString& /*text*/) { }
};

// Everything that waits for a person or touches the desktop. The real implementation uses Qt;
// tests answer from a script and check every call.
class Platform {
public:
    virtual ~Platform() = default;

    virtual MessageResult message(const Message& message) = 0;
    // Cancel and an empty answer both give empty text.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = {}) = 0;
    // The chosen file's full path, or empty when cancelled. A name that does not exist is accepted.
    virtual QString openFileDialog(const FileDialogRequest& request) = 0;
    // The path to save to, or empty when cancelled. An existing file is not confirmed there: the
    // caller asks, in its own words.
    virtual QString saveFileDialog(const FileDialogRequest& request) = 0;

    // The printer-selection dialog; none when cancelled. The printer chosen there becomes the
    // current printer.
    virtual std::optional<PrintChoice> printDialog(const PrintDialogRequest& request) = 0;
    // The current printer; it keeps its font and orientation from one job to the next.
    virtual PrintSurface& printer() = 0;
    // Shows `job` page by page as the current printer would print it, with the stock's outlines
    // (inches from the paper's top-left corner) drawn faintly under the text, those that lines
    // overrun marked and those already used on the sheet in the printer shaded, never on paper.
    // Print there closes the preview and runs `print`, the real print action.
    virtual void printPreview(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& outlines,
                              const QList<QRectF>& overrun, const QList<QRectF>& used,
                              const std::function<void()>& print) = 0;

    // A progress dialog with a Cancel button for a task that starts now.
    virtual std::unique_ptr<ProgressDialog> startProgress(const QString& text, const QString& title) = 0;
    // The busy mouse pointer over every window, until it is set back.
    virtual void setBusyPointer(bool busy) = 0;

    virtual void writeSetting(const QString& application, const QString& section, const QString& key,
                              const QString& value) = 0;
    // A per-user setting; empty when it was never written.
    virtual QString readSetting(const QString& application, const QString& section, const QString& key) = 0;
    // The desktop's keyring, which keeps a password the person asked to be remembered (never a file
    // of Postwick's); `key` names it there. The keyring may take its time (it can ask to be unlocked):
    // its answer comes later, from the event loop, to `done`, unless `context` is gone by then. Each
    // says why when no keyring answers: a desktop may have none.
    virtual void storePassword(const QString& key, const QString& password, QObject* context,
                               std::function<void(std::expected<void, QString>)> done) = 0;
    virtual void readPassword(const QString& key, QObject* context,
                              std::function<void(std::expected<QString, QString>)> done) = 0;
    // The picture of the label sheet, in which the person clicks the positions to print and marks
    // those already used; none when cancelled.
    virtual std::optional<SheetChoice> pickSheetPositions(const SheetChoice& offered, const SheetPicture& sheet) = 0;
    // Opens a document or web address with the desktop's default handler; false when that failed.
    virtual bool openDocument(const QString& pathOrUrl) = 0;
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString& text) = 0;

    // The folder that holds the user's contacts, parameter and export files.
    virtual QString applicationFolder() = 0;
    virtual QDate today() = 0;
};

}  // namespace pw
