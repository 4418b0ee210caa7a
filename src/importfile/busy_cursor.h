// The wait cursor (the hourglass) that the writers show while they work. The windows supply the real one.
#pragma once

namespace bdlogic {

class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    virtual void set(bool busy) = 0;
};

} // namespace bdlogic
