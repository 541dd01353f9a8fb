#include "cli/commands.h"

#include "cli/command_options.h"
#include "cli/command_platform.h"
#include "cli/print_session.h"
#include "data/birthdays.h"
#include "data/contacts_file.h"
#include "list/contact_lines.h"
#include "list/list_labels.h"
#include "printing/envelopes.h"
#include "printing/onthefly_labels.h"
#include "printing/overflow.h"
#include "printing/print_action.h"
#include "printing/return_address.h"
#include "printing/sheet_positions.h"
#include "program/app_files.h"
#include "program/app_version.h"
#include "transfer/contact_export.h"
#include "transfer/csv_import.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

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

constexpr OptionRule kLabelsOwn[] = {{"--search", Kind::Value}, {"--sort", Kind::Value}, {"--start", Kind::Value},
                                     {"--bold", Kind::Switch},  {"--italic", Kind::Switch}};
constexpr OptionRule kSheetOwn[] = {{"--lines", Kind::Words},
                                    {"--positions", Kind::Value},
                                    {"--bold", Kind::Switch},
                                    {"--italic", Kind::Switch},
                                    {"--center", Kind::Switch}};
constexpr OptionRule kEnvelopeOwn[] = {{"--size", Kind::Value},
                                       {"--lines", Kind::Words},
                                       {"--bold", Kind::Switch},
                                       {"--large", Kind::Switch},
                                       {"--center", Kind::Switch}};
constexpr OptionRule kReturnOwn[] = {{"--lines", Kind::Words}, {"--italic", Kind::Switch}, {"--center", Kind::Switch}};
constexpr auto kLabelsOptions = withOutput(kLabelsOwn);
constexpr auto kSheetOptions = withOutput(kSheetOwn);
constexpr auto kEnvelopeOptions = withOutput(kEnvelopeOwn);
constexpr auto kReturnOptions = withOutput(kReturnOwn);
constexpr OptionRule kExportOptions[] = {
    {"--csv", Kind::Switch}, {"--text", Kind::Switch}, {"--vcard", Kind::Switch}, {"-o", Kind::Value}};
constexpr OptionRule kListOptions[] = {{"--search", Kind::Value}, {"--sort", Kind::Value}, {"--email", Kind::Switch}};

constexpr char kOutputHelp[] =
    "  -o FILE.pdf         write the pages to a PDF file (US Letter, to be printed at actual size)\n"
    "  --printer NAME      print on that printer instead\n"
    "  --copies N          copies on the printer (1 to 999)\n"
    "  --margins FILE      take the margin corrections from FILE instead of PWKPARAM.TXT in the\n"
    "                      Postwick folder of the documents folder\n";

// The texts a window shows in message boxes, made one line for standard error.
QString oneLine(const QString& text)
{
    return text.simplified();
}

QString contactsCounted(int count)
{
    return count == 1 ? QStringLiteral("1 contact") : QStringLiteral("%1 contacts").arg(count);
}

QString described(const QString& path, const FileError& error)
{
    return QStringLiteral("%1: %2").arg(path, error.description);
}

// The lines of a label as typed on the main window: five, the missing ones empty.
Result<QStringList> labelLines(const ParsedOptions& options, qsizetype most)
{
    QStringList lines = options.words("--lines");
    if (lines.size() > most)
        return std::unexpected(usage(QStringLiteral("at most %1 lines go on one label, not %2").arg(most).arg(lines.size())));
    while (lines.size() < 5)
        lines.append(QString());
    return lines;
}

Result<void> noPositional(const ParsedOptions& options)
{
    if (!options.positional.isEmpty())
        return std::unexpected(usage(QStringLiteral("unexpected word \"%1\"").arg(options.positional.first())));
    return {};
}

