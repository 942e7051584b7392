// The New Item dialog and the designer's New... command: the wizard and template lists, a
// wizard run by a double click, templates loaded, inherited or handed to the application, and
// the save question before anything replaces unsaved work.

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgn.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDsgnImages.h"
#include "report/designer/rpNewItemForm.h"
#include "report/designer/rpWizardStd.h"

#include "SaveScreenshot.h"

#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_wizard.h"
#include "report/model/rpDsgnIntf.h"
#include "report/script/ScriptedUi.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

class PictureWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    QString GetDescription() const override { return QStringLiteral("Picture wizard"); }
    bool Execute() override { return false; }
};

class NewItem : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        ASSERT_TRUE(folder.isValid());
        ReportServices::SetUi(&ui);
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        templates = folder.filePath(QStringLiteral("templates"));
        ASSERT_TRUE(QDir().mkpath(templates));
        component.TemplateDir = templates;
        // A report being worked on: one memo on a band.
        auto* page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        auto* band = new TrpMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        auto* memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("WorkMemo"));
        form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
    }

    void TearDown() override
    {
        form->CloseNow();
        form.reset();
        ReportServices::SetUi(nullptr);
    }

    // A template with one memo named `memo`.
    QString WriteTemplate(const QString& name, const QString& memo)
    {
        TrpReport source;
        auto* page = new TrpReportPage(&source);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        auto* band = new TrpMasterData(page);
        band->SetName(QStringLiteral("TemplateBand"));
        auto* view = new TrpMemoView(band);
        view->SetName(memo);
        const QString path = QDir(templates).filePath(name);
        source.SaveToFile(path);
        return path;
    }

    // Runs New... with the dialog worked by `work`; counts the dialogs shown.
    void RunNew(const std::function<int(TrpNewItemForm&)>& work)
    {
        ui.OnModal = [this, work](QObject& dialog, const QString&) {
            ++dialogs;
            auto* newItem = dynamic_cast<TrpNewItemForm*>(&dialog);
            return newItem != nullptr ? work(*newItem) : static_cast<int>(mrCancel);
        };
        form->Action(QStringLiteral("NewItemCmd"))->trigger();
    }

    // Picks a template on the template page.
    static int PickTemplate(TrpNewItemForm& dialog, const QString& fileName, bool inherit)
    {
        dialog.Pages->setCurrentWidget(dialog.TemplateTab);
        const QList<QListWidgetItem*> found = dialog.TemplateLV->findItems(fileName, Qt::MatchExactly);
        if (found.size() != 1)
            return mrCancel;
        dialog.TemplateLV->setCurrentItem(found.front());
        dialog.InheritCB->setChecked(inherit);
        return mrOk;
    }

    QTemporaryDir folder;
    QString templates;
    ScriptedUi ui;
    TrpDesigner component;
    TrpReport report;
    std::unique_ptr<TrpDesignerForm> form;
    int dialogs = 0;
};

