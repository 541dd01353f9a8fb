#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pw {

class Platform;

// Margins > Calibrate from the sheet: how far each cross of the printed calibration sheet landed
// from where it belongs, the calibration of the current printer they make (shown before anything
// is stored), and Store, which keeps it for that printer and offers to set the label corrections
// to 0 so that nothing is corrected twice.
class CalibrationDialog final : public QDialog {
    Q_OBJECT

public:
    CalibrationDialog(Platform& platform, QString parameterFile, QWidget* parent = nullptr);

private:
    void update();
    void store();
    void offerToZeroCorrections();

    Platform& platform_;
    QString parameterFile_;
    QString printer_;  // the printer the sheet was printed on; empty for a PDF file
    std::array<QLineEdit*, 4> distances_{};  // A across, A down, B across, B down
    QComboBox* unit_ = nullptr;
    QLabel* result_ = nullptr;
    QPushButton* store_ = nullptr;
};

// Margins > Printer calibration in use: what the current printer's calibration is, and a question
// whether to clear it.
void showPrinterCalibration(Platform& platform);

}  // namespace pw
