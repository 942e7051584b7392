#include "DialogTestSupport.h"

#include "report/designer/rpDsgnIntfEditors.h"
#include "report/designer/rpFormatEditor.h"
#include "report/designer/rpViewEditor.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ContextEditors : public testing::Test {
protected:
    void SetUp() override
    {
        page = new TrpReportPage(&report);
        band = new TrpMasterData(page);
        for (int i = 0; i < 3; ++i)
            memos[i] = new TrpMemoView(band);
        line = new TrpLineView(band);
        designer = std::make_unique<StandInDesigner>(&report);
    }

    void Select(std::initializer_list<TrpComponent*> objects)
    {
        designer->SelectedObjects().clear();
        for (TrpComponent* object : objects)
            designer->SelectedObjects().emplace_back(object);
    }

    // The menu items an editor gives: caption, tag and tick per entry ("-" for separators).
    static QStringList Items(const QMenu& menu)
    {
        QStringList items;
        for (QAction* action : menu.actions())
            items.append(action->isSeparator() ? QStringLiteral("-")
                                               : QStringLiteral("%1|%2|%3")
                                                     .arg(action->text())
                                                     .arg(action->data().toInt())
                                                     .arg(action->isChecked() ? 1 : 0));
        return items;
    }

    ModalScript modal;
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpBand* band = nullptr;
    TrpMemoView* memos[3] = {};
    TrpLineView* line = nullptr;
    std::unique_ptr<StandInDesigner> designer;
};

TEST_F(ContextEditors, ViewEditorIsRegisteredForViewsAndOffersFourSwitches)
{
    QMenu menu;
    auto* shape = new TrpShapeView(band);
    shape->ShiftMode = smWhenOverlapped;
    shape->Printable = false;
    auto editor = GetComponentEditor(shape, designer.get(), &menu);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->ClassName(), QStringLiteral("TrpViewEditor"));
    editor->GetMenuItems();
    EXPECT_EQ(Items(menu), (QStringList{"Смещаемый|50|0", "Смещаемый при перекрытии|51|1", "Видимый|52|1",
                                        "Печатаемый|53|0"}));
}

TEST_F(ContextEditors, MemoEditorListsMemoItemsThenViewItemsAndDropsHtmlOnDotMatrix)
{
    memos[0]->WordWrap = false;
    memos[0]->HideZeros = true;
    memos[0]->StretchMode = smMaxHeight;
    QMenu menu;
    TrpCustomMemoEditor editor(memos[0], designer.get(), &menu);
    editor.GetMenuItems();
    EXPECT_EQ(Items(menu),
              (QStringList{"Форматирование...|1|0", "Очистить текст|2|0", "-", "Автоширина|3|0",
                           "Переносить слова|4|0", "Скрывать повторяющиеся|5|0", "Скрывать нули|6|1",
                           "Выражения в тексте|7|1", "HTML-тэги в тексте|8|0", "-", "Растягиваемый|40|0",
                           "Растягивание до макс.высоты|41|1", "Смещаемый|50|1",
                           "Смещаемый при перекрытии|51|0", "Видимый|52|1", "Печатаемый|53|1"}));

    auto* dmp = new TrpDMPMemoView(band);
    QMenu dmpMenu;
    TrpCustomMemoEditor dmpEditor(dmp, designer.get(), &dmpMenu);
    dmpEditor.GetMenuItems();
    EXPECT_FALSE(Items(dmpMenu).join(u' ').contains(QStringLiteral("HTML")));
    EXPECT_EQ(Items(dmpMenu).size(), 15);
}

TEST_F(ContextEditors, StretchSwitchesMoveBetweenTheThreeModes)
{
    struct Case {
        TrpStretchMode before;
        int tag;
        bool checked;
        TrpStretchMode after;
    };
    const Case cases[] = {{smMaxHeight, 40, true, smActualHeight},   {smActualHeight, 40, false, smDontStretch},
                          {smActualHeight, 41, true, smMaxHeight},   {smMaxHeight, 41, false, smDontStretch},
                          {smDontStretch, 41, true, smMaxHeight}};
    Select({memos[0]});
    TrpCustomMemoEditor editor(memos[0], designer.get(), nullptr);
    for (const Case& c : cases) {
        memos[0]->StretchMode = c.before;
        EXPECT_TRUE(editor.Execute(c.tag, c.checked));
        EXPECT_EQ(memos[0]->StretchMode, c.after) << c.tag << ' ' << c.checked;
    }
}

