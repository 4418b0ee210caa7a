#include "program_options.h"

#include <QStringList>

namespace bdlogic {

ProgramOptions ParseProgramOptions(int argc, const char* const* argv) {
    ProgramOptions o;
    QStringList rest;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (!optionsEnd && rest.isEmpty()) {
            if (a == QLatin1String("--batch")) {
                o.batch = true;
                continue;
            }
            if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
                o.help = true;
                continue;
            }
            if (a == QLatin1String("--version")) {
                o.version = true;
                continue;
            }
            if (a == QLatin1String("--")) {
                optionsEnd = true;
                continue;
            }
        }
        rest << a;
    }
    o.arguments = rest.join(u' ');
    return o;
}

QString UsageText() {
    return QStringLiteral(
        "Usage: bdlogic [--batch] \"BRANCH|PATIENT|PORT|MODEL\"\n"
        "Imports the memory of a BD Logic (MODEL 64) or Paradigm Link (MODEL 84) meter into the host diary.\n"
        "  BRANCH   the host's registry branch under SOFTWARE\\Corvane\n"
        "  PATIENT  patient number, part of the import file's name\n"
        "  PORT     serial port number; 0 uses the port remembered from the last run\n"
        "  MODEL    64 or 84\n"
        "Options:\n"
        "  --batch    run the wizard's steps without windows; messages and status on standard error,\n"
        "             the import file's path on standard output. Exit status: 0 written, 1 no port or no\n"
        "             meter, 2 command line refused, 3 marker set-up needed first, 4 no records, 5 file\n"
        "             not written, 7 written but the download was incomplete\n"
        "  (without --batch: exit status 6 when no display could be opened)\n"
        "  --help     show this text\n"
        "  --version  show the program's version\n");
}

} // namespace bdlogic
