#include "printing/stock_catalogue.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <optional>

namespace pw {
using namespace Qt::StringLiterals;
namespace {

// The project's own corrections of the collection's templates and its additions, in the
// collection's format; they take the place of templates of the same maker and part.
constexpr char kCorrections[] =
#include "printing/stock_corrections.inc"
    ;

// The smallest address label: a return-address label.
constexpr QSizeF kSmallestLabel{1.5, 0.5};
// Sizes within this of one another are the same, in inches (a quarter of a millimetre).
constexpr double kSame = 0.01;

// A length as the templates write it: a number and its unit, points when it has none.
std::optional<double> inches(QStringView text)
{
    static const QRegularExpression kLength(QStringLiteral(R"(^\s*([0-9]*\.?[0-9]+)\s*(in|mm|cm|pt)?\s*$)"));
    const QRegularExpressionMatch match = kLength.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const double value = match.captured(1).toDouble();
    const QStringView unit = match.capturedView(2);
    if (unit == u"in")
        return value;
    if (unit == u"mm")
        return value / 25.4;
    if (unit == u"cm")
        return value / 2.54;
    return value / 72;
}

std::optional<double> inchesOf(const QXmlStreamAttributes& attributes, QLatin1StringView name)
{
    return attributes.hasAttribute(name) ? inches(attributes.value(name)) : std::nullopt;
}

bool same(QSizeF a, QSizeF b)
{
    return std::abs(a.width() - b.width()) < kSame && std::abs(a.height() - b.height()) < kSame;
}

bool sameSheet(const LabelStock& a, const LabelStock& b)
{
    const QList<QRectF> first = a.outlines(), second = b.outlines();
    if (!same(a.page, b.page) || first.size() != second.size())
        return false;
    for (qsizetype i = 0; i < first.size(); ++i) {
        if (!same({first[i].left(), first[i].top()}, {second[i].left(), second[i].top()})
            || !same(first[i].size(), second[i].size()))
            return false;
    }
    return true;
}

// The pages an address stock is made on, by the names the templates give them or by their size.
std::optional<QSizeF> pageOf(const QXmlStreamAttributes& attributes)
{
    const QStringView size = attributes.value("size"_L1);
    if (size == u"US-Letter" || size == u"na_letter")
        return kLetterInches;
    if (size == u"A4" || size == u"iso_a4")
        return kA4Inches;
    if (size == u"Other") {
        const auto width = inchesOf(attributes, "width"_L1);
        const auto height = inchesOf(attributes, "height"_L1);
        if (width && height) {
            for (const QSizeF page : {kLetterInches, kA4Inches}) {
                if (same({*width, *height}, page))
                    return page;
            }
        }
    }
    return std::nullopt;
}

// "2 5/8" is written "2.625": up to three decimals, no trailing zeros.
QString number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

// "Avery L7160: 21 labels, 2.5 x 1.5 in (63.5 x 38.1 mm), A4"
QString captionOf(const LabelStock& stock)
{
    const QSizeF mm = stock.label * 25.4;
    return QStringLiteral("%1: %2 labels, %3 x %4 in (%5 x %6 mm), %7")
        .arg(stock.name)
        .arg(stock.labels())
        .arg(number(stock.label.width(), 3), number(stock.label.height(), 3), number(mm.width(), 1),
             number(mm.height(), 1), stock.isLetter() ? QStringLiteral("US Letter") : QStringLiteral("A4"));
}

// The key of a stock's sheet memory: its name, without the characters the settings store takes as
// the parts of a path.
QString memoryKeyOf(const QString& name)
{
    QString key = QStringLiteral("Sheet-") + name;
    key.replace(u'/', u'_');
    key.replace(u'\\', u'_');
    return key;
}

// A grid of the template's labels; none when a value is missing or makes no sense.
std::optional<LabelGrid> gridOf(const QXmlStreamAttributes& a)
{
    LabelGrid grid;
    grid.across = a.value("nx"_L1).toInt();
    grid.down = a.value("ny"_L1).toInt();
    const auto x0 = inchesOf(a, "x0"_L1), y0 = inchesOf(a, "y0"_L1);
    const auto dx = inchesOf(a, "dx"_L1), dy = inchesOf(a, "dy"_L1);
    if (grid.across < 1 || grid.down < 1 || !x0 || !y0 || (!dx && grid.across > 1) || (!dy && grid.down > 1))
        return std::nullopt;
    grid.first = {*x0, *y0};
    grid.pitch = {dx.value_or(0), dy.value_or(0)};
    return grid;
}

// Whether a stock read from a template is one to print addresses on: labels big enough, apart from
// one another and on the page.
bool isAddressStock(const LabelStock& stock)
{
    if (stock.label.width() < kSmallestLabel.width() - kSame || stock.label.height() < kSmallestLabel.height() - kSame)
        return false;
    const QRectF page(QPointF(0, 0), stock.page);
    const QList<QRectF> outlines = stock.outlines();
    for (qsizetype i = 0; i < outlines.size(); ++i) {
        if (!page.adjusted(-kSame, -kSame, kSame, kSame).contains(outlines[i]))
            return false;
        const QRectF inner = outlines[i].adjusted(kSame, kSame, -kSame, -kSame);
        for (qsizetype j = i + 1; j < outlines.size(); ++j) {
            if (inner.intersects(outlines[j]))
                return false;
        }
    }
    return true;
}

}  // namespace

void StockTemplates::read(const QByteArray& xml)
{
    // Which templates of the text an alias names: the first file that has the part decides.
    const qsizetype firstOfFile = templates_.size();
    QXmlStreamReader reader(xml);
    Template* current = nullptr;
    int labelShapes = 0;
    bool rectangle = false;
    bool notAnAddress = false;
    std::optional<QSizeF> page;
    const auto finish = [&] {
        if (!current)
            return;
        current->usable = rectangle && labelShapes == 1 && !notAnAddress && page && current->stock.across > 0;
        if (current->usable) {
            current->stock.page = *page;
            current->usable = isAddressStock(current->stock);
        }
        current = nullptr;
    };
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement && reader.name() == u"Template") {
            finish();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView element = reader.name();
        const QXmlStreamAttributes a = reader.attributes();
        if (element == u"Template") {
            finish();
            Template added;
            added.brand = a.value("brand"_L1).toString().trimmed();
            added.part = a.value("part"_L1).toString().trimmed();
            added.equal = a.value("equiv"_L1).toString().trimmed();
            templates_.append(added);
            current = &templates_.last();
            current->stock.name = current->brand + u' ' + current->part;
            labelShapes = 0;
            rectangle = false;
            notAnAddress = false;
            page = pageOf(a);
        } else if (!current) {
            continue;
        } else if (element == u"Meta") {
            // Cards and discs are printed on, but not with addresses.
            static const QStringList kNotAddresses = {u"business-card"_s, u"card"_s, u"media"_s, u"photo"_s,
                                                      u"name-badge"_s, u"foldable"_s};
            notAnAddress = notAnAddress || kNotAddresses.contains(a.value("category"_L1).toString());
        } else if (element.startsWith(u"Label-")) {
            ++labelShapes;
            rectangle = element == u"Label-rectangle";
            const auto width = inchesOf(a, "width"_L1), height = inchesOf(a, "height"_L1);
            if (rectangle && width && height)
                current->stock.label = {*width, *height};
            else
                rectangle = false;
        } else if (element == u"Layout" && rectangle) {
            const std::optional<LabelGrid> grid = gridOf(a);
            if (!grid) {
                rectangle = false;
            } else if (current->stock.across == 0) {
                current->stock.across = grid->across;
                current->stock.down = grid->down;
                current->stock.first = grid->first;
                current->stock.pitch = grid->pitch;
            } else {
                current->stock.moreGrids.append(*grid);
            }
        }
    }
    finish();
    if (reader.hasError())
        templates_.resize(firstOfFile);
    // An alias is resolved within its own file when the part it names is there.
    for (qsizetype i = firstOfFile; i < templates_.size(); ++i) {
        Template& alias = templates_[i];
        if (alias.equal.isEmpty())
            continue;
        for (qsizetype j = firstOfFile; j < templates_.size(); ++j) {
            const Template& t = templates_[j];
            if (t.equal.isEmpty() && t.brand == alias.brand && t.part == alias.equal) {
                const QString name = alias.stock.name;
                alias.stock = t.stock;
                alias.stock.name = name;
                alias.usable = t.usable;
                alias.equal = QStringLiteral("=") + t.part;  // resolved
                break;
            }
        }
    }
}

