// The meter simulator as a child process of a test: started on a fresh pseudo-terminal, stopped with the test.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace bdlogic::test {

class SimProcess {
public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess() { stop(); }

    // Starts build/bdlogic-meter-sim with `arguments` and returns the device it serves; empty when it did not
    // come up (its standard error is then in `errors()`).
    QString start(const QStringList& arguments);
    // Waits for the simulator to end on its own; its exit status, or -1 when it is still running.
    int waitForExit(int ms);
    void stop();
    QString errors();

    static QString program();

private:
    QProcess process_;
};

// Whether this system can create pseudo-terminals at all.
bool PseudoTerminalsAvailable();

} // namespace bdlogic::test
