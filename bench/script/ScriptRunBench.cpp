// Whole scripts: a loop around a host function, nested host calls, string building and the
// compile of a long script. The loops run side by side with the same loops in Lua 5.4 (with
// global variables and a C host function), and the figures that matter are the counters:
// ns per loop pass or per call, and the ratio to Lua measured in the same benchmark.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "foundation/ProcessMessages.h"
#include "platform/MessagePump.h"
#include "script/Script.h"

namespace {

using TClock = std::chrono::steady_clock;

double Nanoseconds(TClock::duration D) { return std::chrono::duration<double, std::nano>(D).count(); }

// A script with its registry and the host functions f(a, b) = a + b and g(a) = a + 1.
class TBenchScript {
public:
  explicit TBenchScript(const std::string& Text) {
    F.SetDeclaration("f( integer, integer ): integer");
    F.SetFuncs(&Funcs);
    F.SetOnEval([](TFunc*, const TArgList& Args, TValue& R) { R = Args.Value(0).AsInteger() + Args.Value(1).AsInteger(); });
    G.SetDeclaration("g( integer ): integer");
    G.SetFuncs(&Funcs);
    G.SetOnEval([](TFunc*, const TArgList& Args, TValue& R) { R = Args.Value(0).AsInteger() + 1; });
    Script.SetFunctions(&Funcs);
    Script.SetText(Text);
    if (!Script.Compile()) throw std::runtime_error("script does not compile");
  }
  void Run() {
    if (!Script.Execute()) throw std::runtime_error("script does not run");
  }
  TValue Value(const char* Name) const {
    TDataItem* Item = Script.FindDataItem(Name);
    return Item ? Item->Value() : TValue();
  }

private:
  TFuncs Funcs;
  TFunc F, G;
  TScript Script;
};

int LuaF(lua_State* L) {
  lua_pushinteger(L, lua_tointeger(L, 1) + lua_tointeger(L, 2));
  return 1;
}

int LuaG(lua_State* L) {
  lua_pushinteger(L, lua_tointeger(L, 1) + 1);
  return 1;
}

// A Lua state with the same host functions and one compiled chunk.
class TLuaScript {
public:
  explicit TLuaScript(const std::string& Text) : FL(luaL_newstate()) {
    luaL_openlibs(FL);
    lua_register(FL, "f", LuaF);
    lua_register(FL, "g", LuaG);
    if (luaL_loadstring(FL, Text.c_str()) != LUA_OK) throw std::runtime_error(lua_tostring(FL, -1));
    FChunk = luaL_ref(FL, LUA_REGISTRYINDEX);
  }
  ~TLuaScript() { lua_close(FL); }
  TLuaScript(const TLuaScript&) = delete;
  TLuaScript& operator=(const TLuaScript&) = delete;
  void Run() {
    lua_rawgeti(FL, LUA_REGISTRYINDEX, FChunk);
    if (lua_pcall(FL, 0, 0, 0) != LUA_OK) throw std::runtime_error(lua_tostring(FL, -1));
  }
  // A global as text ("" when it is neither a number nor a string).
  std::string Global(const char* Name) {
    lua_getglobal(FL, Name);
    const char* Text = lua_tostring(FL, -1);
    std::string Result = Text ? Text : "";
    lua_pop(FL, 1);
    return Result;
  }

private:
  lua_State* FL;
  int FChunk = LUA_NOREF;
};

constexpr int LoopPasses = 100000;

// The same program in the script language and in Lua.
struct TProgram {
  std::string Ours, Lua;
};

// Passes of x := f(x, i) mod 1000.
TProgram HostLoop(int Passes) {
  const std::string N = std::to_string(Passes);
  return {"i := 0; x := 0; n := " + N + "; while i < n do begin x := f(x, i) mod 1000; i := i + 1 end",
          "i = 0 x = 0 n = " + N + " while i < n do x = f(x, i) % 1000; i = i + 1 end"};
}

// Passes of s := s + 'ab'.
TProgram TextLoop(int Passes) {
  const std::string N = std::to_string(Passes);
  return {"s := ''; i := 0; while i < " + N + " do begin s := s + 'ab'; i := i + 1 end",
          "s = '' i = 0 while i < " + N + " do s = s .. 'ab'; i = i + 1 end"};
}

const TProgram Loop = HostLoop(LoopPasses);

// Ten host calls nested in one another, in a loop.
constexpr int NestPasses = 20000;
const std::string NestScript = "i := 0; x := 0; while i < " + std::to_string(NestPasses) +
                               " do begin x := g(g(g(g(g(g(g(g(g(g(x)))))))))) mod 1000; i := i + 1 end";
const std::string NestLua = "i = 0 x = 0 while i < " + std::to_string(NestPasses) +
                            " do x = g(g(g(g(g(g(g(g(g(g(x)))))))))) % 1000; i = i + 1 end";

constexpr int StringPasses = 4000;
const TProgram Strings = TextLoop(StringPasses);

// Runs the script and the Lua chunk alternately and reports both per pass and the ratio. When
// Same names a variable, both must end with the same value of it.
void SideBySide(benchmark::State& State, const std::string& Ours, const std::string& Theirs, int Passes,
                const char* Unit, const char* Same = nullptr) {
  SetProcessMessagesHook(nullptr);
  TBenchScript Script(Ours);
  TLuaScript Lua(Theirs);
  if (Same) {
    Script.Run();
    Lua.Run();
    std::string Name = Same;
    for (char& C : Name) C = static_cast<char>(C - 'a' + 'A');
    if (Script.Value(Name.c_str()).AsString() != Lua.Global(Same)) {
      State.SkipWithError("the script and the Lua chunk disagree");
      return;
    }
  }
  TClock::duration InScript{}, InLua{};
  for (auto _ : State) {
    auto T0 = TClock::now();
    Script.Run();
    auto T1 = TClock::now();
    Lua.Run();
    auto T2 = TClock::now();
    InScript += T1 - T0;
    InLua += T2 - T1;
  }
  const double N = static_cast<double>(State.iterations()) * Passes;
  State.counters[std::string("script_ns_per_") + Unit] = Nanoseconds(InScript) / N;
  State.counters[std::string("lua_ns_per_") + Unit] = Nanoseconds(InLua) / N;
  State.counters["ratio_to_lua"] = Nanoseconds(InScript) / Nanoseconds(InLua);
}

void BM_LoopWithHostFunctionVersusLua(benchmark::State& State) { SideBySide(State, Loop.Ours, Loop.Lua, LoopPasses, "pass"); }
BENCHMARK(BM_LoopWithHostFunctionVersusLua)->Unit(benchmark::kMillisecond);

// Per host call: ten nested calls per pass.
void BM_NestedHostCallsVersusLua(benchmark::State& State) {
  SideBySide(State, NestScript, NestLua, NestPasses * 10, "call");
}
BENCHMARK(BM_NestedHostCallsVersusLua)->Unit(benchmark::kMillisecond);

void BM_StringBuildingVersusLua(benchmark::State& State) {
  SideBySide(State, Strings.Ours, Strings.Lua, StringPasses, "pass");
}
BENCHMARK(BM_StringBuildingVersusLua)->Unit(benchmark::kMillisecond);

// The four yardstick programs of the interpreter's speed: integer arithmetic and a branch,
// a host call, an array filled and summed, a text built piece by piece. Run them with
// "--benchmark_filter=Program --benchmark_repetitions=21 --benchmark_report_aggregates_only=true"
// and read the median of ratio_to_lua.
constexpr int NumericPasses = 1000000;
const std::string NumericScript = "i := 0; s := 0; while i < " + std::to_string(NumericPasses) +
                                  " do begin if i mod 3 = 0 then s := s + 2 * (i mod 100) else s := s - 1; i := i + 1 end";
const std::string NumericLua = "i = 0 s = 0 while i < " + std::to_string(NumericPasses) +
                               " do if i % 3 == 0 then s = s + 2 * (i % 100) else s = s - 1 end i = i + 1 end";

constexpr int HostPasses = 1000000;
const TProgram Host = HostLoop(HostPasses);

// The array outlives a run in both (SetArray keeps the elements of an array of that size).
constexpr int ArrayElements = 100000;
const std::string ArrayScript = "n := " + std::to_string(ArrayElements) +
                                "; SetArray(a, n); i := 0; while i < n do begin a[i] := i mod 100; i := i + 1 end;"
                                " s := 0; i := 0; while i < n do begin s := s + a[i]; i := i + 1 end";
const std::string ArrayLua = "n = " + std::to_string(ArrayElements) +
                             " a = a or {} i = 0 while i < n do a[i] = i % 100; i = i + 1 end"
                             " s = 0 i = 0 while i < n do s = s + a[i]; i = i + 1 end";

constexpr int TextPasses = 20000;
const TProgram Text = TextLoop(TextPasses);

void BM_ProgramNumeric(benchmark::State& State) { SideBySide(State, NumericScript, NumericLua, NumericPasses, "pass", "s"); }
BENCHMARK(BM_ProgramNumeric)->Unit(benchmark::kMillisecond);
void BM_ProgramHostCall(benchmark::State& State) { SideBySide(State, Host.Ours, Host.Lua, HostPasses, "pass", "x"); }
BENCHMARK(BM_ProgramHostCall)->Unit(benchmark::kMillisecond);
void BM_ProgramArray(benchmark::State& State) { SideBySide(State, ArrayScript, ArrayLua, ArrayElements, "element", "s"); }
BENCHMARK(BM_ProgramArray)->Unit(benchmark::kMillisecond);
void BM_ProgramString(benchmark::State& State) { SideBySide(State, Text.Ours, Text.Lua, TextPasses, "pass", "s"); }
BENCHMARK(BM_ProgramString)->Unit(benchmark::kMillisecond);

// A loop with the program's own message pump wired in (it asks the clock every few calls and
// turns the event loop at most every few milliseconds), against the same loop without one.
void WithTheRealPump(benchmark::State& State, const std::string& Text, int Passes) {
  static int Argc = 1;
  static char Name[] = "bench_script";
  static char* Argv[] = {Name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(Argc, Argv);  // lives to the end of the program
  TBenchScript Script(Text);
  TClock::duration Bare{}, Pumped{};
  for (auto _ : State) {
    SetProcessMessagesHook(nullptr);
    auto T0 = TClock::now();
    Script.Run();
    auto T1 = TClock::now();
    InstallMessagePump();
    Script.Run();
    auto T2 = TClock::now();
    Bare += T1 - T0;
    Pumped += T2 - T1;
  }
  SetProcessMessagesHook(nullptr);
  const double N = static_cast<double>(State.iterations()) * Passes;
  State.counters["bare_ns_per_pass"] = Nanoseconds(Bare) / N;
  State.counters["pumped_ns_per_pass"] = Nanoseconds(Pumped) / N;
  State.counters["pump_cost_percent"] = (Nanoseconds(Pumped) / Nanoseconds(Bare) - 1) * 100;
}

void BM_LoopWithTheRealPump(benchmark::State& State) { WithTheRealPump(State, Loop.Ours, LoopPasses); }
BENCHMARK(BM_LoopWithTheRealPump)->Unit(benchmark::kMillisecond);
void BM_ProgramNumericWithTheRealPump(benchmark::State& State) {
  WithTheRealPump(State, NumericScript, NumericPasses);
}
BENCHMARK(BM_ProgramNumericWithTheRealPump)->Unit(benchmark::kMillisecond);

// A 500-line script of the kind a computer player runs.
std::string LongScript() {
  std::string S = "const LIMIT = 10;\nconst NAME = 'Army';\n";
  int Lines = 2;
  for (int I = 0; Lines < 500; ++I) {
    const std::string N = std::to_string(I);
    S += "count" + N + " := 0;\n";
    S += "for z" + N + " := 1 to LIMIT do begin\n";
    S += "  if (f(z" + N + ", " + N + ") mod 3 = 0) and (count" + N + " < 5) then\n";
    S += "    count" + N + " := count" + N + " + g(z" + N + ")\n";
    S += "  else begin\n";
    S += "    text" + N + " := format('%s %d: %d', NAME, z" + N + ", count" + N + ");\n";
    S += "    total := copy(text" + N + ", 1, 4) + IntToStr(length(text" + N + "))\n";
    S += "  end\n";
    S += "end;\n";
    S += "while count" + N + " > 0 do count" + N + " := count" + N + " - 1; // down again\n";
    Lines += 10;
  }
  return S;
}

void BM_Compile500Lines(benchmark::State& State) {
  SetProcessMessagesHook(nullptr);
  TFuncs Funcs;
  TFunc F, G;
  F.SetDeclaration("f( integer, integer ): integer");
  F.SetFuncs(&Funcs);
  G.SetDeclaration("g( integer ): integer");
  G.SetFuncs(&Funcs);
  TScript S;
  S.SetFunctions(&Funcs);
  const std::string Text = LongScript();
  S.SetText(Text);
  for (auto _ : State) {
    if (!S.Compile()) State.SkipWithError("does not compile");
  }
  State.counters["lines"] = 500;
  State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(Text.size()));
}
BENCHMARK(BM_Compile500Lines)->Unit(benchmark::kMillisecond);

}  // namespace
