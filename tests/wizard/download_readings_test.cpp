// What the result page's chart makes of a download: meter lines through the decoders into the readings shown.
#include "decoded_records.h"
#include "wizard/readings_text.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

// "unit floor-ceiling: values oldest first | marker kinds | n=count mean=mean span=minutes"
QString Shown(const DownloadReadings& d) {
    const int decimals = d.unit() == GlucoseUnit::MmolL ? 1 : 0;
    QStringList values;
    for (const ShownReading& r : d.readings())
        values << (r.limit == MeterLimit::Lo   ? QStringLiteral("LO")
                   : r.limit == MeterLimit::Hi ? QStringLiteral("HI")
                                               : QString::number(r.value, 'f', decimals));
    QString kinds;
    for (const ShownMarker& m : d.markers())
        kinds += QStringLiteral("IMED")[static_cast<int>(m.kind)] + QStringLiteral(" ");
    return QStringLiteral("%1 %2-%3: %4 | %5| n=%6 mean=%7 span=%8")
        .arg(UnitText(d.unit()), QString::number(d.floor(), 'f', decimals),
             QString::number(d.ceiling(), 'f', decimals), values.join(u' '), kinds)
        .arg(d.count())
        .arg(QString::number(d.mean(), 'f', decimals))
        .arg(qRound((d.until() - d.from()) * 24 * 60));
}

TEST(DownloadReadings, WhatTheChartShows) {
    const struct {
        const char* name;
        QStringList lines;
        const char* shown;
    } rows[] = {
        {"control tests and readings without a date left out, oldest first",
         {"Glu,157,mg/dl,0,20240215,2258", "Cntl,110,mg/dl,0,20240215,1200", "Glu,101,mg/dl,1,20240215,0712",
          "Glu,95,mg/dl,0,20241301,0700", "Glu,96,mg/dl,0,00000000,0700"},
         "mg/dl 40-250: 101 157 | | n=2 mean=129 span=946"},
        {"the 30 days up to the newest reading; all of them counted",
         {"Glu,100,mg/dl,0,20240301,1200", "Glu,110,mg/dl,0,20240131,1200", "Glu,120,mg/dl,0,20240131,1159",
          "Glu,130,mg/dl,0,20230101,0800"},
         "mg/dl 40-250: 110 100 | | n=4 mean=115 span=43200"},
        {"LO and HI on the edges; values beyond the usual range widen it",
         {"Glu,LO,mg/dl,0,20240215,0700", "Glu,350,mg/dl,0,20240215,0800", "Glu,HI,mg/dl,0,20240215,0900",
          "Glu, 25,mg/dl,0,20240215,1000"},
         "mg/dl 25-350: LO 350 HI 25 | | n=4 mean=249 span=180"},
        {"mmol/L when most came in mmol/L, each as the meter showed it",
         {"Glu,6.6,mmol/L,0,20240215,0700", "Glu, 3.3,mmol/L,0,20240215,0800",
          "Glu,180,mg/dl,0,20240215,0900", "Glu,LO,mmol/L,0,20240215,1000"},
         "mmol/L 2.2-13.9: 6.6 3.3 10.0 LO | | n=4 mean=5.2 span=180"},
        {"mg/dl when half came in mmol/L",
         {"Glu,5.5,mmol/L,0,20240215,0700", "Glu,121,mg/dl,0,20240215,0800"},
         "mg/dl 40-250: 99 121 | | n=2 mean=110 span=60"},
        {"the markers of the days shown, by what they were mapped to",
         {"Glu,100,mg/dl,0,20240215,0700", "Glu,110,mg/dl,0,20240215,2000", "P1,4,,,20240215,0715",
          "P2,3,,,20240215,1200", "P3,30,,,20240215,1300", "P4,20,,,20240215,1400", "P1,6,,,20240215,2100",
          "P2,2,,,20240214,1200"},
         "mg/dl 40-250: 100 110 | I M E D | n=2 mean=105 span=780"},
        {"no blood reading: nothing to show",
         {"Cntl,110,mg/dl,0,20240215,1200", "P1,4,,,20240215,0715"},
         "mg/dl 0-0:  | | n=0 mean=0 span=0"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Shown(DownloadReadings(test::DecodedRecords(r.lines))).toStdString(), r.shown) << r.name;
    }
}

} // namespace
} // namespace bdlogic
