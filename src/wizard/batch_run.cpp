#include "batch_run.h"

namespace bdlogic {

int RunBatch(Wizard& wizard, ExportedFile& exported) {
    wizard.Go();
    if (!wizard.screen().nextEnabled) {
        wizard.cmdCancel_Click();
        return kBatchSetupFirst;
    }
    wizard.cmdNext_Click(); // port page
    if (wizard.page() != 1) {
        wizard.cmdCancel_Click();
        return kBatchNoMeter;
    }
    wizard.cmdNext_Click(); // port test
    if (wizard.page() != 2) {
        wizard.cmdCancel_Click();
        return kBatchNoMeter;
    }
    wizard.cmdNext_Click(); // identification, download, export
    switch (wizard.lastOutcome()) {
    case ImportOutcome::Exported:
        exported = wizard.lastExport();
        wizard.cmdNext_Click(); // the result page's Next ends the program
        return exported.written ? kBatchWritten : kBatchNotWritten;
    case ImportOutcome::NoRecords:
        wizard.cmdCancel_Click();
        return kBatchNoRecords;
    default:
        wizard.cmdCancel_Click();
        return kBatchNoMeter;
    }
}

} // namespace bdlogic
