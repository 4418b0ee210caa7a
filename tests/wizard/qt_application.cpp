// The widget tests need one QApplication for the whole run (offscreen, as bdlogic_add_test sets it).
#include "support/qt_app_environment.h"

#include <QApplication>

namespace {
[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new bdlogic::test::QtAppEnvironment<QApplication>);
} // namespace
