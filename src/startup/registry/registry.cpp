#include "registry.h"

#include "startup/common_code.h"

#include <cstring>

namespace bdlogic {

namespace {
std::string Utf8(const QString& s) { return s.toStdString(); }
} // namespace

bool Registry::KeyExists(Hive hive, const QString& path) const { return backend_.keyExists(hive, Utf8(path)); }

bool Registry::ReadRegValue(Hive hive, const QString& path, const QString& name, QString& value) const {
    if (!backend_.keyExists(hive, Utf8(path))) return false;
    const auto v = backend_.queryValue(hive, Utf8(path), Utf8(name));
    if (!v) return false;
    QString work;
    switch (v->type) {
    case reg::kSz:
    case reg::kExpandSz:
        // The data with its NUL, then one blank: the buffer of data size + 1 characters the text is read into.
        work = QString::fromUtf8(reinterpret_cast<const char*>(v->data.data()),
                                 static_cast<qsizetype>(v->data.size())) +
               u' ';
        break;
    case reg::kDword: {
        if (v->data.size() < 4) return false;
        std::int32_t n = 0;
        std::memcpy(&n, v->data.data(), 4); // little-endian on every platform the program runs on
        work = QString::number(n);
        break;
    }
    default:
        break;
    }
    if (!work.isEmpty() && work.back().unicode() < 20) work.chop(1);
    work = TrimValue(work);
    if (!work.isEmpty()) value = work;
    return true;
}

bool Registry::CreateRegKey(Hive hive, const QString& path, const QString& keyClass) {
    return backend_.createKey(hive, Utf8(path), Utf8(keyClass)) == reg::CreateResult::Created;
}

bool Registry::WriteRegString(Hive hive, const QString& path, const QString& name, const QString& value) {
    if (!KeyExists(hive, path)) CreateRegKey(hive, path, QStringLiteral("string"));
    if (!backend_.keyExists(hive, Utf8(path))) return false;
    const QByteArray text = (value.isEmpty() ? QStringLiteral(" ") : value).toUtf8();
    reg::Value v;
    v.type = reg::kSz;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return backend_.setValue(hive, Utf8(path), Utf8(name), v);
}

QStringList Registry::ValueNames(Hive hive, const QString& path) const {
    QStringList names;
    for (const std::string& name : backend_.valueNames(hive, Utf8(path))) names << QString::fromStdString(name);
    return names;
}

bool Registry::Update(Hive hive, const std::function<bool(Registry&)>& change) {
    return backend_.update(hive, [&](reg::Backend& held) {
        Registry view(held);
        return change(view);
    });
}

void Registry::ReadMachineThenUser(const QString& path, const QString& name, QString& value) const {
    ReadRegValue(Hive::LocalMachine, path, name, value);
    ReadRegValue(Hive::CurrentUser, path, name, value);
}

} // namespace bdlogic
