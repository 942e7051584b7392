// The designer's costs that grow with a report: one undo snapshot of a report of 100 memos
// (time and bytes), one rebuild of the object inspector's rows for all 100 memos selected, the
// design workspace painting a page of 1,000 objects at scales 1 and 2 (goal: within one 60 Hz
// frame, 16.7 ms, at scale 1) and a 100-step drag of 50 selected objects.
//   build/bench/bench_designer [MEMOS]
#include "report/designer/DesignerInput.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnWorkspace.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpInsp.h"
#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpWideStrings.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

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

    // A page of 1,000 objects on the workspace: 20 bands of 50 memos.
    TrpReport big;
    TrpComponent* bigPage = TrpComponent::CreateByName(u"TrpReportPage").release();
    bigPage->AttachTo(&big);
    bigPage->CreateUniqueName();
    TrpObjectList list;
    TrpObjectList selection;
    for (int b = 0; b < 20; ++b) {
        TrpComponent* strip = TrpComponent::CreateByName(u"TrpMasterData").release();
        strip->AttachTo(bigPage);
        strip->CreateUniqueName();
        strip->SetBounds(0, b * 60.0, 718, 40);
        list.push_back(strip);
        for (int m = 0; m < 49; ++m) {
            TrpComponent* memo = TrpComponent::CreateByName(u"TrpMemoView").release();
            memo->AttachTo(strip);
            memo->CreateUniqueName();
            memo->SetBounds((m % 7) * 100.0, (m / 7) * 5.0, 96, 18);
            memo->MemoLines()->SetText(QStringLiteral("Text %1").arg(m));
            list.push_back(memo);
        }
    }
    list.push_back(&big);
    list.push_back(bigPage);
    selection.push_back(bigPage);
    QWidget parent;
    TrpDesignerWorkspace workspace(&parent);
    workspace.SetParent(&parent);
    workspace.SetPage(static_cast<TrpPage*>(bigPage));
    workspace.SetObjects(&list);
    workspace.SetSelectedObjects(&selection);
    workspace.SetShowBandCaptions(true);
    workspace.SetFreeBandsPlacement(true);
    workspace.SetPageDimensions(794, 1123, QMargins(38, 38, 38, 38));
    for (double scale : {1.0, 2.0}) {
        workspace.SetScale(scale);
        QImage image(workspace.size(), QImage::Format_RGB32);
        const int paints = 10;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < paints; ++i) {
            QPainter painter(&image);
            workspace.PaintTo(painter);
        }
        std::printf("workspace painting of %zu objects at scale %.0f: %.2f ms\n", list.size() - 2, scale,
                    Milliseconds(start) / paints);
    }

    workspace.SetScale(1);
    workspace.SetGridAlign(false);
    selection.clear();
    for (size_t i = 1; i <= 50; ++i)
        selection.push_back(list[i]);
    DesignerInput input(workspace);
    const QPointF grip(list[1]->AbsLeft() + 5, list[1]->AbsTop() + 5);
    start = std::chrono::steady_clock::now();
    input.Move(grip);
    input.Press(grip);
    for (int step = 1; step <= 100; ++step)
        input.DragTo(grip + QPointF(step * 0.5, step * 0.25));
    input.Release(grip + QPointF(50, 25));
    std::printf("drag of 50 selected objects, 100 steps: %.2f ms\n", Milliseconds(start));
    return 0;
}
