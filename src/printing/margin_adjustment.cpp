#include "printing/margin_adjustment.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/margin_settings.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace pw {
namespace {

const QString kInvalidTitle = QStringLiteral("Non-valid entry");
const QString kTooHigh = QStringLiteral("Number too high.");

// One check of a typed top amount; the first that fails gives its message.
struct AmountCheck final {
    enum class Test { AbsoluteAbove, LengthAbove, NotDecimal };
    Test test;
    int limit;
    QString message;

    bool fails(const QString& text) const
    {
        switch (test) {
        case Test::AbsoluteAbove: return std::abs(numericValue(text)) > limit;
        case Test::LengthAbove: return text.size() > limit;
        case Test::NotDecimal: return !isDecimalEntry(text);
        }
        return false;
    }
};

struct KindTexts final {
    QString leftExplanation;
    QString topExplanation;
    QString topPrompt;
    QString topTitle;
    std::vector<AmountCheck> topChecks;
    QString done;
};

QString leftExplanation(const QString& what, const QString& tail = {})
{
    return QStringLiteral("In the next box, enter a positive or negative number indicating how many characters to "
                          "the right or left you want to move the print for %1.  Example: 1 to move printing one "
                          "character to right, 2 to move printing two characters to right, -1 to move printing one "
                          "character to left, etc.")
               .arg(what)
           + tail;
}

QString topExplanation(const QString& what, const QString& example)
{
    return QStringLiteral("In the next box, enter a positive or negative number indicating how many rows down or up "
                          "you want to move the print for %1.  Example: %2")
        .arg(what, example);
}

const QString kManyRowsExample = QStringLiteral(
    "1 to move printing one row lower, 2 to move printing two rows lower, -1 to move printing one row higher, etc.");
const QString kRowsPrompt =
    QStringLiteral("Enter number of rows, positive or negative, to move down or up, respectively:");
const QString kRowsTitle = QStringLiteral("How many rows down or up?");
const QString kRowsNotDecimal = QStringLiteral("Enter no. of rows, positive or negative, to move down or up.");

QString done(const QString& what)
{
    return QStringLiteral("D O N E !  Margin(s) for %1 adjusted successfully.").arg(what);
}

KindTexts textsFor(MarginKind kind)
{
    using T = AmountCheck::Test;
    switch (kind) {
    case MarginKind::OnTheFly:
        return {leftExplanation(QStringLiteral("an On-The-Fly label")),
                topExplanation(QStringLiteral("an On-The-Fly label"), kManyRowsExample),
                kRowsPrompt,
                kRowsTitle,
                {{T::LengthAbove, 3, kTooHigh}, {T::NotDecimal, 0, kRowsNotDecimal}},
                done(QStringLiteral("On-The-Fly labels"))};
    case MarginKind::Envelope:
        return {leftExplanation(QStringLiteral("an Envelope"),
                                QStringLiteral(" Note: some printers print envelopes sideways, which may cause left "
                                               "and top margins to be reversed.  If that is the case, simply reverse "
                                               "them here accordingly.")),
                topExplanation(QStringLiteral("an Envelope"), kManyRowsExample),
                kRowsPrompt,
                kRowsTitle,
                {{T::LengthAbove, 3, kTooHigh},
                 {T::NotDecimal, 0, QStringLiteral("Enter no. of rows to move down or up.")}},
                done(QStringLiteral("Envelopes"))};
    case MarginKind::ReturnAddress:
        return {leftExplanation(QStringLiteral("a Return Address label")),
                topExplanation(QStringLiteral("a Return Address label"),
                               QStringLiteral("Enter 1 to move printing one row lower, -1 to move printing one row "
                                              "higher.")),
                QStringLiteral("Enter 1 or -1 to move rows down or up, respectively:"),
                QStringLiteral("Enter 1 to move printing down, -1 to move up"),
                {{T::AbsoluteAbove, 1, QStringLiteral("Cannot adjust by more than 1 row down or up.")},
                 {T::LengthAbove, 2, kTooHigh},
                 {T::NotDecimal, 0, QStringLiteral("Enter 1 or -1 to adjust printing down or up, respectively.")}},
                done(QStringLiteral("Return Address labels"))};
    case MarginKind::SearchResult:
        return {leftExplanation(QStringLiteral("Search-result labels (labels found via 'Search Contacts')")),
                topExplanation(QStringLiteral("Search-result labels"), kManyRowsExample),
                kRowsPrompt,
                kRowsTitle,
                {{T::AbsoluteAbove, 2, QStringLiteral("Cannot adjust by more than 2 rows down or up.")},
                 {T::LengthAbove, 3, kTooHigh},
                 {T::NotDecimal, 0, kRowsNotDecimal}},
                done(QStringLiteral("Search-result labels"))};
    }
    return {};
}

void tell(Platform& platform, const QString& text, const QString& title)
{
    platform.message({text, title, MessageIcon::None, MessageButtons::Ok, false});
}

// Asks until the answer passes every check; empty when the user gave none.
std::optional<double> askAmount(Platform& platform, const QString& prompt, const QString& title,
                                const std::vector<AmountCheck>& checks)
{
    for (;;) {
        const QString answer = platform.inputBox(prompt, title, {});
        if (answer.isEmpty())
            return std::nullopt;
        const auto failed = std::find_if(checks.begin(), checks.end(),
                                         [&](const AmountCheck& c) { return c.fails(answer); });
        if (failed == checks.end())
            return numericValue(answer);
        tell(platform, failed->message, kInvalidTitle);
    }
}

// The labels whose printing moves by at most a few rows, however much is stored: a top amount that
// would store more would be said done and print the same. The message why it is not stored; empty
// when it may be.
Expected<QString> stoppedTop(const QString& parameterFile, MarginKind kind, double top)
{
    const int limit = kind == MarginKind::ReturnAddress ? 1 : kind == MarginKind::SearchResult ? 2 : 0;
    if (limit == 0)
        return QString();
    const Expected<MarginSettings> stored = readMarginSettings(parameterFile);
    if (!stored)
        return std::unexpected(stored.error());
    const int now = stored->pair(kind).top;
    if (std::abs(now + roundHalfEven(top)) <= limit)
        return QString();
    return QStringLiteral("%1 move at most %2 down or up, and the stored top margin is already %3.  The top margin "
                          "was not adjusted.")
        .arg(kind == MarginKind::ReturnAddress ? QStringLiteral("Return Address labels")
                                               : QStringLiteral("Search-result labels"),
             limit == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(limit))
        .arg(now);
}

}  // namespace

