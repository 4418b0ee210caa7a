// What the start-up window does without its window: reads the command line and the host's settings, chooses the
// meter model, opens the wizard, and is the one place that ends the program (saving the port in use).
#pragma once

#include "services.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace bdlogic {

// The host's argument string split at "|": branch, patient number, COM port (0 = remembered), model code.
// A numeric field that is missing, empty or not a number reads as 0.
struct CommandLine {
    QString hostKey;
    std::int32_t patientId = 0;
    std::int16_t comPort = 0;
    std::int16_t modelCode = 0;
};
CommandLine ParseCommandLine(const QString& arguments);

// Exact texts of the two refusals.
inline const QString kMeterIdRequired = QStringLiteral("MeterID required !");
inline const QString kIllegalDriverCall = QStringLiteral("Illegal Driver Call");

class Startup {
public:
    // openWizard: loads the wizard and calls its Go. endProcess: unloads the windows and ends the process.
    Startup(Services& services, std::function<void()> openWizard, std::function<void()> endProcess);

    // The start-up sequence for one argument string.
    void start(const QString& arguments);
    // Chooses the model for `mode`, completes the settings, opens the wizard.
    void Action(std::int16_t mode);
    // Saves the port in use; true also ends the program.
    void iFinished(bool end);

    bool ended() const { return ended_; }
    // Set when the command line was refused (no or an unknown model code).
    bool refused() const { return refused_; }

private:
    void refuse(const QString& text);

    Services& s_;
    std::function<void()> openWizard_;
    std::function<void()> endProcess_;
    bool ended_ = false;
    bool refused_ = false;
};

} // namespace bdlogic
