// The prepared-page store on a report of many pages (build/bench/bench_preparedpages [PAGES]):
// filling it as the engine does, saving and loading the .zp3 form, and rebuilding every page
// as the preview and the exports ask for them. Rebuilding is the hot path: each object is a
// copy of its source made once per alias with the page's differences applied. The same pages
// read the plain way (every object parsed from its source's full text and the differences)
// show what that saves.

#include "PreparedPagesBuilder.h"

#include "report/model/rpXML.h"
#include "report/model/rpXMLSerializer.h"

#include <QBuffer>
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kRowsPerPage = 40;
constexpr int kRuns = 5;

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every object of a page element read from its source's text and its differences.
int ReadPlainly(TrpPreviewPages& store, TrpXMLItem* item, TrpComponent* parent)
{
    int objects = 0;
    TrpXMLSerializer serializer;
    for (int i = 0; i < item->Count(); ++i) {
        TrpXMLItem* child = item->Items(i);
        const TrpComponent* source = store.Dictionary().GetObject(child->Name());
        TrpComponent* object = serializer.ReadComponentStr(parent, source->BaseName() + u' ' + child->Text(), true);
        ++objects;
        objects += ReadPlainly(store, child, object);
    }
    return objects;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 500;
    enginetest::PreparedReport prepared;
    TrpReport& report = prepared.Report();
    enginetest::BuildTwoPageTemplate(report);
    auto* page = dynamic_cast<TrpReportPage*>(report.FindObject(u"Page1"));
    auto* rows = dynamic_cast<TrpBand*>(report.FindObject(u"MasterData1"));
    auto* name = dynamic_cast<TrpMemoView*>(report.FindObject(u"Name"));
    auto* value = dynamic_cast<TrpMemoView*>(report.FindObject(u"Value"));
    TrpPreviewPages& store = prepared.Store();
    report.PreviewOptions().PagesInCache = 3;

    const double fill = Seconds([&] {
        store.Initialize();
        store.AddSourcePage(page);
        store.BeginPass();
        store.AddPageAction = apAdd;
        int row = 0;
        for (int p = 0; p < pages; ++p) {
            store.AddPage(page);
            for (int r = 0; r < kRowsPerPage; ++r) {
                ++row;
                enginetest::PrintBand(store, *rows, 20.0 * r, [&] {
                    name->SetText(QStringLiteral("Строка %1").arg(row));
                    value->SetText(QString::number(row * 1.5, 'f', 2));
                });
            }
        }
        store.Finish();
    });
    const int objects = pages * kRowsPerPage * 3;

    QByteArray saved;
    const double save = Seconds([&] { saved = enginetest::SaveStore(store); });
    enginetest::PreparedReport loaded;
    const double load = Seconds([&] { enginetest::LoadStore(loaded.Store(), saved); });

    // The machine is shared: the best of five runs of each, every page rebuilt each time (the
    // cache keeps three pages, so a run never finds the page it asks for).
    loaded.Report().PreviewOptions().PagesInCache = 3;
    double rebuild = 0;
    double plain = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double rebuilt = Seconds([&] {
            for (int p = 0; p < pages; ++p)
                loaded.Store().GetPage(p);
        });
        const double read = Seconds([&] {
            for (int p = 0; p < pages; ++p) {
                TrpReportPage target;
                ReadPlainly(loaded.Store(),
                            loaded.Store().XMLDoc().Root()->FindItem(QStringLiteral("previewpages"))->Items(p), &target);
            }
        });
        rebuild = run == 0 ? rebuilt : std::min(rebuild, rebuilt);
        plain = run == 0 ? read : std::min(plain, read);
    }

    std::printf("%d pages, %d objects, file %.1f MB\n", pages, objects, saved.size() / 1048576.0);
    std::printf("fill:    %7.3f s (%5.2f us per object)\n", fill, fill * 1e6 / objects);
    std::printf("save:    %7.3f s\n", save);
    std::printf("load:    %7.3f s\n", load);
    std::printf("rebuild: %7.3f s (%5.2f us per object)\n", rebuild, rebuild * 1e6 / objects);
    std::printf("plain:   %7.3f s (%5.2f us per object), ratio plain / rebuild %.2f\n", plain, plain * 1e6 / objects,
                plain / rebuild);
    return 0;
}
