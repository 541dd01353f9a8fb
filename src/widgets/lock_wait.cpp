#include "widgets/lock_wait.h"

#include "data/contacts_file.h"
#include "platform/platform.h"

#include <memory>

namespace pw {

void showLockWaits(Platform& platform, ContactsFile& file)
{
    // The dialog appears half a second after it is started; started at half a second, it shows at one.
    auto dialog = std::make_shared<std::unique_ptr<ProgressDialog>>();
    file.setLockWait([&platform, dialog](const QString& holder, std::chrono::milliseconds waited) {
        if (waited < std::chrono::milliseconds(500)) {  // the start of a wait, or its end
            dialog->reset();
            return true;
        }
        if (!*dialog)
            *dialog = platform.startProgress(
                QStringLiteral("Waiting for %1 to finish with the contacts file...").arg(holder),
                QStringLiteral("Contacts file in use"));
        return (*dialog)->setProgress(0, 0);
    });
}

}  // namespace pw
