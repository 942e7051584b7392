// Walks what a person meets in the designer and the export dialogs (the window with its menus
// and tool bars, the inspector over every object class with the hint of every property, the
// context menus, every editor dialog, the wizards and the export options) and fails on any
// resource key that found no text of its own.
#include "report/designer/DesignerRuntime.h"
#include "report/desktop/ReportDesktop.h"
#include "report/designer/rpAbout.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDesignerDialogs.h"
#include "report/designer/rpDsgnIntfEditors.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpNewItemForm.h"
#include "report/designer/rpWizardStd.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"
#include "report/export/rpExportHTML.h"
#include "report/export/rpExportPDF.h"
#include "report/export/rpExportRTF.h"
#include "report/export/rpExportXLS.h"
#include "report/export/ui/rpHTMLExportDialog.h"
#include "report/export/ui/rpPDFExportDialog.h"
#include "report/export/ui/rpRTFExportDialog.h"
#include "report/export/ui/rpXLSExportDialog.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include <QApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Lookups that ask whether a text exists before they use it: the class-specific hint of a
// property ("propFont.TrpMemoView", the plain hint serving otherwise) and the numbered samples
// of the display format editor's categories (as many as the block holds).
bool IsProbe(const QString& key)
{
    static const QRegularExpression probes(
        QStringLiteral("^(prop\\w+\\.\\w+|fk(Number|DateTime|Boolean)\\d+)$"));
    return probes.match(key).hasMatch();
}

// Calls `visit` with a new object of every class the designer can create, made as it makes them.
template <class Visit>
void ForEachDesignClass(Visit visit)
{
    for (const RegisteredClass* cls : PropertyRegistry::Global().Classes()) {
        if (!cls->Factory || !cls->Info.InheritsFrom(TrpComponent::Class()))
            continue;
        std::unique_ptr<TrpComponent> object(TrpComponent::CreateForDesign(*cls, nullptr, 0));
        if (object != nullptr)
            visit(*cls, *object);
    }
}

// Where a dialog's picture goes for people to look at ($DAX_SCREENSHOT_DIR), or nowhere.
QString ShotPath(const QString& name)
{
    const QByteArray dir = qgetenv("DAX_SCREENSHOT_DIR");
    return dir.isEmpty() ? QString() : QString::fromLocal8Bit(dir) + u'/' + name + QStringLiteral(".png");
}

class TextsWalk : public testing::Test {
protected:
    // The program's own start-up, as every program with report windows makes it.
    static void SetUpTestSuite() { ReportDesktop::start(); }

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        band = new TrpMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 40, 700, 100);
        memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(10, 10, 100, 18);
        auto* group = new TrpGroupHeader(page);
        group->SetName(QStringLiteral("GroupHeader1"));
        group->SetBounds(0, 10, 700, 20);
        auto* picture = new TrpPictureView(band);
        picture->SetName(QStringLiteral("Picture1"));
        picture->SetBounds(200, 10, 50, 50);
        previousUi = &ReportServices::Ui();
        ReportServices::SetUi(&ui);
        GetResourcesInstance().SetMissingTextObserver([this](QStringView key) {
            if (!IsProbe(key.toString()))
                missing.insert(key.toString() + QStringLiteral(" (") + where + u')');
        });
    }

    void TearDown() override
    {
        GetResourcesInstance().SetMissingTextObserver({});
        ReportServices::SetUi(previousUi);
        EXPECT_TRUE(missing.empty()) << QStringList(missing.begin(), missing.end()).join(u'\n').toStdString();
    }

    std::unique_ptr<TrpDesignerForm> Open()
    {
        auto form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->resize(1200, 800);
        form->show();
        form->SetTabIndex(2);
        QApplication::processEvents();
        return form;
    }

    // Every row of both inspector tabs selected in turn (its hint shown), sub-lists expanded.
    void WalkInspector(TrpObjectInspector& inspector)
    {
        for (int tab : {0, 1}) {
            inspector.SetTab(tab);
            for (int row = 0; row < inspector.VisibleRowCount() && row < 2000; ++row) {
                inspector.SetItemIndex(row);
                TrpPropertyItem* item = inspector.RowItem(row);
                if (item != nullptr && item->SubProperty() != nullptr && !item->Expanded()) {
                    const int level = inspector.RowLevel(row);
                    const int height = inspector.RowHeight();
                    QTest::mousePress(inspector.Grid(), Qt::LeftButton, {},
                                      QPoint(level * 12 + 6, row * height + height / 2));
                    QTest::mouseRelease(inspector.Grid(), Qt::LeftButton, {},
                                        QPoint(level * 12 + 6, row * height + height / 2));
                }
            }
        }
        inspector.SetTab(0);
    }

    QTemporaryDir folder;
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpMasterData* band = nullptr;
    TrpMemoView* memo = nullptr;
    DialogScriptUi ui{QStringList(), QString(), false};
    IUiService* previousUi = nullptr;
    std::set<QString> missing;
    QString where;
};

