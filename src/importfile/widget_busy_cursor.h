// The writers' wait cursor in the windowed program: Qt's override cursor over all of the program's windows.
#pragma once

#include "busy_cursor.h"

namespace bdlogic {

class WidgetBusyCursor final : public BusyCursor {
public:
    WidgetBusyCursor() = default;
    WidgetBusyCursor(const WidgetBusyCursor&) = delete;
    WidgetBusyCursor& operator=(const WidgetBusyCursor&) = delete;
    ~WidgetBusyCursor() override { set(false); }

    // Shows the hourglass, or takes back the one this object showed.
    void set(bool busy) override;

private:
    bool shown_ = false;
};

} // namespace bdlogic