// Opens the contacts file of a command. Only an import may make a new one: every other command
// would print or write nothing from a misspelt name.
Result<void> openContacts(ContactsFile& contacts, const QString& path, bool mayCreate)
{
    if (!mayCreate && !QFileInfo::exists(path))
        return std::unexpected(failed(described(path, FileError::fromErrno(ENOENT))));
    const Expected<ContactsOpenResult> opened = contacts.open(path);
    if (!opened)
        return std::unexpected(failed(described(path, opened.error())));
    if (!opened->opened())
        return std::unexpected(failed(oneLine(opened->message->text)));
    if (opened->message)
        std::fprintf(stderr, "postwick: %s\n", qUtf8Printable(oneLine(opened->message->text)));
    return {};
}

// The records of the list window's lines for this search and order, in the order it lists them.
Result<std::vector<ContactLine>> listedLines(const ContactsFile& contacts, const ParsedOptions& options,
                                             AddressDisplay display)
{
    ContactSearch search;
    if (options.has("--search")) {
        const Parsed<ContactSearch> parsed = parseSearch(options.value("--search"));
        if (!parsed)
            return std::unexpected(usage(parsed.error()));
        search = *parsed;
    }
    SortOrder order = SortOrder::FirstName;
    if (options.has("--sort")) {
        const Parsed<SortOrder> parsed = parseSortOrder(options.value("--sort"));
        if (!parsed)
            return std::unexpected(usage(parsed.error()));
        order = *parsed;
    }
    Expected<std::vector<ContactLine>> lines = contactLines(contacts, search, order, display);
    if (!lines)
        return std::unexpected(failed(described(contacts.path(), lines.error())));
    sortLines(*lines);
    return std::move(*lines);
}

// A line that does not fit its label is printed all the same, as "Print anyway" would, and said.
void warnOfOverflows(const QList<Overflow>& overflows)
{
    for (const Overflow& o : overflows)
        std::fprintf(stderr, "postwick: warning: %s runs %d characters past its edge: %s\n", qUtf8Printable(o.where),
                     o.charactersTooLong, qUtf8Printable(o.line));
}

Result<void> labelsCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("labels takes one contacts file")));
    int start = 1;
    // "free" goes on from the first free label of the sheet in the printer, as the list window does.
    const bool freeStart = options.value("--start") == u"free";
    if (options.has("--start") && !freeStart) {
        const Parsed<int> parsed =
            parseWholeNumber(options.value("--start"), 1, kSheetPositions, QStringLiteral("--start"));
        if (!parsed)
            return std::unexpected(usage(parsed.error()));
        start = *parsed;
    }
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;
    const QString kind = marginKey(MarginKind::SearchResult);
    if (freeStart)
        start = firstFreeOrNewSheet(session.platform(), kind);
    ContactsFile contacts;
    if (auto s = openContacts(contacts, options.positional.first(), false); !s)
        return s;
    const Result<std::vector<ContactLine>> lines = listedLines(contacts, options, AddressDisplay::Street);
    if (!lines)
        return std::unexpected(lines.error());
    std::vector<int> records;
    records.reserve(lines->size());
    for (const ContactLine& line : *lines)
        records.push_back(line.record);

    TerminalProgress progress(QStringLiteral("Printing labels, sheet"));
    session.surface().reportPages(&progress, (start - 1 + static_cast<qint64>(records.size()) + 29) / 30);
    const PrintOutcome outcome = printListLabels(session.platform(), contacts, records, session.marginsPath(),
                                                 options.has("--bold"), options.has("--italic"), start);
    if (outcome == PrintOutcome::Printed)
        rememberPrintedRun(session.platform(), kind, start, static_cast<qsizetype>(records.size()));
    return session.finish(outcome);
}

