#pragma once
// The texts of seeded games kept under tests/engine/kept: every change record a game sent and
// its saved game at chosen impulses. A change to how the rules are laid out in code must give
// the same bytes; only a meant change of the rules writes them anew
// (BRENMOOR_WRITE_KEPT=1 writes the files instead of comparing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/kit/RulesKit.h"

namespace kept {

inline std::filesystem::path KeptFile(const std::string& Name) {
  return std::filesystem::path(BRENMOOR_SOURCE_DIR) / "tests" / "engine" / "kept" / Name;
}

// Compares Text with the kept file of that name; the first differing line on a difference.
inline void ExpectKept(const std::string& Name, const std::string& Text) {
  const std::filesystem::path Path = KeptFile(Name);
  if (std::getenv("BRENMOOR_WRITE_KEPT") != nullptr) {
    std::ofstream Out(Path, std::ios::binary);
    Out << Text;
    ASSERT_TRUE(Out.good()) << Path;
    return;
  }
  std::ifstream In(Path, std::ios::binary);
  ASSERT_TRUE(In.good()) << "no kept file " << Path;
  std::stringstream Kept;
  Kept << In.rdbuf();
  if (Kept.str() == Text) return;
  ADD_FAILURE() << Name << " differs from the kept text: " << kit::FirstDifference(Kept.str(), Text);
}

}  // namespace kept
