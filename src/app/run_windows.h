// Runs the program with its windows for one argument string; returns the exit status.
#pragma once

#include <QString>

namespace bdlogic {
int RunWindows(const QString& arguments);
}
