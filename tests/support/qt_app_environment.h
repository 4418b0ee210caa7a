// One Qt application object for a whole test program: the serial port, the event pump and the windows need it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

namespace bdlogic::test {

template <class App>
class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "bdlogic_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<App>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<App> app_;
};

} // namespace bdlogic::test
