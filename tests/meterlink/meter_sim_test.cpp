// The simulator's own parts: a simulator that frames or replays wrongly would make every link test meaningless.
#include "meter_sim/answer_framing.h"
#include "meter_sim/memory_file.h"
#include "meter_sim/output_schedule.h"
#include "meter_sim/simulated_meter.h"
#include "meter_sim/transcript.h"
#include "meterlink/message_layer.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace bdlogic::sim {
namespace {

const QString kSamples = QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples");

TEST(MemoryFile, ReadsSectionsAndKeepsLeadingBlanks) {
    QString error;
    const auto memory = ParseMemory("# a comment\n"
                                    "[info]\r\n"
                                    "BD,Logic,1,2,3,4,5,6,7,8,9,10,LG1\r\n"
                                    "\n"
                                    "[Glucose 2]\n"
                                    "Glu, 95,mg/dl,0,20240131,0745   \n"
                                    "  # indented comment\n"
                                    "[marker 8]\n"
                                    "P1,10,,,20240131,0800\n",
                                    &error);
    ASSERT_TRUE(memory) << error.toStdString();
    EXPECT_EQ(memory->wake, QList<QByteArray>{"]"}); // the default prompt
    EXPECT_EQ(memory->info, QList<QByteArray>{"BD,Logic,1,2,3,4,5,6,7,8,9,10,LG1"});
    EXPECT_EQ(memory->glucose[2], QList<QByteArray>{"Glu, 95,mg/dl,0,20240131,0745"});
    EXPECT_EQ(memory->marker[8], QList<QByteArray>{"P1,10,,,20240131,0800"});
    EXPECT_TRUE(memory->glucose[0].isEmpty());
}

TEST(MemoryFile, RefusesWhatItCannotPlace) {
    const std::pair<QByteArray, const char*> rows[] = {
        {"Glu,95,mg/dl,0,20240131,0745\n", "line 1"},
        {"[wake]\n]\n[glucose 9]\n", "line 3"},
        {"[glucose]\n", "line 1"},
        {"[info 1]\n", "line 1"},
        {"\n[bogus]\n", "line 2"},
    };
    for (const auto& [text, where] : rows) {
        QString error;
        EXPECT_FALSE(ParseMemory(text, &error)) << text.constData();
        EXPECT_TRUE(error.startsWith(QLatin1String(where))) << error.toStdString();
    }
}

TEST(MemoryFile, SamplesHoldWhatTheirNamesPromise) {
    QString error;
    const auto month = LoadMemory(kSamples + QStringLiteral("/month_mgdl.mem"), &error);
    ASSERT_TRUE(month) << error.toStdString();
    QByteArray glucose;
    for (const auto& block : month->glucose) glucose += JoinLines(block);
    for (const QByteArray needle : {"Cntl,", "Glu, LO,", "Glu, HI,", ",00000000,", ",mg/dl,1,"})
        EXPECT_TRUE(glucose.contains(needle)) << needle.constData();
    EXPECT_GE(glucose.count("Glu,"), 100);
    EXPECT_EQ(month->info.value(0).split(',').value(12), "LG12345678");

    const auto mmol = LoadMemory(kSamples + QStringLiteral("/markers_mmol.mem"), &error);
    ASSERT_TRUE(mmol) << error.toStdString();
    QByteArray markers;
    for (const auto& block : mmol->marker) markers += JoinLines(block);
    for (const QByteArray needle : {"P1,", "P2,", "P3,", "P4,"}) EXPECT_TRUE(markers.contains(needle));
    EXPECT_TRUE(JoinLines(mmol->glucose[0]).contains(",mmol/L,"));

    const auto empty = LoadMemory(kSamples + QStringLiteral("/empty.mem"), &error);
    ASSERT_TRUE(empty) << error.toStdString();
    for (int k = 0; k < kBlocks; ++k) EXPECT_TRUE(empty->glucose[k].isEmpty() && empty->marker[k].isEmpty());
}

TEST(AnswerFraming, AgreesWithTheDriversCheck) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        QList<QByteArray> lines;
        const int count = static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            QByteArray line;
            const int length = static_cast<int>(random() % 40);
            for (int j = 0; j < length; ++j) line += static_cast<char>(random() % 256);
            lines << line;
        }
        EXPECT_TRUE(check_crc(FrameAnswer(lines))) << round;
        EXPECT_FALSE(check_crc(FrameAnswer(lines, 1))) << round;
    }
    EXPECT_EQ(FrameAnswer({}), "00\r\n]\r\n");
    EXPECT_EQ(FrameAnswer({"123456789"}).right(7), "DD\r\n]\r\n"); // the CRC covers the line's CR LF too
}

