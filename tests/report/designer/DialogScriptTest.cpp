#include "DialogTestSupport.h"

#include "report/designer/rpDesignerDialogs.h"
#include "report/engine/EngineServices.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DialogScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        ASSERT_TRUE(report.LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA) + QStringLiteral("/reports/views.zi3")));
        memo = dynamic_cast<TrpMemoView*>(report.FindObject(u"AlignMemo2"));
        ASSERT_NE(memo, nullptr);
        designer.SetPage(memo->Page());
        designer.SelectedObjects().push_back(memo);
    }
    void TearDown() override { ReportServices::SetUi(nullptr); }

    int Run(const QString& className, const QStringList& actions, bool ok, const QString& grab = QString())
    {
        DialogScriptUi ui(actions, grab, ok);
        ui.OnMessage = [this](const QString& text) { messages.append(text); };
        ReportServices::SetUi(&ui);
        const int result = DesignerDialogs::OpenOnSelection(className, designer, nullptr);
        ReportServices::SetUi(nullptr);
        error = ui.Error;
        return result;
    }

    // The page settings and report options list the built-in PDF-file printer only.
    EngineServicesScope printers{[] {
        DesignerRuntime::init();
        TrpEngineServices services;
        services.PdfFilePrinter = TrpPdfFilePrinterMode::Forced;
        return services;
    }()};
    TrpReport report;
    StandInDesigner designer{&report};
    TrpMemoView* memo = nullptr;
    QStringList messages;
    QString error;
};

TEST_F(DialogScript, FrameEditorWritesTheCopyBackOnlyOnOk)
{
    ASSERT_EQ(memo->Frame().Typ, kAllFrameSides);
    EXPECT_EQ(Run(QStringLiteral("TrpFrameEditorForm"), {"click FrameNoB"}, false), mrCancel);
    EXPECT_EQ(memo->Frame().Typ, kAllFrameSides);
    EXPECT_EQ(Run(QStringLiteral("TrpFrameEditorForm"), {"click FrameNoB", "set FrameWidthCB=2,5"}, true), mrOk);
    EXPECT_EQ(memo->Frame().Typ, 0u);
    EXPECT_EQ(memo->Frame().LeftLine().Width, 2.5);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}

TEST_F(DialogScript, ActionsReachControlsByNameAndRefuseUnknownOnes)
{
    EXPECT_EQ(Run(QStringLiteral("TrpMemoEditorForm"), {"set Memo=Новый текст", "pick PageControl1 FormatTS"}, true),
              mrOk);
    EXPECT_EQ(memo->Text(), QStringLiteral("Новый текст\r\n"));
    EXPECT_EQ(Run(QStringLiteral("TrpFormatEditorForm"), {"pick CategoryLB Число", "pick FormatLB 1234.50"}, true),
              mrOk);
    EXPECT_EQ(memo->DisplayFormat().Kind, fkNumeric);
    EXPECT_EQ(memo->DisplayFormat().FormatStr, QStringLiteral("%2.2f"));
    EXPECT_EQ(Run(QStringLiteral("TrpMemoEditorForm"), {"click NoSuchButton"}, true), mrCancel);
    EXPECT_EQ(error, QStringLiteral("No control named NoSuchButton"));
    EXPECT_EQ(Run(QStringLiteral("TrpMemoEditorForm"), {"wiggle Memo"}, true), mrCancel);
    EXPECT_EQ(error, QStringLiteral("Unknown action: wiggle Memo"));
    // A dialog opened from the first one is cancelled.
    EXPECT_EQ(Run(QStringLiteral("TrpMemoEditorForm"), {"click AggregateB"}, true), mrOk);
    EXPECT_THROW(DesignerDialogs::OpenOnSelection(QStringLiteral("TrpNoSuchForm"), designer, nullptr),
                 platform::Exception);
    designer.SelectedObjects().clear();
    EXPECT_THROW(DesignerDialogs::OpenOnSelection(QStringLiteral("TrpMemoEditorForm"), designer, nullptr),
                 platform::Exception);
}

TEST_F(DialogScript, EveryDialogGrabsWithRussianCaptions)
{
    QTemporaryDir dir;
    const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR");
    const QString folder = shots.isEmpty() ? dir.path() : QString::fromLocal8Bit(shots);
    auto* picture = new TrpPictureView();
    picture->AttachTo(memo->Parent());
    picture->SetName(QStringLiteral("PictureForTheEditor"));
    auto* band = report.FindObject(u"MasterData1");
    ASSERT_NE(band, nullptr);
    auto* group = TrpComponent::CreateByName(u"TrpGroupHeader").release();
    group->AttachTo(memo->Page());
    group->SetName(QStringLiteral("GroupHeader1"));
    designer.SelectedObjects().push_back(picture);
    designer.SelectedObjects().push_back(band);
    designer.SelectedObjects().push_back(group);
    for (const QString& className : DesignerDialogs::DialogClasses()) {
        const QString file = QDir(folder).filePath(QStringLiteral("dialog-") + className + QStringLiteral(".png"));
        if (className == u"TrpTabOrderEditorForm")
            designer.SelectedObjects().clear();
        Run(className, {}, false, file);
        EXPECT_TRUE(error.isEmpty()) << className.toStdString() << ": " << error.toStdString();
        const QImage image(file);
        EXPECT_FALSE(image.isNull()) << className.toStdString();
        EXPECT_GT(image.width(), 100) << className.toStdString();
    }
}

} // namespace
