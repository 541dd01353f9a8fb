#pragma once

#include "data/file_error.h"

#include <QString>

namespace pw {

class Platform;

inline constexpr char kDefaultContactsFileName[] = "PWK_Contacts.DAT";
inline constexpr char kParameterFileName[] = "PWKPARAM.TXT";

// Documents delivered in the application folder, and the two look-up pages on the web.
inline constexpr char kUserManualFileName[] = "pwkUman.pdf";
inline constexpr char kStateAbbreviationsFileName[] = "pwk_state_abbreviations.pdf";
inline constexpr char kPeopleSearchAddress[] = "https://www.whitepages.com/";
inline constexpr char kZipCodeLookupAddress[] = "https://tools.usps.com/zip-code-lookup.htm";

// Makes the resources built into the program (the delivered files, the icon) readable; the
// program calls it before its first window.
void loadBuiltInResources();

// The title of a contacts file: its name without folder, with every ".DAT" removed (a lower-case
// ".dat" stays).
QString fileTitle(const QString& path);

// A new contacts file's path as typed, with ".DAT" added when the name has no extension, so that
// the file shows among the *.DAT files of the Open dialog.
QString withContactsExtension(const QString& path);

// Creates the application folder at first start and puts the delivered parameter file and
// documents into it when absent or empty.
Status prepareApplicationFolder(const QString& folder);

// Puts the copy of `fileName` delivered with the program into the folder, unless the folder already
// has one that is not empty. A program built without that file reports it as missing.
Status deliverFile(const QString& folder, const char* fileName);

// The installer's uninstall-data file would show among the *.DAT files of the New and Open dialogs,
// so it is renamed to .DAK while a dialog may show it. Each rename happens only if the source exists.
void hideUninstallData(const QString& folder);
void restoreUninstallData(const QString& folder);

// The full path of a file in the application folder.
QString applicationFile(Platform& platform, const char* fileName);

// Opens a document delivered in the application folder with the desktop's default program. A
// document the user removed is delivered again first; one that still is not there (a full disk, a
// program built without it) is said so, rather than handed to the desktop to fail in silence.
void openDeliveredDocument(Platform& platform, const char* fileName);
// Opens a file or web address with the desktop's default program, and says so when none would.
void openDocumentOrSay(Platform& platform, const QString& pathOrUrl);

}  // namespace pw
