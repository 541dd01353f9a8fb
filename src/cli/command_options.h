#pragma once

#include "list/contact_lines.h"
#include "list/contact_search.h"
#include "list/mailing_order.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <expected>
#include <span>

namespace pw {

// A command's option: a switch, one that takes the next word, or one that takes every word up to
// the command's next option (the lines of a label).
struct OptionRule final {
    enum class Kind { Switch, Value, Words };
    const char* name;
    Kind kind;
};

// A command line taken apart: the words that are not options, in order, and each option given.
struct ParsedOptions final {
    QStringList positional;
    QMap<QString, QStringList> options;

    bool has(const char* name) const { return options.contains(QString::fromLatin1(name)); }
    QString value(const char* name) const { return options.value(QString::fromLatin1(name)).value(0); }
    QStringList words(const char* name) const { return options.value(QString::fromLatin1(name)); }
};

// What is wrong with a command line, said in one line.
using UsageError = QString;
template <typename T>
using Parsed = std::expected<T, UsageError>;

// Takes the words after the command's name apart by its options. An option that is not the
// command's, a value option without its value, or one given twice is a usage error.
Parsed<ParsedOptions> parseOptions(const QStringList& words, std::span<const OptionRule> rules);

// "city=Reno": the field words are first, last, city, state, zip, email, category and company.
Parsed<ContactSearch> parseSearch(const QString& text);
// "first" or "last".
Parsed<SortOrder> parseSortOrder(const QString& text);
// --households, --presort zip and --complete-only.
Parsed<MailingChoices> parseMailingChoices(const ParsedOptions& options);
// A whole number from `low` to `high`; `what` names it in the error.
Parsed<int> parseWholeNumber(const QString& text, int low, int high, const QString& what);
// Label positions of a sheet of `last` labels as a person writes them, "4-9" or "1, 5, 22-30": each
// from 1 to `last`, in order, once each.
Parsed<QList<int>> parsePositions(const QString& text, int last = 30);

}  // namespace pw
