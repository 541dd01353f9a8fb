#pragma once

#include <QString>
#include <QStringView>

namespace pw {

class Platform;

// The home country until the user sets one.
inline constexpr QStringView kDefaultHomeCountry = u"United States";

// The country a letter is posted in, as the user set it under Contacts > Home Country; the United
// States until then.
QString homeCountry(Platform& platform);
void setHomeCountry(Platform& platform, const QString& country);

// Whether mail to `country` leaves `home`: a country is set and names another country. Case, dots
// and blanks do not count, a name cut to the record's 19 characters still matches, and a home in
// the United States accepts its usual names (USA, US, U.S.A., United States of America).
bool isForeignCountry(QStringView country, QStringView home);

// The last line of a mailing address: the country as written, in capitals, when the mail leaves
// `home`, else empty.
QString countryLine(const QString& country, QStringView home);

// The name line of a label: first name, the initial and last name with single blanks between
// them; for a company stored as a contact (no first name, the last name the company or the part of
// it that the record's last name holds) the whole company.
QString nameLine(const QString& first, const QString& initial, const QString& last, const QString& company);
// Whether that name line is the company, which then needs no line of its own.
bool nameIsCompany(const QString& first, const QString& last, const QString& company);

// A ZIP+4 code of nine digits written without its hyphen ("895011234") as "89501-1234"; any other
// text as it is.
QString hyphenatedZip(const QString& zip);

// "City, ST  Zip"; without a state "City  Zip", and empty when all three are, so that no address
// prints a dangling comma.
QString cityLine(const QString& city, const QString& state, const QString& zip);

}  // namespace pw
