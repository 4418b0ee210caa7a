#include "startup.h"

#include "common_code.h"
#include "field_splitter.h"

#include <cmath>

namespace bdlogic {

CommandLine ParseCommandLine(const QString& arguments) {
    FieldSplitter vsawk;
    vsawk.setSeparator(QStringLiteral("|"));
    vsawk.setText(arguments);
    CommandLine cl;
    cl.hostKey = TrimText(vsawk.field(1));
    if (const auto n = ToInt32(vsawk.field(2))) cl.patientId = *n;
    if (const auto n = ToInt16(vsawk.field(3))) cl.comPort = *n;
    if (const auto n = ToInt16(vsawk.field(4))) cl.modelCode = *n;
    return cl;
}

Startup::Startup(Services& services, std::function<void()> openWizard, std::function<void()> endProcess)
    : s_(services), openWizard_(std::move(openWizard)), endProcess_(std::move(endProcess)) {}

void Startup::start(const QString& arguments) {
    MainState& st = s_.state;
    const CommandLine cl = ParseCommandLine(arguments);
    st.sHostKey = cl.hostKey;
    st.sRootKey = QStringLiteral("SOFTWARE\\Corvane\\") + st.sHostKey;
    st.sRegPath = st.sRootKey + QStringLiteral("\\modules\\");

    QString languageDll;
    s_.registry.ReadMachineThenUser(st.sRootKey, QStringLiteral("LanguageDLL"), languageDll);
    s_.language = CreateLanguageLibrary(TrimText(languageDll) + QStringLiteral(".LanguageDLL"),
                                        LanguageSearchPath(s_.programDir));

    st.sImportDir = s_.programDir;
    QString importDir;
    s_.registry.ReadMachineThenUser(st.sRootKey, QStringLiteral("ImportDir"), importDir);
    if (!TrimText(importDir).isEmpty()) st.sImportDir = importDir;

    st.iPatientID = cl.patientId;
    st.iComm = cl.comPort;
    if (cl.modelCode == 0) {
        refuse(kMeterIdRequired);
        return;
    }
    Action(cl.modelCode);
}

void Startup::Action(std::int16_t mode) {
    MainState& st = s_.state;
    if (!st.sImportDir.endsWith(PathSeparator())) st.sImportDir += PathSeparator();
    st.iUniqueImportID = mode;
    if (mode == 64) {
        st.sDriverName = st.sRegkey = QStringLiteral("BD Logic");
    } else if (mode == 84) {
        st.sDriverName = st.sRegkey = QStringLiteral("Paradigm Link");
    } else {
        refuse(kIllegalDriverCall);
        return;
    }
    if (st.iComm == 0) {
        QString com = QStringLiteral("1");
        s_.registry.ReadRegValue(Hive::LocalMachine, st.modelKey(), QStringLiteral("COM"), com);
        const double n = std::nearbyint(LeadingNumber(TrimText(com)));
        // A remembered port of 0, or one that does not fit a port number, falls back to port 1.
        st.iComm = (n != 0 && n >= -32768 && n <= 32767) ? static_cast<std::int16_t>(n) : std::int16_t{1};
    }
    QString desc = st.sDriverName;
    s_.registry.ReadRegValue(Hive::LocalMachine, st.modelKey(), QStringLiteral("Desc"), desc);
    st.sDriverName = TrimText(desc);
    if (const auto title = loadres(s_.texts(), 1200, {st.sDriverName})) st.appTitle = *title;
    if (openWizard_) openWizard_();
}

void Startup::iFinished(bool end) {
    const MainState& st = s_.state;
    if (st.iComm != 0)
        s_.registry.WriteRegString(Hive::LocalMachine, st.modelKey(), QStringLiteral("COM"), QString::number(st.iComm));
    if (!end || ended_) return;
    ended_ = true;
    s_.pump.requestStop();
    if (endProcess_) endProcess_();
}

void Startup::refuse(const QString& text) {
    refused_ = true;
    s_.messages.show(text, QString(), MessageIcon::None);
    iFinished(true);
}

} // namespace bdlogic
