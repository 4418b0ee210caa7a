// Byte-exact comparison of written files with the expected files in tests/importfile/golden.
#pragma once

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

namespace bdlogic::test {

QByteArray ReadBytes(const QString& path);

// The golden file's bytes, with @DRIVER_VERSION@ replaced by the program's version.
QByteArray GoldenBytes(const char* name);

// Passes when the bytes equal the golden file; otherwise the message is a line diff with CR shown as \r.
::testing::AssertionResult MatchesGolden(const QByteArray& actual, const char* goldenName);

// A line diff of two texts ("-" expected only, "+" actual only), CR shown as \r and long lines shortened.
std::string LineDiff(const QByteArray& expected, const QByteArray& actual);

} // namespace bdlogic::test
