// The preview's edit commands open the designer window: a copy of the current page comes back
// changed only when the designer's question is answered Yes; the template command works on the
// previewed report's own pages, which stay with it.

#include "EngineTestSupport.h"

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpInsp.h"
#include "report/engine/ui/rpPreview.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include "ReportFakes.h"

#include <QApplication>
#include <QTabBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// Answers the close question with `Answer` and lets `OnDesigner` work in the designer window
// before closing it, in place of the modal loop.
class DesignerUser : public reporttest::RecordingReportUi {
public:
    int RunModal(QObject& dialog, const QString&) override
    {
        auto* form = dynamic_cast<TrpDesignerForm*>(&dialog);
        if (form == nullptr)
            return mrNone;
        ++Opened;
        if (OnDesigner)
            OnDesigner(*form);
        form->close();
        return mrNone;
    }
    std::function<void(TrpDesignerForm&)> OnDesigner;
    int Opened = 0;
};

QString FirstMemoText(TrpComponent* page)
{
    for (TrpComponent* object : page->AllObjects()) {
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
            return memo->Text().trimmed();
    }
    return QString();
}

TEST(DesignerFromPreview, PageEditPutsTheChangedPageBackOnYesOnly)
{
    DesignerRuntime::init();
    QTemporaryDir folder;
    for (int answer : {mrYes, mrNo}) {
        PreparedReport prepared;
        prepared.Report().IniFile = folder.filePath(QStringLiteral("designer.ini"));
        TrpReportPage* page = AddRowsPage(prepared.Report());
        FillRows(prepared, page, 2, 3);
        TrpPreview preview;
        preview.resize(600, 500);
        preview.show();
        prepared.Report().SetPreview(&preview);
        QApplication::processEvents();
        ASSERT_EQ(FirstMemoText(prepared.Store().GetPage(0)), QStringLiteral("Row 1.1"));

        DesignerUser user;
        user.Answer = answer;
        user.OnDesigner = [](TrpDesignerForm& form) {
            EXPECT_TRUE(form.IsPreviewDesigner());
            ASSERT_NE(form.Page(), nullptr);
            // The page's tab reads as the report designer names a report's first page.
            EXPECT_EQ(form.Tabs()->tabText(form.Tabs()->count() - 1), QStringLiteral("Page1"));
            for (TrpComponent* object : form.Page()->AllObjects()) {
                if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object)) {
                    memo->SetText(QStringLiteral("Changed"));
                    break;
                }
            }
            form.ObjectModified(form.Inspector());
        };
        preview.Edit();
        EXPECT_EQ(user.Opened, 1);
        EXPECT_EQ(FirstMemoText(prepared.Store().GetPage(0)),
                  answer == mrYes ? QStringLiteral("Changed") : QStringLiteral("Row 1.1"));
        prepared.Report().SetPreview(nullptr);
    }
}

TEST(DesignerFromPreview, TemplateCommandLeavesThePagesWithTheReport)
{
    DesignerRuntime::init();
    QTemporaryDir folder;
    PreparedReport prepared;
    prepared.Report().IniFile = folder.filePath(QStringLiteral("designer.ini"));
    TrpReportPage* page = AddRowsPage(prepared.Report());
    FillRows(prepared, page, 1, 1);
    TrpPreview preview;
    prepared.Report().SetPreview(&preview);
    const int pages = prepared.Report().PagesCount();
    DesignerUser user;
    user.Answer = mrNo;
    QStringList tabs;
    user.OnDesigner = [&](TrpDesignerForm& form) {
        EXPECT_FALSE(form.IsPreviewDesigner());
        for (int i = 0; i < form.Tabs()->count(); ++i)
            tabs << form.Tabs()->tabText(i);
    };
    preview.ShowTemplate();
    EXPECT_EQ(user.Opened, 1);
    EXPECT_EQ(tabs, (QStringList{QStringLiteral("Код"), QStringLiteral("Данные"), QStringLiteral("Page1")}));
    EXPECT_EQ(prepared.Report().PagesCount(), pages);
    EXPECT_EQ(prepared.Report().Pages(1), page);
    EXPECT_EQ(prepared.Report().Designer(), nullptr);
    prepared.Report().SetPreview(nullptr);
}

} // namespace
