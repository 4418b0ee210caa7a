// Tests that use the real serial port and event pump need one QCoreApplication for the whole run.
#include "support/qt_app_environment.h"

#include <QCoreApplication>

namespace {
[[maybe_unused]] ::testing::Environment* const kQtCoreApplication =
    ::testing::AddGlobalTestEnvironment(new bdlogic::test::QtAppEnvironment<QCoreApplication>);
} // namespace
