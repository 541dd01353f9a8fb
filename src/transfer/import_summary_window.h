#pragma once

#include <QDialog>

class QListWidget;

namespace pw {

class Platform;
struct ImportResult;

// frmImpSummary: what an import did, count by count, with the rows it skipped in a list the user
// can scroll and copy (Ctrl+C copies the selected rows, the button the selection or else them all).
class ImportSummaryWindow final : public QDialog {
    Q_OBJECT

public:
    ImportSummaryWindow(const ImportResult& result, Platform& platform, QWidget* parent);

private:
    void copyRows();

    Platform& platform_;
    QListWidget* lstSumSkipped_ = nullptr;
};

// How an import ended, shown in `window`: a failure in the error prompt, a file of no known layout in
// its message, otherwise the summary. True when Cancel was chosen at the error prompt: the window
// is to close.
bool showImportEnd(const ImportResult& result, Platform& platform, QWidget* window);

}  // namespace pw
