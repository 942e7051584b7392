#include "StandInDesigner.h"
#include "RegistryTestObjects.h"
#include "UnderLocale.h"

#include "platform/Exceptions.h"
#include "report/core/KeyCodes.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDsgnIntfEditors.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class PropertyLists : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
        testsupport::RegisterRegistryTestClasses();
    }

    void SetUp() override
    {
        report_ = std::make_unique<TrpReport>();
        ASSERT_TRUE(report_->LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")));
        designer_ = std::make_unique<StandInDesigner>(report_.get());
        memo1_ = report_->FindObject(u"AlignMemo1");
        memo2_ = report_->FindObject(u"AlignMemo2");
        ASSERT_NE(memo1_, nullptr);
        ASSERT_NE(memo2_, nullptr);
    }

    std::unique_ptr<TrpPropertyList> ListOf(std::vector<ScriptObject*> objects)
    {
        return BuildCommonPropertyList(objects, designer_.get());
    }

    static TrpPropertyEditor& Row(const TrpPropertyList& list, const char16_t* name)
    {
        TrpPropertyItem* item = list.Find(QStringView(name));
        if (item == nullptr)
            throw std::runtime_error("no row " + QString::fromUtf16(name).toStdString());
        return *item->Editor();
    }

    std::unique_ptr<TrpReport> report_;
    std::unique_ptr<StandInDesigner> designer_;
    TrpComponent* memo1_ = nullptr;
    TrpComponent* memo2_ = nullptr;
};

TEST_F(PropertyLists, NoObjectsGiveNoList)
{
    EXPECT_EQ(ListOf({}), nullptr);
}

TEST_F(PropertyLists, RowsAreSortedByName)
{
    const auto list = ListOf({memo2_});
    ASSERT_GT(list->Count(), 5);
    for (int i = 1; i < list->Count(); ++i)
        EXPECT_LE(list->Items(i - 1).Editor()->GetName().compare(list->Items(i).Editor()->GetName(), Qt::CaseInsensitive), 0);
    EXPECT_NE(list->Find(u"Name"), nullptr);
}

TEST_F(PropertyLists, TwoMemosShareMultiSelectRowsAndAWidthGoesToBoth)
{
    const auto list = ListOf({memo1_, memo2_});
    EXPECT_EQ(list->Find(u"Name"), nullptr);
    for (int i = 0; i < list->Count(); ++i) {
        EXPECT_NE(list->Items(i).Editor()->GetAttributes() & paMultiSelect, 0u);
        EXPECT_EQ(list->Items(i).Editor()->EditedCount(), 2);
    }
    Row(*list, u"Width").SetValue(QStringLiteral("55"));
    EXPECT_EQ(memo1_->Width(), 55.0);
    EXPECT_EQ(memo2_->Width(), 55.0);
    EXPECT_EQ(Row(*list, u"Width").GetValue(), QStringLiteral("55"));
    // Sub-rows are joined by name too: a font size reaches both memos.
    TrpPropertyItem* font = list->Find(u"Font");
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->SubProperty(), nullptr);
    TrpPropertyEditor& size = Row(*font->SubProperty(), u"Size");
    EXPECT_EQ(size.EditedCount(), 2);
    size.SetValue(QStringLiteral("14"));
    EXPECT_EQ(memo1_->Font().Size(), 14);
    EXPECT_EQ(memo2_->Font().Size(), 14);
}

TEST_F(PropertyLists, FontSubRowsOfferNamesAndCharsets)
{
    const auto list = ListOf({memo2_});
    TrpPropertyItem* font = list->Find(u"Font");
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->SubProperty(), nullptr);
    EXPECT_EQ(font->SubProperty()->Depth(), 1);
    TrpPropertyEditor& charset = Row(*font->SubProperty(), u"Charset");
    EXPECT_EQ(charset.ClassName(), QStringLiteral("TrpFontCharsetProperty"));
    EXPECT_EQ(charset.GetValue(), QStringLiteral("DEFAULT_CHARSET"));
    EXPECT_EQ(charset.GetAttributes(), paValueList | paSortList | paMultiSelect);
    charset.GetValues();
    EXPECT_TRUE(charset.Values().contains(QStringLiteral("RUSSIAN_CHARSET")));
    TrpPropertyEditor& name = Row(*font->SubProperty(), u"Name");
    EXPECT_EQ(name.ClassName(), QStringLiteral("TrpFontNameProperty"));
    EXPECT_EQ(name.GetValue(), QStringLiteral("Arial"));
    EXPECT_EQ(Row(*list, u"Font").GetValue(), QStringLiteral("(TFont)"));
}

