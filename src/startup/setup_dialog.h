// The marker set-up as frmMain runs it: a dialog that shows itself inside a container of the wizard and ends
// frmMain's wait by clearing bSetupPending. The program's entry supplies the real one.
#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace bdlogic {

class SetupDialog {
public:
    virtual ~SetupDialog() = default;
    // Loads the settings and moves the dialog's panel and buttons into `host`.
    virtual void Go(QWidget* host) = 0;
};

using SetupDialogFactory = std::function<std::unique_ptr<SetupDialog>()>;

} // namespace bdlogic
