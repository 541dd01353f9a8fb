#include "cli/print_commands.h"

#include "cli/command_contacts.h"
#include "cli/print_session.h"
#include "data/contacts_file.h"
#include "list/list_labels.h"
#include "list/mailing_order.h"
#include "printing/envelopes.h"
#include "printing/onthefly_labels.h"
#include "printing/print_action.h"
#include "printing/return_address.h"
#include "printing/sheet_positions.h"
#include "printing/stock_catalogue.h"
#include "printing/typed_job.h"

#include <cstdio>

namespace pw {
namespace {

Result<void> noPositional(const ParsedOptions& options)
{
    if (!options.positional.isEmpty())
        return std::unexpected(usage(QStringLiteral("unexpected word \"%1\"").arg(options.positional.first())));
    return {};
}

// The lines of a label as typed on the main window: five, the missing ones empty. A typed job
// takes nothing but its options.
Result<QStringList> typedLines(const ParsedOptions& options)
{
    if (auto s = noPositional(options); !s)
        return std::unexpected(s.error());
    QStringList lines = options.words("--lines");
    if (lines.size() > 5)
        return std::unexpected(usage(QStringLiteral("at most 5 lines go on one label, not %1").arg(lines.size())));
    while (lines.size() < 5)
        lines.append(QString());
    return lines;
}

// A line that does not fit its label is printed all the same, as "Print anyway" would, and said;
// so is a correction that moves the text onto the neighbouring labels, once.
void warnOfOverflows(const QList<Overflow>& overflows, const QString& shiftNote = {})
{
    if (!shiftNote.isEmpty())
        std::fprintf(stderr, "postwick: warning: %s\n", qUtf8Printable(shiftNote));
    for (const Overflow& o : overflows)
        std::fprintf(stderr, "postwick: warning: %s, \"%s\": %s\n", qUtf8Printable(o.where), qUtf8Printable(o.line),
                     qUtf8Printable(o.outcome));
}

// A typed job's lines and type as the command line gives them; a command takes only its own
// options, so a style it does not offer stays off.
TypedJobRequest typedRequest(TypedStock stock, const QStringList& lines, const ParsedOptions& options)
{
    TypedJobRequest request;
    request.stock = stock;
    request.lines = lines;
    request.centred = options.has("--center");
    request.bold = options.has("--bold");
    request.italic = options.has("--italic");
    request.largeFont = options.has("--large");
    return request;
}

// The job the main window would print for the same request, with the session's corrections.
Result<void> printTyped(PrintSession& session, TypedJobRequest request)
{
    request.corrections = session.margins();
    request.deviceName = session.surface().deviceName();
    const TypedJob job = buildTypedJob(request, session.surface().measure());
    if (job.refusal) {
        session.platform().message(*job.refusal);
        return session.finish(PrintOutcome::Cancelled);
    }
    // There is no one to say "Print anyway": an address off its envelope is not printed.
    if (!job.offEnvelope.isEmpty())
        return std::unexpected(failed(job.offEnvelope));
    warnOfOverflows(job.overflows, job.shiftNote);
    return session.finish(printCopies(session.platform(), job.dialog, job.run));
}

// The stock `--stock` names, `fallback` without it.
Result<const LabelStock*> stockOption(const ParsedOptions& options, const LabelStock& fallback)
{
    if (!options.has("--stock"))
        return &fallback;
    const StockLookup lookup = findStock(installedStocks(), options.value("--stock"));
    if (lookup.stock)
        return lookup.stock;
    if (!lookup.candidates.isEmpty()) {
        constexpr qsizetype kNamed = 8;
        QString names = lookup.candidates.first(std::min(kNamed, lookup.candidates.size())).join(u", ");
        if (lookup.candidates.size() > kNamed)
            names += QStringLiteral(" and %1 more").arg(lookup.candidates.size() - kNamed);
        return std::unexpected(usage(QStringLiteral("label stock \"%1\" could be %2; name one of them")
                                         .arg(options.value("--stock"), names)));
    }
    QStringList names;
    for (const LabelStock& stock : labelStocks())
        names << stock.name;
    names << returnAddressStock().name;
    return std::unexpected(usage(QStringLiteral("unknown label stock \"%1\"; the stocks are %2 and the installed "
                                                "templates' A4 and US Letter labels, by maker and part")
                                     .arg(options.value("--stock"), names.join(QStringLiteral(", ")))));
}

}  // namespace

Result<void> labelsCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("labels takes one contacts file")));
    const Result<const LabelStock*> chosen = stockOption(options, labelSheetStock());
    if (!chosen)
        return std::unexpected(chosen.error());
    const LabelStock& stock = **chosen;
    int start = 1;
    // "free" goes on from the first free label of the sheet in the printer, as the list window does.
    const bool freeStart = options.value("--start") == u"free";
    if (options.has("--start") && !freeStart) {
        const Parsed<int> parsed =
            parseWholeNumber(options.value("--start"), 1, stock.labels(), QStringLiteral("--start"));
        if (!parsed)
            return std::unexpected(usage(parsed.error()));
        start = *parsed;
    }
    const Parsed<MailingChoices> choices = parseMailingChoices(options);
    if (!choices)
        return std::unexpected(usage(choices.error()));
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;
    if (freeStart)
        start = firstFreeOrNewSheet(session.platform(), stock);
    ContactsFile contacts;
    if (auto s = openContacts(contacts, options.positional.first(), false, options); !s)
        return s;
    const Result<std::vector<ContactLine>> lines = listedLines(contacts, options, AddressDisplay::Street);
    if (!lines)
        return std::unexpected(lines.error());
    const int listedAt = contacts.follows();
    std::vector<int> records;
    records.reserve(lines->size());
    for (const ContactLine& line : *lines)
        records.push_back(line.record());
    const auto mailing = readMailing(session.platform(), contacts, records, *choices, listedAt);
    if (!mailing)
        return session.finish(PrintOutcome::Failed);
    if (mailing->damaged > 0)
        std::fprintf(stderr, "postwick: %s\n", qUtf8Printable(ContactsFile::damagedSkippedText(mailing->damaged)));
    if (!mailing->leftOut.isEmpty()) {
        std::fprintf(stderr, "postwick: %s\n", qUtf8Printable(leftOutHeading(mailing->leftOut.size())));
        for (const QString& name : mailing->leftOut)
            std::fprintf(stderr, "  %s\n", qUtf8Printable(name));
    }
    const auto labels = static_cast<qsizetype>(mailing->labels.size());

    // There is no one to ask: labels going on used ones of the sheet in the printer are said.
    const int perSheet = stock.labels();
    const QList<int> first = rangePositions(start, static_cast<int>(std::min<qsizetype>(labels, perSheet)), perSheet);
    if (const QList<int> used = usedAmong(session.platform(), stock, first);
        !used.isEmpty() && !session.surface().writesFile())
        std::fprintf(stderr, "postwick: warning: printing on labels marked used: %s\n",
                     qUtf8Printable(positionsText(used)));
    TerminalProgress progress(QStringLiteral("Printing labels, sheet"));
    session.surface().reportPages(&progress, (start - 1 + labels + perSheet - 1) / perSheet);
    // A contact whose address does not fit is left out and named; the others print.
    int printed = 0;
    const PrintOutcome outcome =
        printListLabels(session.platform(), mailing->labels, session.marginsPath(), options.has("--bold"),
                        options.has("--italic"), start, stock, [](const ListLabelJob& job) {
                            for (const LeftOutLabel& label : job.leftOut)
                                std::fprintf(stderr, "postwick: warning: %s (\"%s\")\n",
                                             qUtf8Printable(leftOutText(label)), qUtf8Printable(label.line));
                            warnOfOverflows(job.overflows, job.shiftNote);
                            return true;
                        }, &printed);
    if (outcome == PrintOutcome::Printed)
        rememberPrintedRun(session.platform(), stock, start, printed);
    return session.finish(outcome);
}

