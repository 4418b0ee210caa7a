// Batch mode: the wizard's steps without a window, as if the user pressed Next on every page and kept the
// preselected port.
#pragma once

#include "wizard.h"

namespace bdlogic {

// Exit statuses of a batch run.
enum BatchStatus {
    kBatchWritten = 0,       // the import file was written
    kBatchNoMeter = 1,       // no port selected, port test failed, or the meter did not answer
    kBatchRefused = 2,       // the command line was refused
    kBatchSetupFirst = 3,    // the marker set-up must be done first
    kBatchNoRecords = 4,     // the meter answered but the download produced no record
    kBatchNotWritten = 5,    // records were read but the import file could not be written
    kBatchIncomplete = 7,    // the file was written but the download was incomplete
};

// Runs the wizard from Go to the result page and ends it with the last Next (or Cancel on failure), which
// saves the port. Returns the exit status; after an export `exported` tells what became of the import file.
int RunBatch(Wizard& wizard, ExportedFile& exported);

// One line for standard error on a download that did not get everything: which part ended after how many blocks,
// and why.
QString DownloadShortfall(const DownloadReport& report);

} // namespace bdlogic
