#include "report/model/ModelRuntime.h"
#include "report/model/rpRes.h"

#include "report/script/sc_iconsts.h"

#include "platform/Exceptions.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Document(const QByteArray& body, const QByteArray& header = R"(<?xml version="1.1" encoding="utf-8" standalone="no"?>)")
{
    return header + body;
}

class ResourcesTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
    TrpResources& resources = GetResourcesInstance();
};

TEST_F(ResourcesTest, GetTable)
{
    struct Case {
        const char16_t* name;
        const char* text;
    };
    const Case cases[] = {
        {u"mbError", "Ошибка"},
        {u"MBERROR", "Ошибка"},
        {u"mbConfirm", "Подтверждение"},
        {u"mbInfo", "Информация"},
        {u"xrCantFindClass", "Не удалось найти класс"},
        {u"2", "Отмена"},
        {u"clCantRen", "Невозможно переименовать %s, объект был объявлен в родительском отчёте"},
        {u"ReportTitle", "ReportTitle"},
        {u"Code39 Extended", "Code39 Extended"},
        {u"Nope", "Nope"},
        {u"!Nope", "Nope"},
        {u"", ""},
        // The designer's texts block, which the table holds from the start: the model raises
        // these texts itself.
        {u"prDupl", "Повторяющееся имя"},
        {u"prInvProp", "Неверное значение свойства"},
        {u"5000", "Пароль"},
        {u"5001", "Введите пароль:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.name).toStdString());
        EXPECT_EQ(resources.Get(QStringView(c.name)).toStdString(), c.text);
    }
    EXPECT_EQ(resources.GetResourceTextById(2), "Отмена");
    EXPECT_EQ(resources.GetResourceTextById(101), "Печать");
}

TEST_F(ResourcesTest, DoubleEscapedTextKeepsItsQuotes)
{
    EXPECT_EQ(resources.Get(u"clDSNotExist"), QStringLiteral("Набор данных \"%s\" не найден"));
}

TEST_F(ResourcesTest, ScriptMessagesComeFromTheTable)
{
    EXPECT_EQ(ScMessage(TscMessage::SIdUndeclared), QStringLiteral("Неопределенный идентификатор: "));
    EXPECT_EQ(ScMessage(TscMessage::SEventError), QStringLiteral("Обработчик события должен быть процедурой"));
}

TEST_F(ResourcesTest, BuiltInBlockHoldsExactlyItsEntries)
{
    QFile file(QStringLiteral(":/report/model/rpRes.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith(R"(<?xml version="1.1" encoding="utf-8" standalone="no"?>)"));
    TrpResources block;
    block.AddXML(bytes);
    EXPECT_EQ(block.Count(), 227);
    EXPECT_EQ(block.CodePage(), 1251u);
    // Forty-one names are their own text; prDupl and the password texts are not in this block.
    int selfNamed = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype name = line.indexOf("Name=\"");
        if (name < 0)
            continue;
        const qsizetype end = line.indexOf('"', name + 6);
        const QString n = QString::fromUtf8(line.mid(name + 6, end - name - 6));
        if (block.Get(n) == n)
            ++selfNamed;
    }
    EXPECT_EQ(selfNamed, 41);
    EXPECT_EQ(block.Get(u"prDupl"), "prDupl");
    EXPECT_EQ(block.Get(u"5000"), "5000");
}

TEST_F(ResourcesTest, LaterTextsReplaceEarlierOnes)
{
    TrpResources table;
    table.AddXML(Document(R"(<Resources CodePage="1251"><StrRes Name="mbError" Text="Ошибка"/><StrRes Name="a" Text="1"/></Resources>)"));
    table.AddXML(Document(R"(<Resources CodePage="866"><StrRes Name="MBERROR" Text="Беда"/></Resources>)"));
    EXPECT_EQ(table.Get(u"mbError"), "Беда");
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.CodePage(), 866u);
}

TEST_F(ResourcesTest, DocumentEdgeCases)
{
    struct Case {
        const char* what;
        QByteArray document;
        int count;           // entries afterwards, -1 for an error
        const char* message; // the error's text
    };
    const Case cases[] = {
        {"lower-case root", Document(R"(<resources CodePage="1251"><StrRes Name="a" Text="b"/></resources>)"), 0, ""},
        {"other children", Document(R"(<Resources CodePage="1251"><Str Name="a" Text="b"/><StrRes Name="c" Text="d"/></Resources>)"), 1, ""},
        {"missing code page", Document(R"(<Resources><StrRes Name="a" Text="b"/></Resources>)"), -1,
         R"("" is an invalid integer)"},
        {"not a document", QByteArray("Resources"), -1, "Invalid file format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrpResources table;
        try {
            table.AddXML(c.document);
            EXPECT_EQ(table.Count(), c.count);
        } catch (const platform::Exception& failure) {
            EXPECT_EQ(c.count, -1);
            EXPECT_EQ(failure.Message(), c.message);
        }
    }
}

TEST_F(ResourcesTest, OldFormatTextIsUtf8Bytes)
{
    // Version 1.0 without standalone: attribute text in Windows-1251, whose characters here
    // are the UTF-8 bytes of the Cyrillic letter.
    TrpResources table;
    table.AddXML(QByteArray(R"(<?xml version="1.0" encoding="utf-8"?><Resources CodePage="1251"><StrRes Name="a" Text=")") +
                 QByteArray("\xD0\x96") + QByteArray(R"("/></Resources>)"));
    EXPECT_EQ(table.Get(u"a"), QStringLiteral("Ж"));
}

TEST_F(ResourcesTest, AddStringsAndBangs)
{
    TrpResources table;
    table.AddStrings(u"a=1\r\n=skipped\nb=\nc=x=y\n\nd=!bang");
    EXPECT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Get(u"a"), "1");
    EXPECT_EQ(table.Get(u"b"), "b");
    EXPECT_EQ(table.Get(u"c"), "x=y");
    EXPECT_EQ(table.Get(u"d"), "bang");
    table.Clear();
    EXPECT_EQ(table.Get(u"a"), "a");
}

TEST_F(ResourcesTest, HelpTopicsAndFiles)
{
    EXPECT_EQ(TrpResources::HelpTopic(u"trpdesignerform"), "::/Designer.htm");
    EXPECT_EQ(TrpResources::HelpTopic(u"TrpSQLEditorForm"), "::/TrpADOQuery.htm");
    EXPECT_EQ(TrpResources::HelpTopic(u"TrpMemoView"), "");
    EXPECT_EQ(resources.HelpFile(), "ZOZude.vev");
    // A missing language file is passed over.
    const int before = resources.Count();
    resources.LoadFromFile(QStringLiteral("/nonexistent/folder/Russian.zrc"));
    EXPECT_EQ(resources.Count(), before);
}

TEST_F(ResourcesTest, FormatResourceFillsPlaceholders)
{
    EXPECT_EQ(FormatResource(resources.Get(u"clPageOf"), {Variant(int32_t{2}), Variant(int32_t{5})}),
              "Страница 2 из 5");
    // A text that does not fit its values is not lost.
    EXPECT_EQ(FormatResource(QStringLiteral("%d of"), {Variant(QStringLiteral("x"))}), "%d of x");
}

} // namespace
