#include "transfer/import_summary_window.h"

#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "transfer/csv_import.h"
#include "widgets/named_widgets.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace pw {

ImportSummaryWindow::ImportSummaryWindow(const ImportResult& result, Platform& platform, QWidget* parent)
    : QDialog(parent), platform_(platform)
{
    setObjectName(QStringLiteral("frmImpSummary"));
    setWindowTitle(result.end == ImportResult::End::Cancelled ? QStringLiteral("Import stopped")
                                                              : QStringLiteral("Import completed"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* lblSumHeading = named<QLabel>("lblSumHeading", importEndMessage(result).value_or(Message{}).text);
    lblSumHeading->setWordWrap(true);
    auto* lblSumCounts = named<QLabel>("lblSumCounts", importSummaryLines(result).join(u'\n'));
    lblSumCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Values stored otherwise than the file wrote them are listed with the rows left out, so that
    // each can be looked up and put right.
    const QStringList rows = skippedRowLines(result) + result.changed;
    auto* lblSumSkipped = named<QLabel>("lblSumSkipped", rows.isEmpty() ? QStringLiteral("No rows were skipped.")
                                                         : result.changed.isEmpty()
                                                             ? QStringLiteral("&Skipped rows:")
                                                             : QStringLiteral("&Skipped rows and values changed:"));
    lstSumSkipped_ = named<QListWidget>("lstSumSkipped");
    lstSumSkipped_->addItems(rows);
    lstSumSkipped_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstSumSkipped_->setEnabled(!rows.isEmpty());
    lblSumSkipped->setBuddy(lstSumSkipped_);
    auto* cmdSumCopy = namedWithTip<QPushButton>("cmdSumCopy", QStringLiteral("C&opy list"),
                                                 QStringLiteral("Copies the selected rows, or all of them, to the clipboard"));
    cmdSumCopy->setEnabled(!rows.isEmpty());
    auto* cmdSumClose = named<QPushButton>("cmdSumClose", QStringLiteral("&Close"));
    cmdSumClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSumCopy);
    buttons->addStretch();
    buttons->addWidget(cmdSumClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSumHeading);
    layout->addWidget(lblSumCounts);
    layout->addWidget(lblSumSkipped);
    layout->addWidget(lstSumSkipped_, 1);
    layout->addLayout(buttons);
    resize(620, rows.isEmpty() ? sizeHint().height() : 420);

    auto* copy = new QShortcut(QKeySequence::Copy, lstSumSkipped_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &ImportSummaryWindow::copyRows);
    connect(cmdSumCopy, &QPushButton::clicked, this, &ImportSummaryWindow::copyRows);
    connect(cmdSumClose, &QPushButton::clicked, this, &QDialog::accept);
    cmdSumClose->setFocus();
}

void ImportSummaryWindow::copyRows()
{
    QStringList lines;
    const QList<QListWidgetItem*> selected = lstSumSkipped_->selectedItems();
    for (int i = 0; i < lstSumSkipped_->count(); ++i) {
        QListWidgetItem* item = lstSumSkipped_->item(i);
        if (selected.isEmpty() || item->isSelected())
            lines.append(item->text());
    }
    platform_.setClipboardText(lines.join(u'\n') + u'\n');
}

bool showImportEnd(const ImportResult& result, Platform& platform, QWidget* window)
{
    if (result.end == ImportResult::End::Failed)
        return showErrorPrompt(platform, importFailure(result), PromptAuthor::Postwick) == MessageResult::Cancel;
    if (result.end == ImportResult::End::NotCompatible) {
        platform.message(*importEndMessage(result));
        return false;
    }
    // Completed or stopped: what came in, what did not and why.
    auto* summary = new ImportSummaryWindow(result, platform, window);
    summary->open();
    return false;
}

}  // namespace pw
