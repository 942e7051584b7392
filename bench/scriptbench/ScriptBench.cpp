// Script engine against Lua 5.4, both in this process. Each workload is written as each
// language would write it, with equal sizes; both sides must give the same result, compiling
// happens apart, and only the run is timed (the best of several runs, the sides taking turns).
// One line per workload:
//
//   <workload>  ours <ms>  lua <ms>  ratio <ours/lua>

#include "LuaSide.h"
#include "OurSide.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;

struct Workload {
    const char* name;
    const char* ours; // RireroRidoze: the function Run gives the result
    const char* lua;  // Lua: the function run gives the result
    const char* expected;
};

const Workload kWorkloads[] = {
    {"integer loop",
     R"(function Run: Variant;
var i, s: Integer;
begin
  s := 0;
  for i := 1 to 10000000 do
    s := s + i mod 7;
  Result := s;
end;
begin end.)",
     R"(function run()
  local s = 0
  for i = 1, 10000000 do s = s + i % 7 end
  return s
end)",
     "29999997"},
    {"float arithmetic",
     R"(function Run: Variant;
var i: Integer; x: Double;
begin
  x := 0.0;
  for i := 1 to 5000000 do
    x := x * 0.5 + i * 0.25;
  Result := FloatToStr(x);
end;
begin end.)",
     R"(function run()
  local x = 0.0
  for i = 1, 5000000 do x = x * 0.5 + i * 0.25 end
  return string.format("%.15g", x)
end)",
     "2499999.5"},
    {"recursive fib(27)",
     R"(function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;
function Run: Variant;
begin
  Result := Fib(27);
end;
begin end.)",
     R"(local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end
function run() return fib(27) end)",
     "196418"},
    {"sieve to 10^6",
     R"(function Run: Variant;
var
  composite: array[0..1000000] of Boolean;
  i, j, count: Integer;
begin
  count := 0;
  for i := 2 to 1000000 do
    if not composite[i] then
    begin
      count := count + 1;
      j := i * 2;
      while j <= 1000000 do
      begin
        composite[j] := True;
        j := j + i;
      end;
    end;
  Result := count;
end;
begin end.)",
     R"(function run()
  local composite = {}
  local count = 0
  for i = 2, 1000000 do
    if not composite[i] then
      count = count + 1
      for j = i * 2, 1000000, i do composite[j] = true end
    end
  end
  return count
end)",
     "78498"},
    {"string building",
     R"(function Run: Variant;
var s: String; i, found, n: Integer;
begin
  s := '';
  for i := 1 to 100000 do
    s := s + IntToStr(i mod 10);
  found := 0;
  for i := 1 to 1000 do
  begin
    n := Pos('789012', Copy(s, i * 50, 200));
    found := found + n;
  end;
  Result := IntToStr(Length(s)) + ' ' + IntToStr(found);
end;
begin end.)",
     R"(function run()
  local parts = {}
  for i = 1, 100000 do parts[#parts + 1] = tostring(i % 10) end
  local s = table.concat(parts)
  local found = 0
  for i = 1, 1000 do
    local piece = string.sub(s, i * 50, i * 50 + 199)
    found = found + (string.find(piece, "789012", 1, true) or 0)
  end
  return tostring(#s) .. " " .. tostring(found)
end)",
     "100000 8000"},
    {"text chain 2*10^5",
     R"(function Run: Variant;
var s: String; i: Integer;
begin
  s := '';
  for i := 1 to 200000 do
    s := s + IntToStr(i mod 10) + ',';
  Result := Length(s);
end;
begin end.)",
     R"(function run()
  local parts = {}
  for i = 1, 200000 do
    parts[#parts + 1] = tostring(i % 10)
    parts[#parts + 1] = ","
  end
  return #table.concat(parts)
end)",
     "400000"},
    {"native properties",
     R"(function Run: Variant;
var i: Integer;
begin
  Obj.Width := 0;
  for i := 1 to 1000000 do
    Obj.Width := Obj.Width + 1;
  Result := Obj.Width;
end;
begin end.)",
     R"(function run()
  obj.Width = 0
  for i = 1, 1000000 do obj.Width = obj.Width + 1 end
  return obj.Width
end)",
     "1000000"},
    {"Evaluate 10^4",
     nullptr, // OurSide: Evaluate of each text "i * 2 + i mod 7"
     R"(function run()
  local s = 0
  for i = 1, 10000 do s = s + load("return " .. i .. " * 2 + " .. (i % 7))() end
  return s
end)",
     "100039998"},
};

// Runs both sides by turns, kRuns times each, and keeps each side's best time: on a shared
// machine the other programs only ever add time, and taking turns exposes both sides to the
// same stretch of load, so the ratio of the two bests is the steadiest figure.
struct Timing {
    double luaMs = 0;
    double ourMs = 0;
};

double TimeOnce(const std::function<std::string()>& run, std::string& result)
{
    const auto start = std::chrono::steady_clock::now();
    result = run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

Timing TimeByTurns(const std::function<std::string()>& lua, std::string& luaResult,
                   const std::function<std::string()>& ours, std::string& ourResult)
{
    Timing best{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    for (int r = 0; r < kRuns; ++r) {
        best.luaMs = std::min(best.luaMs, TimeOnce(lua, luaResult));
        best.ourMs = std::min(best.ourMs, TimeOnce(ours, ourResult));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const char* only = argc > 1 ? argv[1] : nullptr;
    OurSide ours;
    int failures = 0;
    for (const Workload& w : kWorkloads) {
        if (only != nullptr && std::strstr(w.name, only) == nullptr)
            continue;
        LuaSide lua;
        lua.ExposeObject(ours.BenchObject(), ours.BenchClass());
        std::string luaResult;
        std::string ourResult;
        std::function<std::string()> run;
        try {
            lua.Prepare(w.lua);
            run = w.ours != nullptr ? ours.Prepare(w.ours) : ours.PrepareEvaluate(10000);
        } catch (const std::exception& e) {
            std::printf("%-20s failed to prepare: %s\n", w.name, e.what());
            ++failures;
            continue;
        }
        Timing timing;
        try {
            timing = TimeByTurns([&] { return lua.Run(); }, luaResult, run, ourResult);
        } catch (const std::exception& e) {
            std::printf("%-20s failed: %s\n", w.name, e.what());
            ++failures;
            continue;
        }
        if (luaResult != w.expected || ourResult != w.expected) {
            std::printf("%-20s wrong result: ours %s, lua %s, expected %s\n", w.name, ourResult.c_str(), luaResult.c_str(),
                        w.expected);
            ++failures;
            continue;
        }
        std::printf("%-20s ours %9.1f ms  lua %9.1f ms  ratio %.2f\n", w.name, timing.ourMs, timing.luaMs,
                    timing.ourMs / timing.luaMs);
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
