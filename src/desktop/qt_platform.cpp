#include "desktop/qt_platform.h"

#include "desktop/painter_surface.h"
#include "desktop/sheet_picker.h"
#include "desktop/title_width.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace pw {
namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::PrintAnywayCancel:
    case MessageButtons::PrintOthersCancel: return QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton toQtButton(MessageResult answer)
{
    switch (answer) {
    case MessageResult::Cancel: return QMessageBox::Cancel;
    case MessageResult::Yes: return QMessageBox::Yes;
    case MessageResult::No: return QMessageBox::No;
    case MessageResult::Retry: return QMessageBox::Retry;
    case MessageResult::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageResult fromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Cancel: return MessageResult::Cancel;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    case QMessageBox::Retry: return MessageResult::Retry;
    default: return MessageResult::Ok;
    }
}

// "Data Files (*.DAT)|*.DAT" becomes Qt's "Data Files (*.DAT)".
// "Description (*.X)|*.X|Other (*.Y)|*.Y": the descriptions, which name their patterns, one per line.
QString toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions.append(parts[i]);
    return descriptions.join(QStringLiteral(";;"));
}

// The file a file dialog was accepted with; empty when cancelled.
QString chosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Every dialog belongs to the window it was asked from, so that it opens centred over that window
// and stays in front of it. The active window is the usual answer; just after a window was shown
// the window manager may not have activated it yet, and then the visible window stands in.
QWidget* dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && qobject_cast<QMainWindow*>(top))
            return top;
    }
    return nullptr;
}

// A long prompt is wrapped to a readable width instead of stretching the box past the screen.
constexpr int kPromptWidth = 480;

}  // namespace

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

MessageResult QtPlatform::message(const Message& message)
{
    if (message.beep)
        QApplication::beep();
    QMessageBox box(toQtIcon(message.icon), message.title, message.text, toQtButtons(message.buttons),
                    dialogParent());
    box.setObjectName(QStringLiteral("msgBox"));
    if (message.defaultAnswer)
        box.setDefaultButton(toQtButton(*message.defaultAnswer));
    // Every item, however many: the box's details, shown open, scroll.
    box.setDetailedText(message.items.join(u'\n'));
    // After the details: setting them lays the box out anew.
    widenForTitle(box);
    for (QAbstractButton* button : box.buttons())
        box.buttonRole(button) == QMessageBox::ActionRole ? button->click() : void();
    if (message.buttons == MessageButtons::PrintOthersCancel) {
        QPushButton* others = box.addButton(QStringLiteral("&Print the others"), QMessageBox::AcceptRole);
        box.setDefaultButton(others);
        return box.exec(), box.clickedButton() == others ? MessageResult::Yes : MessageResult::Cancel;
    }
    if (message.buttons == MessageButtons::PrintAnywayCancel) {
        box.setStandardButtons(QMessageBox::Cancel);
        box.addButton(QStringLiteral("&Print anyway"), QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        return box.clickedButton() == box.button(QMessageBox::Cancel) || !box.clickedButton()
                   ? MessageResult::Cancel
                   : MessageResult::Yes;
    }
    const int button = box.exec();
    // Closing a Yes/No box with its close button answers No, as its Escape key does.
    return fromQtButton(button);
}

namespace {

constexpr int kProgressDelayMs = 500;

class QtProgressDialog final : public ProgressDialog {
public:
    QtProgressDialog(const QString& text, const QString& title)
        : dialog_(text, QStringLiteral("Cancel"), 0, 0, dialogParent())
    {
        dialog_.setObjectName(QStringLiteral("dlgProgress"));
        // The bar is set directly: the dialog's own setValue() handles events when it is modal.
        dialog_.setBar(bar_);
        dialog_.setWindowTitle(title);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        // Shown here after the delay, not by the dialog's own estimate of the time left.
        dialog_.setMinimumDuration(std::numeric_limits<int>::max());
        started_.start();
    }

    ~QtProgressDialog() override
    {
        if (arrowPushed_)
            QApplication::restoreOverrideCursor();
    }

    bool setProgress(qint64 done, qint64 total) override
    {
        if (!cancel_ && !dialog_.isVisible()) {
            if (started_.elapsed() < kProgressDelayMs)
                return true;
            show();
        }
        bar_->setMaximum(int(total));
        bar_->setValue(int(std::min(done, total)));
        // The dialog paints and its Cancel button is heard only while events are handled.
        if (!cancel_)
            QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }

    void setText(const QString& text) override { dialog_.setLabelText(text); }

    void cancelWith(std::function<void()> cancel) override
    {
        cancel_ = std::move(cancel);
        if (!cancel_ || cancelHeard_)
            return;
        cancelHeard_ = true;
        // Queued: the task's end may well destroy this dialog, which must not happen in its own signal.
        QObject::connect(
            &dialog_, &QProgressDialog::canceled, &dialog_,
            [this] {
                // A copy: the task's end may take this dialog with it.
                if (const auto cancel = cancel_)
                    cancel();
            },
            Qt::QueuedConnection);
        QTimer::singleShot(int(std::max<qint64>(0, kProgressDelayMs - started_.elapsed())), &dialog_, [this] {
            if (cancel_ && !dialog_.isVisible())
                show();
        });
    }

private:
    void show()
    {
        // A busy pointer would tell the user that Cancel cannot be pressed.
        if (QApplication::overrideCursor()) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            arrowPushed_ = true;
        }
        dialog_.show();
    }

    QProgressDialog dialog_;
    QProgressBar* bar_ = new QProgressBar;  // the dialog's
    QElapsedTimer started_;
    bool arrowPushed_ = false;
    std::function<void()> cancel_;
    bool cancelHeard_ = false;
};

}  // namespace

