#pragma once

#include "printing/sheet_outlines.h"

#include <QByteArray>
#include <QLocale>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace pw {

// Where the installed collection of label templates keeps its files, one XML file a maker.
inline constexpr char kTemplateFolder[] = "/usr/share/libglabels-3.0/templates";

// The address stocks among the templates of one or more files: every rectangular label on an A4 or
// US Letter sheet that is at least 1 1/2 inches wide and 1/2 inch high. A template that names another
// of its maker's as its equal takes that one's sheet. Templates of a name already taken are left out:
// the first of a name wins.
class StockTemplates final {
public:
    // Adds the templates of one file's text; a file that is not a template file adds nothing.
    void read(const QByteArray& xml);
    // The stocks, in the order read, those without a sheet of their own resolved.
    QList<LabelStock> stocks(const QList<LabelStock>& builtIn = {}) const;

private:
    struct Template final {
        QString brand, part, equal;
        LabelStock stock;
        bool usable = false;  // an address stock, when it has a sheet of its own
    };
    QList<Template> templates_;
};

// The catalogue: the built-in stocks (the list stocks, then the return-address stock), the project's
// corrections and additions, then every address stock of the XML files in `folder`, if there is one.
QList<LabelStock> stockCatalogue(const QString& folder = QString::fromLatin1(kTemplateFolder));
// That catalogue of the installed collection, read once.
const QList<LabelStock>& installedStocks();

// The stock a person means by `text`: its name ("5160", "Avery L7160"), its part alone ("L7160")
// when the makers that share it print the same sheet, or the one stock whose caption holds every
// word of the text. None when no stock or several do; `candidates` then names those that could be.
struct StockLookup final {
    const LabelStock* stock = nullptr;
    QStringList candidates;
};
StockLookup findStock(const QList<LabelStock>& catalogue, QStringView text);
// The list stock a first start offers where people live by `locale`: the 30-label sheet where paper
// is US Letter (the Americas from Mexico north, and a few countries more) or where the locale names
// no country, the 21-label A4 sheet of `catalogue` elsewhere when it has one.
const LabelStock& homeListStock(const QList<LabelStock>& catalogue, const QLocale& locale);

// Whether the stock's name and caption hold every word of `text`, letter case aside: "zweckform
// 3475", "63.5 x 38.1", "A4".
bool stockMatches(const LabelStock& stock, QStringView text);

}  // namespace pw
