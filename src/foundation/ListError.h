#pragma once
#include <string>

#include "foundation/Exception.h"

// Raised for an index outside a list, or an item a list cannot take.
class EListError : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
  static EListError IndexOutOfBounds(long long Index) {
    return EListError("List index out of bounds (" + std::to_string(Index) + ")");
  }
};