std::unique_ptr<ProgressDialog> QtPlatform::startProgress(const QString& text, const QString& title)
{
    return std::make_unique<QtProgressDialog>(text, title);
}

void QtPlatform::setBusyPointer(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString QtPlatform::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setWindowTitle(title);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (auto* label = dialog.findChild<QLabel*>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(std::min<int>(kPromptWidth, label->fontMetrics().horizontalAdvance(prompt)));
        label->setMaximumWidth(kPromptWidth);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtPlatform::openFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(dialogParent(), request.title, request.folder, toQtFilter(request.filter));
    dialog.setObjectName(QStringLiteral("dlgCommonDialog"));
    dialog.setFileMode(QFileDialog::AnyFile);
    if (request.createNew) {
        // An existing name is opened unchanged, so there is nothing to confirm.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("DAT"));
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Create"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Open"));
    }
    return chosenFile(dialog);
}

QString QtPlatform::saveFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(dialogParent(), request.title, request.folder, toQtFilter(request.filter));
    dialog.setObjectName(QStringLiteral("dlgCommonDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QFileInfo(request.fileName).suffix());
    dialog.selectFile(request.fileName);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Save"));
    return chosenFile(dialog);
}

QPrinter& QtPlatform::qtPrinter()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

PrintSurface& QtPlatform::printer()
{
    if (!surface_)
        surface_ = std::make_unique<PainterSurface>(qtPrinter());
    return *surface_;
}

std::optional<PrintChoice> QtPlatform::printDialog(const PrintDialogRequest& request)
{
    QPrinter& printer = qtPrinter();
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, request.printToFile);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, request.selectionChoice);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, request.firstPage > 0);
    if (request.firstPage > 0) {
        dialog.setMinMax(request.firstPage, request.lastPage);
        dialog.setFromTo(request.firstPage, request.lastPage);
    }
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (request.labelSheet && !takesSheetPaper(printer, request.sheetPaper)) {
        const auto [paper, shortName] = sheetPaperNames(request.sheetPaper);
        message({QStringLiteral("The printer %1 cannot take %2 paper, which label sheets are made of.  "
                                "Nothing was printed.  Choose a printer that takes %3 paper.")
                     .arg(printer.printerName(), paper, shortName),
                 QStringLiteral("%1 paper not available").arg(shortName), MessageIcon::Warning});
        return std::nullopt;
    }
    printAtActualSize(printer);
    PrintChoice choice;
    choice.copies = std::max(1, printer.copyCount());
    // Every copy is a job of its own, so the printer must not multiply them again.
    printer.setCopyCount(1);
    choice.selectionOnly = dialog.printRange() == QAbstractPrintDialog::Selection;
    if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
        choice.fromPage = dialog.fromPage();
        choice.toPage = dialog.toPage();
    }
    return choice;
}

void QtPlatform::printPreview(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& outlines,
                              const QList<QRectF>& overrun, const QList<QRectF>& used,
                              const std::function<void()>& print)
{
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    auto* preview = new QPrintPreviewWidget(&qtPrinter(), &dialog);
    preview->setObjectName(QStringLiteral("previewPages"));
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog, [&](QPrinter* printer) {
        PainterSurface surface(*printer);
        surface.showStockForPreview(outlines, overrun, used);
        job(surface);
        (void)surface.endJob();
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* printButton = buttons->addButton(QStringLiteral("&Print..."), QDialogButtonBox::AcceptRole);
    printButton->setObjectName(QStringLiteral("cmdPreviewPrint"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(preview, 1);
    layout->addWidget(buttons);
    preview->setViewMode(QPrintPreviewWidget::AllPagesView);
    preview->fitInView();
    const QRect screen = dialog.screen()->availableGeometry();
    dialog.resize(std::min(760, screen.width() * 9 / 10), screen.height() * 9 / 10);
    if (dialog.exec() == QDialog::Accepted)
        print();
}

void QtPlatform::writeSetting(const QString& application, const QString& section, const QString& key,
                              const QString& value)
{
    QSettings settings(application, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
}

QString QtPlatform::readSetting(const QString& application, const QString& section, const QString& key)
{
    QSettings settings(application, application);
    return settings.value(section + u'/' + key).toString();
}

std::optional<SheetChoice> QtPlatform::pickSheetPositions(const SheetChoice& offered, const SheetPicture& sheet)
{
    SheetPicker picker(offered, sheet, dialogParent());
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.choice();
}

bool QtPlatform::openDocument(const QString& pathOrUrl)
{
    const QUrl url = QUrl::fromUserInput(pathOrUrl, QDir::currentPath(), QUrl::AssumeLocalFile);
    return QDesktopServices::openUrl(url);
}

QString QtPlatform::clipboardText()
{
    return QApplication::clipboard()->text();
}

void QtPlatform::setClipboardText(const QString& text)
{
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString QtPlatform::applicationFolder()
{
    return userApplicationFolder();
}

QString userApplicationFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(QStringLiteral("Postwick"));
}

QDate QtPlatform::today()
{
    return QDate::currentDate();
}

}  // namespace pw
