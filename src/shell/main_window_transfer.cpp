// The main window's import and export commands.
#include "shell/main_window.h"
#include "transfer/export_window.h"
#include "transfer/import_window.h"
#include "transfer/server_import_window.h"

#include <QAction>

namespace pw {

void MainWindow::connectTransferCommands()
{
    connect(mnuImport_, &QAction::triggered, this, [this] {
        if (followReplaced())
            showSecondary(new ImportWindow(platform_, session_));
    });
    connect(mnuImportServer_, &QAction::triggered, this, [this] {
        if (followReplaced())
            showSecondary(new ServerImportWindow(platform_, session_));
    });
    connect(mnuExport_, &QAction::triggered, this, [this] {
        if (followReplaced())
            showSecondary(new ExportWindow(platform_, session_));
    });
}

}  // namespace pw