Status runMarginAdjustment(Platform& platform, MarginKind kind, const QString& parameterFile)
{
    const KindTexts texts = textsFor(kind);
    tell(platform, texts.leftExplanation, QStringLiteral("Left margin adjustment"));
    const std::vector<AmountCheck> leftChecks = {
        {AmountCheck::Test::LengthAbove, 3, kTooHigh},
        {AmountCheck::Test::NotDecimal, 0, QStringLiteral("Enter no. of characters to move right or left.")},
    };
    const auto left = askAmount(platform,
                                QStringLiteral("Enter number of characters, positive or negative, to move right or "
                                               "left, respectively:"),
                                QStringLiteral("How many characters right or left?"), leftChecks);
    if (left)
        tell(platform, texts.topExplanation, QStringLiteral("Top margin adjustment"));
    auto top = askAmount(platform, texts.topPrompt, texts.topTitle, texts.topChecks);
    if (top) {
        if (auto limit = stoppedTop(parameterFile, kind, *top); !limit)
            return std::unexpected(limit.error());
        else if (!limit->isEmpty()) {
            tell(platform, *limit, QStringLiteral("Top margin not adjusted"));
            top.reset();
        }
    }

    auto adjusted = adjustMargins(parameterFile, kind, left, top);
    if (!adjusted)
        return std::unexpected(adjusted.error());
    if (!adjusted->valueTooLong.isEmpty()) {
        // The fields hold 3 characters; a longer sum would no longer read back as the intended number.
        tell(platform,
             QStringLiteral("The adjusted margin would be %1, which does not fit in 3 characters.  "
                            "No margin adjustment made.")
                 .arg(adjusted->valueTooLong),
             QStringLiteral("Margins not adjusted"));
    } else if (!left && !top) {
        tell(platform, QStringLiteral("No margin adjustment made."), QStringLiteral("Margins not adjusted"));
    } else {
        tell(platform, texts.done, QStringLiteral("Margin adjustment completed"));
    }
    return {};
}

}  // namespace pw
