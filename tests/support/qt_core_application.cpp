// Tests that use the real serial port and event pump need one QCoreApplication for the whole run.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtCoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "bdlogic_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtCoreApplication =
    ::testing::AddGlobalTestEnvironment(new QtCoreApplicationEnvironment);

} // namespace
