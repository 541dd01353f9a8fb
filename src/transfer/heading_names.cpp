#include "transfer/heading_names.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace pw {
namespace {

using P = EntryPart;

// The headings address books write, by what their column holds. Each line lists the ways of
// writing one meaning, separated by "|", in English, German, French, Spanish, Italian, Dutch,
// Portuguese, Swedish and Polish, as the desktop mail programs and spreadsheets of those
// languages write them. Letter case, accents and punctuation do not count. A heading may also
// add the kind of an address or phone (below) to one of these ("Straße privat" is a street of
// the home address); a number in a heading makes a street line its second line ("Street 2") and
// any other column one more of its kind ("Telefon privat 2").
struct Synonyms {
    const char* headings;
    EntryPart part;
    const char* type = nullptr;
};
const Synonyms kSynonyms[] = {
    {"first name|first|given name|forename|fname|vorname|prénom|nombre|nome|voornaam|förnamn|imię", P::Given},
    {"middle name|middle|mi|middle initial|additional name|additional names|weitere vornamen|zweiter vorname|"
     "deuxième prénom|autre prénom|segundo nombre|secondo nome|tweede voornaam|middelste naam|tussenvoegsel|"
     "segundo nome|mellannamn|drugie imię",
     P::Middle},
    {"last name|last|surname|family name|lname|nachname|familienname|nom|nom de famille|apellido|apellidos|"
     "cognome|achternaam|sobrenome|apelido|apelidos|último nome|efternamn|nazwisko",
     P::Family},
    {"name|full name|display name|formatted name|anzeigename|vollständiger name|nom complet|nom affiché|"
     "nombre completo|nome completo|volledige naam|weergavenaam|fullständigt namn|visningsnamn|"
     "imię i nazwisko|nazwa wyświetlana",
     P::FullName},
    {"company|company name|organization|organisation|organization name|firma|unternehmen|société|entreprise|"
     "empresa|compañía|organización|società|azienda|bedrijf|organisatie|företag|organizacja",
     P::Company},
    {"notes|note|comments|comment|notizen|notiz|bemerkungen|anmerkungen|remarques|commentaires|notas|nota|"
     "comentarios|notities|opmerkingen|anotações|observações|anteckningar|notatki|uwagi",
     P::Note},
    {"birthday|birthdate|date of birth|dob|geburtstag|geburtsdatum|anniversaire|date de naissance|cumpleaños|"
     "fecha de nacimiento|compleanno|data di nascita|verjaardag|geboortedatum|aniversário|data de nascimento|"
     "födelsedag|födelsedatum|urodziny|data urodzenia",
     P::Birthday},
    {"category|categories|group|groups|kategorie|kategorien|catégorie|catégories|categoría|categorías|"
     "categoria|categorie|categorieën|categorias|kategori|kategorier",
     P::Categories},
    {"email|e-mail|mail|email address|e-mail address|e-mail-adresse|emailadresse|e-mail adresse|"
     "primary email|secondary email|adresse e-mail|adresse de messagerie|adresse électronique|courriel|"
     "correo electrónico|dirección de correo electrónico|correo|indirizzo e-mail|indirizzo di posta elettronica|"
     "indirizzo posta elettronica|posta elettronica|e-mailadres|endereço de email|endereço de e-mail|"
     "endereço de correio eletrónico|e-postadress|e-post|adres e-mail",
     P::Email},
    {"phone|telephone|phone number|telephone number|tel|telefon|telefonnummer|téléphone|numéro de téléphone|"
     "teléfono|número de teléfono|telefono|numero di telefono|telefoon|telefoonnummer|telefone|"
     "número de telefone|telefonnummer|numer telefonu|particular",
     P::Phone, "home"},
    {"mobile|mobile phone|mobile number|cell|cell phone|cellular|mobiltelefon|handy|mobil|mobilnummer|"
     "tél. mobile|téléphone mobile|portable|téléphone portable|móvil|teléfono móvil|celular|cellulare|"
     "telefono cellulare|mobiel|mobiele telefoon|mobiel nummer|telemóvel|telefone celular|mobilnummer|"
     "telefon komórkowy|komórka|tel. kom.",
     P::Phone, "cell"},
    {"homephone", P::Phone, "home"},
    {"workphone|office phone", P::Phone, "work"},
    {"primary phone|main phone|hauptnummer|haupttelefon|téléphone principal|teléfono principal|"
     "telefono principale|hoofdtelefoon|telefone principal|huvudtelefon|telefon główny",
     P::Phone, "voice"},
    {"fax|fax number|telefax|faxnummer|télécopie|facsimile|faks", P::Phone, "fax"},
    {"pager|pager number|pager nummer|récepteur de radiomessagerie|localizador|cercapersone|semafoon|"
     "personsökare",
     P::Phone, "pager"},
    {"street|street address|address|address line|straße|strasse|adresse|rue|adresse postale|calle|dirección|"
     "via|indirizzo|straat|adres|rua|endereço|morada|gatuadress|adress|ulica",
     P::Street, "home"},
    {"apt|apartment|suite|adresszusatz|complément d'adresse|complemento|piso", P::Extended, "home"},
    {"po box|p o box|post office box|address po box|postfach|boîte postale|b.p.|b.p. professionnelle|"
     "apartado de correos|apartado postal|casella postale|postbus|caixa postal|postbox|box|skrytka pocztowa",
     P::PoBox, "home"},
    {"city|town|locality|ort|stadt|wohnort|ville|localité|ciudad|localidad|población|città|comune|località|"
     "plaats|woonplaats|stad|cidade|localidade|postort|miasto|miejscowość",
     P::City, "home"},
    {"state|province|region|st|state province|bundesland|kanton|bundesland kanton|dép région|département|"
     "provincia|provincia o estado|estado|provincie|staat provincie|distrito|län|województwo",
     P::Region, "home"},
    {"zip|zip code|zipcode|postal code|postcode|zip postal code|plz|postleitzahl|code postal|cp|código postal|"
     "cap|codice postale|cep|postnummer|kod pocztowy",
     P::PostalCode, "home"},
    {"country|country region|land|land region|pays|pays région|país|país o región|paese|paese area geografica|"
     "nazione|land regio|país região|kraj|kraj region",
     P::Country, "home"},
    // Bookkeeping of the exporters, no part of the contact: never named as left out.
    {"e-mail type|e-mail display name|email type|email display name|e-mail-typ|e-mail angezeigter name|"
     "type de messagerie|nom complet de l'adresse de messagerie|tipo de correo electrónico|"
     "nombre para mostrar del correo electrónico|initials|initialen|initiales|priority|priorität|priorité|"
     "sensitivity|vertraulichkeit|critère de diffusion|private|privat|privé|gender|geschlecht|sexe|file as|"
     "address formatted|website type|relation type|im type|event type|custom field type|e-mail label|email label",
     P::Ignored},
};

// Words that name the kind of address or phone a heading is about.
struct Kind {
    const char* words;
    const char* type;
};
const Kind kKinds[] = {
    {"home|private|personal|privat|privatadresse|domicile|domicilio|casa|residencia|residencial|abitazione|ab|thuis|huis|"
     "huisadres|privé|hem|dom|domowy|domowe|domowa|prywatny",
     "home"},
    {"work|business|office|geschäftlich|dienstlich|arbeit|arbeitsadresse|bureau|travail|professionnel|trabajo|"
     "oficina|uff|ufficio|lavoro|werk|werkadres|kantoor|zakelijk|comercial|trabalho|emprego|arbete|służbowy|"
     "służbowa|praca",
     "work"},
    {"other|weitere|weiterer|weiteres|andere|anderer|autre|otra|otro|altro|altra|overig|overige|outro|outra|"
     "annan|annat|inny|inne|innej",
     "other"},
};

// Small words between the parts of a heading ("Código postal del trabajo", "Telefoon op werk").
const char* const kLinkWords = "de|del|da|do|di|du|des|la|le|of|the|op|adr|number|nummer|nr|r";

// A letter as headings are compared: lower case, accents off ("é" is "e", "ł" is "l", "ß" is "ss").
// A letter an earlier conversion lost (U+FFFD) stays as "?"; the damaged form of a word
// (`damaged`) has "?" for every letter outside ASCII, so that "Stra?e" still meets "Straße".
QString plainLetters(QStringView word, bool damaged)
{
    QString out;
    for (QChar c : word) {
        if (c.unicode() < 0x80) {
            out += c.toLower();
        } else if (damaged || c == QChar::ReplacementCharacter) {
            out += u'?';
        } else if (c == u'ß') {
            out += QStringLiteral("ss");
        } else if (c == u'ł' || c == u'Ł') {
            out += u'l';
        } else if (c == u'ø' || c == u'Ø') {
            out += u'o';
        } else {
            for (QChar d : QString(c).normalized(QString::NormalizationForm_D)) {
                if (d.unicode() < 0x80)
                    out += d.toLower();
            }
        }
    }
    return out;
}

// The words of a heading, in the two forms, with numbers as words of their own ("Address1").
struct Word {
    QString plain, damaged;
    bool number = false;
};
QList<Word> wordsOf(QStringView heading)
{
    QList<Word> words;
    QString current;
    bool digits = false;
    auto flush = [&] {
        if (!current.isEmpty())
            words.append({plainLetters(current, false), plainLetters(current, true), digits});
        current.clear();
    };
    for (QChar c : heading) {
        const bool isDigit = c >= u'0' && c <= u'9';
        if (!(c.isLetterOrNumber() || c == QChar::ReplacementCharacter)) {
            flush();
            continue;
        }
        if (!current.isEmpty() && isDigit != digits)
            flush();
        digits = isDigit;
        current += c;
    }
    flush();
    return words;
}

QStringList split(const char* list)
{
    return QString::fromUtf8(list).split(u'|');
}

struct Tables {
    QHash<QString, const Synonyms*> headings;
    QHash<QString, QString> kinds;
    QSet<QString> links;
};

// Both forms of a word or heading, the plain one first; a damaged form never displaces a plain one.
template <typename T>
void insertBoth(QHash<QString, T>& hash, const QString& plain, const QString& damaged, const T& value)
{
    hash.insert(plain, value);
    if (!hash.contains(damaged))
        hash.insert(damaged, value);
}

QString joined(const QList<Word>& words, bool damaged, const QSet<QString>& links)
{
    QString key;
    for (const Word& w : words) {
        if (!w.number && !links.contains(w.plain))
            key += damaged ? w.damaged : w.plain;
    }
    return key;
}

const Tables& tables()
{
    static const Tables t = [] {
        Tables t;
        for (const QString& w : split(kLinkWords))
            t.links.insert(w);
        for (const Kind& k : kKinds) {
            for (const QString& w : split(k.words))
                insertBoth(t.kinds, plainLetters(w, false), plainLetters(w, true), QString::fromLatin1(k.type));
        }
        for (const Synonyms& s : kSynonyms) {
            for (const QString& h : split(s.headings)) {
                const QList<Word> words = wordsOf(h);
                insertBoth(t.headings, joined(words, false, t.links), joined(words, true, t.links), &s);
            }
        }
        return t;
    }();
    return t;
}

const Synonyms* lookUp(const QList<Word>& words)
{
    const Tables& t = tables();
    if (const Synonyms* s = t.headings.value(joined(words, false, t.links)))
        return s;
    return t.headings.value(joined(words, true, t.links));
}

}  // namespace

