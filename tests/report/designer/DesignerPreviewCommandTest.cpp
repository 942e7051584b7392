// The designer's Preview runs the report in the real engine and preview window (answered by
// the scripted service) and brings the design back whatever the run did: objects its script
// changed, a script that does not compile, an exception out of the run.

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpSynMemo.h"

#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/script/ScriptedUi.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QApplication>
#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Records whether the design was back when a message box came.
class PreviewUi : public ScriptedUi {
public:
    using ScriptedUi::ScriptedUi;
    int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons) override
    {
        if (WhenMessage)
            WhenMessage(text);
        return ScriptedUi::MessageDlg(caption, text, type, buttons);
    }
    std::function<void(const QString&)> WhenMessage;
};

class DesignerPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        report.EngineOptions().NewSilentMode = simSilent;
        new TrpDataPage(&report);
        report.Pages(0)->SetName(QStringLiteral("Data"));
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        auto* band = new TrpReportTitle(page);
        band->SetName(QStringLiteral("ReportTitle1"));
        band->SetBounds(0, 20, 700, 60);
        memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(10, 10, 200, 20);
        memo->SetText(QStringLiteral("designed"));
        ReportServices::SetUi(&ui);
    }
    void TearDown() override { ReportServices::SetUi(nullptr); }

    std::unique_ptr<TrpDesignerForm> Open()
    {
        auto form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->SetPage(page);
        form->show();
        QApplication::processEvents();
        return form;
    }

    QByteArray Bytes()
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        report.SaveToStream(buffer);
        return bytes;
    }

    // The runtime comes before the report: a report's script takes the script classes that
    // are registered when it is made.
    struct RuntimeFirst {
        RuntimeFirst() { DesignerRuntime::init(); }
    } runtime;
    QTemporaryDir folder;
    PreviewUi ui{QStringList{QStringLiteral("mrOk"), QStringLiteral("mrOk")}};
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpMemoView* memo = nullptr;
};

TEST_F(DesignerPreview, AScriptThatChangesObjectsLeavesTheDesignAsItWas)
{
    report.SetScriptText({QStringLiteral("begin"), QStringLiteral("  Memo1.Visible := False;"),
                          QStringLiteral("  Memo1.Left := 300;"), QStringLiteral("end.")});
    auto form = Open();
    const bool modal = report.PreviewOptions().Modal;
    report.PreviewOptions().Modal = false;
    const QByteArray before = Bytes();
    int runs = 0;
    int pages = 0;
    ui.OnModal = [&](QObject&, const QString&) {
        // The preview's deferred preparation, as its message loop would run it.
        report.PrepareTimerTick();
        ++runs;
        pages = report.PreviewPages() != nullptr ? report.PreviewPages()->GetCount() : 0;
        EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'\n').toStdString();
        return static_cast<int>(mrOk);
    };
    form->Action(QStringLiteral("PreviewCmd"))->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_GT(pages, 0) << "the report ran";
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(report.PreviewOptions().Modal) << "the options come back";
    report.PreviewOptions().Modal = modal;
    ASSERT_NE(form->Page(), nullptr);
    EXPECT_EQ(form->Page()->Name(), QStringLiteral("Page1"));
    for (TrpComponent* object : report.AllObjects())
        EXPECT_TRUE(object->IsDesigning()) << object->Name().toStdString();
    for (const auto& prompt : ui.Prompts)
        EXPECT_EQ(prompt.Kind, QStringLiteral("ShowModal")) << prompt.Text.toStdString();
}

TEST_F(DesignerPreview, AScriptThatDoesNotCompilePutsTheCaretAtTheError)
{
    report.SetScriptText({QStringLiteral("begin"), QStringLiteral("  x := ;"), QStringLiteral("end.")});
    auto form = Open();
    int runs = 0;
    ui.OnModal = [&](QObject&, const QString&) {
        ++runs;
        return static_cast<int>(mrOk);
    };
    form->Action(QStringLiteral("PreviewCmd"))->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(form->Page(), nullptr) << "the script page shows";
    const QString position = report.Script().ErrorPos;
    ASSERT_FALSE(position.isEmpty());
    EXPECT_EQ(form->CodeWindow()->GetPos().y(), position.section(u':', 0, 0).toInt());
    EXPECT_EQ(form->CodeWindow()->GetPos().x(), position.section(u':', 1, 1).toInt());
    EXPECT_EQ(form->CodeWindow()->GetPos().y(), 2);
    EXPECT_FALSE(form->CodeWindow()->Message().isEmpty());
    EXPECT_EQ(form->CodeWindow()->Message(), report.Script().ErrorMsg);
}

TEST_F(DesignerPreview, AnExceptionInTheRunIsShownAfterTheDesignIsBack)
{
    auto form = Open();
    const QByteArray before = Bytes();
    ui.OnModal = [&](QObject&, const QString&) -> int {
        memo->SetText(QStringLiteral("half way"));
        throw platform::Exception("the run broke");
    };
    bool restoredFirst = false;
    QString shown;
    ui.WhenMessage = [&](const QString& text) {
        shown = text;
        restoredFirst = Bytes() == before && form->Page() != nullptr;
    };
    form->Action(QStringLiteral("PreviewCmd"))->trigger();
    EXPECT_EQ(shown, QStringLiteral("the run broke"));
    EXPECT_TRUE(restoredFirst);
    EXPECT_EQ(Bytes(), before);
    auto* current = dynamic_cast<TrpMemoView*>(report.FindObject(u"Memo1"));
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->Text().trimmed(), QStringLiteral("designed"));
}

} // namespace
