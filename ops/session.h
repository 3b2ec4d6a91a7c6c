// State the operations share for the whole run.
#pragma once

#include "hart/frame.h"
#include "hart/units.h"

namespace ops {

struct Session {
    hart::DeviceIdentity identity;  // from the last command 0 reply
    hart::CurrentUnit unit;         // unit code last read or written
};

}  // namespace ops
