#include "ReportFakes.h"

#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

namespace reporttest {

bool FakeEngine::Run()
{
    Running = true;
    Walked.clear();
    CurLineThrough = 0;
    TrpReport* report = Report();
    Aggregates = std::make_unique<TrpAggregateList>(report);
    if (report != nullptr) {
        for (int i = 0; i < report->PagesCount(); ++i) {
            if (auto* page = dynamic_cast<TrpReportPage*>(report->Pages(i)))
                Aggregates->AddItems(page);
        }
        for (int i = 0; i < report->PagesCount() && !report->Terminated(); ++i) {
            auto* page = dynamic_cast<TrpReportPage*>(report->Pages(i));
            if (page == nullptr)
                continue;
            for (TrpComponent* object : page->Objects()) {
                auto* band = dynamic_cast<TrpDataBand*>(object);
                if (band == nullptr)
                    continue;
                TrpDataSet* dataSet = band->DataSet();
                if (dataSet == nullptr && band->RowCount() > 0)
                    dataSet = &band->VirtualDataSet();
                if (dataSet == nullptr)
                    continue;
                // One level of groups: a change of the first group header's condition
                // closes the group (its footer "prints") and "Line" starts again.
                auto* group = dynamic_cast<TrpGroupHeader*>(band->Group.data());
                QString groupValue;
                bool inGroup = false;
                const auto closeGroup = [&] {
                    if (inGroup)
                        ShowFooter(group->Footer);
                };
                dataSet->Initialize();
                dataSet->First();
                int records = 0;
                CurLine = 0;
                while (!dataSet->Eof() && records < kMaxRecords) {
                    Walked << QStringLiteral("%1:%2").arg(band->BandName()).arg(dataSet->RecNo());
                    if (group != nullptr) {
                        const QString value = VarToStr(report->Calc(group->Condition));
                        if (inGroup && value != groupValue) {
                            closeGroup();
                            CurLine = 0;
                        }
                        groupValue = value;
                        inGroup = true;
                    }
                    ++CurLine;
                    ++CurLineThrough;
                    Aggregates->AddValue(band, CurVColumn);
                    if (OnRecord)
                        OnRecord(*band);
                    dataSet->Next();
                    ++records;
                }
                closeGroup();
                dataSet->Finalize();
                ShowFooter(band->Footer);
            }
        }
    }
    Running = false;
    return !Walked.isEmpty();
}

void FakeEngine::ShowFooter(TrpBand* footer)
{
    if (footer == nullptr)
        return;
    CurrentBand = footer;
    if (OnFooter)
        OnFooter(*footer);
    CurrentBand = nullptr;
    Aggregates->Reset(footer);
}

Variant FakeEngine::GetAggregateValue(const QString& name, const QString& expression, TrpBand* band, int32_t flags)
{
    Calls << QStringLiteral("GetAggregateValue ") + name;
    if (Aggregates == nullptr || CurrentBand == nullptr)
        return Variant(int32_t{0});
    return Aggregates->GetValue(CurrentBand, CurVColumn, name, expression, band, flags);
}

void FakeEngine::ShowBand(TrpBand* band)
{
    if (band == nullptr)
        return;
    Calls << QStringLiteral("ShowBand ") + band->Name();
}

void FakeStore::AddObject(TrpComponent* object)
{
    Calls << QStringLiteral("AddObject ") + (object != nullptr ? object->Name() : QString());
}

void FakeStore::AddPage(TrpReportPage* page)
{
    ++Pages;
    Calls << QStringLiteral("AddPage ") + (page != nullptr ? page->Name() : QString());
}

void FakeDialogWindow::SetFont(const TrpFont& font)
{
    FontName = font.Name();
}

FakeServices::FakeServices()
{
    TrpModelServices services;
    services.CreateEngine = [this](TrpReport& report) {
        auto engine = std::make_unique<FakeEngine>(&report);
        LastEngine = engine.get();
        return engine;
    };
    services.CreatePreviewPages = [this](TrpReport& report) {
        auto store = std::make_unique<FakeStore>(&report);
        LastStore = store.get();
        return store;
    };
    services.CreateDialogWindow = [this](TrpDialogPage&) {
        auto window = std::make_unique<FakeDialogWindow>();
        LastWindow = window.get();
        return window;
    };
    services.PasswordPrompt = [this](QString& password) {
        ++PasswordPrompts;
        if (PasswordAnswers.empty())
            return false;
        const std::optional<QString> answer = PasswordAnswers.front();
        PasswordAnswers.erase(PasswordAnswers.begin());
        if (!answer)
            return false;
        password = *answer;
        return true;
    };
    services.PrinterDefaults = [this] { return Printer; };
    services.SelectPrinter = [this](const QString& name) {
        PrintersSelected << name;
        return true;
    };
    services.InheritConflict = [this](bool& deleteDuplicates) {
        deleteDuplicates = InheritDelete;
        return InheritAnswer;
    };
    scope_ = std::make_unique<ModelServicesScope>(std::move(services));
}

FakeServices::~FakeServices() = default;

} // namespace reporttest
