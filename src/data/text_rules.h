#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// The small text rules that every part of Postwick shares: how a number is read out of text,
// how blanks are trimmed, how reals become whole numbers and how a fixed-width field is filled.
namespace pw {

// The number written at the start of a text. Blanks, tabs and line feeds anywhere are ignored;
// an optional sign, digits with at most one decimal point and an optional exponent are read, up to
// the first character that cannot continue the number; "&H" and "&O" read hexadecimal and octal
// digits. A text without a number gives 0: "555-0123" gives 555, "(555) 0123" gives 0.
double numericValue(QStringView text);

// Whether a text reads as a number: digits with or without blanks before and after. Signs, points
// and exponents do not count, so a birthdate that passes the form's checks holds digits only.
bool readsAsNumber(QStringView text);

// Removes leading and trailing blanks (code 32 only); tabs and other characters stay.
QString trimBlanks(QStringView text);
QString trimLeadingBlanks(QStringView text);
QString trimTrailingBlanks(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
qint64 roundHalfEven(double value);

// Text for a fixed-width field: leading blanks removed, padded with blanks, cut to the width.
QString fixedWidth(QStringView text, int width);

// The single-byte code page of every file Postwick reads or writes (Windows-1252). A character the
// code page cannot hold is stored as "?".
QByteArray toCodePage(QStringView text);
QString fromCodePage(QByteArrayView bytes);
// One byte of the code page as its character.
QChar fromCodePage(char byte);

// The characters of `text` the code page cannot hold, each listed once in order of first
// appearance; a character beyond 16 bits (an emoji) is one entry. Empty when all can be stored.
QStringList unstorableCharacters(QStringView text);
// How many characters of `text` would be stored as "?".
qsizetype countUnstorable(QStringView text);
// The text with each character the code page cannot hold made the nearest one it can: letters of
// other scripts transliterated to Latin ("Петренко" Petrenko, "Παύλος" Pávlos), then a Latin letter
// without its accent ("ả" a, "Łódź" Lódz), the base letter that sortLetter() also gives those that
// do not decompose (Ł L, Đ D, ı i), marks left over from the transliteration dropped, and "?" only
// for what is no letter and has nothing near (an emoji).
QString nearestStorable(QStringView text);

// The text with every control character (below 0x20, and 0x7F) replaced by a blank. A tab or line
// break inside a fixed-width field would split every line-oriented output made from it.
QString blankControlCharacters(QStringView text);

// Bytes for a fixed-width field: the text left-trimmed, encoded, padded with blanks and cut.
QByteArray fixedWidthBytes(QStringView text, int width);

// The letter a character sorts and is found by: case-folded and without its accent, so that "Émile"
// sorts among the E names and typing "e" reaches it, whatever the locale. Letters that do not
// decompose take their base letter from a small table (Ø as o, Ł as l, Æ as a, ß as s).
QChar sortLetter(QChar c);
// The sort letters of a whole text, one for each character.
QString sortKey(QStringView text);

// The shortest decimal form of a number, as a person would write it: 3, -1, 0.5, 1.25.
QString shortestDecimal(double value);

}  // namespace pw
