// Builds the two documents Postwick delivers, pwkUman.pdf and pwk_state_abbreviations.pdf, from
// their rich-text sources in docs/. The manual's pictures are taken here: the real windows, shown
// offscreen on a scratch application folder, and the label-sheet diagram drawn to scale.
//
//   postwick_docs SOURCE_FOLDER OUTPUT_FOLDER      (run with QT_QPA_PLATFORM=offscreen)
#include "contacts_ui/add_contact_window.h"
#include "data/birthdays.h"
#include "data/contacts_file.h"
#include "desktop/painter_surface.h"
#include "platform/platform.h"
#include "platform/quiet_platform.h"
#include "program/app_files.h"
#include "shell/birthday_list_dialog.h"
#include "shell/main_window.h"
#include "transfer/server_import_window.h"
#include "widgets/about_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <deque>

namespace {

using pw::Message;
using pw::MessageResult;

// The desktop as the pictures need it: every box answered at once, input boxes from a short script.
class PicturePlatform final : public pw::QuietPlatform {
public:
    explicit PicturePlatform(QString folder) : QuietPlatform(surface_, std::move(folder)), surface_(printer_) {}
    std::deque<QString> answers;

    QString inputBox(const QString&, const QString&, const QString&) override
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool openDocument(const QString&) override { return true; }
    QDate today() override { return QDate(2026, 3, 1); }

private:
    QPrinter printer_;
    pw::PainterSurface surface_;
};

pw::ContactRecord person(const char* first, const char* last, const char* street, const char* city,
                         const char* birthdate)
{
    pw::ContactRecord r;
    r.FirstName = QString::fromLatin1(first);
    r.LastName = QString::fromLatin1(last);
    r.Street1 = QString::fromLatin1(street);
    r.City = QString::fromLatin1(city);
    r.State = QStringLiteral("OR");
    r.Zip = QStringLiteral("97201");
    r.Birthdate = QString::fromLatin1(birthdate);
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

void setText(QWidget* window, const char* name, const QString& text)
{
    if (auto* box = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
        box->setText(text);
}

QImage shot(QWidget* window)
{
    window->show();
    QCoreApplication::processEvents();
    return window->grab().toImage();
}

// The 30 positions of a label sheet, numbered left to right along each row, to scale on US Letter.
QImage labelSheetDiagram()
{
    const double scale = 60;  // pixels per inch
    QImage image(int(8.5 * scale) + 1, int(11 * scale) + 1, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5b, 0x6b, 0x7a), 2));
    p.drawRect(QRectF(1, 1, 8.5 * scale - 2, 11 * scale - 2));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(scale * 0.32));
    font.setBold(true);
    p.setFont(font);
    // Avery 5160: labels 2 5/8 in by 1 in, 1/2 in from the top, 3/16 in from the side, 1/8 in apart.
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF label((0.1875 + column * 2.75) * scale, (0.5 + row) * scale, 2.625 * scale, 1.0 * scale);
            p.setPen(QPen(QColor(0x7f, 0xa3, 0xc7), 2));
            p.setBrush(QColor(0xe8, 0xf0, 0xf9));
            p.drawRoundedRect(label.adjusted(2, 2, -2, -2), 8, 8);
            p.setPen(QColor(0x2f, 0x4f, 0x6f));
            p.drawText(label, Qt::AlignCenter, QString::number(row * 3 + column + 1));
        }
    }
    return image;
}

// Each picture is checked before it goes into the manual: a blank grab means the window did not draw.
bool looksDrawn(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 8; y += 7)
        for (int x = 0; x < image.width() && colours.size() < 8; x += 7)
            colours.insert(image.pixel(x, y));
    return colours.size() >= 8;
}

