// Port numbers for the serial devices the system has, given and kept as Windows gives and keeps them:
// - an on-board /dev/ttyS<k> is number k+1;
// - a device that a serial device map entry (SERIALCOMM) names has that entry's number and no other;
// - every other device has the number recorded for its identity under kPortNumberRecordKey in the machine hive
//   (value name = identity, data "COMn"); a device seen for the first time gets the lowest number from 3 up that
//   no map entry, on-board port or record holds. Records of devices that are gone stay, so their numbers stay
//   theirs.
// Not built on Windows, where the system numbers its ports itself.
#pragma once

#include "port_device.h"
#include "serial_devices.h"
#include "startup/registry/registry.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace bdlogic {

inline const QString kPortNumberRecordKey =
    QStringLiteral("SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter\\Devices");

class PortNumbers {
public:
    // The numbers as the registry holds them for `devices`; records nothing.
    PortNumbers(const Registry& registry, std::vector<SerialDevice> devices);

    // The same, after giving every device without a number its number and recording it: one read-modify-write
    // of the machine hive, so that two programs numbering at once never give one number twice. When the hive
    // cannot be written the new numbers hold for this run only.
    static PortNumbers Claim(Registry& registry, const std::vector<SerialDevice>& devices);

    // Port n: its map entry, else the device that holds n, else /dev/ttyS<n-1> (absent).
    PortTarget target(std::int16_t n) const;

private:
    // Numbers the devices that have none; records each through `record` when given. True when it recorded one.
    bool numberNew(Registry* record);

    std::vector<SerialDevice> devices_;
    std::map<std::int16_t, QString> mapped_;        // map entries: number -> device (the first entry of a number)
    std::map<std::int16_t, SerialDevice> numbered_; // listed devices by number
    std::vector<SerialDevice> unnumbered_;          // listed devices without a number yet
    std::set<std::int16_t> taken_;                  // numbers of map entries, on-board ports and every record
};

} // namespace bdlogic
