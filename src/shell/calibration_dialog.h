#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pw {

class Platform;

// Margins > Correct from calibration sheet: the four distances measured on the printed sheet, the
// print kinds to correct, the corrections they make (shown before anything is stored), and Store,
// which writes them through the same adjustment as the Margins dialogs.
class CalibrationDialog final : public QDialog {
    Q_OBJECT

public:
    CalibrationDialog(Platform& platform, QString parameterFile, QWidget* parent = nullptr);

private:
    void update();
    void store();

    Platform& platform_;
    QString parameterFile_;
    std::array<QLineEdit*, 4> distances_{};  // A left, A top, B left, B top
    QComboBox* unit_ = nullptr;
    std::array<QCheckBox*, 3> kinds_{};
    QLabel* result_ = nullptr;
    QPushButton* store_ = nullptr;
};

}  // namespace pw
