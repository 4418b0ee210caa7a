// What every registry backend must do for the four registry operations, as one script of steps and one table of
// values run against each backend: the in-memory fake and the .reg file store here, the real registry on Windows.
#include "registry_backends.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bdlogic::test {
namespace {

using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
constexpr Hive CU = Hive::CurrentUser;
const std::string kHost = "SOFTWARE\\Corvane\\H";
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

enum class Op { Exists, Create, Set, Query, Names };

// One operation and what it must give: Exists "yes"/"no"; Create "created"/"existed"; Set "ok"/"refused";
// Query the value in `value` (absent without one); Names the sorted value names joined by "|".
struct Step {
    Op op;
    Hive hive;
    std::string path;
    std::string name; // value name; the key class for Create
    std::optional<reg::Value> value;
    std::string expect;
};

const Step kScript[] = {
    {Op::Set, LM, kModel, "COM", Sz("3"), "refused"}, // a missing key takes no values
    {Op::Exists, LM, kModel, "", {}, "no"},
    {Op::Create, LM, kModel, "string", {}, "created"},
    {Op::Create, LM, "software\\CORVANE\\h\\Modules\\bd logic", "", {}, "existed"},
    {Op::Create, LM, kHost, "", {}, "existed"}, // parents are created with the key
    {Op::Exists, LM, "SOFTWARE", "", {}, "yes"},
    {Op::Exists, LM, "SOFTWARE\\Corvane\\H\\modules\\BD", "", {}, "no"}, // whole components only
    {Op::Exists, CU, kModel, "", {}, "no"},                              // the hives are separate
    {Op::Create, LM, "SOFTWARE\\CorvaneX\\H", "", {}, "created"},
    {Op::Exists, LM, "SOFTWARE\\CorvaneX\\H\\modules", "", {}, "no"},
    // A parent is a key like any other: it takes values, which belong to it alone.
    {Op::Set, LM, kHost, "ImportDir", Sz("/srv/import/"), "ok"},
    {Op::Query, LM, kHost, "importdir", Sz("/srv/import/"), ""},
    {Op::Query, LM, kModel, "ImportDir", {}, ""},
    {Op::Query, CU, kHost, "ImportDir", {}, ""},
    {Op::Query, LM, kHost + "\\Missing", "ImportDir", {}, ""},
    // Value names ignore case, keep the case they were created with, and are listed once.
    {Op::Set, LM, kModel, "Type0", Sz("Type0"), "ok"},
    {Op::Set, LM, kModel, "Desc0", Sz("Desc0"), "ok"},
    {Op::Set, LM, kModel, "TYPE0", Sz("TYPE0"), "ok"},
    {Op::Set, LM, kModel, "desc0", Dword(7), "ok"}, // a write replaces type and data
    {Op::Query, LM, kModel, "type0", Sz("TYPE0"), ""},
    {Op::Query, LM, kModel, "DESC0", Dword(7), ""},
    {Op::Names, LM, kModel, "", {}, "Desc0|Type0"},
    {Op::Names, LM, kModel + "\\Missing", "", {}, ""},
};

std::string Outcome(reg::Backend& b, const Step& s) {
    static const char* const kCreated[] = {"created", "existed", "failed"};
    switch (s.op) {
    case Op::Exists: return b.keyExists(s.hive, s.path) ? "yes" : "no";
    case Op::Create: return kCreated[static_cast<int>(b.createKey(s.hive, s.path, s.name))];
    case Op::Set: return b.setValue(s.hive, s.path, s.name, *s.value) ? "ok" : "refused";
    case Op::Query: return Describe(b.queryValue(s.hive, s.path, s.name));
    case Op::Names: {
        auto names = b.valueNames(s.hive, s.path);
        std::sort(names.begin(), names.end());
        std::string joined;
        for (const auto& n : names) joined += (joined.empty() ? "" : "|") + n;
        return joined;
    }
    }
    return "?";
}

class RegistryContract : public ::testing::TestWithParam<BackendKind> {};

// The script, then every value of the shared table set into a new key and read back unchanged.
TEST_P(RegistryContract, FollowsTheScriptAndGivesEveryValueBackAsItWasSet) {
    std::vector<Step> steps(std::begin(kScript), std::end(kScript));
    const std::string key = kModel + "\\Values";
    steps.push_back({Op::Create, LM, key, "", {}, "created"});
    for (const auto& [name, value] : ContractValues()) steps.push_back({Op::Set, LM, key, name, value, "ok"});
    for (const auto& [name, value] : ContractValues()) steps.push_back({Op::Query, LM, key, name, value, ""});

    const auto backend = GetParam().make();
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        const std::string want = s.op == Op::Query ? Describe(s.value) : s.expect;
        EXPECT_EQ(Outcome(*backend, s), want) << "step " << i + 1 << ": " << s.path << " / " << s.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract, ::testing::ValuesIn(AllBackends()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace bdlogic::test
