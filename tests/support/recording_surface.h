#pragma once

#include "printing/grid_cursor.h"
#include "printing/print_surface.h"
#include "printing/sheet_fit.h"
#include "printing/text_measure.h"

#include <QLineF>
#include <QList>
#include <QSizeF>
#include <QString>

#include <optional>

namespace pw::test {

// A text as it landed: page, row and column (all from 1; rows from the top of the page or the last
// home), how far below the grid's top its row starts, and the type it was printed in.
struct PlacedText final {
    int page = 1;
    int row = 1;
    int column = 1;
    QString text;
    QString font;
    double size = 0;
    bool bold = false;
    bool italic = false;
    double inchesDown = 0;
};

// A print line without items, in the type it was printed in (its height is that font's line).
struct BlankRow final {
    int page = 1;
    int row = 1;
    QString font;
    double size = 0;
};

// Everything one job did, from the end of the previous job on.
struct RecordedJob final {
    QList<PlacedText> texts;  // non-empty texts only
    QList<BlankRow> blankRows;
    QList<QLineF> lines;  // drawn lines, in inches from the paper's corner
    int pages = 1;
    QList<PageOrientation> orientations;
    QList<PaperSize> paperSizes;
    QList<QSizeF> paperInches;  // pages of a size of their own, as asked for
    QStringList notes;  // what a preview would say about feeding the paper
    PrinterCalibration calibration;  // what the page was aimed through
    bool abandoned = false;
};

// The measure every test surface shares.
const ColumnMeasure& columnMeasure();

// The paper's height in points.
double paperHeightPoints(PaperSize paper, PageOrientation orientation);

// A printer that keeps every placed text, on US Letter unless a job asks for other paper. Columns
// advance by one per character of text; the grid cursor places each text and feeds pages as on paper.
class RecordingSurface final : public PrintSurface, private GridTarget {
public:
    void setFontName(const QString& family) override { font = family; }
    void setFontSize(double points) override { size = points; }
    void setBold(bool on) override { bold = on; }
    void setItalic(bool on) override { italic = on; }
    void setOrientation(PageOrientation orientation) override;
    void setPaperSize(PaperSize paper) override;
    QString deviceName() const override { return device; }
    bool takesPaper(QSizeF) const override { return anyPaper; }
    void setPaperInches(QSizeF inches) override;
    void showNote(const QString& text) override { current_.notes.append(text); }
    double paperHeightInches() const override { return paperHeight() / 72; }
    bool writesFile() const override { return toFile; }
    void print(const QList<PrintItem>& items, bool endLine) override;
    void homeAt(double inchesDown) override;
    void setFrame(const QRectF& inches) override { cursor_.setFrame(inches); }
    const TextMeasure& measure() const override { return columnMeasure(); }
    void newPage() override;
    Status endJob() override;
    void abandonJob() override;
    void drawLine(QPointF fromInches, QPointF toInches) override;
    void setCalibration(const PrinterCalibration& calibration) override { calibration_ = calibration; }

    QString device = QStringLiteral("Office Laser");
    bool toFile = false;  // a PDF file chosen in the print dialog
    bool anyPaper = true;  // takes paper of any size; false: Letter and #10 envelopes only
    // When set, the next job fails with it at its end.
    std::optional<FileError> failure;

    // The type in force, as the last job left it.
    QString font = QStringLiteral("Courier New");
    double size = 10;
    bool bold = false;
    bool italic = false;

    // Jobs ended or abandoned, in order.
    QList<RecordedJob> jobs;

private:
    double paperHeight() const override;
    bool feedPage() override { return true; }
    void place(const QString& text, const GridPlace& at) override;
    // Starts afresh, keeping the job as it stands when asked.
    void finishJob(bool keep);

    RecordedJob current_;
    bool started_ = false;
    GridCursor cursor_{columnMeasure()};
    // As the printer keeps them from job to job.
    QSizeF paper_{8.5, 11};  // portrait, in inches
    PageOrientation orientation_ = PageOrientation::Portrait;
    PrinterCalibration calibration_;
};

}  // namespace pw::test
