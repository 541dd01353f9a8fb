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
// forgets the used ones. A drag across labels, or a Shift+click, gives every label from the first
// to the last the mark the first one got.
class SheetPicker final : public QDialog {
    Q_OBJECT

public:
    SheetPicker(const SheetChoice& offered,
                const SheetPicture& sheet = {labelStocks().front().name, labelSheetOutlines()},
                QWidget* parent = nullptr);

    SheetChoice choice() const { return choice_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void click(int position);
    void toggleOne(int position);
    void markRange(int to);
    int positionAt(const QPointF& global) const;
    void refresh();

    SheetChoice choice_;
    int anchor_ = 0;   // the label clicked last, where a range starts
    int pressed_ = 0;  // the label the mouse button went down on
    bool dragged_ = false;
    bool shiftPressed_ = false;
    QList<QToolButton*> positions_;
    QRadioButton* markUsed_ = nullptr;
};

}  // namespace pw
