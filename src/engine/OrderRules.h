#pragma once
// The rules of each order: what refuses it on the host's check against its sender, and what
// it does in the order stage, one order beside the other.
#include <string>

#include "engine/OrderRefusal.h"

class TBrenmoorEngine;

namespace OrderRules {

// The host's check of the record against the user who sent it (TBrenmoorEngine::CheckOrder).
TOrderRefusal Check(const TBrenmoorEngine& Engine, const std::string& Record, const std::string& Sender);
// The order stage's effect of the record, whoever sent it (TBrenmoorEngine::ApplyOrder):
// None when it acted, else why it did nothing.
TOrderRefusal Apply(TBrenmoorEngine& Engine, const std::string& Record);

}  // namespace OrderRules
