// The meter work of the wizard, scripted: which port tests pass, whether the meter answers, what the download
// yields. Callbacks let a test look at the window in the middle of a step.
#pragma once

#include "startup/main_state.h"
#include "wizard/import_steps.h"

#include <functional>
#include <vector>

namespace bdlogic::test {

struct FakeImportSteps : ImportSteps {
    std::vector<PortTarget> portTargets(std::int16_t) override { return targets; }
    PortProbe probePort(std::int16_t port) override {
        probed.push_back(port);
        return {portOk, refused};
    }
    bool meter_connected() override {
        if (duringConnect) duringConnect();
        return answers;
    }
    int meter_read(MeterRecords& r, DownloadReport&) override {
        if (duringRead) duringRead();
        r = records;
        return produced;
    }
    ExportedFile export_file(const MeterRecords&) override {
        ++exports;
        return {QStringLiteral("/import/01012026120000.00017"), true, {}};
    }
    void closePort() override { ++closes; }

    std::vector<PortTarget> targets;
    bool portOk = true;
    std::optional<PermissionRefusal> refused;
    bool answers = true;
    int produced = 0;
    MeterRecords records;
    std::function<void()> duringConnect;
    std::function<void()> duringRead;
    std::vector<std::int16_t> probed;
    int exports = 0, closes = 0;
};

// The shared properties as start-up leaves them for a BD Logic on COM3 (patient and import directory aside).
inline void BdLogicOnCom3(MainState& state) {
    state.sRootKey = QStringLiteral("SOFTWARE\\Corvane\\H");
    state.sRegPath = state.sRootKey + QStringLiteral("\\modules\\");
    state.sRegkey = state.sDriverName = QStringLiteral("BD Logic");
    state.iUniqueImportID = 64;
    state.iComm = 3;
}

} // namespace bdlogic::test
