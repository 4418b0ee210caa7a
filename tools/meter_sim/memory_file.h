// The simulator's memory file: what the meter holds, in a form people edit by hand (see README.md).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace bdlogic::sim {

constexpr int kBlocks = 9;

struct MeterMemory {
    QList<QByteArray> wake{"]"};                    // lines of the reply to the wake-up: the prompt by default
    QList<QByteArray> info;                         // lines of the information answer
    std::array<QList<QByteArray>, kBlocks> glucose; // lines of glucose blocks 0..8
    std::array<QList<QByteArray>, kBlocks> marker;  // lines of marker blocks 0..8
};

// Nothing, with `error` set to "line N: why", when the text is not a memory file.
std::optional<MeterMemory> ParseMemory(const QByteArray& text, QString* error);
std::optional<MeterMemory> LoadMemory(const QString& path, QString* error);

} // namespace bdlogic::sim
