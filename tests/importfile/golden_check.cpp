#include "golden_check.h"

#include "importfile/driver_version.h"

#include <QFile>
#include <QList>

#include <vector>

namespace bdlogic::test {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QByteArray GoldenBytes(const char* name) {
    QByteArray bytes =
        ReadBytes(QStringLiteral(BDLOGIC_TEST_DATA_DIR "/importfile/golden/") + QLatin1String(name));
    bytes.replace("@DRIVER_VERSION@", DriverVersion().toUtf8());
    return bytes;
}

namespace {
std::string Visible(const QByteArray& line) {
    QByteArray shown = line;
    shown.replace("\r", "\\r");
    if (shown.size() > 100) shown = shown.left(100) + "...(" + QByteArray::number(line.size()) + " bytes)";
    return shown.toStdString();
}
} // namespace

std::string LineDiff(const QByteArray& expected, const QByteArray& actual) {
    const QList<QByteArray> a = expected.split('\n');
    const QList<QByteArray> b = actual.split('\n');
    const std::size_t n = static_cast<std::size_t>(a.size());
    const std::size_t m = static_cast<std::size_t>(b.size());
    // Longest common subsequence of lines, then walk it.
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] = a[static_cast<qsizetype>(i)] == b[static_cast<qsizetype>(j)]
                            ? lcs[i + 1][j + 1] + 1
                            : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    std::string out;
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[static_cast<qsizetype>(i)] == b[static_cast<qsizetype>(j)]) {
            out += "  " + Visible(a[static_cast<qsizetype>(i++)]) + "\n";
            ++j;
        } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
            out += "+ " + Visible(b[static_cast<qsizetype>(j++)]) + "\n";
        } else {
            out += "- " + Visible(a[static_cast<qsizetype>(i++)]) + "\n";
        }
    }
    return out;
}

::testing::AssertionResult MatchesGolden(const QByteArray& actual, const char* goldenName) {
    const QByteArray expected = GoldenBytes(goldenName);
    if (expected.isEmpty())
        return ::testing::AssertionFailure() << "golden file " << goldenName << " is missing";
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "differs from golden " << goldenName << " (- expected, + written):\n"
           << LineDiff(expected, actual);
}

} // namespace bdlogic::test
