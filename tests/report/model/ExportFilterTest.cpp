#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_wizard.h"
#include "report/model/rpDsgnIntf.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CountingFilter : public TrpCustomExportFilter {
public:
    using TrpCustomExportFilter::TrpCustomExportFilter;
    QString GetDescription() const override { return QStringLiteral("Counting"); }
    void ExportObject(TrpComponent*) override { ++objects; }
    int objects = 0;
};

bool Listed(const QObject* filter)
{
    const TrpExportFilterCollection& registry = GetExportFilterRegistry();
    for (int i = 0; i < registry.Count(); ++i) {
        if (registry.Items(i) == filter)
            return true;
    }
    return false;
}

} // namespace

TEST(ExportFilter, RegisteredOnCreationAbsentWithoutRegistrationGoneAfterDestruction)
{
    ModelRuntime::init();
    const int before = GetExportFilterRegistry().Count();
    auto registered = std::make_unique<CountingFilter>();
    EXPECT_TRUE(Listed(registered.get()));
    EXPECT_EQ(GetExportFilterRegistry().Count(), before + 1);
    EXPECT_FALSE(registered->NoRegister());

    std::unique_ptr<CountingFilter> unlisted = TrpCustomExportFilter::CreateNoRegister<CountingFilter>();
    EXPECT_TRUE(unlisted->NoRegister());
    EXPECT_EQ(unlisted->parent(), nullptr);
    EXPECT_FALSE(Listed(unlisted.get()));
    EXPECT_EQ(GetExportFilterRegistry().Count(), before + 1);

    const QObject* gone = registered.get();
    registered.reset();
    EXPECT_FALSE(Listed(gone));
    EXPECT_EQ(GetExportFilterRegistry().Count(), before);
    unlisted.reset();
    EXPECT_EQ(GetExportFilterRegistry().Count(), before);
}

TEST(ExportFilter, AFilterOwnedByAComponentGoesWithIt)
{
    ModelRuntime::init();
    const int before = GetExportFilterRegistry().Count();
    auto owner = std::make_unique<QObject>();
    auto* filter = new CountingFilter(owner.get());
    EXPECT_TRUE(Listed(filter));
    owner.reset();
    EXPECT_EQ(GetExportFilterRegistry().Count(), before);
}

TEST(ExportFilter, Defaults)
{
    std::unique_ptr<CountingFilter> filter = TrpCustomExportFilter::CreateNoRegister<CountingFilter>();
    EXPECT_TRUE(filter->ShowDialog);
    EXPECT_TRUE(filter->UseFileCache);
    EXPECT_TRUE(filter->ShowProgress);
    EXPECT_TRUE(filter->DefaultPath.isEmpty());
    EXPECT_FALSE(filter->SlaveExport);
    EXPECT_FALSE(filter->OverwritePrompt);
    EXPECT_FALSE(filter->ExportNotPrintable);
    EXPECT_FALSE(filter->DataOnly);
    EXPECT_EQ(filter->Files(), nullptr);
    EXPECT_EQ(filter->ShowModal(), 1);
    EXPECT_TRUE(filter->Start());
    EXPECT_EQ(filter->GetDescription(), QStringLiteral("Counting"));
}

namespace {

class TestWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    bool Execute() override { return false; }
};

class TestDesigner : public TrpCustomDesigner {
public:
    using TrpCustomDesigner::TrpCustomDesigner;
    QStringList Code() override { return {}; }
    QString InsertExpression(const QString& expression) override { return expression; }
    void Lock() override {}
    void ReloadPages(int32_t) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
};

TEST(Wizard, WorksOnItsDesignersReport)
{
    TrpReport report;
    TestDesigner designer(&report, false);
    TestWizard wizard(&designer);
    EXPECT_EQ(wizard.Designer(), &designer);
    EXPECT_EQ(wizard.Report(), &report);
    EXPECT_EQ(wizard.GetDescription(), QString());
    TestWizard detached(nullptr);
    EXPECT_EQ(detached.Report(), nullptr);
}

} // namespace
