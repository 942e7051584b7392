#include "report/model/rpClass.h"
#include "StandInDesigner.h"

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/engine/rpPictureCache.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray Saved(TrpReport& report)
{
    QByteArray bytes;
    QBuffer stream(&bytes);
    stream.open(QIODevice::WriteOnly);
    report.SaveToStream(stream);
    return bytes;
}

QByteArray PngBytes()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class UndoAndClipboard : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
    }

    void SetUp() override
    {
        report_ = std::make_unique<TrpReport>();
        ASSERT_TRUE(report_->LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")));
        designer_ = std::make_unique<StandInDesigner>(report_.get());
        page_ = report_->FindObject(u"Page1");
        ASSERT_NE(page_, nullptr);
        designer_->SetPage(page_);
        undo_.SetPictureCache(&cache_);
        clipboard_ = std::make_unique<TrpClipboard>(designer_.get());
        clipboard_->SetPictureCache(&cache_);
    }

    void SelectOnly(TrpComponent* object)
    {
        designer_->SelectedObjects().clear();
        designer_->SelectedObjects().emplace_back(object);
    }

    std::vector<TrpComponent*> Selected() const
    {
        std::vector<TrpComponent*> objects;
        for (const auto& object : designer_->SelectedObjects())
            objects.push_back(object.data());
        return objects;
    }

    TrpPictureCache cache_;
    TrpUndoBuffer undo_;
    std::unique_ptr<TrpReport> report_;
    std::unique_ptr<StandInDesigner> designer_;
    std::unique_ptr<TrpClipboard> clipboard_;
    TrpComponent* page_ = nullptr;
};

TEST_F(UndoAndClipboard, ThreeChangesTwoUndosAndBack)
{
    const int start = undo_.UndoCount();
    undo_.AddUndo(report_.get());
    const QByteArray first = Saved(*report_);
    report_->FindObject(u"AlignMemo2")->SetWidth(11);
    undo_.AddUndo(report_.get());
    report_->FindObject(u"AlignMemo2")->SetWidth(22);
    undo_.AddUndo(report_.get());
    report_->FindObject(u"AlignMemo2")->SetWidth(33);
    undo_.AddUndo(report_.get());
    undo_.ClearRedo();
    const QByteArray last = Saved(*report_);
    for (int i = 0; i < 2; ++i) {
        undo_.AddRedo(report_.get());
        undo_.GetUndo(report_.get());
    }
    EXPECT_EQ(undo_.UndoCount(), start + 2);
    EXPECT_EQ(undo_.RedoCount(), 2);
    EXPECT_EQ(report_->FindObject(u"AlignMemo2")->Width(), 11);
    undo_.AddRedo(report_.get());
    undo_.GetUndo(report_.get());
    EXPECT_EQ(Saved(*report_), first);
    undo_.GetRedo(report_.get());
    undo_.GetRedo(report_.get());
    undo_.GetRedo(report_.get());
    EXPECT_EQ(Saved(*report_), last);
    EXPECT_FALSE(report_->Reloading);
}

TEST_F(UndoAndClipboard, PictureViewsComeBackFromTheCache)
{
    auto* band = report_->FindObject(u"ReportTitle1");
    ASSERT_NE(band, nullptr);
    auto* picture = new TrpPictureView();
    picture->AttachTo(band);
    picture->CreateUniqueName();
    picture->Picture().SetData(QStringLiteral("PNG"), PngBytes());
    const QString name = picture->Name();
    undo_.AddUndo(report_.get());
    const int stored = cache_.Count();
    EXPECT_TRUE(picture->IsPictureStored);
    EXPECT_FALSE(picture->IsImageIndexStored);
    EXPECT_FALSE(undo_.LastUndo().contains(PngBytes().toHex().toUpper().left(40)));
    picture->Picture().Clear();
    undo_.AddUndo(report_.get());
    undo_.AddUndo(report_.get());
    EXPECT_EQ(cache_.Count(), stored); // unchanged pictures are stored once
    undo_.GetUndo(report_.get());
    undo_.GetUndo(report_.get());
    auto* back = dynamic_cast<TrpPictureView*>(report_->FindObject(name));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Picture().Data(), PngBytes());
    EXPECT_TRUE(back->IsPictureStored);
}

TEST_F(UndoAndClipboard, MarkerBytesAndABandCopiedAlone)
{
    TrpComponent* band = report_->FindObject(u"Header1");
    ASSERT_NE(band, nullptr);
    SelectOnly(band);
    const QString text = clipboard_->CopyText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("#ZI3 clipboard#\n\r<TrpHeader Name=\"Header1\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("<TrpMemoView Name=\"AlignMemo1\"")));
    clipboard_->Copy();
    EXPECT_TRUE(clipboard_->PasteAvailable());
    const size_t before = page_->AllObjects().size();
    const size_t bandObjects = band->AllObjects().size();
    clipboard_->Paste();
    ASSERT_EQ(Selected().size(), 1u);
    TrpComponent* pasted = Selected().front();
    EXPECT_TRUE(pasted->IsBand());
    EXPECT_NE(pasted->Name(), QStringLiteral("Header1")); // the name is taken
    EXPECT_EQ(pasted->AllObjects().size(), bandObjects);
    EXPECT_EQ(page_->AllObjects().size(), before + 1 + bandObjects);
}

