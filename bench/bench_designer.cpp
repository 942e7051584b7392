// The designer's costs that grow with a report: one undo snapshot of a report of 100 memos
// (time and bytes) and one rebuild of the object inspector's rows for all 100 memos selected.
//   build/bench/bench_designer [MEMOS]
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpInsp.h"
#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpWideStrings.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class BenchDesigner : public TrpCustomDesigner {
public:
    explicit BenchDesigner(TrpReport* report) : TrpCustomDesigner(report, false) {}
    QStringList Code() override { return {}; }
    QString InsertExpression(const QString& expression) override { return expression; }
    void Lock() override {}
    void ReloadPages(int32_t) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
};

double Milliseconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const long memos = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100;
    if (memos <= 0) {
        std::fprintf(stderr, "usage: bench_designer [MEMOS]\n");
        return 1;
    }
    DesignerRuntime::init();
    TrpReport report;
    TrpComponent* page = TrpComponent::CreateByName(u"TrpReportPage").release();
    page->AttachTo(&report);
    page->CreateUniqueName();
    TrpComponent* band = TrpComponent::CreateByName(u"TrpMasterData").release();
    band->AttachTo(page);
    band->CreateUniqueName();
    band->SetHeight(memos * 20.0);
    std::vector<ScriptObject*> objects;
    for (long i = 0; i < memos; ++i) {
        TrpComponent* memo = TrpComponent::CreateByName(u"TrpMemoView").release();
        memo->AttachTo(band);
        memo->CreateUniqueName();
        memo->SetBounds(10, i * 20.0, 200, 18);
        memo->MemoLines()->SetText(QStringLiteral("Memo text [Value]"));
        objects.push_back(memo);
    }

    TrpPictureCache cache;
    TrpUndoBuffer undo;
    undo.SetPictureCache(&cache);
    const int rounds = 20;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        undo.AddUndo(&report);
    std::printf("undo snapshot of %ld memos: %.2f ms, %lld bytes\n", memos, Milliseconds(start) / rounds,
                static_cast<long long>(undo.LastUndo().size()));

    BenchDesigner designer(&report);
    TrpObjectInspector inspector(&designer);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        inspector.Inspect(objects);
    std::printf("inspector rebuild for %ld memos: %.2f ms, %d rows\n", memos, Milliseconds(start) / rounds,
                inspector.VisibleRowCount());
    return 0;
}
