// The script module's registry holds the whole set of game functions, each once, none
// shadowing a function of the language.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "players/ScriptModule.h"

namespace {

TEST(GameFunctionRegistry, AllGameFunctionsAreRegisteredOnceBesideTheLanguage) {
  TdmScript Module;
  const TFuncs Language;  // the built-ins alone
  EXPECT_EQ(Module.GameFunctionCount(), 129);
  std::set<std::string> Names;
  for (std::int32_t I = 0; I < Module.GameFunctionCount(); ++I) {
    const TFunc& F = Module.GameFunction(I);
    SCOPED_TRACE(F.Declaration());
    // The declaration read back gives the function that the registry holds.
    TFunc Probe;
    Probe.SetDeclaration(F.Declaration());
    EXPECT_EQ(Probe.Name(), F.Name());
    ASSERT_NE(F.Registered(), nullptr);
    EXPECT_EQ(Module.GetFuncs().FindFunction(F.Name()), F.Registered());
    EXPECT_TRUE(Names.insert(F.Name()).second) << "registered twice";
    EXPECT_EQ(Language.FindFunction(F.Name()), nullptr) << "a function of the language";
    EXPECT_TRUE(F.OnEval() || F.OnExEval()) << "no handler";
  }
}

}  // namespace
