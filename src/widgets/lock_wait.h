#pragma once

namespace pw {

class ContactsFile;
class Platform;

// While a change to the contacts file waits for another program to let go of it, a window shows
// "Waiting for <program> to finish with the contacts file..." once a second has passed, with a
// Cancel button that gives up the wait.
void showLockWaits(Platform& platform, ContactsFile& file);

}  // namespace pw
