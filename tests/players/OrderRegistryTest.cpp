// The order and stateful game functions are all registered, each under its declaration.
#include <gtest/gtest.h>

#include "players/ScriptModule.h"

namespace {

const char* const OrderDeclarations[] = {
    "OrderUnitClear( mult )", "OrderUnitMove( mult, mult )", "OrderUnitLaunch( mult )", "OrderUnitRetreat( mult )",
    "OrderUnitMerge( mult, mult )", "OrderUnitDock( mult, mult )", "OrderUnitDividePct( mult, mult )",
    "OrderUnitEmbark( mult, mult )", "OrderUnitDisembark( mult, mult )", "OrderUnitIntercept( mult, mult )",
    "OrderUnitInvade( mult, mult )", "OrderUnitPatrol( mult )", "OrderUnitRebase( mult, mult )",
    "OrderUnitAirStrike( mult, mult )", "OrderUnitReturnToBase( mult )", "OrderUnitRecon( mult )",
    "OrderUnitBomb( mult, mult )", "OrderUnitBombard( mult, mult )", "OrderUnitRebaseCarrier( mult, mult, boolean )",
    "OrderUnitSurface( mult )", "OrderUnitSubmerge( mult )", "OrderUnitEmbarkAll( mult, mult )",
    "OrderUnitDisembarkAll( mult, mult )", "OrderRouteResources( mult, mult, mult )", "OrderAutoRouteResources( mult, mult )",
    "OrderBuildArmy( mult, mult, mult, mult, mult )", "OrderBuildAirForce( mult, mult, mult, mult, mult, mult )",
    "OrderBuildNavy( mult, mult, mult, mult, mult, mult, mult, mult )", "OrderBuildFactory( mult )",
    "OrderBuildBorderDefense( mult, mult )", "OrderTargetRocket( mult, mult )", "OrderBuildRocket( mult )",
    "OrderBuildAirfield( mult )", "OrderBuildPort( mult )", "OrderZoneConsolidate( mult )",
    "OrderGlobalRouteResources( mult, mult )", "OrderGlobalClearResources( mult )",
    "OrderChangeFormations( mult, mult, mult, mult, integer, mult, mult, mult, mult, mult, mult, mult, mult, mult, mult )",
    "OrderDiplomatic( mult, mult )", "OrderChangeResearchSpending( mult )", "OrderChangeResearchLevel( mult, mult )",
    "ClearPatrolZones( mult )", "AddPatrolZone( mult )", "FindClosestEnemyZone( mult, mult ): integer",
    "GetBrainData( string ): string", "SetBrainData( string, string )", "Random( mult, mult ): integer", "Version( mult )",
    "Print( string )", "OrderChat( string, mult )",
};

TEST(OrderRegistry, EveryOrderAndStatefulFunctionIsRegisteredUnderItsDeclaration) {
  // Registering refuses a name twice and a built-in's name: the module's making would raise.
  TdmScript Module;
  for (const char* Declaration : OrderDeclarations) {
    TFunc Probe;
    Probe.SetDeclaration(Declaration);
    const TFunction* F = Module.GetFuncs().FindFunction(Probe.Name());
    ASSERT_NE(F, nullptr) << Declaration;
    EXPECT_NE(F->Funcs(), nullptr) << Declaration << " is a built-in";
    ASSERT_EQ(F->PatternCount(), 1) << Declaration;
    EXPECT_EQ(F->Pattern(0), Probe.Patterns()[0]) << Declaration;
    EXPECT_EQ(F->ResultType(), Probe.ResultType()) << Declaration;
  }
}

}  // namespace