Result<void> sheetCommand(const ParsedOptions& options)
{
    if (auto s = noPositional(options); !s)
        return s;
    const Result<QStringList> lines = labelLines(options, 5);
    if (!lines)
        return std::unexpected(lines.error());
    const Alignment alignment = options.has("--center") ? Alignment::Centred : Alignment::Left;
    if (auto problem = onTheFlyFormProblem(*lines, Media::Labels, 0, alignment))
        return std::unexpected(usage(oneLine(problem->text)));
    const Parsed<QList<int>> positions =
        parsePositions(options.has("--positions") ? options.value("--positions") : QStringLiteral("1"));
    if (!positions)
        return std::unexpected(usage(positions.error()));
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;

    OnTheFlyLabels labels;
    labels.lines = *lines;
    labels.centred = alignment == Alignment::Centred;
    labels.bold = options.has("--bold");
    labels.italic = options.has("--italic");
    labels.correction = session.margins().pair(MarginKind::OnTheFly);
    const QString device = session.surface().deviceName();
    labels.fallback = LabelPositionTable::place(positions->first(), labels.bold, device).value_or(LabelPlace{});
    // One unbroken run prints as the position entry's range, any other set as positions picked on
    // the sheet's picture: the two ways the window prints.
    if (!rangeEntryFor(*positions).isEmpty()) {
        labels.start = positions->first();
        labels.count = static_cast<int>(positions->size());
    } else {
        labels.positions = *positions;
    }
    warnOfOverflows(labelOverflows(labels, device));
    return session.finish(printCopies(session.platform(), PrintDialogRequest{.labelSheet = true},
                                      [&labels](PrintSurface& surface) { printOnTheFlyLabels(surface, labels); }));
}

Result<void> envelopeCommand(const ParsedOptions& options)
{
    if (auto s = noPositional(options); !s)
        return s;
    if (!options.has("--size"))
        return std::unexpected(usage(QStringLiteral("envelope needs --size 1 to %1").arg(kEnvelopeSizeCount)));
    const Parsed<int> size = parseWholeNumber(options.value("--size"), 1, kEnvelopeSizeCount, QStringLiteral("--size"));
    if (!size)
        return std::unexpected(usage(size.error()));
    const Result<QStringList> lines = labelLines(options, 5);
    if (!lines)
        return std::unexpected(lines.error());
    const Alignment alignment = options.has("--center") ? Alignment::Centred : Alignment::Left;
    if (auto problem = onTheFlyFormProblem(*lines, Media::Envelope, *size, alignment))
        return std::unexpected(usage(oneLine(problem->text)));
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;

    EnvelopeJob envelope;
    envelope.lines = *lines;
    envelope.centred = alignment == Alignment::Centred;
    envelope.bold = options.has("--bold");
    envelope.largeFont = options.has("--large");
    envelope.place = *envelopePlace(*size);
    envelope.correction = session.margins().pair(MarginKind::Envelope);
    warnOfOverflows(envelopeOverflows(envelope, *size));
    return session.finish(printCopies(session.platform(), PrintDialogRequest{},
                                      [&envelope](PrintSurface& surface) { printEnvelope(surface, envelope); }));
}

Result<void> returnLabelsCommand(const ParsedOptions& options)
{
    if (auto s = noPositional(options); !s)
        return s;
    const Result<QStringList> lines = labelLines(options, 5);
    if (!lines)
        return std::unexpected(lines.error());
    switch (returnLinesProblem(*lines)) {
    case ReturnLinesProblem::NoLines:
        return std::unexpected(usage(QStringLiteral("return-address labels need 1 to 3 lines after --lines")));
    case ReturnLinesProblem::TooManyLines:
        return std::unexpected(usage(QStringLiteral("return-address labels take at most 3 lines")));
    case ReturnLinesProblem::None: break;
    }
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;

    ReturnAddressSheet sheet;
    sheet.lines = lines->first(3);
    sheet.centred = options.has("--center");
    sheet.italic = options.has("--italic");
    sheet.correction = session.margins().pair(MarginKind::ReturnAddress);
    warnOfOverflows(returnAddressOverflows(sheet));
    return session.finish(printCopies(session.platform(), PrintDialogRequest{.labelSheet = true},
                                      [&sheet](PrintSurface& surface) { printReturnAddressPage(surface, sheet); }));
}

