// bdlogic: brings the memory of a BD Logic or Paradigm Link meter into the host diary as one import file.
// The host starts it with one argument string "branch|patient|port|model".
#include "program_options.h"
#include "run_batch_mode.h"
#include "run_windows.h"
#include "widget_application.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    const bdlogic::ProgramOptions options = bdlogic::ParseProgramOptions(argc, argv);
    if (options.help) {
        std::fputs(bdlogic::UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("bdlogic %s\n", BDLOGIC_VERSION_TEXT);
        return 0;
    }
    if (options.batch) {
        QCoreApplication app(argc, argv);
        return bdlogic::RunBatchMode(options.arguments);
    }
    const auto app = bdlogic::OpenWidgetApplication(argc, argv);
    return bdlogic::RunWindows(options.arguments);
}
