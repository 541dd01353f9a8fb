// The main window's import and export commands.
#include "shell/main_window.h"

#include "transfer/export_window.h"
#include "transfer/import_window.h"

#include <QAction>

namespace pw {

void MainWindow::connectTransferCommands()
{
    setCommandAvailable(mnuImport_);
    setCommandAvailable(mnuExport_);
    connect(mnuImport_, &QAction::triggered, this, [this] { showSecondary(new ImportWindow(*this)); });
    connect(mnuExport_, &QAction::triggered, this, [this] { showSecondary(new ExportWindow(*this)); });
}

}  // namespace pw
