// The program's own options before the host's argument string: --batch, --help, --version.
#pragma once

#include <QString>

namespace bdlogic {

struct ProgramOptions {
    bool batch = false;
    bool help = false;
    bool version = false;
    QString arguments; // every argument after the options, joined with single spaces
};

ProgramOptions ParseProgramOptions(int argc, const char* const* argv);
QString UsageText();

} // namespace bdlogic