TEST(SimulatedMeter, AppliesItsFaults) {
    MeterMemory memory;
    memory.glucose[4] = {"Glu,120,mg/dl,0,20240131,0745"};
    memory.info = {"BD,Logic"};
    Faults faults;
    faults.ignoreWakes = 2;
    faults.badCrc[0x84] = 2;
    faults.trailing = "X";
    SimulatedMeter meter(memory, faults);
    EXPECT_TRUE(meter.reply(0xA0).isEmpty());
    EXPECT_TRUE(meter.reply(0xA0).isEmpty());
    EXPECT_EQ(meter.reply(0xA0), "]\r\n");
    for (const bool good : {false, false, true}) {
        QByteArray answer = meter.reply(0x84);
        ASSERT_TRUE(answer.endsWith("]\r\nX"));
        answer.chop(1);
        EXPECT_EQ(check_crc(answer), good);
    }
    EXPECT_EQ(meter.reply(0xA2), FrameAnswer({"BD,Logic"})); // no trailing bytes on the information
    EXPECT_TRUE(meter.reply(0x89).isEmpty());
    EXPECT_TRUE(meter.reply(0x55).isEmpty());

    Faults noisy;
    noisy.noise = true;
    EXPECT_FALSE(SimulatedMeter(memory, noisy).reply(0xA0).contains(']'));
    Faults silent;
    silent.silent = true;
    SimulatedMeter quiet(memory, silent);
    for (const std::uint8_t code : {0xA0, 0x84, 0xA2}) EXPECT_TRUE(quiet.reply(code).isEmpty());
}

TEST(Transcript, ReplaysWhatWasRecorded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    const QByteArray block(60, 'g');
    {
        TranscriptWriter writer;
        QString error;
        ASSERT_TRUE(writer.open(path, &error)) << error.toStdString();
        writer.command(0xA0); // asleep: no answer
        writer.command(0xA0);
        writer.answer("]\r\n");
        writer.command(0x80);
        writer.answer(block.left(10));
        writer.answer(block.mid(10));
    }
    QString error;
    auto replay = TranscriptReplay::load(path, &error);
    ASSERT_TRUE(replay) << error.toStdString();
    EXPECT_TRUE(replay->reply(0xA0).isEmpty());
    EXPECT_EQ(replay->reply(0xA0), "]\r\n");
    EXPECT_EQ(replay->reply(0xA0), "]\r\n"); // used up: the last one repeats
    EXPECT_EQ(replay->reply(0x80), block);
    EXPECT_TRUE(replay->reply(0x81).isEmpty());
}

TEST(Transcript, RefusesMalformedLines) {
    for (const QByteArray text : {"< 5D\n", "> 00\n", "> 01 A0\n", "> 00 A0\n< 5G\n", "> 00 A0\nhello\n",
                                  "> 00 A0\n< 5D0D\n"}) {
        QString error;
        EXPECT_FALSE(TranscriptReplay::parse(text, &error)) << text.constData();
        EXPECT_TRUE(error.startsWith(QLatin1String("line "))) << error.toStdString();
    }
}

TEST(OutputSchedule, PacesChunksAndQueuesAnswers) {
    using std::chrono::milliseconds;
    const Clock::time_point t0{};
    OutputSchedule paced({milliseconds(1), 0, milliseconds(0)});
    paced.add("abc", t0);
    paced.add("de", t0); // waits for the first answer to leave
    EXPECT_EQ(paced.takeDue(t0 + milliseconds(2), nullptr), "ab");
    EXPECT_EQ(paced.nextDue(), t0 + milliseconds(3));
    EXPECT_EQ(paced.takeDue(t0 + milliseconds(4), nullptr), "cd");
    EXPECT_EQ(paced.takeDue(t0 + milliseconds(5), nullptr), "e");
    EXPECT_TRUE(paced.empty());

    OutputSchedule chunked({milliseconds(0), 2, milliseconds(10)});
    chunked.add("12345", t0, true);
    bool drop = false;
    EXPECT_EQ(chunked.takeDue(t0, &drop), "12");
    EXPECT_EQ(chunked.takeDue(t0 + milliseconds(19), &drop), "34");
    EXPECT_FALSE(drop);
    EXPECT_EQ(chunked.takeDue(t0 + milliseconds(20), &drop), "5");
    EXPECT_TRUE(drop);
}

} // namespace
} // namespace bdlogic::sim