TEST_F(TextsWalk, DesignerWindowMenusAndToolBars)
{
    where = QStringLiteral("window");
    auto form = Open();
    for (int tab = 0; tab < 3; ++tab) {
        form->SetTabIndex(tab);
        QApplication::processEvents();
    }
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        where = QStringLiteral("menu ") + menu->objectName();
        emit menu->aboutToShow();
        emit menu->aboutToHide();
    }
    for (QAction* action : form->findChildren<QAction*>()) {
        EXPECT_FALSE(QRegularExpression(QStringLiteral("^\\d{1,4}$")).match(action->text()).hasMatch())
            << action->objectName().toStdString();
    }
}

TEST_F(TextsWalk, InspectorHintsOfEveryObjectClass)
{
    auto form = Open();
    TrpObjectInspector* inspector = form->Inspector();
    ASSERT_NE(inspector, nullptr);
    inspector->show();
    ForEachDesignClass([&](const RegisteredClass& cls, TrpComponent& object) {
        where = QStringLiteral("inspector ") + cls.Name();
        inspector->Inspect({&object});
        WalkInspector(*inspector);
        inspector->Inspect({});
    });
}

TEST_F(TextsWalk, ContextMenusOfEveryObjectClass)
{
    auto form = Open();
    ForEachDesignClass([&](const RegisteredClass& cls, TrpComponent& object) {
        where = QStringLiteral("context menu ") + cls.Name();
        QMenu menu;
        if (auto editor = GetComponentEditor(&object, form.get(), &menu))
            editor->GetMenuItems();
    });
}

TEST_F(TextsWalk, EveryEditorDialog)
{
    auto form = Open();
    const std::pair<const char*, TrpComponent*> selections[] = {
        {"TrpMemoEditorForm", memo},          {"TrpSysMemoEditorForm", memo},  {"TrpStringsEditorForm", memo},
        {"TrpFormatEditorForm", memo},        {"TrpHighlightEditorForm", memo}, {"TrpFrameEditorForm", memo},
        {"TrpPictureEditorForm", report.FindObject(QStringLiteral("Picture1"))},
        {"TrpDataBandEditorForm", band},      {"TrpGroupEditorForm", report.FindObject(QStringLiteral("GroupHeader1"))},
    };
    for (const QString& dialog : DesignerDialogs::DialogClasses()) {
        where = dialog;
        TrpComponent* selected = memo;
        for (const auto& [name, object] : selections) {
            if (dialog == QLatin1String(name))
                selected = object;
        }
        form->SelectedObjects().assign({QPointer<TrpComponent>(selected)});
        DialogScriptUi each(QStringList(), QString(), false);
        ReportServices::SetUi(&each);
        DesignerDialogs::OpenOnSelection(dialog, *form, form.get());
        ReportServices::SetUi(&ui);
        EXPECT_TRUE(each.Error.isEmpty()) << dialog.toStdString() << ": " << each.Error.toStdString();
    }
    where = QStringLiteral("about box");
    TrpAboutForm about;
    about.show();
    where = QStringLiteral("New Item");
    TrpNewItemForm newItem(form.get());
    newItem.show();
}

TEST_F(TextsWalk, Wizards)
{
    auto form = Open();
    const TrpWizardCollection& wizards = GetWizardRegistry();
    ASSERT_GT(wizards.Count(), 0);
    for (int i = 0; i < wizards.Count(); ++i) {
        where = wizards.Items(i).ClassRef;
        std::unique_ptr<TrpCustomWizard> wizard = CreateWizard(wizards.Items(i).ClassRef, form.get());
        ASSERT_NE(wizard, nullptr);
        wizard->GetDescription();
        DialogScriptUi each(QStringList(), ShotPath(wizards.Items(i).ClassRef), false);
        ReportServices::SetUi(&each);
        wizard->Execute();
        ReportServices::SetUi(&ui);
    }
}

TEST_F(TextsWalk, ExportDialogsAndMenuNames)
{
    const auto run = [this](const char* name, auto& filter, auto runDialog) {
        where = QLatin1String(name);
        filter.GetDescription();
        DialogScriptUi each(QStringList(), ShotPath(QStringLiteral("export-") + QLatin1String(name)), false);
        ReportServices::SetUi(&each);
        runDialog(filter);
        ReportServices::SetUi(&ui);
        EXPECT_TRUE(each.Error.isEmpty()) << name << ": " << each.Error.toStdString();
    };
    TrpPDFExport pdf(TrpNoRegister{});
    run("pdf", pdf, [](TrpPDFExport& f) { TrpPDFExportDialog::Run(f); });
    TrpHTMLExport html(TrpNoRegister{});
    run("html", html, [](TrpHTMLExport& f) { TrpHTMLExportDialog::Run(f); });
    TrpRTFExport rtf(TrpNoRegister{});
    run("rtf", rtf, [](TrpRTFExport& f) { TrpRTFExportDialog::Run(f); });
    TrpXLSExport xls(TrpNoRegister{});
    run("xls", xls, [](TrpXLSExport& f) { TrpXLSExportDialog::Run(f); });
}

} // namespace