QList<LabelStock> StockTemplates::stocks(const QList<LabelStock>& builtIn) const
{
    QList<LabelStock> stocks;
    QStringList names;
    for (const LabelStock& stock : builtIn)
        names.append((u"Avery "_s + stock.name).toCaseFolded());
    for (const Template& t : templates_) {
        if (t.brand.isEmpty() || t.part.isEmpty() || names.contains(t.stock.name.toCaseFolded()))
            continue;
        names.append(t.stock.name.toCaseFolded());
        // The same paper as a built-in stock sold under another number: the built-in sheet, and its
        // memory.
        const QString equal = t.equal.startsWith(u'=') ? t.equal.mid(1) : t.equal;
        const auto same = std::find_if(builtIn.begin(), builtIn.end(), [&](const LabelStock& stock) {
            return t.brand == u"Avery" && stock.name == equal;
        });
        LabelStock stock;
        if (same != builtIn.end()) {
            stock = *same;
            stock.name = t.stock.name;
        } else if (t.usable && !t.equal.isEmpty() && !t.equal.startsWith(u'=')) {
            continue;  // an alias of a part nowhere in its file
        } else if (t.usable) {
            stock = t.stock;
            stock.memoryKey = memoryKeyOf(stock.name);
        } else {
            continue;
        }
        stock.part = t.part;
        stock.caption = captionOf(stock);
        stocks.append(stock);
    }
    return stocks;
}

