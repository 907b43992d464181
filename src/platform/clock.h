#pragma once
#include "base/clock.h"

namespace platform {

// Seeds rand() once from the current time.
void SeedRandomFromTime();

}  // namespace platform
