// A temporary directory for the engine's files.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic::test {

class TempFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    static void put(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QTemporaryDir dir_;
};

} // namespace bdlogic::test
