#include "printing/pdf_actual_size.h"

#include "data/durable_file.h"

#include <QFile>
#include <QRegularExpression>

#include <cerrno>

namespace pw {
namespace {

FileError notAPdf()
{
    return {EINVAL, QStringLiteral("Not a PDF file this program wrote")};
}

}  // namespace

Status declareActualSize(const QString& pdfPath)
{
    QFile in(pdfPath);
    if (!in.open(QIODevice::ReadOnly))
        return std::unexpected(FileError::fromErrno(errno ? errno : ENOENT));
    const QByteArray pdf = in.readAll();
    in.close();
    if (pdf.contains("/PrintScaling"))
        return {};

    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    static const QRegularExpression trailerKeys(QStringLiteral(
        R"(/Size\s+(\d+)[\s\S]*?/Root\s+(\d+)\s+(\d+)\s+R[\s\S]*?startxref\s+(\d+))"));
    const QRegularExpressionMatch keys = trailerKeys.match(QString::fromLatin1(pdf.mid(trailerAt)));
    if (trailerAt < 0 || !keys.hasMatch())
        return std::unexpected(notAPdf());
    static const QRegularExpression info(QStringLiteral(R"(/Info\s+(\d+\s+\d+\s+R))"));
    const QRegularExpressionMatch infoRef = info.match(QString::fromLatin1(pdf.mid(trailerAt)));
    const QByteArray root = keys.captured(2).toLatin1() + ' ' + keys.captured(3).toLatin1();

    // The catalog's dictionary, taken whole and given the preference.
    const qsizetype objectAt = pdf.lastIndexOf("\n" + root + " obj");
    const qsizetype open = pdf.indexOf("<<", objectAt);
    const qsizetype end = pdf.indexOf("endobj", objectAt);
    const qsizetype close = pdf.lastIndexOf(">>", end);
    if (objectAt < 0 || open < 0 || end < 0 || close < open)
        return std::unexpected(notAPdf());
    const QByteArray entries = pdf.mid(open + 2, close - open - 2);

    QByteArray update = "\n";
    const qsizetype objectOffset = pdf.size() + update.size();
    update += root + " obj\n<<" + entries + "/ViewerPreferences << /PrintScaling /None >>\n>>\nendobj\n";
    const qsizetype xrefOffset = pdf.size() + update.size();
    update += "xref\n" + keys.captured(2).toLatin1() + " 1\n"
              + QByteArray::number(objectOffset).rightJustified(10, '0') + ' '
              + keys.captured(3).toLatin1().rightJustified(5, '0') + " n \n";
    update += "trailer\n<<\n/Size " + keys.captured(1).toLatin1() + "\n/Root " + root + " R\n";
    if (infoRef.hasMatch())
        update += "/Info " + infoRef.captured(1).toLatin1() + '\n';
    update += "/Prev " + keys.captured(4).toLatin1() + "\n>>\nstartxref\n" + QByteArray::number(xrefOffset)
              + "\n%%EOF\n";

    return writeFileDurably(pdfPath, pdf + update);
}

}  // namespace pw