QMap<QString, QImage> takePictures(const QString& folder)
{
    {
        pw::ContactsFile contacts;
        if (!contacts.open(QDir(folder).filePath(QStringLiteral("PWK_Contacts.DAT"))))
            return {};
        for (const auto& r : {person("Ann", "Lee", "1200 Oak Street", "Portland", "19800310"),
                              person("Bob", "Marsh", "55 Elm Road", "Salem", "19750322"),
                              person("Cora", "Diaz", "9 Pine Lane", "Eugene", "19910303")})
            (void)contacts.append(r);
    }
    PicturePlatform platform(folder);
    QMap<QString, QImage> pictures;
    pw::MainWindow main(platform);
    main.startUp();
    setText(&main, "txtLMLine1", QStringLiteral("Jane Q. Doe"));
    setText(&main, "txtLMLine2", QStringLiteral("1200 Oak Street Apt 4"));
    setText(&main, "txtLMline3", QStringLiteral("Portland, OR 97201"));
    platform.answers.push_back(QStringLiteral("4-9"));
    main.findChild<QRadioButton*>(QStringLiteral("optLMLabel"))->click();
    pictures.insert(QStringLiteral("main-window.png"), shot(&main));

    main.findChild<QRadioButton*>(QStringLiteral("optLMEnvelope"))->click();
    pictures.insert(QStringLiteral("envelope.png"), shot(&main));

    auto* add = new pw::AddContactWindow(platform, main.session());
    for (auto [name, text] : {std::pair{"txtACFName", "Jane"}, {"txtACMiddleInit", "Q"}, {"txtACLName", "Doe"},
                              {"txtACFStreet", "1200 Oak Street"}, {"txtACSStreet", "Apt 4"},
                              {"txtACCity", "Portland"}, {"txtACState", "OR"}, {"txtACZip", "97201"},
                              {"txtACBirthdate", "03/10/1980"}, {"txtACEmail", "jane@example.org"}})
        setText(add, name, QString::fromLatin1(text));
    pictures.insert(QStringLiteral("add-contact.png"), shot(add));
    delete add;

    auto* server = new pw::ServerImportWindow(platform, main.session());
    setText(server, "txtSrvAddress", QStringLiteral("https://nas.local:5232/ann/"));
    setText(server, "txtSrvUser", QStringLiteral("ann"));
    pictures.insert(QStringLiteral("server-import.png"), shot(server));
    delete server;

    if (const auto march = pw::birthdaysInMonth(main.contactsFile(), 3)) {
        pw::BirthdayListDialog list(platform, *march, &main);
        list.resize(list.sizeHint());
        pictures.insert(QStringLiteral("birthdays.png"), shot(&list));
    }
    pw::AboutWindow about(&main);
    pictures.insert(QStringLiteral("about.png"), shot(&about));
    pictures.insert(QStringLiteral("label-sheet.png"), labelSheetDiagram());
    pictures.insert(QStringLiteral("icon.png"), QIcon(QStringLiteral(":/icons/postwick.svg")).pixmap(256).toImage());
    main.hide();
    return pictures;
}

bool writePdf(const QString& sourcePath, const QString& pdfPath, const QString& title,
              const QMap<QString, QImage>& pictures)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(sourcePath));
        return false;
    }
    QTextDocument document;
    QFont body(QStringLiteral("DejaVu Serif"));
    body.setPointSizeF(10.5);
    document.setDefaultFont(body);
    for (auto it = pictures.begin(); it != pictures.end(); ++it)
        document.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
    // A picture is given its width in the source; its height follows from the picture itself, which
    // the layout would otherwise reserve at full size.
    QString html = QString::fromUtf8(source.readAll());
    static const QRegularExpression sized(QStringLiteral(R"re(<img src="([^"]+)" width=(\d+)>)re"));
    for (auto m = sized.globalMatch(html); m.hasNext();) {
        const auto match = m.next();
        const QImage picture = pictures.value(match.captured(1));
        if (picture.isNull())
            continue;
        const int width = match.captured(2).toInt();
        html.replace(match.captured(0), QStringLiteral("<img src=\"%1\" width=%2 height=%3>")
                                            .arg(match.captured(1))
                                            .arg(width)
                                            .arg(width * picture.height() / picture.width()));
    }
    document.setHtml(html);

    QPdfWriter writer(pdfPath);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Postwick"));
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    document.print(&writer);
    return QFileInfo(pdfPath).size() > 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    pw::loadBuiltInResources();
    if (argc != 3) {
        std::fprintf(stderr, "usage: postwick_docs SOURCE_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir sources(QString::fromLocal8Bit(argv[1]));
    const QDir output(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir scratch;
    const QMap<QString, QImage> pictures = takePictures(scratch.path());
    for (auto it = pictures.begin(); it != pictures.end(); ++it) {
        if (!looksDrawn(it.value())) {
            std::fprintf(stderr, "the picture %s came out blank\n", qPrintable(it.key()));
            return 1;
        }
    }
    if (pictures.size() != 8) {
        std::fprintf(stderr, "only %lld of 8 pictures were taken\n", static_cast<long long>(pictures.size()));
        return 1;
    }
    const bool ok = writePdf(sources.filePath(QStringLiteral("manual.html")),
                             output.filePath(QString::fromLatin1(pw::kUserManualFileName)),
                             QStringLiteral("Postwick User Manual"), pictures) &&
                    writePdf(sources.filePath(QStringLiteral("state_abbreviations.html")),
                             output.filePath(QString::fromLatin1(pw::kStateAbbreviationsFileName)),
                             QStringLiteral("Postal Abbreviations of the States and Territories"), {});
    return ok ? 0 : 1;
}
