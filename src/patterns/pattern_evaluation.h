// The brake and warning patterns of one supervision pass.
#pragma once

#include "../unit/vantor.h"

namespace vantor {

// Stores every slot's brake pattern, the lowest of them and the pattern display, then decides
// the warning lamp and its chime, running the re-arm rules of slots 1 and 4 on the way.
// everySlotEmpty: no slot holds a value.
void evaluatePatterns(CVantor& unit, float speedKmh, bool everySlotEmpty);

} // namespace vantor
