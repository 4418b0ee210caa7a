// Byte-exact comparison of written files with the expected files in tests/importfile/golden.
#pragma once

#include <QString>

#include <gtest/gtest.h>

namespace bdlogic::test {

// Passes when the file's bytes equal the golden file, whose @DRIVER_VERSION@ stands for the program's version;
// otherwise the message shows the first line that differs, CR shown as \r.
::testing::AssertionResult MatchesGolden(const QString& file, const char* goldenName);

} // namespace bdlogic::test
