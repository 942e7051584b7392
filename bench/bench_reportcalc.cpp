// A report's expressions evaluated as the engine evaluates them, record after record: a cached
// expression asked 100,000 times, and a SUM total fed by 100,000 records of a data band.
//   build/bench/bench_reportcalc [RECORDS]
#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_aggregates.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const long records = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    if (records <= 0) {
        std::fprintf(stderr, "usage: bench_reportcalc [RECORDS]\n");
        return 1;
    }
    ModelRuntime::init();
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    auto* master = new TrpMasterData(page);
    auto* footer = new TrpFooter(page);
    if (!report.PrepareScript()) {
        std::fprintf(stderr, "the script did not compile\n");
        return 2;
    }

    auto start = std::chrono::steady_clock::now();
    double check = 0;
    for (long i = 0; i < records; ++i) {
        report.Variables().SetValue(QStringLiteral("X"), Variant(static_cast<int32_t>(i % 1000)));
        check += report.Calc(QStringLiteral("Get('X') * 2 + 1")).ToDouble();
    }
    const double calcSeconds = Seconds(start);
    std::printf("cached Calc: %ld calls in %.3f s (%.2f us each), check %.0f\n", records, calcSeconds,
                calcSeconds * 1e6 / static_cast<double>(records), check);

    TrpAggregateList list(&report);
    TrpAggregateScanner scanner;
    std::vector<TrpAggregateCall> calls;
    scanner.Scan(QStringLiteral("SUM(Get('X'))"), calls);
    TrpAggregateItem& item = list.AddItem(calls.at(0), master, footer, QStringLiteral("Memo1"));
    start = std::chrono::steady_clock::now();
    for (long i = 0; i < records; ++i) {
        report.Variables().SetValue(QStringLiteral("X"), Variant(static_cast<int32_t>(i % 1000)));
        list.AddValue(master);
    }
    const double sumSeconds = Seconds(start);
    std::printf("SUM over %ld records in %.3f s (%.2f us each), total %s\n", records, sumSeconds,
                sumSeconds * 1e6 / static_cast<double>(records), qPrintable(VarToStr(item.Value())));
    return 0;
}