TEST_F(NewItem, ListsWizardsInRegistryOrderAndSortedTemplates)
{
    WriteTemplate(QStringLiteral("base.zi3"), QStringLiteral("M1"));
    WriteTemplate(QStringLiteral("Zeta.ZI3"), QStringLiteral("M2"));
    QFile other(QDir(templates).filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    // A wizard with a picture of its own and no image yet.
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    GetWizardRegistry().Register(QStringLiteral("PictureWizard"), picture, false);
    RegisterWizardClass(QStringLiteral("PictureWizard"),
                        [](TrpCustomDesigner* designer) { return std::make_unique<PictureWizard>(designer); });
    const size_t imagesBefore = WizardImages().size();

    TrpNewItemForm dialog(form.get());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Создать новый..."));
    EXPECT_EQ(dialog.Pages->tabText(0), QStringLiteral("Список"));
    EXPECT_EQ(dialog.Pages->tabText(1), QStringLiteral("Шаблоны"));
    EXPECT_EQ(dialog.InheritCB->text(), QStringLiteral("Наследовать отчет"));
    dialog.FormShow();
    EXPECT_EQ(Texts(dialog.ItemsLV),
              QStringList({"Мастер стандартного отчета", "Пустой стандартный отчет", "Мастер матричного отчета",
                           "Пустой матричный отчет", "Picture wizard"}));
    const TrpWizardItem& entry = GetWizardRegistry().Items(GetWizardRegistry().Count() - 1);
    EXPECT_EQ(WizardImages().size(), imagesBefore + 1);
    EXPECT_EQ(entry.ButtonImageIndex, static_cast<int>(imagesBefore));
    // Shown again, the picture is not added twice.
    dialog.FormShow();
    EXPECT_EQ(WizardImages().size(), imagesBefore + 1);
    // Sorted without regard to case; the extension matched likewise.
    EXPECT_EQ(Texts(dialog.TemplateLV), QStringList({"base.zi3", "Zeta.ZI3"}));
    EXPECT_EQ(dialog.Templates(), QStringList({QDir(templates).filePath(QStringLiteral("base.zi3")),
                                               QDir(templates).filePath(QStringLiteral("Zeta.ZI3"))}));
    for (int i = 0; i < dialog.TemplateLV->count(); ++i)
        EXPECT_FALSE(dialog.TemplateLV->item(i)->icon().isNull());
    SaveScreenshot(dialog, QStringLiteral("designer-new-item"));
    dialog.Pages->setCurrentWidget(dialog.TemplateTab);
    SaveScreenshot(dialog, QStringLiteral("designer-new-item-templates"));

    GetWizardRegistry().Unregister(u"PictureWizard");
    UnregisterWizardClass(u"PictureWizard");
}

TEST_F(NewItem, TemplateListFromTheComponentsHandler)
{
    component.OnGetTemplateList = [](QStringList& list) { list << QStringLiteral("/reports/own.zi3"); };
    QStringList list = {QStringLiteral("stale")};
    form->GetTemplateList(list);
    EXPECT_EQ(list, QStringList({"/reports/own.zi3"}));
}

TEST_F(NewItem, DoubleClickRunsTheWizard)
{
    RunNew([](TrpNewItemForm& dialog) {
        const QList<QListWidgetItem*> found =
            dialog.ItemsLV->findItems(QStringLiteral("Пустой стандартный отчет"), Qt::MatchExactly);
        if (found.size() != 1)
            return static_cast<int>(mrCancel);
        dialog.ItemsLV->setCurrentItem(found.front());
        emit dialog.ItemsLV->itemDoubleClicked(found.front());
        return dialog.result();
    });
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(report.FindObject(QStringLiteral("WorkMemo")), nullptr) << "the empty wizard replaced the report";
    ASSERT_EQ(report.PagesCount(), 2);
    EXPECT_EQ(report.Pages(1)->Name(), QStringLiteral("Page1"));
    EXPECT_TRUE(form->Modified());
}

TEST_F(NewItem, OkWithNothingSelectedDoesNothing)
{
    WriteTemplate(QStringLiteral("base.zi3"), QStringLiteral("TemplateMemo"));
    for (const bool templatePage : {false, true}) {
        SCOPED_TRACE(templatePage ? "templates" : "wizards");
        RunNew([templatePage](TrpNewItemForm& dialog) {
            dialog.Pages->setCurrentWidget(templatePage ? dialog.TemplateTab : dialog.ItemsTab);
            dialog.ItemsLV->setCurrentRow(-1);
            dialog.TemplateLV->setCurrentRow(-1);
            return static_cast<int>(mrOk);
        });
        EXPECT_NE(report.FindObject(QStringLiteral("WorkMemo")), nullptr);
        EXPECT_FALSE(form->Modified());
    }
    // Cancel with a selection does nothing either.
    RunNew([](TrpNewItemForm& dialog) {
        dialog.ItemsLV->setCurrentRow(1);
        return static_cast<int>(mrCancel);
    });
    EXPECT_NE(report.FindObject(QStringLiteral("WorkMemo")), nullptr);
    EXPECT_EQ(dialogs, 3);
}

TEST_F(NewItem, TemplateLoadedWithoutItsFileName)
{
    const QString path = WriteTemplate(QStringLiteral("base.zi3"), QStringLiteral("TemplateMemo"));
    report.SetFileName(folder.filePath(QStringLiteral("old.zi3")));
    RunNew([](TrpNewItemForm& dialog) { return PickTemplate(dialog, QStringLiteral("base.zi3"), false); });
    EXPECT_EQ(report.FindObject(QStringLiteral("WorkMemo")), nullptr);
    EXPECT_NE(report.FindObject(QStringLiteral("TemplateMemo")), nullptr);
    EXPECT_EQ(report.FileName(), QString());
    EXPECT_EQ(report.ParentReport(), QString());
    EXPECT_EQ(form->Page(), report.FindObject(QStringLiteral("Page1"))) << "the designer reloaded the report";
}

TEST_F(NewItem, InheritedTemplateStoredRelativeToTheProgramAndLoadedBack)
{
    const QString path = WriteTemplate(QStringLiteral("base.zi3"), QStringLiteral("TemplateMemo"));
    RunNew([](TrpNewItemForm& dialog) { return PickTemplate(dialog, QStringLiteral("base.zi3"), true); });
    const QString relative = QDir(report.GetApplicationFolder()).relativeFilePath(path);
    EXPECT_TRUE(relative.startsWith(QStringLiteral("../"))) << relative.toStdString();
    EXPECT_EQ(report.ParentReport(), relative);
    EXPECT_NE(report.FindObject(QStringLiteral("TemplateMemo")), nullptr);
    EXPECT_EQ(report.FindObject(QStringLiteral("WorkMemo")), nullptr);
    EXPECT_EQ(report.FileName(), QString());

    // Saved elsewhere and read back, the report finds its template again.
    const QString saved = folder.filePath(QStringLiteral("elsewhere/child.zi3"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(saved).absolutePath()));
    report.SaveToFile(saved);
    TrpReport loaded;
    loaded.LoadFromFile(saved);
    EXPECT_EQ(loaded.ParentReport(), relative);
    EXPECT_NE(loaded.FindObject(QStringLiteral("TemplateMemo")), nullptr) << loaded.Errors().join(u'\n').toStdString();
}

TEST_F(NewItem, ApplicationLoadsTheTemplateWhenItAsks)
{
    const QString path = WriteTemplate(QStringLiteral("base.zi3"), QStringLiteral("TemplateMemo"));
    QStringList asked;
    report.OnLoadTemplate = [&asked](TrpReport& target, const QString& name) {
        asked << name;
        auto* page = new TrpReportPage(&target);
        page->SetName(QStringLiteral("FromApplication"));
    };
    report.SetFileName(folder.filePath(QStringLiteral("old.zi3")));
    RunNew([](TrpNewItemForm& dialog) { return PickTemplate(dialog, QStringLiteral("base.zi3"), false); });
    EXPECT_EQ(asked, QStringList({path}));
    EXPECT_NE(report.FindObject(QStringLiteral("FromApplication")), nullptr);
    EXPECT_EQ(report.FindObject(QStringLiteral("TemplateMemo")), nullptr);
    EXPECT_EQ(report.FileName(), QString());
}

TEST_F(NewItem, BrokenTemplateLeavesAClearedReloadedReport)
{
    QFile broken(QDir(templates).filePath(QStringLiteral("broken.zi3")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<TrpReport><unclosed");
    broken.close();
    report.SetFileName(folder.filePath(QStringLiteral("old.zi3")));
    ui = ScriptedUi({QStringLiteral("mrOk")}); // the error box
    RunNew([](TrpNewItemForm& dialog) { return PickTemplate(dialog, QStringLiteral("broken.zi3"), false); });
    EXPECT_EQ(dialogs, 1);
    // The dialog, then one error box with the reader's complaint.
    ASSERT_EQ(ui.Prompts.size(), 2u);
    EXPECT_EQ(ui.Prompts[1].Kind, QStringLiteral("MessageDlg"));
    EXPECT_TRUE(ui.Prompts[1].Text.contains(QStringLiteral("Invalid file format"))) << ui.Prompts[1].Text.toStdString();
    EXPECT_EQ(report.FindObject(QStringLiteral("WorkMemo")), nullptr);
    EXPECT_EQ(report.FileName(), QString());
    ASSERT_EQ(report.PagesCount(), 2) << "reloaded: a data page and Page1";
    EXPECT_EQ(report.Pages(1)->Name(), QStringLiteral("Page1"));
    EXPECT_EQ(form->Page(), report.Pages(1));
}

TEST_F(NewItem, BrokenTemplateInheritedLeavesAReloadedReport)
{
    QFile broken(QDir(templates).filePath(QStringLiteral("broken.zi3")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<TrpReport><unclosed");
    broken.close();
    ui = ScriptedUi({QStringLiteral("mrOk")}); // the error box
    RunNew([](TrpNewItemForm& dialog) { return PickTemplate(dialog, QStringLiteral("broken.zi3"), true); });
    ASSERT_EQ(ui.Prompts.size(), 2u);
    EXPECT_EQ(ui.Prompts[1].Kind, QStringLiteral("MessageDlg"));
    EXPECT_TRUE(ui.Prompts[1].Text.contains(QStringLiteral("Invalid file format"))) << ui.Prompts[1].Text.toStdString();
    EXPECT_EQ(report.ParentReport(), QString()) << "a template that was not applied is not kept";
    EXPECT_EQ(report.FindObject(QStringLiteral("WorkMemo")), nullptr);
    EXPECT_EQ(report.FileName(), QString());
    ASSERT_EQ(report.PagesCount(), 2);
    EXPECT_EQ(form->Page(), report.Pages(1));
}

TEST_F(NewItem, UnsavedChangesAreOfferedForSavingFirst)
{
    const QString file = folder.filePath(QStringLiteral("work.zi3"));
    report.SetFileName(file);
    const struct {
        const char* name;
        QStringList answers;
        int dialogs;
        bool saved;
    } cases[] = {
        {"cancel stops", {"mrCancel"}, 0, false},
        {"no goes on without saving", {"mrNo"}, 1, false},
        {"yes saves, then the dialog", {"mrYes"}, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        form->SetModified(true);
        ui = ScriptedUi(c.answers);
        dialogs = 0;
        RunNew([](TrpNewItemForm&) { return static_cast<int>(mrCancel); });
        EXPECT_EQ(dialogs, c.dialogs);
        EXPECT_EQ(QFile::exists(file), c.saved);
        EXPECT_EQ(ui.AnswersLeft(), 0);
        ASSERT_FALSE(ui.Prompts.empty());
        EXPECT_TRUE(ui.Prompts.front().Text.startsWith(QStringLiteral("Сохранить изменения в ")));
        EXPECT_TRUE(ui.Prompts.front().Text.endsWith(QStringLiteral(" work.zi3?")));
    }
    // A save whose dialog is cancelled stops too.
    report.SetFileName(QString());
    form->SetModified(true);
    ui = ScriptedUi({QStringLiteral("mrYes"), QStringLiteral("cancel")});
    dialogs = 0;
    RunNew([](TrpNewItemForm&) { return static_cast<int>(mrCancel); });
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(ui.AnswersLeft(), 0);
    EXPECT_TRUE(form->Modified());
    // Nothing unsaved: no question.
    form->SetModified(false);
    ui = ScriptedUi();
    RunNew([](TrpNewItemForm&) { return static_cast<int>(mrCancel); });
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(ui.Prompts.size(), 1u);
    EXPECT_EQ(ui.Prompts.front().Kind, QStringLiteral("ShowModal"));
}

} // namespace
