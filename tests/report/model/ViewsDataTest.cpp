// The views taking their data through a table of expression values: memo texts with
// expressions and display formats, hidden zeros, suppressed repeats, macros, highlights,
// field-bound memos, the template back after printing, splitting and flowing; tags and
// links; check boxes; pictures from streams and files.

#include "ViewTestSupport.h"
#include "RecordingPaintDevice.h"
#include "ReportFakes.h"
#include "TableEvaluator.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpChBox.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

class ViewsData : public testing::Test {
protected:
    void SetUp() override
    {
        ModelRuntime::init();
        report_ = std::make_unique<TrpReport>();
        FormatSettings settings = FormatSettings::C();
        evaluator_.SetSettings(settings);
        report_->SetExpressionEvaluator(&evaluator_);
    }

    // A memo of the report with the text, taken through one record.
    TrpMemoView* Memo(const QString& text)
    {
        auto* memo = new TrpMemoView(report_.get());
        memo->SetBounds(0, 0, 300, 40);
        memo->SetText(text);
        return memo;
    }

    static QString Print(TrpView& view)
    {
        view.BeforePrint();
        view.GetData();
        QString text;
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(&view))
            text = memo->Text();
        return text;
    }

    TableEvaluator evaluator_;
    std::unique_ptr<TrpReport> report_;
};

} // namespace

TEST_F(ViewsData, ExpressionsAndTheirFormats)
{
    struct Case {
        const char* text;
        const char* expression;
        Variant value;
        bool hideZeros;
        const char* expected;
    };
    const Case cases[] = {
        {"Итого: [Value]", "Value", Variant(12.5), false, "Итого: 12.5\r\n"},
        {"Итого: [Value]", "Value", Variant(0.0), true, "Итого: \r\n"},
        {"Итого: [Value]", "Value", Variant(0.0), false, "Итого: 0\r\n"},
        {"[X #n%2,2f]", "X", Variant(3.14159), false, "3,14\r\n"},
        {"[B #bНет,Да]", "B", Variant(true), false, "Да\r\n"},
        {"[B #bНет,Да]", "B", Variant(false), false, "Нет\r\n"},
        {"Всего [TOTALPAGES#] стр.", "", Variant(), false, "Всего [TotalPages#] стр.\r\n"},
        // A format that does not suit the value prints the plain text.
        {"[S #n%d]", "S", Variant(QStringLiteral("abc")), false, "abc\r\n"},
    };
    for (const Case& c : cases) {
        if (*c.expression != 0)
            evaluator_.Set(QString::fromUtf8(c.expression), c.value);
        TrpMemoView* memo = Memo(QString::fromUtf8(c.text));
        memo->HideZeros = c.hideZeros;
        EXPECT_EQ(Print(*memo), QString::fromUtf8(c.expected)) << c.text;
    }
    EXPECT_EQ(evaluator_.LocalValue.ToString(), "abc"); // the script's Value after the last memo
}

TEST_F(ViewsData, OtherDelimitersLeaveBracketsAlone)
{
    evaluator_.Set(QStringLiteral("X"), Variant(7));
    TrpMemoView* memo = Memo(QStringLiteral("[X] и <X>"));
    memo->ExpressionDelimiters = QStringLiteral("<,>");
    EXPECT_EQ(Print(*memo), "[X] и 7\r\n");
}

TEST_F(ViewsData, TemplateTextBackAfterPrinting)
{
    evaluator_.SetSequence(QStringLiteral("N"), {Variant(1), Variant(2)});
    TrpMemoView* memo = Memo(QStringLiteral("№ [N]"));
    EXPECT_EQ(Print(*memo), "№ 1\r\n");
    memo->AfterPrint();
    EXPECT_EQ(memo->Text(), "№ [N]\r\n");
    EXPECT_EQ(Print(*memo), "№ 2\r\n");
}

TEST_F(ViewsData, SuppressedRepeatsUntilReset)
{
    evaluator_.SetSequence(QStringLiteral("V"), {Variant("A"), Variant("A"), Variant("B"), Variant("B")});
    TrpMemoView* memo = Memo(QStringLiteral("[V]"));
    memo->SuppressRepeated = true;
    QStringList printed;
    for (int record = 0; record < 3; ++record) {
        printed.append(Print(*memo));
        memo->AfterPrint();
    }
    EXPECT_EQ(printed, QStringList({"A\r\n", "", "B\r\n"}));
    memo->ResetSuppress();
    EXPECT_EQ(Print(*memo), "B\r\n");
}