TEST_F(ContextEditors, VisibleSkipsTheObjectThatMayNotBeModified)
{
    memos[1]->SetRestrictions(1u << rfDontModify);
    Select({memos[0], memos[1], line});
    TrpViewEditor editor(memos[0], designer.get(), nullptr);
    EXPECT_TRUE(editor.Execute(52, false));
    EXPECT_FALSE(memos[0]->Visible());
    EXPECT_TRUE(memos[1]->Visible());
    EXPECT_FALSE(line->Visible());

    // Only restricted objects selected: nothing changes and nothing is reported.
    Select({memos[1]});
    EXPECT_FALSE(editor.Execute(53, false));
    EXPECT_TRUE(memos[1]->Printable);
    // A tag that is no view switch leaves the views alone.
    Select({memos[0]});
    EXPECT_FALSE(editor.Execute(7, false));
}

TEST_F(ContextEditors, ShiftSwitchesAndTextSwitchesReachEverySelectedMemo)
{
    Select({memos[0], memos[2], line});
    TrpCustomMemoEditor editor(memos[0], designer.get(), nullptr);
    EXPECT_TRUE(editor.Execute(51, true));
    EXPECT_EQ(memos[2]->ShiftMode, smWhenOverlapped);
    EXPECT_EQ(line->ShiftMode, smWhenOverlapped);
    EXPECT_TRUE(editor.Execute(50, false));
    EXPECT_EQ(line->ShiftMode, smDontShift);

    memos[0]->SetText(QStringLiteral("a"));
    memos[2]->SetText(QStringLiteral("b"));
    EXPECT_TRUE(editor.Execute(2, true));
    EXPECT_TRUE(memos[0]->Text().isEmpty());
    EXPECT_TRUE(memos[2]->Text().isEmpty());
    for (int tag = 3; tag <= 8; ++tag)
        EXPECT_TRUE(editor.Execute(tag, tag % 2 == 0));
    EXPECT_FALSE(memos[2]->AutoWidth);
    EXPECT_TRUE(memos[2]->WordWrap);
    EXPECT_FALSE(memos[2]->SuppressRepeated);
    EXPECT_TRUE(memos[2]->HideZeros);
    EXPECT_FALSE(memos[2]->AllowExpressions);
    EXPECT_TRUE(memos[2]->AllowHTMLTags);
}

TEST_F(ContextEditors, DisplayFormatGoesToEverySelectedMemoAndCancelChangesNothing)
{
    Select({memos[0], memos[1], memos[2]});
    TrpCustomMemoEditor editor(memos[0], designer.get(), nullptr);
    modal.Then<TrpFormatEditorForm>([](TrpFormatEditorForm& form) { form.reject(); });
    EXPECT_FALSE(editor.Execute(1, true));
    for (TrpMemoView* memo : memos)
        EXPECT_EQ(memo->DisplayFormat().Kind, fkText);

    modal.Then<TrpFormatEditorForm>([](TrpFormatEditorForm& form) {
        form.CategoryLB->setCurrentRow(1);
        form.FormatE->setText(QStringLiteral("%2.2n"));
        form.SeparatorE->setText(QStringLiteral(","));
        form.OkB->click();
    });
    EXPECT_TRUE(editor.Execute(1, true));
    for (TrpMemoView* memo : memos) {
        EXPECT_EQ(memo->DisplayFormat().Kind, fkNumeric);
        EXPECT_EQ(memo->DisplayFormat().FormatStr, QStringLiteral("%2.2n"));
        EXPECT_EQ(memo->DisplayFormat().DecimalSeparator, QStringLiteral(","));
    }
    EXPECT_EQ(modal.Shown, (QStringList{"TrpFormatEditorForm", "TrpFormatEditorForm"}));
}

} // namespace
