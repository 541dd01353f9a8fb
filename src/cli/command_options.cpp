#include "cli/command_options.h"

#include "printing/sheet_positions.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace pw {
namespace {

struct SearchWord final {
    const char* word;
    SearchKind kind;
};

constexpr std::array<SearchWord, 8> kSearchWords = {{
    {"first", SearchKind::FirstName},
    {"last", SearchKind::LastName},
    {"city", SearchKind::City},
    {"state", SearchKind::State},
    {"zip", SearchKind::Zip},
    {"email", SearchKind::Email},
    {"category", SearchKind::Category},
    {"company", SearchKind::Company},
}};

const OptionRule* findOption(std::span<const OptionRule> rules, const QString& word)
{
    const auto found = std::find_if(rules.begin(), rules.end(),
                                    [&](const OptionRule& option) { return word == QLatin1StringView(option.name); });
    return found == rules.end() ? nullptr : &*found;
}

}  // namespace

Parsed<ParsedOptions> parseOptions(const QStringList& words, std::span<const OptionRule> rules)
{
    ParsedOptions parsed;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        // "--" ends the options: a file may be named "-x".
        if (word == u"--") {
            parsed.positional += words.mid(i + 1);
            break;
        }
        const OptionRule* option = findOption(rules, word);
        if (!option) {
            // A lone "-" is a word like any other; anything else with a dash in front was meant as an option.
            if (word.startsWith(u'-') && word.size() > 1)
                return std::unexpected(QStringLiteral("unknown option %1").arg(word));
            parsed.positional.append(word);
            continue;
        }
        if (parsed.options.contains(word))
            return std::unexpected(QStringLiteral("%1 is given twice").arg(word));
        QStringList& values = parsed.options[word];
        switch (option->kind) {
        case OptionRule::Kind::Switch: break;
        case OptionRule::Kind::Value:
            if (i + 1 >= words.size())
                return std::unexpected(QStringLiteral("%1 needs a value").arg(word));
            values.append(words[++i]);
            break;
        case OptionRule::Kind::Words:
            while (i + 1 < words.size() && words[i + 1] != u"--" && !findOption(rules, words[i + 1]))
                values.append(words[++i]);
            break;
        }
    }
    return parsed;
}

Parsed<ContactSearch> parseSearch(const QString& text)
{
    const qsizetype equals = text.indexOf(u'=');
    const QString field = text.left(equals).toLower();
    const auto found = std::find_if(kSearchWords.begin(), kSearchWords.end(),
                                    [&](const SearchWord& w) { return field == QLatin1StringView(w.word); });
    if (equals < 0 || found == kSearchWords.end())
        return std::unexpected(QStringLiteral("bad search \"%1\": use KIND=TEXT with KIND one of first, last, city, "
                                              "state, zip, email, category, company")
                                   .arg(text));
    return ContactSearch{found->kind, text.mid(equals + 1)};
}

Parsed<SortOrder> parseSortOrder(const QString& text)
{
    if (text == u"first")
        return SortOrder::FirstName;
    if (text == u"last")
        return SortOrder::LastName;
    return std::unexpected(QStringLiteral("bad sort order \"%1\": use first or last").arg(text));
}

Parsed<MailingChoices> parseMailingChoices(const ParsedOptions& options)
{
    if (options.has("--presort") && options.value("--presort") != u"zip")
        return std::unexpected(QStringLiteral("bad presort \"%1\": use zip").arg(options.value("--presort")));
    return MailingChoices{options.has("--households"), options.has("--presort"), options.has("--complete-only")};
}

Parsed<int> parseWholeNumber(const QString& text, int low, int high, const QString& what)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high)
        return std::unexpected(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                                   .arg(what)
                                   .arg(low)
                                   .arg(high)
                                   .arg(text));
    return n;
}

Parsed<QList<int>> parsePositions(const QString& text, int last)
{
    static const QRegularExpression item(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+)\\s*)?$"));
    QList<int> positions;
    for (const QString& part : text.split(u',')) {
        const QRegularExpressionMatch m = item.match(part);
        if (!m.hasMatch())
            return std::unexpected(
                QStringLiteral("bad positions \"%1\": write them as 4-9 or 1, 5, 22-30").arg(text));
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        for (int p : {from, to}) {
            if (p < 1 || p > last)
                return std::unexpected(QStringLiteral("label position %1 is out of range: a sheet has positions 1 "
                                                      "to %2")
                                           .arg(p)
                                           .arg(last));
        }
        if (to < from)
            return std::unexpected(QStringLiteral("bad positions \"%1\": %2 comes after %3").arg(text).arg(from).arg(to));
        for (int p = from; p <= to; ++p)
            positions.append(p);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

}  // namespace pw
