#include "port_list.h"

namespace bdlogic {

void PortList::ScanPorts(std::int16_t& highest, std::int16_t remembered) {
    entries_.clear();
    current_ = -1;
    if (highest == 0) highest = kHighestPort;
    bool preselected = false;
    for (std::int16_t n = 1; n > 0 && n <= highest; ++n) {
        PortEntry e{QStringLiteral("COM:") + QString::number(n), n, n == remembered, {}};
        preselected = preselected || e.selected;
        entries_.push_back(e);
    }
    if (!preselected && !entries_.empty()) {
        current_ = 0;
        entries_.front().selected = true;
    }
    const int first = firstSelected();
    if (first >= 0) current_ = first;
}

void PortList::setToolTip(int item, const QString& tip) {
    if (item >= 0 && item < static_cast<int>(entries_.size())) entries_[static_cast<std::size_t>(item)].toolTip = tip;
}

void PortList::ItemCheck(int item) {
    if (guard_) return;
    guard_ = true;
    for (auto& e : entries_) e.selected = false;
    if (item >= 0 && item < static_cast<int>(entries_.size())) {
        entries_[static_cast<std::size_t>(item)].selected = true;
        current_ = item;
    }
    guard_ = false;
}

int PortList::firstSelected() const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].selected) return static_cast<int>(i);
    return -1;
}

} // namespace bdlogic
