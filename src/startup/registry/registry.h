// The four registry operations the program uses: KeyExists, ReadRegValue, CreateRegKey, WriteRegString.
#pragma once

#include "registry_backend.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace bdlogic {

using reg::Hive;

class Registry {
public:
    explicit Registry(reg::Backend& backend) : backend_(backend) {}

    bool KeyExists(Hive hive, const QString& path) const;
    // Reads a value as text into `value`, trimmed; a blank or empty value keeps the caller's default. False when
    // the key or the value does not exist or could not be read.
    bool ReadRegValue(Hive hive, const QString& path, const QString& name, QString& value) const;
    // True only when a new key was created.
    bool CreateRegKey(Hive hive, const QString& path, const QString& keyClass);
    // Writes REG_SZ text, creating the key (class "string") when missing; an empty text is stored as one blank.
    bool WriteRegString(Hive hive, const QString& path, const QString& name, const QString& value);
    // The names of the values of a key; empty when the key does not exist or cannot be listed.
    QStringList ValueNames(Hive hive, const QString& path) const;
    // Reads, decides and writes as one step: `change` works on a registry that holds the hive as it is and
    // returns whether it changed anything; no other writer comes in between (see reg::Backend::update).
    bool Update(Hive hive, const std::function<bool(Registry&)>& change);

    // Reads from the machine hive, then from the user hive into the same value, so that a non-blank user value
    // overrides the machine value.
    void ReadMachineThenUser(const QString& path, const QString& name, QString& value) const;

private:
    reg::Backend& backend_;
};

} // namespace bdlogic