TEST_F(ViewsData, MacrosWaitForTheirPage)
{
    report_->Variables().SetValue(QStringLiteral("CopyName"), Variant(QStringLiteral("Копия ")));
    TrpMemoView* memo = Memo(QStringLiteral("[COPYNAME#]: стр. из [TotalPages#]"));
    EXPECT_EQ(Print(*memo), "[CopyName#]: стр. из [TotalPages#]\r\n");
    memo->TotalPages = 12;
    memo->CopyNo = 2;
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        memo->Draw(painter, 1, 1, 0, 0, {});
    }
    EXPECT_EQ(memo->Text(), "Копия 2: стр. из 12\r\n");
}

TEST_F(ViewsData, HighlightSwitchesColourWhileDrawing)
{
    evaluator_.SetSequence(QStringLiteral("Low"), {Variant(true), Variant(false)});
    TrpMemoView* memo = Memo(QStringLiteral("текст"));
    memo->Highlight().Condition = QStringLiteral("Low");
    memo->Highlight().Color = 0x0000FF;
    Print(*memo);
    EXPECT_TRUE(memo->Highlight().Active);
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        memo->Draw(painter, 1, 1, 0, 0, {});
    }
    const auto fills = device.Operations(RecordedOperation::Rectangle);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(memo->Color, clNone); // the memo's own colour again after drawing
    bool red = false;
    for (const auto& op : device.Operations(RecordedOperation::BrushChange))
        red = red || op.Brush.color() == QColor(Qt::red);
    EXPECT_TRUE(red);
    // Highlight font: Arial 10 pt in red, drawn as glyphs in red.
    const auto runs = device.GlyphRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs[0].TextColor, QColor(Qt::red));

    memo->AfterPrint();
    Print(*memo);
    EXPECT_FALSE(memo->Highlight().Active);
}

TEST_F(ViewsData, FieldBoundMemoTakesTheFieldValue)
{
    auto* dataSet = new TrpUserDataSet(report_.get());
    dataSet->SetUserName(QStringLiteral("Archive"));
    dataSet->SetFields({QStringLiteral("Q"), QStringLiteral("Flag")});
    Variant q(0.0);
    dataSet->OnGetValue = [&](const QString& name, Variant& value) {
        if (name == u"Q")
            value = q;
        else if (name == u"Flag")
            value = Variant::NullValue();
    };
    TrpMemoView* memo = Memo(QString());
    memo->SetDataSet(dataSet);
    memo->DataField = QStringLiteral("Q");
    q = Variant(1.5);
    EXPECT_EQ(Print(*memo), "1.5\r\n");
    memo->HideZeros = true;
    q = Variant(0.0);
    EXPECT_EQ(Print(*memo), "");
    memo->DisplayFormat().Kind = fkNumeric;
    memo->DisplayFormat().FormatStr = QStringLiteral("0.00");
    memo->HideZeros = false;
    q = Variant(2.0);
    EXPECT_EQ(Print(*memo), "2.00\r\n");
    // The designer shows where the text comes from.
    memo->SetDesigning(true);
    EXPECT_EQ(memo->DrawnLines(), QStringList{QStringLiteral("[Archive.\"Q\"]")});

    // A check box bound to a Null field is unchecked.
    auto* box = new TrpCheckBoxView(report_.get());
    box->SetDataSet(dataSet);
    box->DataField = QStringLiteral("Flag");
    Print(*box);
    EXPECT_FALSE(box->Checked);
}

TEST_F(ViewsData, CheckBoxFromItsExpression)
{
    evaluator_.SetSequence(QStringLiteral("Ok"), {Variant(false), Variant(true)});
    auto* box = new TrpCheckBoxView(report_.get());
    box->Expression = QStringLiteral("Ok");
    Print(*box);
    EXPECT_FALSE(box->Checked);
    Print(*box);
    EXPECT_TRUE(box->Checked);
}

TEST_F(ViewsData, TagAndLinkExpandedAndRestored)
{
    evaluator_.Set(QStringLiteral("Id"), Variant(42));
    auto* view = new TrpShapeView(report_.get());
    view->TagStr = QStringLiteral("tag [Id]");
    view->URL = QStringLiteral("https://example.org/?id=[Id]");
    Print(*view);
    EXPECT_EQ(view->TagStr, "tag 42");
    EXPECT_EQ(view->URL, "https://example.org/?id=42");
    ASSERT_EQ(evaluator_.SelfValues.size(), 1u);
    EXPECT_EQ(evaluator_.SelfValues[0], view);
    view->AfterPrint();
    EXPECT_EQ(view->TagStr, "tag [Id]");
    EXPECT_EQ(view->URL, "https://example.org/?id=[Id]");
}

