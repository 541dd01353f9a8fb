#pragma once

#include "platform/platform.h"
#include "printing/sheet_outlines.h"

#include <QDialog>

class QRadioButton;
class QToolButton;

namespace pw {

// The picture of a label sheet as it lies in the printer, each label where the stock has it. A
// click on a position adds it to the labels to print or takes it away; with "Already used" chosen,
// or on a picture that only marks used labels, a click marks the position used instead. "New sheet"
// forgets the used ones.
class SheetPicker final : public QDialog {
    Q_OBJECT

public:
    SheetPicker(const SheetChoice& offered,
                const SheetPicture& sheet = {labelStocks().front().name, labelSheetOutlines()},
                QWidget* parent = nullptr);

    SheetChoice choice() const { return choice_; }

private:
    void click(int position);
    void refresh();

    SheetChoice choice_;
    QList<QToolButton*> positions_;
    QRadioButton* markUsed_ = nullptr;
};

}  // namespace pw
