#pragma once

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

namespace pw::test {

// A word as pdftotext -bbox reports it, in points from the top-left corner of its page (from 1).
struct PdfWord final {
    int page;
    QRectF box;
    QString text;
};

struct PdfWords final {
    int pages = 0;
    QList<PdfWord> words;
};

// What pdftotext -bbox writes for the file: its pages with their sizes and words, as HTML.
inline QString pdfBoxes(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

inline PdfWords pdfWords(const QString& pdf)
{
    const QString html = pdfBoxes(pdf);
    static const QRegularExpression item(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    PdfWords result;
    for (const QRegularExpressionMatch& m : item.globalMatch(html)) {
        if (m.captured(0) == u"<page ") {
            ++result.pages;
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        result.words.append({result.pages, QRectF(topLeft, bottomRight), m.captured(5)});
    }
    return result;
}

// The part of label `position` (1 to 30, row by row) of an Avery 5160 sheet that every published
// geometry calls label, 1/16 inch in: in points from the page's top-left corner.
inline QRectF labelArea(int position)
{
    const double across[3][2] = {{0.1875, 2.78125}, {2.9375, 5.5625}, {5.71875, 8.3125}};
    const int c = (position - 1) % 3;
    const int r = (position - 1) / 3;
    return {QPointF(across[c][0] * 72, (0.5 + r) * 72), QPointF(across[c][1] * 72, (1.5 + r) * 72)};
}

}  // namespace pw::test
