#pragma once

#include "printing/print_surface.h"

#include <QFont>
#include <QPainter>

#include <optional>

class QPrinter;

namespace pw {

// The print surface on a real printer or a PDF writer. Columns, rows and baselines come from the
// grid of the font the layout asks for, so text lands where the layout's numbers put it whichever
// installed font draws the glyphs. A line that would start below the printable area starts a new
// page; blank rows only move the position.
class PainterSurface final : public PrintSurface {
public:
    explicit PainterSurface(QPrinter& printer);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void setFontName(const QString& family) override { family_ = family; }
    void setFontSize(double points) override { size_ = points; }
    void setBold(bool on) override { bold_ = on; }
    void setItalic(bool on) override { italic_ = on; }
    void setOrientation(PageOrientation orientation) override;
    void setPaperSize(PaperSize size) override;
    QString deviceName() const override;
    void print(const QList<PrintItem>& items, bool endLine) override;
    void home() override;
    void newPage() override;
    Status endJob() override;
    void abandonJob() override;

private:
    struct Grid {
        double column;
        double row;
        double ascent;
    };
    // The current font's grid and stand-in, in device pixels.
    Grid grid() const;
    QFont drawingFont() const;
    bool beginJob();
    // Starts the page that newPage() asked for, now that something goes on it.
    void startPendingPage();
    void drawText(const QString& text);
    void resetJob();

    QPrinter& printer_;
    QPainter painter_;
    QString family_ = QStringLiteral("Courier New");
    double size_ = 10;
    bool bold_ = false;
    bool italic_ = false;
    // The current position in device pixels from the printable area's top-left corner.
    double x_ = 0;
    double y_ = 0;
    bool pendingPage_ = false;
    std::optional<FileError> failure_;
};

// Makes `printer` write a letter-size PDF file whose printable area starts 0.25 inch in from every
// edge, as a typical office printer reports it.
void setUpPdfOutput(QPrinter& printer, const QString& path);

}  // namespace pw
