// When the import must wait for the marker set-up, and when the set-up is offered: the rules over every
// stored combination, checked on the wizard's logic (the window shows both states in ziv_uvivodu_test.cpp).
#include "fake_import_steps.h"
#include "support/services_fixture.h"
#include "wizard/wizard.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using reg::Hive;
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

TEST(CheckParamsetup, BlocksOnlyWithoutAUserSetUpAndOffersItWithConfigureMeter) {
    const struct {
        const char* configure; // nullptr: not stored
        const char* doInit;
        const char* type0;
        bool ok;
    } rows[] = {
        {nullptr, nullptr, nullptr, true}, {"1", "1", nullptr, false}, {"1", "1", "0", true},
        {"0", "1", nullptr, true},         {"1", "0", nullptr, true},  {"abc", "1", nullptr, true},
        {"1", "x", nullptr, true},
    };
    for (const auto& r : rows) {
        test::FakeWorld world;
        test::BdLogicOnCom3(world.state);
        if (r.configure) world.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", r.configure);
        if (r.doInit) world.backend.putString(Hive::LocalMachine, kModel, "DoInit", r.doInit);
        if (r.type0) world.backend.putString(Hive::CurrentUser, kModel, "Type0", r.type0);
        test::FakeImportSteps steps;
        Wizard z(world.services, steps, {});
        z.Go();
        SCOPED_TRACE(&r - rows);
        EXPECT_EQ(z.Check_Paramsetup(), r.ok);
        EXPECT_EQ(z.screen().frameSetupVisible, r.configure && r.configure == std::string("1"));
    }
}

} // namespace
} // namespace bdlogic
