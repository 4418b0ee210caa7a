// The marker set-up dialog: what P1..P4 mean, the comment of marked readings and the two availability boxes.
// It is never a window of its own: Go moves its panel and its two buttons into a container of the wizard.
#pragma once

#include "setup_lists.h"
#include "startup/design_scale.h"
#include "startup/services.h"
#include "startup/setup_dialog.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bdlogic {

class FrmSetupBDlogic : public QWidget, public SetupDialog {
public:
    // Form_Load: builds the controls with their designer texts and localises them; the dialog stays hidden.
    explicit FrmSetupBDlogic(Services& services, QWidget* parent = nullptr);
    // Deletes the panel and the buttons wherever Go put them.
    ~FrmSetupBDlogic() override;

    // Loads the settings into the controls, then moves contSetup, cmdCancel and cmdNext into `host`. Without
    // a host the dialog shows itself.
    void Go(QWidget* host) override;

    void cbDataType_Click(int index);
    void cmdNext_Click();
    void cmdCancel_Click();

private:
    void buildControls();
    void load();
    void nameControls();

    Services& services_;
    DesignScale px_;
    QPointer<QFrame> contSetup_;
    QPointer<QPushButton> cmdNext_;
    QPointer<QPushButton> cmdCancel_;
    std::array<QCheckBox*, 2> check1_{};
    std::array<QComboBox*, 4> cbDataType_{};
    std::array<QComboBox*, 4> cbType_{};
    std::array<QLineEdit*, 4> txtIG_{};
    std::array<QLabel*, 4> lblDataTypeDesc_{};
    std::array<QLabel*, 7> label1_{};
    QLabel* label2_1_ = nullptr;
    QLineEdit* txtMarker_ = nullptr;
    QLabel* lblMarker_ = nullptr;
    bool loading_ = false;
};

} // namespace bdlogic
