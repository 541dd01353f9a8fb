#include "contacts_ui/contact_printouts.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/address_format.h"
#include "printing/mailing_address.h"
#include "printing/print_surface.h"

#include <QLocale>

namespace pw {
namespace {

const QString kFont = QStringLiteral("Courier New");
const QString kRule(70, u'_');

ContactBoxTexts trimmed(const ContactBoxTexts& boxes)
{
    ContactBoxTexts out;
    for (std::size_t i = 0; i < kContactBoxCount; ++i)
        out.text[i] = trimBlanks(boxes.text[i]);
    return out;
}

QString cityLineOf(const ContactBoxTexts& b)
{
    return cityLine(b[ContactBox::City], b[ContactBox::State], b[ContactBox::Zip]);
}

// Texts at columns on one line of the given size.
void printAt(PrintSurface& surface, double size, std::initializer_list<std::pair<int, QString>> texts = {})
{
    surface.setFontSize(size);
    QList<PrintItem> items;
    for (const auto& [column, text] : texts)
        items << PrintItem::tab(column) << PrintItem::textItem(text);
    surface.printLine(items);
}

void blankLines(PrintSurface& surface, double size, int count)
{
    surface.setFontSize(size);
    printBlankLines(surface, count);
}

}  // namespace

LabelLines addressLabelLines(const ContactBoxTexts& boxes, bool includeCompany, QStringView homeCountry)
{
    const ContactBoxTexts b = trimmed(boxes);
    const QString& company = b[ContactBox::Company];
    QStringList head{nameLine(b[ContactBox::FName], b[ContactBox::MiddleInit], b[ContactBox::LName], company)};
    if (!company.isEmpty() && includeCompany && !nameIsCompany(b[ContactBox::FName], b[ContactBox::LName], company))
        head.append(company);
    QString street = b[ContactBox::FStreet];
    QString second = b[ContactBox::SStreet];
    QStringList locality{cityLineOf(b)};
    const QString country = countryLine(b[ContactBox::Country], homeCountry);
    // Mail abroad is addressed in its country's own order.
    if (const CountryFormat* format = country.isEmpty() ? nullptr : countryNamed(b[ContactBox::Country])) {
        const LocalityLines own = localityLines(*format, b[ContactBox::City], b[ContactBox::State], b[ContactBox::Zip]);
        locality = own.lines;
        (second.isEmpty() ? street : second) += own.afterStreet;
        if (own.companyAbove && head.size() == 2)
            head = QStringList{head[1], head[0]};
    }
    locality.removeAll(QString());
    // Five lines hold name, company, two streets and the city; a country needs a sixth, so the
    // streets share one line rather than the mail losing its country.
    const auto count = [&] { return head.size() + 1 + !second.isEmpty() + locality.size() + !country.isEmpty(); };
    if (count() > static_cast<qsizetype>(LabelLines{}.size()) && !second.isEmpty()) {
        street = trimBlanks(QString(street + u' ' + second));
        second.clear();
    }
    QStringList all = head;
    all << street << second << locality << country;
    all.removeAll(QString());
    if (street.isEmpty())
        all.insert(head.size(), QString());
    LabelLines lines;
    for (std::size_t i = 0; i < lines.size() && i < static_cast<std::size_t>(all.size()); ++i)
        lines[i] = all[static_cast<qsizetype>(i)];
    return lines;
}

void printDetailsSheet(PrintSurface& surface, const ContactBoxTexts& boxes, const QString& date,
                       QStringView homeCountry)
{
    const ContactBoxTexts b = trimmed(boxes);
    surface.setFontName(kFont);
    surface.setBold(false);
    surface.setItalic(false);
    blankLines(surface, 12, 3);
    printAt(surface, 16, {{22, QStringLiteral("Postwick")}});
    blankLines(surface, 16, 1);
    printAt(surface, 14, {{27, QStringLiteral("Contact Details")}});
    blankLines(surface, 14, 3);
    printAt(surface, 10, {{35, QStringLiteral("Date of report:")}, {51, date}});
    blankLines(surface, 12, 1);
    printAt(surface, 12, {{8, kRule}});
    blankLines(surface, 12, 2);
    printAt(surface, 12,
            {{8, b[ContactBox::FName] + u' ' + b[ContactBox::MiddleInit] + u' ' + b[ContactBox::LName]}});
    blankLines(surface, 12, 1);
    printAt(surface, 12, {{8, b[ContactBox::FStreet] + QStringLiteral("  ") + b[ContactBox::SStreet]}});
    blankLines(surface, 12, 1);
    printAt(surface, 12, {{8, cityLineOf(b)}});
    // Mail abroad: the country closes the address, on the blank line below it.
    if (const QString country = countryLine(b[ContactBox::Country], homeCountry); !country.isEmpty())
        printAt(surface, 12, {{8, country}});
    else
        blankLines(surface, 12, 1);
    blankLines(surface, 12, 1);
    printAt(surface, 12, {{8, QStringLiteral("Company Name:")}, {24, b[ContactBox::Company]}});
    blankLines(surface, 12, 2);
    printAt(surface, 12, {{8, QStringLiteral("Country:")}, {18, b[ContactBox::Country]},
                          {40, QStringLiteral("Birthdate:")}, {52, b[ContactBox::Birthdate]}});
    blankLines(surface, 12, 2);
    // Nothing reaches past the rule's end, 7.95 inches from the paper's left edge, so the sheet fits
    // A4 as well as Letter: the phones stand close together and the category's first line holds 59
    // characters.
    printAt(surface, 12,
            {{8, QStringLiteral("Home Phone:")},
             {20, b[ContactBox::HPhone]},
             {36, QStringLiteral("Cell:")},
             {42, b[ContactBox::CPhone]},
             {58, QStringLiteral("Work:")},
             {64, b[ContactBox::WPhone]}});
    blankLines(surface, 12, 2);
    printAt(surface, 12, {{8, QStringLiteral("Email Address:")}, {24, b[ContactBox::Email]}});
    blankLines(surface, 12, 2);
    const QString& category = b[ContactBox::Category];
    printAt(surface, 12, {{8, QStringLiteral("Category:")}, {19, category.left(59)}});
    printAt(surface, 12, {{19, category.mid(59, 21)}});
    blankLines(surface, 12, 2);
    const QString& notes = b[ContactBox::Notes];
    printAt(surface, 12, {{8, QStringLiteral("Notes:")}, {16, notes.left(61)}});
    printAt(surface, 12, {{15, notes.mid(61, 53)}});
    printAt(surface, 12, {{15, notes.mid(114, 46)}});
    blankLines(surface, 12, 2);
    printAt(surface, 12, {{8, kRule}});
}

PrintOutcome printContactDetails(Platform& platform, const ContactBoxTexts& boxes,
                                 const std::optional<QString>& selection)
{
    PrintSurface& printer = platform.printer();
    printer.setFontName(kFont);
    printer.setFontSize(12);
    printer.setBold(false);
    printer.setItalic(false);
    printer.setOrientation(PageOrientation::Portrait);

    PrintRun run;
    // Offered only with something to print: a selection of nothing would feed a blank page.
    run.dialog.selectionChoice = selection && !selection->isEmpty();
    run.dialog.printToFile = true;
    run.copiesInOneJob = true;
    run.failureTitle = QStringLiteral("Printer error.");
    if (selection) {
        run.selection = [&](PrintSurface& surface) {
            surface.setFontName(kFont);
            surface.setFontSize(12);
            surface.setBold(false);
            surface.printLine({});
            surface.printLine({PrintItem::textItem(*selection)});
        };
    }
    const QString date = QLocale::system().toString(platform.today(), QLocale::ShortFormat);
    const QString home = homeCountry(platform);
    return runPrintAction(platform, run, [&](PrintSurface& surface) { printDetailsSheet(surface, boxes, date, home); });
}

}  // namespace pw
