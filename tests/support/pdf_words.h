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

inline PdfWords pdfWords(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
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

}  // namespace pw::test
