// How far a download got: for each of its three exchanges (glucose series, marker series, information block)
// how many blocks were accepted and how it ended. Plain data, so that batch mode can say what is missing.
#pragma once

#include <cstdint>

namespace bdlogic {

enum class LinkEnd : std::uint8_t {
    NotRun,       // an earlier exchange ended the download
    Complete,     // every block was read
    ChecksFailed, // one block failed its check three times in a row (an answer too long to be one counts too)
    MeterSilent,  // the meter sent nothing new for kSilenceLimitMs
    PortLost,     // the port closed under the download: its device went away
    Stopped,      // the program is ending
};

// A meter that has gone quiet or a port that has gone leaves nothing more to ask for: the download ends there.
// After failed checks the next exchange still runs.
inline bool DownloadGoesOn(LinkEnd end) { return end == LinkEnd::Complete || end == LinkEnd::ChecksFailed; }

struct DownloadPart {
    int blocks = 0; // accepted blocks; the information exchange counts as one block
    LinkEnd end = LinkEnd::NotRun;
    bool operator==(const DownloadPart&) const = default;
};

struct DownloadReport {
    DownloadPart glucose, markers, info;
    bool operator==(const DownloadReport&) const = default;

    bool complete() const {
        return glucose.end == LinkEnd::Complete && markers.end == LinkEnd::Complete && info.end == LinkEnd::Complete;
    }
};

} // namespace bdlogic
