#include "port_numbering.h"

#include <QFileInfo>
#include <QHash>

#include <limits>

namespace bdlogic {

namespace {

constexpr std::int16_t kFirstFreeNumber = 3; // 1 and 2 belong to on-board ports
constexpr int kHighestNumber = std::numeric_limits<std::int16_t>::max();

// The number that one to five decimal digits spell.
std::optional<int> Digits(QStringView s) {
    if (s.isEmpty() || s.size() > 5) return std::nullopt;
    int n = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

// n of a "COMn" text (any case), 1 and up.
std::optional<std::int16_t> ComNumber(const QString& text) {
    if (!text.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return std::nullopt;
    const auto n = Digits(QStringView(text).mid(3));
    if (!n || *n < 1 || *n > kHighestNumber) return std::nullopt;
    return static_cast<std::int16_t>(*n);
}

// k+1 for /dev/ttyS<k>.
std::optional<std::int16_t> OnBoardNumber(const QString& path) {
    static constexpr QStringView kOnBoard = u"/dev/ttyS";
    if (!path.startsWith(kOnBoard)) return std::nullopt;
    const auto k = Digits(QStringView(path).mid(kOnBoard.size()));
    if (!k || *k >= kHighestNumber) return std::nullopt;
    return static_cast<std::int16_t>(*k + 1);
}

// Whether the map entry `name` stands for `d`: by its path, its identity or the node a link leads to.
bool Names(const QString& name, const SerialDevice& d) {
    if (name == d.path || name == d.identity) return true;
    const QString node = QFileInfo(name).canonicalFilePath();
    return !node.isEmpty() && node == QFileInfo(d.path).canonicalFilePath();
}

// Value name -> number of every "COMn" value of a machine key, in the registry's order.
std::vector<std::pair<QString, std::int16_t>> Numbers(const Registry& registry, const QString& key) {
    std::vector<std::pair<QString, std::int16_t>> out;
    for (const QString& name : registry.ValueNames(Hive::LocalMachine, key)) {
        QString data;
        if (!registry.ReadRegValue(Hive::LocalMachine, key, name, data)) continue;
        if (const auto n = ComNumber(data)) out.emplace_back(name, *n);
    }
    return out;
}

} // namespace

PortNumbers::PortNumbers(const Registry& registry, std::vector<SerialDevice> devices) : devices_(std::move(devices)) {
    for (const auto& [device, n] : Numbers(registry, kSerialDeviceMapKey)) {
        mapped_.emplace(n, device);
        taken_.insert(n);
    }
    QHash<QString, std::int16_t> recorded; // value names compare without regard to case, as in the registry
    for (const auto& [identity, n] : Numbers(registry, kPortNumberRecordKey)) {
        recorded.insert(identity.toCaseFolded(), n);
        taken_.insert(n);
    }
    std::vector<const SerialDevice*> others;
    for (const SerialDevice& d : devices_) {
        if (const auto n = OnBoardNumber(d.path)) {
            numbered_.emplace(*n, d); // before any record, which cannot take an on-board port's number from it
            taken_.insert(*n);
            continue;
        }
        bool mapped = false;
        for (const auto& [n, device] : mapped_) mapped = mapped || Names(device, d);
        if (!mapped) others.push_back(&d);
    }
    for (const SerialDevice* d : others) {
        if (const auto it = recorded.constFind(d->identity.toCaseFolded()); it != recorded.cend())
            numbered_.emplace(*it, *d);
        else
            unnumbered_.push_back(*d);
    }
}

PortNumbers PortNumbers::Claim(Registry& registry, const std::vector<SerialDevice>& devices) {
    PortNumbers numbers(registry, devices);
    if (numbers.unnumbered_.empty()) return numbers; // the usual case: nothing to write, no lock to wait for
    bool decided = false;
    registry.Update(Hive::LocalMachine, [&](Registry& held) {
        // Read again under the lock: another program may have numbered some of them meanwhile.
        numbers = PortNumbers(held, devices);
        decided = true;
        return numbers.numberNew(&held);
    });
    if (!decided) numbers.numberNew(nullptr);
    return numbers;
}

bool PortNumbers::numberNew(Registry* record) {
    bool recorded = false;
    int n = kFirstFreeNumber;
    for (const SerialDevice& d : unnumbered_) {
        while (n <= kHighestNumber && taken_.count(static_cast<std::int16_t>(n))) ++n;
        if (n > kHighestNumber) break;
        const auto number = static_cast<std::int16_t>(n);
        taken_.insert(number);
        numbered_.emplace(number, d);
        if (record)
            recorded = record->WriteRegString(Hive::LocalMachine, kPortNumberRecordKey, d.identity,
                                              QStringLiteral("COM%1").arg(number)) ||
                       recorded;
    }
    unnumbered_.clear();
    return recorded;
}

PortTarget PortNumbers::target(std::int16_t n) const {
    if (n < 1) return {};
    if (const auto it = mapped_.find(n); it != mapped_.end()) {
        // A device the system lists (opened by its own path, as other programs lock it), or any other that is
        // there (a pseudo-terminal).
        for (const SerialDevice& d : devices_)
            if (Names(it->second, d)) return {d.path, d.description};
        return {it->second, {}, !QFileInfo::exists(it->second)};
    }
    if (const auto it = numbered_.find(n); it != numbered_.end()) return {it->second.path, it->second.description};
    return {QStringLiteral("/dev/ttyS%1").arg(n - 1), {}, true};
}

} // namespace bdlogic