Result<void> sheetCommand(const ParsedOptions& options)
{
    const Result<QStringList> lines = typedLines(options);
    if (!lines)
        return std::unexpected(lines.error());
    const Alignment alignment = options.has("--center") ? Alignment::Centred : Alignment::Left;
    if (auto problem = onTheFlyFormProblem(*lines, Media::Labels, 0, alignment))
        return std::unexpected(usage(oneLine(problem->text)));
    const Result<const LabelStock*> stock = stockOption(options, labelSheetStock());
    if (!stock)
        return std::unexpected(stock.error());
    const Parsed<QList<int>> positions = parsePositions(
        options.has("--positions") ? options.value("--positions") : QStringLiteral("1"), (*stock)->labels());
    if (!positions)
        return std::unexpected(usage(positions.error()));
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;

    TypedJobRequest request = typedRequest(TypedStock::Labels, *lines, options);
    if ((*stock)->memoryKey != labelSheetStock().memoryKey)
        request.sheet = *stock;
    request.place = LabelPositionTable::place(positions->first(), request.bold, session.surface().deviceName())
                        .value_or(LabelPlace{});
    // One unbroken run prints as the position entry's range, any other set as positions picked on
    // the sheet's picture: the two ways the window prints.
    if (!rangeEntryFor(*positions).isEmpty()) {
        request.start = positions->first();
        request.count = static_cast<int>(positions->size());
    } else {
        request.positions = *positions;
    }
    return printTyped(session, request);
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
    const Result<QStringList> lines = typedLines(options);
    if (!lines)
        return std::unexpected(lines.error());
    const Alignment alignment = options.has("--center") ? Alignment::Centred : Alignment::Left;
    if (auto problem = onTheFlyFormProblem(*lines, Media::Envelope, *size, alignment))
        return std::unexpected(usage(oneLine(problem->text)));
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;

    TypedJobRequest request = typedRequest(TypedStock::Envelope, *lines, options);
    request.envelopeSize = *size;
    request.place = *envelopePlace(*size);
    request.envelopePaper = session.surface().takesPaper(envelopeInches(*size));
    return printTyped(session, request);
}

Result<void> returnLabelsCommand(const ParsedOptions& options)
{
    const Result<QStringList> lines = typedLines(options);
    if (!lines)
        return std::unexpected(lines.error());
    switch (returnLinesProblem(*lines)) {
    case ReturnLinesProblem::NoLines:
        return std::unexpected(usage(QStringLiteral("return-address labels need 1 to 3 lines after --lines")));
    case ReturnLinesProblem::TooManyLines:
        return std::unexpected(usage(QStringLiteral("return-address labels take at most 3 lines")));
    case ReturnLinesProblem::None: break;
    }
    const Result<const LabelStock*> stock = stockOption(options, returnAddressStock());
    if (!stock)
        return std::unexpected(stock.error());
    PrintSession session;
    if (auto s = session.setUp(options); !s)
        return s;

    TypedJobRequest request = typedRequest(TypedStock::ReturnAddresses, *lines, options);
    if ((*stock)->memoryKey != returnAddressStock().memoryKey)
        request.sheet = *stock;
    return printTyped(session, request);
}

}  // namespace pw
