#pragma once

#include "printing/text_measure.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>

#include <optional>

class QPaintDevice;

namespace pw {

// Widths as the printer draws them: from the font that draws each type (the installed stand-in of
// a family the layouts use), at the device's resolution.
class FontMeasure final : public TextMeasure {
public:
    explicit FontMeasure(const QPaintDevice& device) : device_(device) {}

    double unitsPerInch() const override;
    double width(const TypeFace& type, const QString& text) const override;
    double quickWidth(const TypeFace& type, const QString& text) const override;
    // The font that draws `type`.
    QFont font(const TypeFace& type) const;

protected:
    GridMetrics installedGrid(const TypeFace& type) const override;

private:
    struct Drawn final {
        TypeFace type;
        int dpi;
        QFont font;
        QFontMetricsF metrics;
        QHash<char16_t, qreal> advances;  // each character's own, as asked for
    };
    // The last type's font and metrics, kept: a job prints line after line in one type.
    Drawn& drawn(const TypeFace& type) const;

    const QPaintDevice& device_;
    mutable std::optional<Drawn> last_;
};

}  // namespace pw
