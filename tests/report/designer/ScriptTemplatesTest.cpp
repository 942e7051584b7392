#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpScriptTemplates.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kNotify = QStringLiteral("TrpNotifyEvent");

class ScriptTemplates : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        RegisterScriptCodeTemplates();
    }
};

TEST_F(ScriptTemplates, AttributesAndSignatures)
{
    EXPECT_EQ(GetTemplateAttribute(QStringLiteral("RireroRidoze"), QStringLiteral("lastend")), QStringLiteral("end."));
    EXPECT_EQ(GetTemplateAttribute(QStringLiteral("zuvivuradur"), QStringLiteral("OPENQUOTE")), QStringLiteral("/\\"));
    EXPECT_EQ(GetTemplateAttribute(QStringLiteral("JScript"), QStringLiteral("lastend")), QString());
    // "end" must not match the tail of "lastend".
    EXPECT_EQ(GetTemplateAttribute(QStringLiteral("R++Idirud"), QStringLiteral("end")), QStringLiteral("}"));
    EXPECT_EQ(GetTemplateAttribute(QStringLiteral("Nope"), QStringLiteral("proc")), QString());
    EXPECT_EQ(GetEventSignature(QStringLiteral("TrpCloseQueryEvent"), QStringLiteral("R++Idirud")),
              QStringLiteral("(TrpComponent Sender, bool &CanClose)"));
    EXPECT_EQ(GetEventSignature(QStringLiteral("TrpUnknownEvent"), QStringLiteral("JScript")), QString());
}

TEST_F(ScriptTemplates, HandlerAboveTheMainBlock)
{
    QStringList script = {"begin", "", "end."};
    EXPECT_EQ(AddEventHandler(script, QStringLiteral("RireroRidoze"), kNotify, QStringLiteral("Memo1OnBeforePrint")), 3);
    EXPECT_EQ(script, (QStringList{"procedure Memo1OnBeforePrint(Sender: TrpComponent);", "begin", "", "end;", "",
                                   "begin", "", "end."}));
}

TEST_F(ScriptTemplates, WordsInsideNamesDoNotCountAsBlocks)
{
    QStringList script = {"procedure A(Sender: TrpComponent);", "begin", "end;", "", "begin",
                          "  Memo1.Lines.Append('the end'); { begin }", "  Legend := Sender;", "end."};
    EXPECT_EQ(AddEventHandler(script, QStringLiteral("RireroRidoze"), kNotify, QStringLiteral("B")), 7);
    EXPECT_EQ(script[4], QStringLiteral("procedure B(Sender: TrpComponent);"));
    EXPECT_EQ(script[9], QStringLiteral("begin"));
}

TEST_F(ScriptTemplates, LanguagesWithoutMainBlock)
{
    QStringList js = {"var x;", "x = 1;"};
    EXPECT_EQ(AddEventHandler(js, QStringLiteral("JScript"), kNotify, QStringLiteral("H")), 4);
    EXPECT_EQ(js[1], QStringLiteral("function H(Sender)"));
    QStringList empty;
    EXPECT_EQ(AddEventHandler(empty, QStringLiteral("ZuvivUradur"), kNotify, QStringLiteral("H")), -1);
    QStringList none = {"a", "b"};
    EXPECT_EQ(AddEventHandler(none, QStringLiteral("Nope"), kNotify, QStringLiteral("H")), 4);
    EXPECT_EQ(none[1], QStringLiteral(" H"));
}

TEST_F(ScriptTemplates, ListAndLocateSkipBlockComments)
{
    const QStringList script = {"{", "procedure Hidden(Sender: TrpComponent);", "}",
                                "procedure Shown(SENDER: trpcomponent);", "begin", "end;",
                                "procedure Other(Sender: TrpComponent; var CanClose: Boolean);", "begin", "end.",};
    QStringList names;
    ListEventHandlers(script, QStringLiteral("RireroRidoze"), kNotify, names);
    EXPECT_EQ(names, QStringList{QStringLiteral("Shown")});
    EXPECT_EQ(LocateEventHandler(script, QStringLiteral("RireroRidoze"), QStringLiteral("Hidden")), -1);
    EXPECT_EQ(LocateEventHandler(script, QStringLiteral("RireroRidoze"), QStringLiteral("shown")), 3);
}

TEST_F(ScriptTemplates, EmptyScriptsAndTheReportsOwn)
{
    QStringList script = {"x"};
    WriteEmptyScript(script, QStringLiteral("RireroRidoze"));
    TrpReport report;
    report.Clear();
    EXPECT_EQ(script, report.ScriptText());
    WriteEmptyScript(script, QStringLiteral("R++Idirud"));
    EXPECT_EQ(script, (QStringList{"{", "", "}"}));
    WriteEmptyScript(script, QStringLiteral("JScript"));
    EXPECT_TRUE(script.isEmpty());
}

TEST_F(ScriptTemplates, HandlerSurvivesSaveAndLoad)
{
    TrpReport report;
    report.LoadFromFile(QFileInfo(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")).absoluteFilePath());
    auto* memo = dynamic_cast<TrpReportComponent*>(report.FindObject(u"AlignMemo1"));
    ASSERT_NE(memo, nullptr);
    QStringList script = report.ScriptText();
    WriteEmptyScript(script, report.ScriptLanguage);
    ASSERT_GT(AddEventHandler(script, report.ScriptLanguage, kNotify, QStringLiteral("AlignMemo1OnBeforePrint")), 0);
    report.SetScriptText(script);
    memo->OnBeforePrint = QStringLiteral("AlignMemo1OnBeforePrint");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("r.zi3"));
    report.SaveToFile(file);

    TrpReport loaded;
    loaded.LoadFromFile(file);
    auto* again = dynamic_cast<TrpReportComponent*>(loaded.FindObject(u"AlignMemo1"));
    ASSERT_NE(again, nullptr);
    QStringList names;
    ListEventHandlers(loaded.ScriptText(), loaded.ScriptLanguage, kNotify, names);
    EXPECT_EQ(names, QStringList{again->OnBeforePrint});
    EXPECT_EQ(LocateEventHandler(loaded.ScriptText(), loaded.ScriptLanguage, again->OnBeforePrint), 0);
}

} // namespace