TEST_F(ViewsData, SplitKeepsTheLinesThatFit)
{
    TrpMemoView* memo = Memo(QString());
    memo->SetBounds(0, 0, 300, 40);
    memo->SetText(QStringLiteral("Один\r\nДва\r\nТри\r\nЧетыре\r\nПять"));
    memo->InitPart();
    const double left = memo->DrawPart();
    EXPECT_GT(left, 0);
    EXPECT_LT(left, 40);
    const QStringList kept = memo->Text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_LT(kept.size(), 5);
    EXPECT_EQ(kept[0], u"Один");
    EXPECT_TRUE(memo->PartMemo().contains(QStringLiteral("Пять")));
    EXPECT_FALSE(memo->PartMemo().contains(QStringLiteral("Один")));
}

TEST_F(ViewsData, FlowToReceivesTheRestWithoutExpressions)
{
    evaluator_.Set(QStringLiteral("X"), Variant(1));
    TrpMemoView* target = Memo(QString());
    TrpMemoView* memo = Memo(QStringLiteral("Первая [X]\r\nВторая\r\nТретья\r\n[X]-я\r\nПятая"));
    memo->SetBounds(0, 0, 300, 40);
    memo->SetFlowTo(target);
    Print(*memo);
    EXPECT_TRUE(memo->Text().startsWith(QStringLiteral("Первая 1")));
    EXPECT_TRUE(target->Text().contains(QStringLiteral("Пятая")));
    EXPECT_TRUE(target->Text().contains(QStringLiteral("1-я")));
    EXPECT_FALSE(target->AllowExpressions);
}

TEST_F(ViewsData, PictureFromAStreamWithOrWithoutItsHeader)
{
    const QByteArray png = PngBytes(4, 3);
    struct Case {
        const char* name;
        QByteArray bytes;
        uint32_t result;
        const char* kind;
    };
    QByteArray header(8, '\0');
    header[0] = 1;
    header[3] = 1;
    QByteArray matching = header;
    const qint32 length = static_cast<qint32>(png.size());
    std::memcpy(matching.data() + 4, &length, 4);
    QByteArray mismatching = header;
    const qint32 wrong = length + 1;
    std::memcpy(mismatching.data() + 4, &wrong, 4);
    const Case cases[] = {
        {"plain", png, 0, "PNG"},
        {"matching header", matching + png, 0, "PNG"},
        {"mismatching header", mismatching + png, kPictureNotRecognised, ""},
        {"five bytes", QByteArray("\x01\x02\x03\x04\x05", 5), kPictureNotRecognised, ""},
        {"empty", QByteArray(), kPictureNotRecognised, ""},
    };
    for (const Case& c : cases) {
        TrpPictureView picture;
        picture.Picture().SetData(QStringLiteral("PNG"), png);
        QByteArray bytes = c.bytes;
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        EXPECT_EQ(picture.LoadPictureFromStream(stream, true), c.result) << c.name;
        EXPECT_EQ(picture.Picture().Kind(), QString::fromLatin1(c.kind)) << c.name;
    }
}

TEST_F(ViewsData, PictureFromTheFileItsLinkNames)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("p.png")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PngBytes(20, 10));
    file.close();
    evaluator_.Set(QStringLiteral("Dir"), Variant(dir.path()));
    auto* picture = new TrpPictureView(report_.get());
    picture->FileLink = QStringLiteral("[Dir]/p.png");
    Print(*picture);
    EXPECT_EQ(picture->Picture().Kind(), "PNG");
    EXPECT_EQ(picture->Picture().Width(), 20);
    picture->FileLink = QStringLiteral("[Dir]/missing.png");
    Print(*picture);
    EXPECT_TRUE(picture->Picture().IsEmpty());
}

