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

// The last line of a mailing address: the country when the mail leaves `home`, else empty.
QString countryLine(const QString& country, QStringView home);

// "City, ST  Zip"; without a state "City  Zip", and empty when all three are, so that no address
// prints a dangling comma.
QString cityLine(const QString& city, const QString& state, const QString& zip);

}  // namespace pw