Result<void> importCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 2)
        return std::unexpected(usage(QStringLiteral("import takes a contacts file and the file to import")));
    const QString& contactsPath = options.positional[0];
    const QString& sourcePath = options.positional[1];
    const int fd = ::open(QFile::encodeName(sourcePath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(failed(described(sourcePath, FileError::fromErrno(errno))));
    QFile source;
    source.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    ContactsFile contacts;
    if (auto s = openContacts(contacts, contactsPath, true); !s)
        return s;
    const Expected<bool> remindersOn = remindersSetting(contacts);
    if (!remindersOn)
        return std::unexpected(failed(described(contactsPath, remindersOn.error())));

    ImportResult result;
    {
        TerminalProgress progress(QStringLiteral("Importing contacts from %1").arg(QFileInfo(sourcePath).fileName()));
        ImportOptions importOptions;
        importOptions.remindersOn = *remindersOn;
        importOptions.progress = [&progress](qint64 done, qint64 total) { return progress.setProgress(done, total); };
        result = importContacts(source, contacts, importOptions);
    }
    switch (result.end) {
    case ImportResult::End::Completed:
    case ImportResult::End::Cancelled: break;
    case ImportResult::End::NotCompatible:
        return std::unexpected(failed(QStringLiteral("%1: %2").arg(sourcePath, oneLine(importEndMessage(result)->text))));
    case ImportResult::End::Failed: return std::unexpected(failed(described(contactsPath, importFailure(result))));
    }
    std::printf("Imported %s from %s into %s\n", qUtf8Printable(contactsCounted(result.imported)),
                qUtf8Printable(sourcePath), qUtf8Printable(contactsPath));
    return {};
}

Result<void> exportCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("export takes one contacts file")));
    const int formats = int(options.has("--csv")) + int(options.has("--text")) + int(options.has("--vcard"));
    if (formats != 1)
        return std::unexpected(usage(QStringLiteral("export needs one of --csv, --text or --vcard")));
    if (!options.has("-o"))
        return std::unexpected(usage(QStringLiteral("export needs -o FILE")));
    const ExportFormat format = options.has("--csv")    ? ExportFormat::Csv
                                : options.has("--text") ? ExportFormat::Text
                                                        : ExportFormat::VCard;
    ContactsFile contacts;
    if (auto s = openContacts(contacts, options.positional.first(), false); !s)
        return s;
    const QString out = options.value("-o");
    ExportResult result;
    {
        TerminalProgress progress(QStringLiteral("Exporting contacts to %1").arg(QFileInfo(out).fileName()));
        result = writeExportFile(contacts, format, QFileInfo(out).absoluteFilePath(),
                                 [&progress](qint64 done, qint64 total) { return progress.setProgress(done, total); });
    }
    if (result.error)
        return std::unexpected(failed(described(out, *result.error)));
    std::printf("Exported %s from %s to %s\n", qUtf8Printable(contactsCounted(result.written)),
                qUtf8Printable(options.positional.first()), qUtf8Printable(out));
    return {};
}

