#include "frm_main.h"

#include "design_scale.h"
#include "set_topmost.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace bdlogic {

namespace {
// How long one turn of the set-up wait may sleep when nothing happens.
constexpr std::uint32_t kSetupWaitMs = 50;
} // namespace

FrmMain::FrmMain(Services& services, SetupDialogFactory makeSetup, QWidget* parent)
    : QWidget(parent), services_(services), makeSetup_(std::move(makeSetup)) {
    setObjectName(QStringLiteral("frmMain"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextFormat(Qt::PlainText);
    layout->addWidget(status_);
    GrowDesignedSizes(*this, DesignScale(*this));
    fit();
    SetTopmost(this);
}

void FrmMain::showTitle(const QString& title) {
    status_->setText(title);
    setWindowTitle(title);
    fit();
}

void FrmMain::fit() {
    // 260 x 36 at the designed font; more for a larger font or a title that needs it.
    const DesignScale px(*this);
    const QSize need = sizeHint();
    setFixedSize(std::max(px(260), need.width()), std::max(px(36), need.height()));
}

void FrmMain::CallSetup(QWidget* container) {
    MainState& st = services_.state;
    EventPump& pump = services_.pump;
    if (!makeSetup_) return;
    std::unique_ptr<SetupDialog> dialog = makeSetup_();
    st.bSetupPending = true;
    dialog->Go(container);
    // The dialog's OK and Cancel end the wait; the wizard's own buttons stay alive meanwhile.
    while (st.bSetupPending && !pump.stopRequested()) {
        pump.processEvents();
        if (st.bSetupPending && !pump.stopRequested()) pump.waitForEvents(kSetupWaitMs);
    }
    st.bSetupPending = false;
    if (container) container->hide();
    dialog.reset();
}

} // namespace bdlogic
