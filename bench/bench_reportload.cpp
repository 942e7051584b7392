// Loading report documents of 1,000, 10,000 and 100,000 memos (one page, ten bands) through
// TrpReport::LoadFromStream, as `rptool report-roundtrip` loads a file. Every element costs a
// look-up of its name and of its class, so a load is linear only when those look-ups do not
// grow with the report: the time per object must stay about the same across the series.
//   build/bench/bench_reportload
#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_report.h"

#include <QBuffer>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

QByteArray ManyMemos(int memos)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n"
                      "<TrpReport><TrpDataPage Name=\"Data\"/><TrpReportPage Name=\"Page1\">";
    constexpr int kBands = 10;
    for (int b = 0; b < kBands; ++b) {
        text += "<TrpMasterData Name=\"B" + QByteArray::number(b) + "\">";
        for (int m = b; m < memos; m += kBands)
            text += "<TrpMemoView Name=\"M" + QByteArray::number(m) + "\" Left=\"" + QByteArray::number(m % 700) +
                    "\" Width=\"60\" Height=\"18\" Text=\"Строка " + QByteArray::number(m) + "\"/>";
        text += "</TrpMasterData>";
    }
    return text + "</TrpReportPage></TrpReport>\n";
}

// The best of five loads, in seconds (the machine is shared: the best is the least disturbed).
double LoadSeconds(const QByteArray& bytes)
{
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        TrpReport report;
        report.EngineOptions().NewSilentMode = simSilent;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        const auto start = std::chrono::steady_clock::now();
        report.LoadFromStream(buffer);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!report.Errors().isEmpty()) {
            std::fprintf(stderr, "load failed: %s\n", report.Errors().join(u'|').toStdString().c_str());
            return best;
        }
    }
    return best;
}

} // namespace

int main()
{
    ModelRuntime::init();
    // What every load costs whatever it holds (the report's own settings, its data page, the
    // password check) is not the objects': it is taken off before dividing.
    const double empty = LoadSeconds(ManyMemos(0));
    std::printf("      0 memos: load %8.3f ms (subtracted below)\n", empty * 1e3);
    double lowest = 1e9;
    double highest = 0;
    for (const int memos : {1000, 10000, 100000}) {
        const QByteArray bytes = ManyMemos(memos);
        const double seconds = LoadSeconds(bytes);
        const double perObject = std::max(seconds - empty, 0.0) / memos * 1e6;
        lowest = std::min(lowest, perObject);
        highest = std::max(highest, perObject);
        std::printf("%7d memos (%5.1f MB): load %8.3f s, %6.2f us per object\n", memos, bytes.size() / 1048576.0,
                    seconds, perObject);
    }
    std::printf("per-object time, highest / lowest: %.2f\n", highest / lowest);
    return 0;
}