Result<void> listCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("list takes one contacts file")));
    ContactsFile contacts;
    if (auto s = openContacts(contacts, options.positional.first(), false); !s)
        return s;
    const Result<std::vector<ContactLine>> lines =
        listedLines(contacts, options, options.has("--email") ? AddressDisplay::Email : AddressDisplay::Street);
    if (!lines)
        return std::unexpected(lines.error());
    // The window pads each column to its stored width for its tab stops; a script wants the text.
    QByteArray out;
    for (const ContactLine& line : *lines) {
        const QStringList fields = line.text.split(u'\t');
        for (qsizetype i = 0; i < fields.size(); ++i) {
            QStringView field(fields[i]);
            while (field.endsWith(u' '))
                field.chop(1);
            if (i > 0)
                out += '\t';
            out += field.toUtf8();
        }
        out += '\n';
        if (out.size() > 1 << 16) {
            std::fwrite(out.constData(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, out.size(), stdout);
    return {};
}

struct Command final {
    const char* name;
    std::span<const OptionRule> options;
    Result<void> (*run)(const ParsedOptions&);
    bool paints;  // lays out text in fonts, which takes a (windowless) GUI application
    const char* summary;
    const char* usage;
    const char* details;
};

const std::array<Command, 7>& commands()
{
    static const std::array<Command, 7> all = {{
        {"labels", kLabelsOptions, labelsCommand, true, "the list labels of a contacts file or of a search",
         "postwick labels CONTACTS.DAT [--search KIND=TEXT] [--sort first|last] [--start N] [--bold] [--italic]\n"
         "                (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints a label for each contact of the list, as Print labels does in the list window, on\n"
         "30-label sheets (3 across, 10 down).\n"
         "  --search KIND=TEXT  only the contacts whose field holds TEXT; KIND is first, last, city,\n"
         "                      state, zip, email, category or company\n"
         "  --sort first|last   the list's order: by first name (the default) or last name\n"
         "  --start N           begin at position N (1 to 30) of the first sheet, leaving the\n"
         "                      positions before it blank: a partly used sheet\n"
         "  --start free        begin at the first free label of the sheet in the printer, as\n"
         "                      remembered by the windows and this command\n"
         "  --bold, --italic    the type of the labels\n"},
        {"sheet", kSheetOptions, sheetCommand, true, "labels of typed lines on chosen positions of a sheet",
         "postwick sheet --lines L1 [L2 ... L5] [--positions 4-9] [--bold] [--italic] [--center]\n"
         "               (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints the typed lines on label positions of a 30-label sheet, as the main window does.\n"
         "  --lines L1 ...      up to five lines of the label; quote each line\n"
         "  --positions P       the positions to print, as 4-9 or 1, 5, 22-30 (default 1)\n"
         "  --bold, --italic    the type; --center centres each line on its label\n"},
        {"envelope", kEnvelopeOptions, envelopeCommand, true, "one envelope",
         "postwick envelope --size 1..6 --lines L1 [L2 ... L5] [--bold] [--large] [--center]\n"
         "                  (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints the lines on an envelope, as the main window does.\n"
         "  --size N            1 #10 business, 2 #6 3/4 small, 3 #A2 invitation, 4 #A7\n"
         "                      announcement, 5 #A8 greeting card, 6 #A10 large greeting card\n"
         "  --lines L1 ...      up to five lines of the address; quote each line\n"
         "  --bold              bold type; --large the larger italic type; --center centres each line\n"},
        {"return-labels", kReturnOptions, returnLabelsCommand, true, "a sheet of 80 return-address labels",
         "postwick return-labels --lines L1 [L2 L3] [--italic] [--center]\n"
         "                       (-o OUT.pdf | --printer NAME [--copies N]) [--margins FILE]",
         "Prints a sheet of 80 return-address labels (4 across, 20 down), each with the lines.\n"
         "  --italic            italic type; --center centres each line on its label\n"},
        {"import", {}, importCommand, false, "adds the contacts of a CSV or vCard file",
         "postwick import CONTACTS.DAT (FILE.csv | FILE.vcf)",
         "Adds the contacts of the CSV or vCard file to the contacts file (made when it does not\n"
         "exist), skipping those it already holds, and says how many were added. A vCard file is\n"
         "told by what it holds, whatever its name. The import is all or nothing.\n"},
        {"export", kExportOptions, exportCommand, false, "writes every contact to a CSV, text or vCard file",
         "postwick export CONTACTS.DAT (--csv | --text | --vcard) -o FILE",
         "Writes every contact of the file, in file order, as the Export window does.\n"},
        {"list", kListOptions, listCommand, false, "the contact list as tab-separated text",
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
    if (command.paints)
        std::fputs(kOutputHelp, stdout);
    std::puts("Exit status: 0 done, 1 failed, 2 a command line it cannot take.");
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
    if (words.contains(QStringLiteral("--help"))) {
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