TEST_F(PropertyLists, FrameSidesAreASetWithElementRows)
{
    const auto list = ListOf({memo2_});
    TrpPropertyItem* frame = list->Find(u"Frame");
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->SubProperty(), nullptr);
    TrpPropertyItem* typ = frame->SubProperty()->Find(u"Typ");
    ASSERT_NE(typ, nullptr);
    ASSERT_NE(typ->SubProperty(), nullptr);
    ASSERT_EQ(typ->SubProperty()->Count(), 4);
    for (int i = 0; i < 4; ++i)
        typ->SubProperty()->Items(i).Editor()->SetValue(QStringLiteral("True"));
    EXPECT_EQ(typ->Editor()->GetValue(), QStringLiteral("[ftLeft,ftRight,ftTop,ftBottom]"));
    EXPECT_EQ(typ->Editor()->GetAttributes(), paMultiSelect | paSubProperties | paReadOnly);
    TrpPropertyEditor& top = *typ->SubProperty()->Items(2).Editor();
    EXPECT_EQ(top.GetName(), QStringLiteral("ftTop"));
    top.SetValue(QStringLiteral("false"));
    EXPECT_EQ(typ->Editor()->GetValue(), QStringLiteral("[ftLeft,ftRight,ftBottom]"));
    EXPECT_THROW(top.SetValue(QStringLiteral("yes")), platform::Exception);
}

class FloatRows : public testsupport::UnderLocale {
};

TEST_P(FloatRows, CommaAndPointAlike)
{
    DesignerRuntime::init();
    TrpReport report;
    ASSERT_TRUE(report.LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")));
    StandInDesigner designer(&report);
    TrpComponent* memo = report.FindObject(u"AlignMemo2");
    ASSERT_NE(memo, nullptr);
    const auto list = BuildCommonPropertyList({memo}, &designer);
    TrpPropertyEditor* gap = list->Find(u"GapX")->Editor();
    for (const char* text : {"1,5", "1.5", " 1.5 "}) {
        gap->SetValue(QString::fromLatin1(text));
        EXPECT_EQ(gap->PropInfo()->Get(*memo).ToDouble(), 1.5) << text;
    }
    EXPECT_THROW(gap->SetValue(QStringLiteral("abc")), platform::Exception);
    EXPECT_EQ(gap->PropInfo()->Get(*memo).ToDouble(), 1.5);
}

DAX_INSTANTIATE_UNDER_LOCALES(FloatRows);

TEST_F(PropertyLists, CharRowsAsATable)
{
    testsupport::TTestObject object;
    const auto list = ListOf({&object});
    TrpPropertyEditor& letter = Row(*list, u"Letter");
    struct Case {
        const char* typed;
        QChar stored;
        const char* shown;
    };
    const Case cases[] = {{"#32", u' ', "#32"}, {"A", u'A', "A"}, {"#65", u'A', "A"}, {"#1", QChar(1), "#1"}};
    for (const Case& c : cases) {
        letter.SetValue(QString::fromLatin1(c.typed));
        EXPECT_EQ(object.Letter, c.stored) << c.typed;
        EXPECT_EQ(letter.GetValue(), QString::fromLatin1(c.shown)) << c.typed;
    }
    for (const char* bad : {"AB", "#x", "1#"}) {
        try {
            letter.SetValue(QString::fromLatin1(bad));
            ADD_FAILURE() << bad << " was taken";
        } catch (const platform::Exception& error) {
            if (QString::fromLatin1(bad) == QStringLiteral("AB")) {
                EXPECT_EQ(QString::fromUtf8(error.what()), QStringLiteral("Неверное значение свойства"));
            }
        }
    }
}

TEST_F(PropertyLists, KindsChooseTheirEditorsAndEmptySubListsAreDropped)
{
    testsupport::TTestObject object;
    const auto list = ListOf({&object});
    EXPECT_EQ(list->Find(u"Big"), nullptr);  // Int64: no editor
    EXPECT_EQ(list->Find(u"Data"), nullptr); // Variant: no editor
    EXPECT_EQ(Row(*list, u"Width").ClassName(), QStringLiteral("TrpIntegerProperty"));
    EXPECT_EQ(Row(*list, u"Ratio").ClassName(), QStringLiteral("TrpFloatProperty"));
    EXPECT_EQ(Row(*list, u"Caption").ClassName(), QStringLiteral("TrpStringProperty"));
    EXPECT_EQ(Row(*list, u"OnClick").ClassName(), QStringLiteral("TrpStringProperty"));
    EXPECT_EQ(Row(*list, u"Align").ClassName(), QStringLiteral("TrpEnumProperty"));
    EXPECT_EQ(Row(*list, u"Visible").ClassName(), QStringLiteral("TrpBooleanProperty"));
    EXPECT_EQ(Row(*list, u"Style").ClassName(), QStringLiteral("TrpSetProperty"));
    EXPECT_EQ(Row(*list, u"Link").ClassName(), QStringLiteral("TrpComponentProperty"));
    EXPECT_EQ(Row(*list, u"Lines").ClassName(), QStringLiteral("TrpClassProperty"));
    EXPECT_EQ(list->Find(u"Lines")->SubProperty(), nullptr);
    // A read-only property is listed; writing it is skipped silently.
    Row(*list, u"ReadOnlyValue").SetValue(QStringLiteral("9"));
    EXPECT_EQ(object.ReadOnlyValue, 7);
}

TEST_F(PropertyLists, EnumEditWrapsToTheFirstName)
{
    testsupport::TTestObject object;
    const auto list = ListOf({&object});
    TrpPropertyEditor& align = Row(*list, u"Align");
    align.SetValue(QStringLiteral("taRight"));
    ASSERT_TRUE(align.Edit());
    EXPECT_EQ(align.GetValue(), QStringLiteral("taCenter")); // the sorted list's first name
    ASSERT_TRUE(align.Edit());
    EXPECT_EQ(align.GetValue(), QStringLiteral("taLeft"));
    EXPECT_THROW(align.SetValue(QStringLiteral("taNowhere")), platform::Exception);
    TrpPropertyEditor& visible = Row(*list, u"Visible");
    ASSERT_TRUE(visible.Edit());
    EXPECT_FALSE(object.Visible);
}

TEST_F(PropertyLists, HiddenPropertiesOfAClassAndItsDescendantsOnly)
{
    testsupport::TTestObject object;
    testsupport::TTestBase base;
    ASSERT_NE(ListOf({&object})->Find(u"Tag"), nullptr);
    RegisterHiddenProperties(&testsupport::TTestObject::Class(), QStringLiteral("Tag;Caption"));
    EXPECT_EQ(ListOf({&object})->Find(u"Tag"), nullptr);
    EXPECT_EQ(ListOf({&object})->Find(u"Caption"), nullptr);
    EXPECT_NE(ListOf({&base})->Find(u"Tag"), nullptr);
    EXPECT_NE(ListOf({memo2_})->Find(u"Tag"), nullptr);
}

class TestEditorA : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TestEditorA"); }
};

