#pragma once

#include "platform/platform.h"

#include <QDialog>

#include <array>

class QRadioButton;
class QToolButton;

namespace pw {

// The picture of a 30-label sheet, 3 across and 10 down as it lies in the printer. A click on a
// position adds it to the labels to print or takes it away; with "Already used" chosen, a click
// marks the position used instead. "New sheet" forgets the used ones.
class SheetPicker final : public QDialog {
    Q_OBJECT

public:
    SheetPicker(const SheetChoice& offered, QWidget* parent = nullptr);

    SheetChoice choice() const { return choice_; }

private:
    void click(int position);
    void refresh();

    SheetChoice choice_;
    std::array<QToolButton*, 30> positions_{};
    QRadioButton* markUsed_ = nullptr;
};

}  // namespace pw
