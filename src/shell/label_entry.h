#pragma once

#include "contacts_ui/contact_from_lines.h"
#include "printing/onthefly_labels.h"
#include "printing/typed_job.h"

#include <QWidget>

#include <functional>
#include <optional>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pw {

class Platform;

// The main window's entry area: the five label lines, the media, alignment and type choices, the
// label positions and the print commands for what is typed there. The area lays out its lines and
// choices itself; its command buttons (Print, the return-address Print, Clear Form) stand in a
// panel that the main window places beside its own buttons.
class LabelEntry final : public QWidget {
    Q_OBJECT

public:
    explicit LabelEntry(Platform& platform, QWidget* parent = nullptr);

    QWidget* commandPanel() const { return commands_; }

    // The initial state of start-up: portrait, left-justified, the envelope list filled and hidden,
    // the type boxes unchecked, the focus in line 1.
    void reset();
    LabelLines lines() const;
    // A contact's address in the five lines, for printing with the label commands: the envelope's
    // Bold box unchecked and hidden, the focus in line 1.
    void takeAddress(const LabelLines& lines);
    // Print (cmdLMStart and File > Print): labels or an envelope. The sheet of return-address labels
    // (cmdRetAddress and File > Return Address Labels). Clear Form.
    void print();
    void printReturnAddresses();
    // File > Print Preview: the job Print would make now, shown before any sheet is spent.
    void preview();
    // File > Return Address Labels Preview: the sheet of return-address labels Print would make.
    void previewReturnAddresses();
    void clearForm();
    void focusFirstLine();
    // The label Bold and Italic boxes, which the list labels print with too.
    bool labelBold() const;
    bool labelItalic() const;
    void clearLabelStyles();

private:
    void buildLines(QLayout* into);
    void buildChoices(QLayout* into);
    // The corrections of every print kind; none after the printer problem was shown.
    std::optional<MarginSettings> readCorrections();
    // What Print would print now, after the checks; none after a check said what is wrong.
    std::optional<TypedJobRequest> typedRequest();
    std::optional<TypedJobRequest> returnAddressRequest(const MarginSettings& margins);
    // Prints the request's job after asking about lines that run off their label; the job when it
    // printed.
    std::optional<TypedJob> printJob(const TypedJobRequest& request);
    // Labels about to go on positions of the sheet in the printer marked used: true when the user
    // says to print on them all the same.
    bool confirmUsedPositions(const TypedJob& job);
    // The outlines of the labels a preview shows as used: those of the sheet in the printer.
    QList<QRectF> usedOutlines(const TypedJob& job);
    void afterJobRan(TypedStock stock);
    void showPreview(const TypedJobRequest& request, const std::function<void()>& print);
    void enterLabelPosition();
    // Label stock chosen: portrait, the label type shown, the envelope choices and positions gone.
    void showLabelStock();
    // Sheet...: the picture of the sheet fills the positions, a set or a run.
    void chooseOnSheet();
    QList<int> shownRangePositions() const;
    void chooseEnvelope();
    void chooseEnvelopeSize(int index);
    // The envelope's return address: its box and button beside the envelope choices, the dialog that
    // takes it, and the lines a job prints (none while the box is not ticked).
    void buildEnvelopeReturn(QBoxLayout* into);
    void showEnvelopeReturn(bool shown);
    void enterEnvelopeReturnAddress();
    QStringList returnAddressToPrint();
    // In return-address mode the return-address Print stands in for Print and the label choices rest.
    void setReturnAddressMode(bool on);
    LabelPlace labelPlaceFields() const;
    void showLinesAligned(Qt::Alignment alignment);
    void setLabelPlaceFields(LabelPlace place);
    void hideEnvelopeBold();
    void hideEnvelopeBoxes();
    void unselectMedia();

    Platform& platform_;
    PositionRange positionRange_;
    int envelopeSizeCode_ = 0;
    QList<int> pickedPositions_;  // a set picked on the sheet's picture; empty for a typed range

    QWidget* commands_ = nullptr;
    QLineEdit* txtLMLine_[5] = {};
    QPushButton* cmdLMStart_ = nullptr;
    QPushButton* cmdRetAddress_ = nullptr;
    QPushButton* cmdLMClear_ = nullptr;
    QPushButton* cmdLMSheet_ = nullptr;
    QRadioButton* optLMLabel_ = nullptr;
    QRadioButton* optLMEnvelope_ = nullptr;
    QComboBox* cboLMEnvelope_ = nullptr;
    QGroupBox* frPortLand_ = nullptr;
    QRadioButton* optPortrait_ = nullptr;
    QRadioButton* optLandscape_ = nullptr;
    QRadioButton* optLMLeftjust_ = nullptr;
    QRadioButton* optLMCenter_ = nullptr;
    QLineEdit* txtLMLeftPad_ = nullptr;
    QLineEdit* txtLMToppad_ = nullptr;
    QLabel* lblLMPosition_ = nullptr;
    QLabel* lblLMEnvSize_ = nullptr;
    QGroupBox* frFeatures_ = nullptr;
    QCheckBox* chkLblBold_ = nullptr;
    QCheckBox* chkLblItalic_ = nullptr;
    QCheckBox* chkBold_ = nullptr;
    QCheckBox* chkLargeFont_ = nullptr;
    QCheckBox* chkLMEnvReturn_ = nullptr;
    QPushButton* cmdLMEnvReturn_ = nullptr;
};

}  // namespace pw
