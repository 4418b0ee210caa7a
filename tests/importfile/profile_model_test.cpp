// The indexed line table against the engine's rules applied line by line to a plain list.
#include "importfile/profile_file.h"
#include "plain_table.h"
#include "profile_test_support.h"

#include <random>

namespace bdlogic {
namespace {

class ProfileModelTest : public test::TempFiles {};

TEST_F(ProfileModelTest, RandomEditsLeaveTheSameLinesAsPlainScans) {
    const QStringList sections{"A", "a", "B", "C", "Long Section"};
    const QStringList keys{"k", "K", "x", "Entries", "0", "1", "10", ""};
    const QStringList values{"", "v", "[B]", "a=b", "  "};
    const QStringList inserted{"", "[A]", "[B]x", "[Z]", "k=1", "x=[A]", "junk", "  ", "[C]"};
    const QStringList searched{"[A]", "[b]", "k=", "[", "x=", "entries=", ""};
    const QString file = path(QStringLiteral("model.ini"));
    put(file, "");

    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        const auto number = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        const auto pick = [&](const QStringList& from) { return from[number(0, static_cast<int>(from.size()) - 1)]; };

        ProfileFile profile;
        profile.ProfileLoad(file); // holds the file, so deferred writes do not load again
        test::PlainTable plain;
        for (int step = 0; step < 1500; ++step) {
            const int size = profile.ProfileLineCount();
            const int op = number(0, 19);
            QString what;
            if (op < 11) {
                const QString s = pick(sections), k = pick(keys), v = pick(values);
                what = QStringLiteral("write [%1] %2=%3").arg(s, k, v);
                profile.ProfileWriteKey(s, k, v, file, true);
                plain.writeKey(s, k, v);
            } else if (op < 14) {
                const QString text = pick(inserted);
                int position = number(-1, size + 2);
                what = QStringLiteral("insert '%1' at %2").arg(text).arg(position);
                plain.insert(text, position);
                profile.ProfileInsertLine(text, position);
            } else if (op < 17) {
                const int first = number(0, size + 1), last = number(0, size + 1);
                what = QStringLiteral("delete %1..%2").arg(first).arg(last);
                profile.ProfileDeleteLines(first, last);
                plain.remove(first, last);
            } else {
                const QString text = pick(searched);
                const bool stop = number(0, 1) == 1;
                int p1 = number(0, size + 1), p2 = p1;
                what = QStringLiteral("find '%1' from %2").arg(text).arg(p1);
                ASSERT_EQ(profile.ProfileFindLine(p1, text, stop), plain.find(p2, text, stop)) << what.toStdString();
                ASSERT_EQ(p1, p2) << what.toStdString();
            }
            ASSERT_EQ(profile.lines(), plain.lines)
                << "seed " << seed << " step " << step << ": " << what.toStdString();
        }
    }
}

} // namespace
} // namespace bdlogic