std::optional<HeadingMeaning> headingMeaning(const QString& heading)
{
    const Tables& t = tables();
    QList<Word> words = wordsOf(heading);
    const bool numbered = std::any_of(words.begin(), words.end(), [](const Word& w) { return w.number && w.plain != u"1"; });
    // The heading as it stands ("Home Phone" may be one word), else without the word of its kind.
    QString kind;
    const Synonyms* s = lookUp(words);
    if (!s) {
        QList<Word> rest;
        bool afterKind = false;
        for (const Word& w : words) {
            const QString k = t.kinds.value(w.plain, t.kinds.value(w.damaged));
            // "Weiteres/e Land/Region": the ending after a kind word is part of it.
            const bool ending = afterKind && w.plain.size() == 1 && !w.number;
            afterKind = !k.isEmpty();
            if (!k.isEmpty() && kind.isEmpty())
                kind = k;
            else if (k.isEmpty() && !ending)
                rest.append(w);
        }
        if (kind.isEmpty() || rest.isEmpty())
            return std::nullopt;
        s = lookUp(rest);
    }
    if (!s)
        return std::nullopt;
    HeadingMeaning m{s->part, QString::fromLatin1(s->type), !kind.isEmpty()};
    if (m.part == P::Street && numbered)
        m.part = P::Extended;
    if (!kind.isEmpty())
        m.type = m.part == P::Phone && m.type != u"home" && m.type != u"voice" ? kind + u' ' + m.type : kind;
    return m;
}

}  // namespace pw
