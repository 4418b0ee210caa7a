#include "batch_run.h"

#include "meterlink/meter_commands.h"

#include <QStringList>

namespace bdlogic {

namespace {
QString Why(LinkEnd end) {
    switch (end) {
    case LinkEnd::ChecksFailed: return QStringLiteral("the next block failed its check three times");
    case LinkEnd::MeterSilent: return QStringLiteral("the meter fell silent");
    case LinkEnd::PortLost: return QStringLiteral("the port vanished");
    case LinkEnd::Stopped: return QStringLiteral("cancelled");
    case LinkEnd::NotRun:
    case LinkEnd::Complete: break;
    }
    return {};
}
} // namespace

QString DownloadShortfall(const DownloadReport& report) {
    QStringList said;
    const auto series = [&](const char* name, const DownloadPart& part) {
        if (part.end == LinkEnd::NotRun) said << QString::fromLatin1(name) + QStringLiteral(" not read");
        else if (part.end != LinkEnd::Complete)
            said << QStringLiteral("%1 ended after %2 of %3 blocks (%4)")
                        .arg(QString::fromLatin1(name))
                        .arg(part.blocks)
                        .arg(kBlocksPerSeries)
                        .arg(Why(part.end));
    };
    series("glucose memory", report.glucose);
    series("marker memory", report.markers);
    if (report.info.end == LinkEnd::NotRun) said << QStringLiteral("information block not read");
    else if (report.info.end == LinkEnd::ChecksFailed) said << QStringLiteral("information block garbled");
    else if (report.info.end != LinkEnd::Complete)
        said << QStringLiteral("information block not read (%1)").arg(Why(report.info.end));
    return QStringLiteral("Download incomplete: ") + said.join(QStringLiteral("; "));
}

int RunBatch(Wizard& wizard, ExportedFile& exported) {
    wizard.Go();
    if (!wizard.screen().nextEnabled) {
        wizard.cmdCancel_Click();
        return kBatchSetupFirst;
    }
    wizard.cmdNext_Click(); // port page
    if (wizard.page() != 1) {
        wizard.cmdCancel_Click();
        return kBatchNoMeter;
    }
    wizard.cmdNext_Click(); // port test
    if (wizard.page() != 2) {
        wizard.cmdCancel_Click();
        return kBatchNoMeter;
    }
    wizard.cmdNext_Click(); // identification, download, export
    switch (wizard.lastOutcome()) {
    case ImportOutcome::Exported:
        exported = wizard.lastExport();
        wizard.cmdNext_Click(); // the result page's Next ends the program
        if (!exported.written) return kBatchNotWritten;
        return wizard.lastDownload().complete() ? kBatchWritten : kBatchIncomplete;
    case ImportOutcome::NoRecords:
        wizard.cmdCancel_Click();
        return kBatchNoRecords;
    default:
        wizard.cmdCancel_Click();
        return kBatchNoMeter;
    }
}

} // namespace bdlogic