TEST_F(UndoAndClipboard, SecondPageHeaderDroppedAndNamesGenerated)
{
    TrpComponent* title = report_->FindObject(u"ReportTitle1");
    SelectOnly(title);
    const QString text = clipboard_->CopyText();
    clipboard_->PasteText(text);
    // The title is dropped (the page has one); its memo lands on the page.
    for (TrpComponent* object : Selected())
        EXPECT_FALSE(object->IsBand());
    // A memo keeps its name only while it is free.
    TrpComponent* memo = report_->FindObject(u"AlignMemo3");
    SelectOnly(memo);
    const QString memoText = clipboard_->CopyText();
    memo->SetName(QStringLiteral("Elsewhere"));
    clipboard_->PasteText(memoText);
    ASSERT_EQ(Selected().size(), 1u);
    EXPECT_EQ(Selected().front()->Name(), QStringLiteral("AlignMemo3"));
    clipboard_->PasteText(memoText);
    ASSERT_EQ(Selected().size(), 1u);
    EXPECT_NE(Selected().front()->Name(), QStringLiteral("AlignMemo3"));
}

TEST_F(UndoAndClipboard, ForeignTextIsNoPaste)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    EXPECT_FALSE(clipboard_->PasteAvailable());
    QGuiApplication::clipboard()->setText(QStringLiteral(" #ZI3 clipboard#\n\r"));
    EXPECT_FALSE(clipboard_->PasteAvailable());
}

struct HostileCase {
    const char* name;
    QString text;
};

TEST_F(UndoAndClipboard, HostileTextsAsATable)
{
    const QString marker = QStringLiteral("#ZI3 clipboard#\n\r");
    const QString memo = QStringLiteral("<TrpMemoView Name=\"Fine\" Left=\"1\" Top=\"1\" Width=\"10\" Height=\"10\"/>");
    QString nested = marker + memo;
    for (int i = 0; i < 100000; ++i)
        nested += QStringLiteral("<TrpMemoView>");
    const HostileCase cases[] = {
        {"unknown class", marker + memo + QStringLiteral("<TNoSuchClass Name=\"X\"/>")},
        {"a page", marker + memo + QStringLiteral("<TrpReportPage Name=\"P\"/>")},
        {"a report", marker + memo + QStringLiteral("<TrpReport Name=\"R\"/>")},
        {"nested elements", nested},
        {"bad attribute", marker + memo + QStringLiteral("<TrpMemoView Name=\"1 2\" Width=\"abc\"/>")},
        {"broken tag", marker + memo + QStringLiteral("<TrpMemoView Name=\"x")},
        {"20 MB", marker + memo + QString(20 * 1024 * 1024, u'x')},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = page_->AllObjects().size();
        clipboard_->PasteText(c.text);
        if (QLatin1String(c.name) == QLatin1String("20 MB")) {
            EXPECT_EQ(page_->AllObjects().size(), before); // refused whole
            continue;
        }
        EXPECT_GE(page_->AllObjects().size(), before + 1) << "the first memo stays";
        for (TrpComponent* object : page_->AllObjects())
            EXPECT_FALSE(object->IsPage());
    }
}

TEST_F(UndoAndClipboard, BandOntoADialogPageRefused)
{
    auto* dialog = TrpComponent::CreateByName(u"TrpDialogPage").release();
    ASSERT_NE(dialog, nullptr);
    dialog->AttachTo(report_.get());
    dialog->CreateUniqueName();
    SelectOnly(report_->FindObject(u"Header1"));
    const QString text = clipboard_->CopyText();
    designer_->SetPage(dialog);
    clipboard_->PasteText(text);
    EXPECT_TRUE(dialog->AllObjects().empty());
    ASSERT_EQ(Selected().size(), 1u);
    EXPECT_EQ(Selected().front(), dialog); // nothing pasted: the page is selected
}

} // namespace

namespace {

// A memo placed on the page itself (outside every band) comes back with an undo.
TEST_F(UndoAndClipboard, PageLevelMemoSurvivesUndo)
{
    auto* memo = new TrpMemoView();
    memo->AttachTo(page_);
    memo->SetName(QStringLiteral("OnPage"));
    undo_.AddUndo(report_.get());
    report_->FindObject(u"AlignMemo2")->SetWidth(11);
    undo_.AddUndo(report_.get());
    undo_.GetUndo(report_.get());
    TrpComponent* back = report_->FindObject(u"OnPage");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Parent(), report_->FindObject(u"Page1"));
    EXPECT_TRUE(report_->Errors().isEmpty()) << report_->Errors().join(u'\n').toStdString();
}

} // namespace
