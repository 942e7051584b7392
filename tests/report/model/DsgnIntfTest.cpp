#include "ReportModelTestClasses.h"

#include "report/model/rpDsgnIntf.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace modeltest;

namespace {

class DsgnIntfTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterModelTestClasses();
        GetObjectRegistry().Clear();
        GetWizardRegistry().Clear();
        GetComponentEditorRegistry().Clear();
    }
};

// A creatable class of that name: the registered one when the report documents have it,
// else a test class of that name (and ancestor).
const ScriptClassInfo* NamedClass(const char* name, const ScriptClassInfo* ancestor)
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (const RegisteredClass* found = registry.FindCreatable(QString::fromLatin1(name)))
        return &found->Info;
    // A class the report documents have but do not create by name: a creatable test class
    // below it.
    if (const RegisteredClass* found = registry.FindByName(QString::fromLatin1(name))) {
        const QByteArray testName = QByteArray("TrpTest") + QByteArray(name).mid(3);
        if (const RegisteredClass* test = registry.FindCreatable(QString::fromLatin1(testName)))
            return &test->Info;
        const ScriptClassInfo& info = Info(testName.constData(), &found->Info);
        registry.Register(info, [] { return std::make_unique<TestView>(); });
        return &info;
    }
    const ScriptClassInfo& info = Info(name, ancestor);
    registry.Register(info, [] { return std::make_unique<TestView>(); });
    return &info;
}

TEST_F(DsgnIntfTest, ObjectRegistryTable)
{
    TrpObjectCollection& objects = GetObjectRegistry();
    objects.RegisterObject1(&TestView::Class(), QImage(), QStringLiteral("Text"), QString(), 0, 5, 0);
    objects.RegisterObject1(&TestView::Class(), QImage(), QStringLiteral("again"), QString(), 0, 6, 0);
    EXPECT_EQ(objects.Count(), 1) << "same class and flags: one entry";
    objects.RegisterObject1(&TestView::Class(), QImage(), QString(), QString(), 2, -1, 0);
    EXPECT_EQ(objects.Count(), 2) << "other flags: a second entry";
    EXPECT_EQ(objects.Items(0).ButtonHint, "Text");
    EXPECT_EQ(objects.Items(0).ButtonImageIndex, 5);
    EXPECT_EQ(objects.Items(0).Category, SetBit(ctReport));
    EXPECT_EQ(objects.FindClass(&TestView::Class()), &objects.Items(0));
    objects.RegisterCategory(QStringLiteral("Shapes"), QImage(), QStringLiteral("hint"), 7);
    EXPECT_EQ(objects.Items(2).ClassRef, nullptr);
    EXPECT_EQ(objects.Items(2).Category, 0u);
    objects.RegisterObject(&TestMemo::Class(), QImage(), QStringLiteral("Memos"));
    EXPECT_EQ(objects.Items(3).ButtonImageIndex, -1);
    EXPECT_EQ(objects.Items(3).CategoryName, "Memos");
    objects.RegisterObject1(&TestMemo::Class(), QImage(), QString(), QString(), 9, -1, SetBit(ctDMP));
    EXPECT_EQ(objects.Items(4).Category, SetBit(ctDMP)) << "a given category stays";
    objects.Unregister(&TestView::Class());
    EXPECT_EQ(objects.Count(), 3);
    EXPECT_THROW(objects.Items(3), platform::Exception);
}

TEST_F(DsgnIntfTest, CategoriesFollowTheClass)
{
    // Classes named like the data set, database and dialog classes, creatable by name.
    const ScriptClassInfo* dataSet = &Info("TrpDataSet", &TrpReportComponent::Class());
    if (const RegisteredClass* found = PropertyRegistry::Global().FindByName(u"TrpDataSet"))
        dataSet = &found->Info;
    const ScriptClassInfo* userDataSet = NamedClass("TrpTestUserDataSet", dataSet);
    const ScriptClassInfo* database = NamedClass("TrpCustomDatabase", &TrpReportComponent::Class());
    const ScriptClassInfo* control = NamedClass("TrpDialogControl", &TrpReportComponent::Class());
    TrpObjectCollection& objects = GetObjectRegistry();
    objects.RegisterObject(userDataSet, QImage(), QString());
    objects.RegisterObject(database, QImage(), QString());
    objects.RegisterObject(control, QImage(), QString());
    objects.RegisterObject(&TestMemo::Class(), QImage(), QString());
    EXPECT_EQ(objects.Items(0).Category, SetBit(ctData));
    EXPECT_EQ(objects.Items(1).Category, SetBit(ctData));
    EXPECT_EQ(objects.Items(2).Category, SetBit(ctDialog));
    EXPECT_EQ(objects.Items(3).Category, SetBit(ctReport));
    // A class the serializer could not create is refused.
    EXPECT_THROW(objects.RegisterObject(&TrpComponent::Class(), QImage(), QString()), platform::Exception);
}

