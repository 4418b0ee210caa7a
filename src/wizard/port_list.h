// The port page's list: one entry "COM:" n per port with a tick box, exactly one of them ticked.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace bdlogic {

struct PortEntry {
    QString text;          // "COM:" + n
    std::int16_t itemData; // the port number
    bool selected = false; // ticked
    QString toolTip;       // what stands behind the port
};

class PortList {
public:
    // Fills the list with ports 1..highest (0 means 16), ticking `remembered` or else the first entry.
    void ScanPorts(std::int16_t& highest, std::int16_t remembered);
    // Shows what stands behind the port of entry `item`.
    void setToolTip(int item, const QString& tip);
    // The user changed the tick of `item`: that entry alone stays ticked.
    void ItemCheck(int item);
    // The user moved the list's current entry.
    void setCurrent(int item) { current_ = item; }

    const std::vector<PortEntry>& entries() const { return entries_; }
    int current() const { return current_; }
    // The first ticked entry from the top, or -1.
    int firstSelected() const;
    bool empty() const { return entries_.empty(); }

private:
    std::vector<PortEntry> entries_;
    int current_ = -1;
    bool guard_ = false;
};

constexpr std::int16_t kHighestPort = 16;

} // namespace bdlogic
