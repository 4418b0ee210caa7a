#include "golden_check.h"

#include "importfile/driver_version.h"
#include "support/test_files.h"

#include <QList>

namespace bdlogic::test {

namespace {
std::string Visible(const QByteArray& line) {
    QByteArray shown = line;
    shown.replace("\r", "\\r");
    if (shown.size() > 100) shown = shown.left(100) + "...(" + QByteArray::number(line.size()) + " bytes)";
    return shown.toStdString();
}
} // namespace

::testing::AssertionResult MatchesGolden(const QString& file, const char* goldenName) {
    const QByteArray actual = ReadBytes(file);
    QByteArray expected =
        ReadBytes(QStringLiteral(BDLOGIC_TEST_DATA_DIR "/importfile/golden/") + QLatin1String(goldenName));
    if (expected.isEmpty()) return ::testing::AssertionFailure() << "golden file " << goldenName << " is missing";
    expected.replace("@DRIVER_VERSION@", DriverVersion().toUtf8());
    if (actual == expected) return ::testing::AssertionSuccess();
    const QList<QByteArray> want = expected.split('\n');
    const QList<QByteArray> got = actual.split('\n');
    qsizetype line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
    return ::testing::AssertionFailure() << "differs from golden " << goldenName << " at line " << line + 1
                                         << "\n expected: " << Visible(want.value(line))
                                         << "\n written:  " << Visible(got.value(line));
}

} // namespace bdlogic::test
