#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_aggregates.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct ScanCase {
    const char* name;
    const char* expression;
    // The calls found, each "TEXT|NAME|arg1|arg2...", joined by "\n".
    const char* calls;
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << c.name;
}

// Report variables of the cases.
const std::map<QString, QString> kVariables = {
    {QStringLiteral("Total"), QStringLiteral("SUM(<Data.\"Value\">)")},
    {QStringLiteral("Twice"), QStringLiteral("Total * 2")},
    {QStringLiteral("LoopA"), QStringLiteral("LoopB")},
    {QStringLiteral("LoopB"), QStringLiteral("LoopA + MAX(Z)")},
    {QStringLiteral("Plain"), QStringLiteral("2+3")},
};

TrpAggregateScanner NewScanner()
{
    TrpAggregateScanner scanner;
    scanner.VariableText = [](const QString& name) -> std::optional<QString> {
        for (const auto& [variable, value] : kVariables) {
            if (variable.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return std::nullopt;
    };
    // DataSet."Field" of the two data sets the cases know.
    scanner.IsDataField = [](const QString& text) {
        const qsizetype mark = text.indexOf(QStringLiteral(".\""));
        const QString dataSet = text.left(mark);
        return mark > 0 && text.endsWith(u'"') && (dataSet == QStringLiteral("Data") || dataSet == QStringLiteral("Данные"));
    };
    return scanner;
}

QString Describe(const std::vector<TrpAggregateCall>& calls)
{
    QStringList lines;
    for (const TrpAggregateCall& call : calls)
        lines << (QStringList{call.Text, call.Name} + call.Arguments).join(u'|');
    return lines.join(u'\n');
}

class AggregateScan : public testing::TestWithParam<ScanCase> {};

} // namespace

TEST_P(AggregateScan, FindsTheCalls)
{
    ModelRuntime::init();
    const ScanCase& c = GetParam();
    TrpAggregateScanner scanner = NewScanner();
    std::vector<TrpAggregateCall> calls;
    scanner.Scan(QString::fromUtf8(c.expression), calls);
    EXPECT_EQ(Describe(calls).toStdString(), c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AggregateScan,
    testing::Values(
        ScanCase{"field", "SUM(<Data.\"Value\">)", "SUM(<Data.\"Value\">)|SUM|<Data.\"Value\">"},
        ScanCase{"two_calls_any_case", "SUM(A) + avg(B, MasterData1, 2)",
                 "SUM(A)|SUM|A\navg(B, MasterData1, 2)|AVG|B|MasterData1|2"},
        ScanCase{"inside_parentheses", "IIF(X > 0, min(A), 0)", "min(A)|MIN|A"},
        ScanCase{"quoted_text_skipped", "'SUM(A)' + \"COUNT()\" + COUNT()", "COUNT()|COUNT"},
        ScanCase{"count_with_band", "COUNT(DetailData1, 1)", "COUNT(DetailData1, 1)|COUNT|DetailData1|1"},
        ScanCase{"arguments_split_outside_quotes_and_parentheses", "SUM(IIF(a, 'x,y', (b, c)), Band1, 1)",
                 "SUM(IIF(a, 'x,y', (b, c)), Band1, 1)|SUM|IIF(a, 'x,y', (b, c))|Band1|1"},
        ScanCase{"at_most_three_arguments", "SUM(a, b, c, d)", "SUM(a, b, c, d)|SUM|a|b|c"},
        ScanCase{"name_not_directly_followed", "SUM (1) + SUMX(2) + X.SUM", ""},
        ScanCase{"variable_as_whole_text", "Total", "SUM(<Data.\"Value\">)|SUM|<Data.\"Value\">"},
        ScanCase{"variable_inside_variable", "Twice + 1", "SUM(<Data.\"Value\">)|SUM|<Data.\"Value\">"},
        ScanCase{"variable_in_angle_brackets", "<Twice>", "SUM(<Data.\"Value\">)|SUM|<Data.\"Value\">"},
        ScanCase{"variables_referring_to_each_other", "LoopA", "MAX(Z)|MAX|Z"},
        ScanCase{"plain_variable", "Plain", ""},
        ScanCase{"data_field_holds_nothing", "Data.\"SUM(x)\"", ""},
        ScanCase{"less_than_without_closing", "A < SUM(B)", "SUM(B)|SUM|B"},
        ScanCase{"unclosed_call", "SUM(A", ""},
        ScanCase{"unclosed_parenthesis", "IIF(a, COUNT()", "COUNT()|COUNT"},
        ScanCase{"cyrillic_words", "Сумма + MAX(<Данные.\"Т1\">)", "MAX(<Данные.\"Т1\">)|MAX|<Данные.\"Т1\">"}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(AggregateScanner, NestingIsBoundedAndNamed)
{
    ModelRuntime::init();
    TrpAggregateScanner scanner = NewScanner();
    const auto nested = [](int depth) {
        return QString(depth, u'(') + QStringLiteral("SUM(x)") + QString(depth, u')');
    };
    std::vector<TrpAggregateCall> calls;
    scanner.Scan(nested(kMaxAggregateScanDepth - 1), calls);
    EXPECT_EQ(calls.size(), 1u);
    try {
        scanner.Scan(nested(100000), calls);
        FAIL() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_TRUE(QString::fromStdString(error.Message()).startsWith(QStringLiteral("Выражение вложено слишком глубоко: (((")))
            << error.Message();
    }
}
