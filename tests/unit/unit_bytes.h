// The unit's record as raw bytes: shows that a call left every field exactly as it was.
#pragma once

#include <array>
#include <cstring>

#include "unit/vantor.h"

namespace vantor::testing {

class UnitBytes {
  public:
    explicit UnitBytes(const CVantor& unit) { std::memcpy(bytes_.data(), &unit, sizeof unit); }
    bool operator==(const UnitBytes&) const = default;

  private:
    std::array<unsigned char, sizeof(CVantor)> bytes_{};
};

} // namespace vantor::testing
