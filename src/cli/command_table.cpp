#include "cli/command_table.h"

#include "cli/command_options.h"
#include "cli/file_commands.h"
#include "cli/print_commands.h"
#include "program/app_files.h"
#include "program/app_version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <span>
#include <vector>

namespace pw {
namespace {

using Kind = OptionRule::Kind;

constexpr OptionRule kOutputOptions[] = {
    {"-o", Kind::Value}, {"--printer", Kind::Value}, {"--copies", Kind::Value}, {"--margins", Kind::Value}};

// A command's own options followed by those every print command takes.
template <std::size_t N>
constexpr std::array<OptionRule, N + std::size(kOutputOptions)> withOutput(const OptionRule (&own)[N])
{
    std::array<OptionRule, N + std::size(kOutputOptions)> all{};
    std::copy(std::begin(own), std::end(own), all.begin());
    std::copy(std::begin(kOutputOptions), std::end(kOutputOptions), all.begin() + N);
    return all;
}

constexpr OptionRule kLabelsOwn[] = {{"--search", Kind::Value},       {"--sort", Kind::Value},
                                     {"--start", Kind::Value},        {"--stock", Kind::Value},
                                     {"--bold", Kind::Switch},        {"--italic", Kind::Switch},
                                     {"--households", Kind::Switch},  {"--presort", Kind::Value},
                                     {"--complete-only", Kind::Switch}, {"--wait", Kind::Value}};
constexpr OptionRule kSheetOwn[] = {{"--lines", Kind::Words},
                                    {"--positions", Kind::Value},
                                    {"--stock", Kind::Value},
                                    {"--bold", Kind::Switch},
                                    {"--italic", Kind::Switch},
                                    {"--center", Kind::Switch}};
constexpr OptionRule kEnvelopeOwn[] = {{"--size", Kind::Value},
                                       {"--lines", Kind::Words},
                                       {"--bold", Kind::Switch},
                                       {"--large", Kind::Switch},
                                       {"--center", Kind::Switch}};
constexpr OptionRule kReturnOwn[] = {{"--lines", Kind::Words},
                                     {"--stock", Kind::Value},
                                     {"--italic", Kind::Switch},
                                     {"--center", Kind::Switch}};
constexpr auto kLabelsOptions = withOutput(kLabelsOwn);
constexpr auto kSheetOptions = withOutput(kSheetOwn);
constexpr auto kEnvelopeOptions = withOutput(kEnvelopeOwn);
constexpr auto kReturnOptions = withOutput(kReturnOwn);
constexpr OptionRule kExportOptions[] = {
    {"--csv", Kind::Switch}, {"--text", Kind::Switch}, {"--vcard", Kind::Switch}, {"-o", Kind::Value},
    {"--force", Kind::Switch}, {"--wait", Kind::Value}};
constexpr OptionRule kImportOptions[] = {{"--wait", Kind::Value},
                                         {"--user", Kind::Value},
                                         {"--password-file", Kind::Value},
                                         {"--addressbook", Kind::Value},
                                         {"--insecure", Kind::Switch},
                                         {"--insecure-http", Kind::Switch},
                                         {"--allow-host", Kind::Value},
                                         {"--timeout", Kind::Value},
                                         {"--max-cards", Kind::Value},
                                         {"--remove-deleted", Kind::Switch}};
constexpr OptionRule kListOptions[] = {
    {"--search", Kind::Value}, {"--sort", Kind::Value}, {"--email", Kind::Switch}, {"--wait", Kind::Value}};

// For the commands that open a contacts file.
constexpr char kWaitHelp[] =
    "  --wait SECONDS      how long to wait for another program that is using the contacts file\n"
    "                      (default 30); still busy after that, the command ends with status 75\n";

constexpr char kOutputHelp[] =
    "  -o FILE.pdf         write the pages to a PDF file (US Letter, to be printed at actual size)\n"
    "  --printer NAME      print on that printer instead\n"
    "  --copies N          copies on the printer (1 to 999)\n"
    "  --margins FILE      take the margin corrections from FILE instead of PWKPARAM.TXT in the\n"
    "                      Postwick folder of the documents folder\n";

struct Command final {
    const char* name;
    std::span<const OptionRule> options;
    Result<void> (*run)(const ParsedOptions&);
    bool paints;  // lays out text in fonts, which takes a (windowless) GUI application
    bool waits;   // opens a contacts file, and so may wait for another program
    const char* summary;
    const char* usage;
    const char* details;
};

const std::array<Command, 8>& commands()
{
    static const std::array<Command, 8> all = {{
        {"labels", kLabelsOptions, labelsCommand, true, true, "the list labels of a contacts file or of a search",
         "postwick labels CONTACTS.DAT [--search KIND=TEXT] [--sort first|last] [--stock NAME] [--start N]\n"
         "                [--bold] [--italic] [--households] [--presort zip] [--complete-only]\n"
         "                (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints a label for each contact of the list, as Print labels does in the list window, on\n"
         "30-label sheets (3 across, 10 down) or another stock.\n"
         "  --search KIND=TEXT  only the contacts whose field holds TEXT; KIND is first, last, city,\n"
         "                      state, zip, email, category or company\n"
         "  --sort first|last   the list's order: by first name (the default) or last name\n"
         "  --stock NAME        the label sheet: 5160 (30 labels, 2 5/8 x 1 in; the default),\n"
         "                      5161 (20, 4 x 1 in), 5162 (14, 4 x 1 1/3 in), 5163 (10, 4 x 2 in),\n"
         "                      5164 (6, 4 x 3 1/3 in) or 5167 (80, 1 3/4 x 1/2 in); with the label\n"
         "                      templates installed, any A4 or US Letter address label by its part\n"
         "                      (L7160, 5159) or maker and part (\"Zweckform 3475\")\n"
         "  --start N           begin at position N (1 to 30 on a 5160 sheet) of the first sheet,\n"
         "                      leaving the positions before it blank: a partly used sheet\n"
         "  --start free        begin at the first free label of the sheet in the printer, as\n"
         "                      remembered for that stock by the windows and this command\n"
         "  --bold, --italic    the type of the labels\n"
         "  --households        one label for the contacts at one address: \"John & Mary Smith\",\n"
         "                      \"John Smith & Mary Jones\", \"The Smith Family\" (three or more), else\n"
         "                      the first two names and \"& household\"\n"
         "  --presort zip       the labels by 5-digit ZIP code, then name; addresses abroad after\n"
         "                      them, by country\n"
         "  --complete-only     no label for a contact without a street, or with neither a city nor\n"
         "                      a ZIP code; they are named on standard error\n"},
        {"sheet", kSheetOptions, sheetCommand, true, false, "labels of typed lines on chosen positions of a sheet",
         "postwick sheet --lines L1 [L2 ... L5] [--positions 4-9] [--stock NAME] [--bold] [--italic]\n"
         "               [--center]\n"
         "               (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints the typed lines on label positions of a 30-label sheet, as the main window does.\n"
         "  --lines L1 ...      up to five lines of the label; quote each line\n"
         "  --positions P       the positions to print, as 4-9 or 1, 5, 22-30 (default 1)\n"
         "  --stock NAME        another label sheet than the 30-label one, as labels takes it;\n"
         "                      positions count across, then down\n"
         "  --bold, --italic    the type; --center centres each line on its label\n"},
        {"envelope", kEnvelopeOptions, envelopeCommand, true, false, "one envelope",
         "postwick envelope --size 1..6 --lines L1 [L2 ... L5] [--bold] [--large] [--center]\n"
         "                  (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints the lines on an envelope, as the main window does.\n"
         "  --size N            1 #10 business, 2 #6 3/4 small, 3 #A2 invitation, 4 #A7\n"
         "                      announcement, 5 #A8 greeting card, 6 #A10 large greeting card\n"
         "  --lines L1 ...      up to five lines of the address; quote each line\n"
         "  --bold              bold type; --large the larger italic type; --center centres each line\n"},
        {"return-labels", kReturnOptions, returnLabelsCommand, true, false, "a sheet of 80 return-address labels",
         "postwick return-labels --lines L1 [L2 L3] [--stock NAME] [--italic] [--center]\n"
         "                       (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints a sheet of 80 return-address labels (4 across, 20 down), each with the lines.\n"
         "  --stock NAME        another label sheet, as labels takes it: every label gets the lines\n"
         "  --italic            italic type; --center centres each line on its label\n"},
        {"import", kImportOptions, importCommand, false, true,
         "adds the contacts of a CSV or vCard file or of an address-book server",
         "postwick import CONTACTS.DAT (FILE.csv | FILE.vcf)\n"
         "       postwick import CONTACTS.DAT https://SERVER/[PATH/] [--user NAME --password-file FILE]\n"
         "                       [--addressbook NAME] [--insecure] [--insecure-http] [--allow-host HOST]\n"
         "                       [--timeout SECONDS] [--max-cards N] [--remove-deleted]",
         "Adds the contacts of the CSV or vCard file, or of the address book at that address on a\n"
         "server (CardDAV), to the contacts file (made when it does not exist), skipping those it\n"
         "already holds, and says how many were added. A vCard file is told by what it holds,\n"
         "whatever its name. The import is all or nothing. Imported again from its server, an\n"
         "address book updates the contacts it gave: a card changed there rewrites its contact\n"
         "unless that contact was changed here too (then yours is kept, and named).\n"
         "  --user NAME           the user name the server asks for\n"
         "  --password-file FILE  the password, in the first line of FILE (- for standard input);\n"
         "                        never on the command line, where other users could see it\n"
         "  --addressbook NAME    the address book of that name, when the address is the server's\n"
         "                        or the user's and leads to several\n"
         "  --insecure            trust the server's certificate though no authority known here\n"
         "                        vouches for it (a server with a self-signed certificate)\n"
         "  --insecure-http       send the password over http:// though anyone on the way can read it\n"
         "  --allow-host HOST     send the user name and password to HOST too when it asks (a server\n"
         "                        the address sends the request on to); else only to the address's own\n"
         "  --timeout SECONDS     how long one request may take in all (default 600); a server silent\n"
         "                        for 30 seconds fails sooner\n"
         "  --max-cards N         import an address book of up to N cards (default 100000)\n"
         "  --remove-deleted      remove the contacts whose cards were deleted on the server since\n"
         "                        they were imported; without it they are named and kept\n"},
        {"undo-import",
         {},
         undoImportCommand,
         false,
         false,
         "takes the last import into a contacts file out again",
         "postwick undo-import CONTACTS.DAT",
         "Takes the contacts of the last import into the file out again, by whichever program it was\n"
         "made, leaving the file byte for byte as before that import. It does so only while the file\n"
         "still ends with exactly the contacts that import added; after any other change it says why\n"
         "and changes nothing.\n"},
        {"export", kExportOptions, exportCommand, false, true, "writes every contact to a CSV, text or vCard file",
         "postwick export CONTACTS.DAT (--csv | --text | --vcard) -o FILE [--force]",
         "Writes every contact of the file, in file order, as the Export window does: CSV in UTF-8\n"
         "with a byte-order mark, for spreadsheets; text in UTF-8.\n"
         "  --force             replace FILE when it exists; without it the command leaves FILE\n"
         "                      as it is and fails\n"},
        {"list", kListOptions, listCommand, false, true, "the contact list as tab-separated text",
         "postwick list CONTACTS.DAT [--search KIND=TEXT] [--sort first|last] [--email]",
         "Writes the lines of the list window, one contact a line, columns separated by tabs.\n"
         "  --search, --sort    as for labels\n"
         "  --email             the e-mail address in place of the street\n"},
    }};
    return all;
}

const Command* findCommand(const char* word)
{
    for (const Command& command : commands()) {
        if (std::strcmp(command.name, word) == 0)
            return &command;
    }
    return nullptr;
}

void printHelp(const Command& command)
{
    std::printf("Usage: %s\n\n%s", command.usage, command.details);
    if (command.waits)
        std::fputs(kWaitHelp, stdout);
    if (command.paints)
        std::fputs(kOutputHelp, stdout);
    std::puts("  --                  ends the options: every word after it is a file name\n");
    std::printf("Exit status: 0 done, 1 failed, 2 a command line it cannot take%s.\n",
                command.waits ? ", 75 the contacts file stayed busy (try again later)" : "");
}

// Qt's own notices (fonts, platform plug-ins) would break the one line a failure gets.
void dropQtNotices(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "postwick: %s\n", qUtf8Printable(message));
}

}  // namespace

