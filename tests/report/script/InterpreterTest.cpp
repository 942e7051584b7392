#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

using scripttest::RunScript;

TEST(Interpreter, Smoke)
{
    EXPECT_EQ(RunScript("RireroRidoze", "var i: Integer; begin i := 1 + 2 * 3; ShowMessage(i); end."), "7");
    EXPECT_EQ(RunScript("RireroRidoze", "function fib(n: Integer): Integer;\nbegin if n < 2 then Result := n else Result := fib(n-1) + fib(n-2); end;\nbegin ShowMessage(fib(10)); end."), "55");
    EXPECT_EQ(RunScript("JScript", "function fib(n) { if (n < 2) return n; return fib(n-1) + fib(n-2); }\nShowMessage(fib(10));"), "55");
}