QList<LabelStock> stockCatalogue(const QString& folder)
{
    QList<LabelStock> builtIn = labelStocks();
    builtIn.append(returnAddressStock());
    StockTemplates templates;
    templates.read(QByteArray(kCorrections));
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        QFile in(dir.filePath(file));
        if (in.open(QIODevice::ReadOnly))
            templates.read(in.readAll());
    }
    return builtIn + templates.stocks(builtIn);
}

const QList<LabelStock>& installedStocks()
{
    static const QList<LabelStock> catalogue = stockCatalogue();
    return catalogue;
}

const LabelStock& homeListStock(const QList<LabelStock>& catalogue, const QLocale& locale)
{
    static constexpr QLocale::Territory kLetter[] = {
        QLocale::AnyTerritory, QLocale::UnitedStates, QLocale::Canada,     QLocale::Mexico,
        QLocale::PuertoRico,   QLocale::Philippines,  QLocale::Chile,      QLocale::Colombia,
        QLocale::Venezuela,    QLocale::CostaRica,    QLocale::Guatemala,  QLocale::DominicanRepublic,
        QLocale::Panama,       QLocale::ElSalvador,   QLocale::Nicaragua,
    };
    if (std::find(std::begin(kLetter), std::end(kLetter), locale.territory()) == std::end(kLetter)) {
        if (const LabelStock* a4 = findStock(catalogue, u"Avery L7160").stock)
            return *a4;
    }
    return labelStocks().front();
}

bool stockMatches(const LabelStock& stock, QStringView text)
{
    const QString haystack = stock.name + u' ' + stock.caption;
    for (QStringView word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!haystack.contains(word, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

StockLookup findStock(const QList<LabelStock>& catalogue, QStringView text)
{
    const QString wanted = text.trimmed().toString();
    StockLookup lookup;
    if (wanted.isEmpty())
        return lookup;
    for (const LabelStock& stock : catalogue) {
        if (stock.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return {&stock, {}};
    }
    // A part several makers sell is the one sheet when they all print it alike.
    QList<const LabelStock*> found;
    for (const LabelStock& stock : catalogue) {
        if ((stock.part.isEmpty() ? stock.name : stock.part).compare(wanted, Qt::CaseInsensitive) == 0)
            found.append(&stock);
    }
    if (found.isEmpty()) {
        for (const LabelStock& stock : catalogue) {
            if (stockMatches(stock, wanted))
                found.append(&stock);
        }
    }
    if (!found.isEmpty() && std::all_of(found.begin(), found.end(), [&](const LabelStock* s) {
            return sameSheet(*s, *found.first());
        }))
        return {found.first(), {}};
    for (const LabelStock* stock : found)
        lookup.candidates.append(stock->name);
    return lookup;
}

}  // namespace pw
