#pragma once

#include <QString>

namespace pw {

// The type text is printed in, as a layout asks for it.
struct TypeFace final {
    QString family = QStringLiteral("Courier New");
    double points = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const TypeFace&) const = default;
};

// A type's grid on one device: a column is its average character width, a row its line height, and
// text sits on a baseline one ascent below the top of its row.
struct GridMetrics final {
    double column = 0;
    double row = 0;
    double ascent = 0;
};

// Where the widths of printed text come from, in the units of the device that prints it. Every
// advance of the print position by text is asked of this, so that what is measured is what is drawn.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;

    // Device units in an inch: the unit of every length here.
    virtual double unitsPerInch() const = 0;
    // How far `text` printed in `type` moves the position.
    virtual double width(const TypeFace& type, const QString& text) const = 0;
    // The sum of the characters' own advances, without shaping: within a hair of width() for the
    // Latin text of addresses, where kerning only narrows, and far cheaper.
    virtual double quickWidth(const TypeFace& type, const QString& text) const { return width(type, text); }
    // The grid of `type`: that font's own published metrics when the layouts use it (so a label
    // lands where the layout's numbers put it, whichever font draws), else as the device has it.
    GridMetrics grid(const TypeFace& type) const;

protected:
    // The grid of a family the layouts do not use.
    virtual GridMetrics installedGrid(const TypeFace& type) const = 0;
};

}  // namespace pw