TEST_F(ViewsData, DifferenceTexts)
{
    struct Case {
        const char* name;
        std::function<void(TrpView& printed, TrpView& original)> change;
        std::function<TrpView*(TrpComponent* owner)> make;
        const char* expected;
    };
    const auto memo = [](TrpComponent* owner) -> TrpView* { return new TrpMemoView(owner); };
    const auto shape = [](TrpComponent* owner) -> TrpView* { return new TrpShapeView(owner); };
    const auto picture = [](TrpComponent* owner) -> TrpView* { return new TrpPictureView(owner); };
    const Case cases[] = {
        {"frame side", [](TrpView& p, TrpView& o) {
             o.Frame().SetColor(0xFF0000);
             p.Frame().SetColor(0xFF0000);
             p.Frame().LeftLine().Color = 0x0000FF;
         }, shape, R"( Frame.LeftLine.Color="255")"},
        {"frame colour", [](TrpView& p, TrpView&) {
             p.Frame().SetColor(0xFF0000);
             p.Frame().LeftLine().Color = 0x0000FF;
         }, shape, R"( Frame.Color="16711680" Frame.LeftLine.Color="255")"},
        {"view", [](TrpView& p, TrpView&) {
             p.BrushStyle = bsCross;
             p.Color = 0xFFFF;
             p.Printable = false;
             p.TagStr = QStringLiteral("a<b");
             static_cast<TrpShapeView&>(p).Shape = skEllipse;
         }, shape, R"( BrushStyle="6" Color="65535" Printable="0" TagStr="a&#60;b" Shape="2")"},
        {"memo", [](TrpView& p, TrpView& o) {
             static_cast<TrpMemoView&>(o).SetText(QStringLiteral("[X]"));
             static_cast<TrpMemoView&>(p).SetText(QStringLiteral("Итого\r\n5"));
             static_cast<TrpMemoView&>(p).HAlign = haRight;
             static_cast<TrpMemoView&>(p).SetRotation(450);
             static_cast<TrpMemoView&>(p).LastParaBreak = true;
         }, memo, R"( HAlign="1" u="Итого&#13;&#10;5" Rotation="90" LastParaBreak="1")"},
        {"empty memo", [](TrpView&, TrpView&) {}, memo, R"( u="")"},
        {"picture", [](TrpView& p, TrpView&) {
             static_cast<TrpPictureView&>(p).SetTransparent(true);
             static_cast<TrpPictureView&>(p).ImageIndex = 3;
         }, picture, R"( Color="536870911" ImageIndex="3" Transparent="1")"},
    };
    for (const Case& c : cases) {
        TrpView* original = c.make(report_.get());
        TrpView* printed = c.make(report_.get());
        c.change(*printed, *original);
        EXPECT_EQ(printed->Diff(*original).toStdString(), c.expected) << c.name;
    }
}

TEST_F(ViewsData, SplitMemoHandsItsParagraphStateToTheNextPart)
{
    TrpMemoView* original = Memo(QString());
    TrpMemoView* memo = Memo(QString());
    memo->LastParaBreak = true;
    memo->Diff(*original);
    EXPECT_TRUE(memo->FirstParaBreak);
    EXPECT_FALSE(memo->LastParaBreak);
}

TEST_F(ViewsData, MetafileWarnsOnceAndIsNoReportError)
{
    reporttest::RecordingReportUi ui;
    ReportServices::SetUi(&ui);
    ResetMetafileWarning();
    QByteArray emf(120, '\0');
    emf.replace(40, 4, " EMF");
    for (int i = 0; i < 2; ++i) {
        auto* picture = new TrpPictureView(report_.get());
        QByteArray bytes = emf;
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        EXPECT_EQ(picture->LoadPictureFromStream(stream, true), 0u);
        EXPECT_EQ(picture->Picture().Kind(), "EMF");
        EXPECT_EQ(picture->Picture().Data(), emf);
    }
    ReportServices::SetUi(nullptr);
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_TRUE(ui.Messages[0].contains(QStringLiteral("EMF")));
    EXPECT_TRUE(report_->Errors().isEmpty());
}

TEST_F(ViewsData, ComponentTextAndWrappedText)
{
    TrpMemoView* memo = Memo(QStringLiteral("Стр. из [totalpages] <b>всего</b>"));
    memo->TotalPages = 7;
    EXPECT_EQ(memo->GetComponentText(), "Стр. из 7 <b>всего</b>\r\n");
    memo->AllowExpressions = false;
    EXPECT_EQ(memo->GetComponentText(), "Стр. из [totalpages] <b>всего</b>\r\n");
    memo->AllowHTMLTags = true;
    EXPECT_EQ(memo->WrapText(false), "Стр. из [totalpages] всего\r\n");
    memo->SetBounds(0, 0, 60, 100);
    memo->SetText(QStringLiteral("один два три четыре"));
    EXPECT_GE(memo->WrapText(true).count(QStringLiteral("\r\n")), 1);
}

TEST_F(ViewsData, WithoutATableTheReportComputes)
{
    report_->SetExpressionEvaluator(nullptr);
    ASSERT_TRUE(report_->PrepareScript());
    TrpMemoView* memo = Memo(QStringLiteral("Сумма: [2 + 3] [1.5 #n%1.2f]"));
    EXPECT_EQ(Print(*memo), "Сумма: 5 1.50\r\n");
    EXPECT_EQ(report_->LocalValue().ToDouble(), 1.5);
}

TEST_F(ViewsData, GifLoadsFromItsFileButNotFromABlob)
{
    // A white 1 x 1 GIF.
    const QByteArray gif = QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c00000000010001"
                                               "000002024401003b");
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("p.gif")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(gif);
    file.close();
    auto* picture = new TrpPictureView(report_.get());
    picture->FileLink = file.fileName();
    Print(*picture);
    EXPECT_EQ(picture->Picture().Kind(), "GIF");
    EXPECT_EQ(picture->Picture().Width(), 1);

    QByteArray bytes = gif;
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    EXPECT_EQ(picture->LoadPictureFromStream(stream, true), kPictureNotRecognised);
    EXPECT_TRUE(picture->Picture().IsEmpty());
}
