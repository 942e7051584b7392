// The fixed-digit float formatter of the report core.

#include "report/core/NumberText.h"

#include "Subprocess.h"
#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace {

class FixedText : public testsupport::UnderLocale {};

TEST_P(FixedText, RoundsHalvesAwayFromZeroOnTheDecimalDigits)
{
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {0.5, 0, "1"},
        {1.5, 0, "2"},
        {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},
        {1.005, 2, "1.01"},      // 1.00499999999999989... reads 1.005
        {2.675, 2, "2.68"},      // 2.67499999999999982... reads 2.675
        {0.45, 1, "0.5"},
        {1.45, 1, "1.5"},        // 1.44999999999999996... reads 1.45
        {999.5, 0, "1000"},
        {9.9996, 3, "10.000"},
        {0.0005, 3, "0.001"},
        {-0.001, 2, "0.00"},
        {-0.0, 1, "0.0"},
        {0, 2, "0.00"},
        {123.456, 0, "123"},
        {1234567.891, 3, "1234567.891"},
        {0.1, 18, "0.100000000000000000"},
        {0.1, 25, "0.100000000000000000"},
        {3.75, -1, "4"},
        {123456789012345678.0, 1, "123456789012346000.0"},
        {1e18, 2, "1E18"},
        {-1e300, 2, "-1E300"},
        {std::numeric_limits<double>::quiet_NaN(), 2, "NAN"},
        {std::numeric_limits<double>::infinity(), 2, "INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToFixedText(c.value, c.decimals, u'.').toStdString(), c.text) << c.value << " with " << c.decimals;
    EXPECT_EQ(FloatToFixedText(-1234.5, 2, u','), QStringLiteral("-1234,50"));
}

DAX_INSTANTIATE_UNDER_LOCALES(FixedText);

// Python's decimal arithmetic as the reference: the exact value to 15 significant digits,
// then to the decimals with halves away from zero.
TEST(FixedText, AgreesWithPythonDecimal)
{
    std::mt19937_64 random(11);
    std::ostringstream input;
    std::vector<std::pair<double, int>> cases;
    for (int i = 0; i < 3000; ++i) {
        const int decimals = static_cast<int>(random() % 7);
        const double scale = std::pow(10.0, static_cast<double>(random() % 12) - 4);
        // Values near a half of the last decimal shown are the ones that matter.
        const double near = (std::floor(std::ldexp(static_cast<double>(random() >> 11), -53) * 1e6) + 0.5) / std::pow(10.0, decimals);
        const double value = (random() % 2 ? near : std::ldexp(static_cast<double>(random() >> 11), -53) * scale) * (random() % 2 ? -1 : 1);
        cases.emplace_back(value, decimals);
        char line[64];
        std::snprintf(line, sizeof line, "%a %d\n", value, decimals);
        input << line;
    }
    QTemporaryDir folder;
    const std::string inputName = folder.filePath(QStringLiteral("cases")).toStdString();
    const std::string scriptName = folder.filePath(QStringLiteral("fixed.py")).toStdString();
    std::ofstream(inputName) << input.str();
    std::ofstream(scriptName) << R"(import sys
from decimal import Decimal, Context, ROUND_HALF_EVEN, ROUND_HALF_UP
for line in open(sys.argv[1]):
    text, decimals = line.split()
    exact = Decimal(float.fromhex(text))
    if exact == 0:
        print('0' if int(decimals) == 0 else '0.' + '0' * int(decimals))
        continue
    fifteen = Context(prec=15, rounding=ROUND_HALF_EVEN).plus(exact)
    fixed = fifteen.quantize(Decimal(1).scaleb(-int(decimals)), rounding=ROUND_HALF_UP)
    if fixed == 0:
        fixed = abs(fixed)
    print(format(fixed, 'f'))
)";
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("python3 '" + scriptName + "' '" + inputName + "'", output), 0) << output;
    std::istringstream lines(output);
    std::string expected;
    for (const auto& [value, decimals] : cases) {
        ASSERT_TRUE(std::getline(lines, expected));
        EXPECT_EQ(FloatToFixedText(value, decimals, u'.').toStdString(), expected) << value << " with " << decimals;
    }
}

} // namespace
