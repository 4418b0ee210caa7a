// Runs the program without windows for one argument string; returns the exit status.
#pragma once

#include <QString>

namespace bdlogic {
int RunBatchMode(const QString& arguments);
}