TEST_F(DsgnIntfTest, PropertyEditorLookupTable)
{
    TrpPropertyEditorCollection editors;
    editors.Register(QStringLiteral("TComponentName"), nullptr, QStringLiteral("Name"), QStringLiteral("TrpNameProperty"));
    editors.Register(QStringLiteral("TColor"), nullptr, QString(), QStringLiteral("TrpColorProperty"));
    editors.Register(QStringLiteral("TFont"), nullptr, QString(), QStringLiteral("TrpFontProperty"));
    editors.Register(QStringLiteral("String"), &TrpFont::Class(), QStringLiteral("Name"), QStringLiteral("TrpFontNameProperty"));
    editors.Register(QStringLiteral("Integer"), &TrpFont::Class(), QStringLiteral("Charset"), QStringLiteral("TrpFontCharsetProperty"));
    editors.RegisterEventEditor(QStringLiteral("TrpEventProperty"));
    editors.Register(QStringLiteral("TColor"), nullptr, QString(), QStringLiteral("TrpNewerColorProperty"));
    struct Case {
        const char16_t* type;
        const ScriptClassInfo* component;
        const char16_t* name;
        const char* editor; // "" for none
    };
    const Case cases[] = {
        {u"TrpNotifyEvent", &TestView::Class(), u"OnBeforePrint", "TrpEventProperty"},
        {u"trppreviewclickevent", &TestView::Class(), u"Name", "TrpEventProperty"},
        {u"TFontName", &TrpFont::Class(), u"Name", "TrpFontNameProperty"},
        {u"TComponentName", &TestMemo::Class(), u"Name", "TrpNameProperty"},
        {u"TFontCharset", &TrpFont::Class(), u"charset", "TrpFontCharsetProperty"},
        // Of several entries for a type alone the oldest is the answer.
        {u"TColor", &TestView::Class(), u"Color", "TrpColorProperty"},
        {u"TFont", &TestView::Class(), u"Font", "TrpFontProperty"},
        {u"Extended", &TestView::Class(), u"Left", ""},
        {u"TEventLike", &TestView::Class(), u"OnClick", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.type).toStdString());
        const int index = editors.GetPropertyEditor(QStringView(c.type), c.component, QStringView(c.name));
        EXPECT_EQ(index < 0 ? std::string() : editors.Items(index).EditorClass.toStdString(), c.editor);
    }
    // Removing entries before the event editor keeps it found.
    editors.UnRegister(u"TrpNameProperty");
    EXPECT_EQ(editors.Items(editors.GetPropertyEditor(u"TrpNotifyEvent", nullptr, u"x")).EditorClass,
              "TrpEventProperty");
    editors.UnRegister(u"TrpEventProperty");
    EXPECT_EQ(editors.EventEditorItem(), -1);
}

TEST_F(DsgnIntfTest, StartupPropertyEditors)
{
    const TrpPropertyEditorCollection& editors = GetPropertyEditorRegistry();
    ASSERT_GE(editors.Count(), 11);
    EXPECT_EQ(editors.Items(editors.GetPropertyEditor(u"TFontName", &TrpFont::Class(), u"Name")).EditorClass,
              "TrpFontNameProperty");
    EXPECT_EQ(editors.Items(editors.GetPropertyEditor(u"TComponentName", &TestMemo::Class(), u"Name")).EditorClass,
              "TrpNameProperty");
    EXPECT_EQ(editors.Items(editors.GetPropertyEditor(u"TTime", nullptr, u"X")).EditorClass, "TrpTimeProperty");
}

class FakeFilter : public QObject {};

TEST_F(DsgnIntfTest, ExportFiltersAndWizards)
{
    TrpExportFilterCollection& filters = GetExportFilterRegistry();
    filters.Clear();
    auto pdf = std::make_unique<FakeFilter>();
    FakeFilter html;
    filters.Register(pdf.get());
    filters.Register(pdf.get());
    filters.Register(nullptr);
    filters.Register(&html);
    EXPECT_EQ(filters.Count(), 2);
    EXPECT_EQ(filters.Items(0), pdf.get());
    pdf.reset();
    EXPECT_EQ(filters.Count(), 1) << "a freed filter is gone";
    EXPECT_EQ(filters.Items(0), &html);
    filters.Unregister(&html);
    EXPECT_EQ(filters.Count(), 0);

    TrpWizardCollection& wizards = GetWizardRegistry();
    wizards.Register(QStringLiteral("TrpStandardWizard"), QImage(), true);
    wizards.Register1(QStringLiteral("trpstandardwizard"), 3);
    wizards.Register1(QStringLiteral("TrpDotMatrixWizard"), 4);
    ASSERT_EQ(wizards.Count(), 2);
    EXPECT_EQ(wizards.Items(0).ButtonImageIndex, -1);
    EXPECT_TRUE(wizards.Items(0).IsToolbarWizard);
    EXPECT_EQ(wizards.Items(1).ButtonImageIndex, 4);
    wizards.Unregister(u"TrpStandardWizard");
    EXPECT_EQ(wizards.Count(), 1);

    TrpComponentEditorCollection& editors = GetComponentEditorRegistry();
    editors.Register(&TestMemo::Class(), QStringLiteral("TrpMemoEditor"));
    editors.Register(&TestMemo::Class(), QStringLiteral("TrpMemoEditor"));
    editors.Register(&TestView::Class(), QStringLiteral("TrpViewEditor"));
    EXPECT_EQ(editors.Count(), 3);
    editors.UnRegister(u"TrpMemoEditor");
    EXPECT_EQ(editors.Count(), 1);
}

} // namespace
