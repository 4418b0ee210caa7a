// The meter simulator as a child process of a test: started on a fresh pseudo-terminal, stopped with the test.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace bdlogic::test {

class SimProcess {
public:
    ~SimProcess() { stop(); }

    // Starts build/bdlogic-meter-sim with `arguments` and returns the device it serves; empty when it did not
    // come up (its standard error is then in `errors()`).
    QString start(const QStringList& arguments);
    void stop();
    QString errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
};

// Whether this system can create pseudo-terminals at all.
bool PseudoTerminalsAvailable();

} // namespace bdlogic::test