bool isCommandName(const char* word)
{
    return findCommand(word) != nullptr;
}

bool startsTheWindow(const char* word)
{
    const QString name = QString::fromLocal8Bit(word);
    return name.startsWith(u'-') || QFileInfo::exists(name) || name.endsWith(u".DAT", Qt::CaseInsensitive);
}

int unknownCommand(const char* word)
{
    // The nearest name by edits (letters put in, taken out or changed), the first of equals.
    const QString typed = QString::fromLocal8Bit(word);
    const auto edits = [&](const QString& name) {
        std::vector<qsizetype> row(name.size() + 1);
        std::iota(row.begin(), row.end(), 0);
        for (qsizetype i = 1; i <= typed.size(); ++i) {
            qsizetype diagonal = row[0];
            row[0] = i;
            for (qsizetype j = 1; j <= name.size(); ++j) {
                const qsizetype above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (typed[i - 1] == name[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        return row.back();
    };
    const Command* nearest = &commands().front();
    for (const Command& command : commands()) {
        if (edits(QString::fromLatin1(command.name)) < edits(QString::fromLatin1(nearest->name)))
            nearest = &command;
    }
    std::fprintf(stderr, "postwick: unknown command \"%s\"; did you mean \"%s\"? (postwick --help lists them)\n",
                 word, nearest->name);
    return 2;
}

const char* commandSummary()
{
    static const QByteArray summary = [] {
        QByteArray text;
        for (const Command& command : commands())
            text += QByteArray("  ") + QByteArray(command.name).leftJustified(15) + command.summary + '\n';
        return text;
    }();
    return summary.constData();
}

int runCommand(int argc, char* argv[])
{
    const Command& command = *findCommand(argv[1]);
    QStringList words;
    for (int i = 2; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    if (words.mid(0, words.indexOf(QStringLiteral("--"))).contains(QStringLiteral("--help"))) {
        printHelp(command);
        return 0;
    }

    // Text is laid out with the fonts of a GUI application, which here has no display: the offscreen
    // platform, whatever the environment names. The command's own words are kept from Qt.
    qInstallMessageHandler(dropQtNotices);
    static char platformOption[] = "-platform";
    static char offscreen[] = "offscreen";
    int qtArgc = command.paints ? 3 : 1;
    char* qtArgv[] = {argv[0], platformOption, offscreen, nullptr};
    std::unique_ptr<QCoreApplication> app = command.paints ? std::make_unique<QGuiApplication>(qtArgc, qtArgv)
                                                           : std::make_unique<QCoreApplication>(qtArgc, qtArgv);
    QCoreApplication::setApplicationName(QStringLiteral("Postwick"));
    QCoreApplication::setOrganizationName(QStringLiteral("Postwick"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
    loadBuiltInResources();

    const Parsed<ParsedOptions> options = parseOptions(words, command.options);
    const Result<void> result = options ? command.run(*options) : std::unexpected(usage(options.error()));
    if (result)
        return 0;
    std::fprintf(stderr, "postwick %s: %s\n", command.name, qUtf8Printable(result.error().text));
    return result.error().status;
}

}  // namespace pw
