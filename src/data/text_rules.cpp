#include "data/text_rules.h"

#include <QList>
#include <QString>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <utility>

namespace pw {
namespace {

// Letters with a stroke, a ligature or no dot carry no decomposition to drop an accent from: their
// base letter, in their own case. Sorting and the nearest letter the code page holds both use it.
char16_t undecomposedBase(char32_t u)
{
    static constexpr std::pair<char16_t, char16_t> kBase[] = {
        {u'Æ', u'A'}, {u'æ', u'a'}, {u'Ð', u'D'}, {u'ð', u'd'}, {u'Ø', u'O'}, {u'ø', u'o'}, {u'Þ', u'T'},
        {u'þ', u't'}, {u'ß', u's'}, {u'Đ', u'D'}, {u'đ', u'd'}, {u'Ħ', u'H'}, {u'ħ', u'h'}, {u'ı', u'i'},
        {u'Ł', u'L'}, {u'ł', u'l'}, {u'Ŀ', u'L'}, {u'ŀ', u'l'}, {u'Œ', u'O'}, {u'œ', u'o'}, {u'Ŧ', u'T'},
        {u'ŧ', u't'}, {u'Ə', u'E'}, {u'ə', u'e'}, {u'Ɛ', u'E'}, {u'ɛ', u'e'}, {u'Ɔ', u'O'}, {u'ɔ', u'o'},
        {u'Ʒ', u'Z'}, {u'ʒ', u'z'}};
    for (const auto& [letter, base] : kBase) {
        if (letter == u)
            return base;
    }
    return 0;
}

bool isIgnoredInNumber(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(QChar c, int base)
{
    int v = -1;
    if (c >= u'0' && c <= u'9')
        v = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c.unicode() - u'A' + 10;
    return v < base ? v : -1;
}

// Windows-1252 bytes 0x80 to 0x9F; the five bytes the code page leaves undefined map to the
// control character of the same number, so that every byte survives a read and a write.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeChar(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// One of ICU's transliterators, made once (which costs a few milliseconds) and used under a lock:
// a transliterator is not made for two threads at once.
class Transliteration final {
public:
    explicit Transliteration(const char* id)
    {
        UErrorCode status = U_ZERO_ERROR;
        transliterator_.reset(icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            transliterator_.reset();
    }
    // The text transliterated; the text itself when ICU has no transliterator by that name.
    QString operator()(QStringView text)
    {
        if (!transliterator_)
            return text.toString();
        icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
        {
            std::lock_guard lock(guard_);
            transliterator_->transliterate(s);
        }
        return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
    }

private:
    std::mutex guard_;
    std::unique_ptr<icu::Transliterator> transliterator_;
};

QString inLatinLetters(QStringView text)
{
    static Transliteration anyToLatin("Any-Latin");
    return anyToLatin(text);
}

QString inPlainLetters(QStringView text)
{
    static Transliteration latinToAscii("Latin-ASCII");
    return latinToAscii(text);
}

// Whether a character is written in a script other than Latin (Cyrillic, Greek, Han, Hangul...).
bool isOtherScript(char32_t u)
{
    const QChar::Script script = QChar::script(u);
    return script != QChar::Script_Latin && script != QChar::Script_Common && script != QChar::Script_Inherited
        && script != QChar::Script_Unknown;
}

}  // namespace

double numericValue(QStringView text)
{
    // Collect the text without the characters the reading skips, then read the leading number.
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (!isIgnoredInNumber(c))
            s.append(c);
    }
    qsizetype i = 0;
    const qsizetype n = s.size();

    if (n >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        const int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (base == 0)
            return 0;
        double value = 0;
        for (i = 2; i < n && digitValue(s[i], base) >= 0; ++i)
            value = value * base + digitValue(s[i], base);
        return value;
    }

    QString number;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        number.append(s[i++]);
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < n; ++i) {
        if (s[i].isDigit() && s[i].unicode() < 0x80) {
            sawDigit = true;
            number.append(s[i]);
        } else if (s[i] == u'.' && !sawPoint) {
            sawPoint = true;
            number.append(s[i]);
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0;
    // An exponent counts only when at least one digit follows its letter and optional sign.
    if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            exponent.append(s[j++]);
        const qsizetype digitsStart = j;
        while (j < n && s[j].isDigit() && s[j].unicode() < 0x80)
            exponent.append(s[j++]);
        if (j > digitsStart)
            number.append(exponent);
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

bool readsAsNumber(QStringView text)
{
    const QString digits = trimBlanks(text);
    return !digits.isEmpty()
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString trimLeadingBlanks(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return text.mid(start).toString();
}

QString trimTrailingBlanks(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end).toString();
}

QString trimBlanks(QStringView text)
{
    return trimTrailingBlanks(trimLeadingBlanks(text));
}

qint64 roundHalfEven(double value)
{
    // nearbyint follows the default rounding mode, which is to nearest, ties to even.
    return static_cast<qint64>(std::nearbyint(value));
}

QString fixedWidth(QStringView text, int width)
{
    QString s = trimLeadingBlanks(text);
    if (s.size() > width)
        s.truncate(width);
    return s.leftJustified(width, u' ');
}

QByteArray toCodePage(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (uint u : text.toUcs4())
        out.append(encodeChar(u));
    return out;
}

QString fromCodePage(QByteArrayView bytes)
{
    // Outside 0x80 to 0x9F the code page is Latin-1, which Qt converts fastest.
    const bool latin1 = std::none_of(bytes.begin(), bytes.end(), [](char b) {
        const auto u = static_cast<unsigned char>(b);
        return u >= 0x80 && u < 0xA0;
    });
    if (latin1)
        return QString::fromLatin1(bytes);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *d++ = (u >= 0x80 && u < 0xA0) ? QChar(kHighControls[u - 0x80]) : QChar(u);
    }
    return out;
}

QStringList unstorableCharacters(QStringView text)
{
    QStringList found;
    for (char32_t u : text.toUcs4()) {
        if (encodeChar(u) != '?' || u == U'?')
            continue;
        const QString c = QString::fromUcs4(&u, 1);
        if (!found.contains(c))
            found.append(c);
    }
    return found;
}

qsizetype countUnstorable(QStringView text)
{
    const QList<uint> units = text.toUcs4();
    return std::count_if(units.begin(), units.end(), [](uint u) { return u != U'?' && encodeChar(u) == '?'; });
}

QString nearestStorable(QStringView input)
{
    auto storable = [](char32_t u) { return u == U'?' || encodeChar(u) != '?'; };
    const QList<uint> units = input.toUcs4();
    // Letters of other scripts are written in Latin letters first: "Петренко" is "Petrenko".
    const bool otherScript = std::any_of(units.begin(), units.end(),
                                         [&](uint u) { return !storable(u) && isOtherScript(u); });
    const QString text = otherScript ? inLatinLetters(input) : input.toString();
    // The storable letters a character decomposes into, each with the one of its accents that the
    // file holds on it, if any: "ṓ" (o, macron, acute) is "ó".
    auto storableParts = [&](const QString& from) {
        QString parts;
        bool open = false;  // the last letter was taken and has no accent yet
        for (char32_t d : from.normalized(QString::NormalizationForm_KD).toUcs4()) {
            const QString one = QString::fromUcs4(&d, 1);
            if (QChar::category(d) != QChar::Mark_NonSpacing) {
                open = storable(d);
                if (open)
                    parts.append(one);
                continue;
            }
            if (!open)
                continue;
            const QString composed = (parts.back() + one).normalized(QString::NormalizationForm_C);
            if (composed.size() == 1 && storable(composed.front().unicode())) {
                parts.back() = composed.front();
                open = false;
            }
        }
        return parts;
    };
    QString out;
    out.reserve(text.size());
    for (char32_t u : text.toUcs4()) {
        if (storable(u)) {
            out.append(QString::fromUcs4(&u, 1));
            continue;
        }
        if (const char16_t base = undecomposedBase(u)) {
            out.append(QChar(base));
            continue;
        }
        const QString one = QString::fromUcs4(&u, 1);
        QString base = storableParts(one);
        // The marks a transliteration leaves (the prime of a soft sign, "Olʹga") are no letters.
        const QChar::Category category = QChar::category(u);
        if (base.isEmpty() && (category == QChar::Letter_Modifier || category == QChar::Symbol_Modifier
                               || category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing))
            continue;
        if (base.isEmpty() && QChar::isLetter(u))
            base = storableParts(inPlainLetters(one));
        out.append(base.isEmpty() ? QStringLiteral("?") : base);
    }
    return out;
}

QString blankControlCharacters(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    }
    return out;
}

QChar fromCodePage(char byte)
{
    const auto u = static_cast<unsigned char>(byte);
    return (u >= 0x80 && u < 0xA0) ? QChar(kHighControls[u - 0x80]) : QChar(u);
}

QByteArray fixedWidthBytes(QStringView text, int width)
{
    QByteArray bytes = toCodePage(trimLeadingBlanks(text));
    if (bytes.size() > width)
        bytes.truncate(width);
    return bytes.leftJustified(width, ' ');
}

QString shortestDecimal(double value)
{
    if (value == 0)
        return QStringLiteral("0");  // also for -0
    return QString::number(value, 'g', 15);
}

namespace {

// The sort letter of any character, worked out from the Unicode tables.
char16_t sortLetterOf(char16_t u)
{
    if (const char16_t base = undecomposedBase(u))
        return static_cast<char16_t>(QChar::toCaseFolded(base));
    QChar c(u);
    // A decomposition begins with the base letter and adds the marks: É is E and an acute accent.
    for (int depth = 0; depth < 4 && c.decompositionTag() == QChar::Canonical; ++depth) {
        const QString parts = c.decomposition();
        if (parts.isEmpty() || parts[0].isSurrogate())
            break;
        c = parts[0];
    }
    return static_cast<char16_t>(QChar::toCaseFolded(c.unicode()));
}

}  // namespace

QChar sortLetter(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'A' && u <= u'Z' ? QChar(char16_t(u + 32)) : c;
    // Every letter the contacts file can hold lies below 0x180: those are looked up.
    static const auto latin = [] {
        std::array<char16_t, 0x180> table{};
        for (char16_t i = 0; i < table.size(); ++i)
            table[i] = sortLetterOf(i);
        return table;
    }();
    return QChar(u < latin.size() ? latin[u] : sortLetterOf(u));
}

QString sortKey(QStringView text)
{
    QString key(text.size(), Qt::Uninitialized);
    std::transform(text.begin(), text.end(), key.begin(), sortLetter);
    return key;
}

}  // namespace pw
