#include "platform/qt_platform.h"

#include "platform/painter_surface.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

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
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
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
QString toQtFilter(const QString& filter)
{
    return filter.section(u'|', 0, 0);
}

}  // namespace

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

MessageResult QtPlatform::message(const Message& message)
{
    if (message.beep)
        QApplication::beep();
    QMessageBox box(toQtIcon(message.icon), message.title, message.text, toQtButtons(message.buttons),
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("msgBox"));
    const int button = box.exec();
    // Closing a Yes/No box with its close button answers No, as its Escape key does.
    return fromQtButton(button);
}

QString QtPlatform::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    return ok ? text : QString();
}

QString QtPlatform::openFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, toQtFilter(request.filter));
    dialog.setObjectName(QStringLiteral("dlgCommonDialog"));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("&Open"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
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
    QPrintDialog dialog(&printer, QApplication::activeWindow());
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

void QtPlatform::writeSetting(const QString& application, const QString& section, const QString& key,
                              const QString& value)
{
    QSettings settings(application, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
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
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(QStringLiteral("Postwick"));
}

QDate QtPlatform::today()
{
    return QDate::currentDate();
}

}  // namespace pw