class TestEditorB : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TestEditorB"); }
};

TEST_F(PropertyLists, ComponentEditorExactClassFirstElseLatestAncestor)
{
    RegisterComponentEditorClass(QStringLiteral("TestEditorA"), [](TrpComponent* c, TrpCustomDesigner* d, QMenu* m) {
        return std::make_unique<TestEditorA>(c, d, m);
    });
    RegisterComponentEditorClass(QStringLiteral("TestEditorB"), [](TrpComponent* c, TrpCustomDesigner* d, QMenu* m) {
        return std::make_unique<TestEditorB>(c, d, m);
    });
    TrpComponentEditorCollection& registry = GetComponentEditorRegistry();
    // The standard editors step aside while the test's own stand for the classes.
    std::vector<TrpComponentEditorItem> standard;
    for (int i = 0; i < registry.Count(); ++i)
        standard.push_back(registry.Items(i));
    registry.Clear();
    const int before = registry.Count();
    registry.Register(&TrpMemoView::Class(), QStringLiteral("TestEditorA"));
    registry.Register(&TrpView::Class(), QStringLiteral("TestEditorB"));
    auto exact = GetComponentEditor(memo2_, designer_.get(), nullptr);
    ASSERT_NE(exact, nullptr);
    EXPECT_EQ(exact->ClassName(), QStringLiteral("TestEditorA"));
    TrpComponent* line = nullptr;
    for (TrpComponent* object : report_->AllObjects())
        if (object->ScriptClass().InheritsFrom(TrpView::Class()) && &object->ScriptClass() != &TrpMemoView::Class())
            line = object;
    if (line != nullptr) {
        auto ancestor = GetComponentEditor(line, designer_.get(), nullptr);
        ASSERT_NE(ancestor, nullptr);
        EXPECT_EQ(ancestor->ClassName(), QStringLiteral("TestEditorB"));
    }
    EXPECT_EQ(GetComponentEditor(report_.get(), designer_.get(), nullptr), nullptr);
    registry.UnRegister(u"TestEditorA");
    registry.UnRegister(u"TestEditorB");
    EXPECT_EQ(registry.Count(), before);
    for (const TrpComponentEditorItem& item : standard)
        registry.Register(item.ComponentClass, item.ComponentEditor);
    QMenu menu;
    TestEditorA editor(memo2_, designer_.get(), &menu);
    QAction* action = editor.AppendMenuItem(QStringLiteral("Item"), 7, true);
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isCheckable());
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(action->data().toInt(), 7);
    EXPECT_EQ(menu.actions().size(), 1);
}

TEST(ShortCuts, TheHundredAndEightRoundTrip)
{
    const auto list = StandardShortCuts();
    ASSERT_EQ(list.size(), 108u);
    EXPECT_EQ(ShortCutToText(list[0]), QStringLiteral("Ctrl+A"));
    EXPECT_EQ(ShortCutToText(list[26]), QStringLiteral("Ctrl+Alt+A"));
    EXPECT_EQ(ShortCutToText(list[52]), QStringLiteral("F1"));
    EXPECT_EQ(ShortCutToText(list[88]), QStringLiteral("Shift+Ctrl+F1"));
    EXPECT_EQ(ShortCutToText(list[107]), QStringLiteral("Shift+Alt+BkSp"));
    for (uint16_t shortCut : list) {
        const QString text = ShortCutToText(shortCut);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_EQ(TextToShortCut(text), shortCut) << text.toStdString();
        EXPECT_EQ(TextToShortCut(text.toLower()), shortCut) << text.toStdString();
    }
    EXPECT_EQ(TextToShortCut(u"Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut(u"Hyper+Q"), 0);
}

} // namespace
