// The windowed program's wait cursor (tests/wizard/windowed_import_test.cpp sees it in use).
#include "importfile/widget_busy_cursor.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(WidgetBusyCursorTest, ShowsTheHourglassOnceAndTakesBackOnlyItsOwn) {
    QApplication::setOverrideCursor(Qt::CrossCursor); // someone else's
    {
        WidgetBusyCursor cursor;
        cursor.set(true);
        cursor.set(true);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        cursor.set(false);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        cursor.set(false); // not shown: someone else's stays
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        cursor.set(true);
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor) << "gone with the object";
    QApplication::restoreOverrideCursor();
}

} // namespace
} // namespace bdlogic
