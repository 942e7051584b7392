// The report options (what Assign copies and Clear resets, the silent-mode view) and the stored
// form of the printable objects: frames, highlights, memos, pictures, lines, shapes and check
// boxes.

#include "report/core/PropertyRegistry.h"
#include "report/model/ModelRuntime.h"
#include "report/model/rpChBox.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpXMLSerializer.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

// One option: set a value in the source and another in the target, then whether the target
// holds the source's after Assign (or the default after Clear).
template <class Options>
struct OptionField {
    const char* Name;
    std::function<void(Options&)> SetSource;
    std::function<void(Options&)> SetTarget;
    std::function<bool(const Options&)> HasSourceValue;
    bool Copied;
};

template <class Options>
void CheckAssign(const std::vector<OptionField<Options>>& fields)
{
    Options source;
    Options target;
    for (const auto& field : fields) {
        field.SetSource(source);
        field.SetTarget(target);
    }
    target.Assign(source);
    for (const auto& field : fields)
        EXPECT_EQ(field.HasSourceValue(target), field.Copied) << field.Name;
}

#define OPTION_FIELD(Type, field, a, b, copied)                                                                       \
    OptionField<Type>{#field, [](Type& o) { o.field = a; }, [](Type& o) { o.field = b; },                              \
                      [](const Type& o) { return o.field == a; }, copied}

class OptionsTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_F(OptionsTest, EngineOptionsAssign)
{
    using E = TrpEngineOptions;
    CheckAssign<E>({
        OPTION_FIELD(E, ConvertNulls, false, true, true),
        OPTION_FIELD(E, DoublePass, true, false, true),
        OPTION_FIELD(E, MaxMemSize, 20, 30, true),
        OPTION_FIELD(E, PrintIfEmpty, false, true, true),
        OPTION_FIELD(E, NewSilentMode, simReThrow, simSilent, true),
        OPTION_FIELD(E, TempDir, QStringLiteral("/a"), QStringLiteral("/b"), true),
        OPTION_FIELD(E, UseFileCache, true, false, true),
        OPTION_FIELD(E, IgnoreDevByZero, true, false, true),
        OPTION_FIELD(E, DestroyForms, false, true, false),
        OPTION_FIELD(E, EnableThreadSafe, true, false, false),
        OPTION_FIELD(E, UseGlobalDataSetList, false, true, false),
    });
}

TEST_F(OptionsTest, PreviewOptionsAssignEverything)
{
    using P = TrpPreviewOptions;
    CheckAssign<P>({
        OPTION_FIELD(P, AllowEdit, false, true, true),
        OPTION_FIELD(P, Buttons, 5u, 6u, true),
        OPTION_FIELD(P, DoubleBuffered, false, true, true),
        OPTION_FIELD(P, Maximized, false, true, true),
        OPTION_FIELD(P, MDIChild, true, false, true),
        OPTION_FIELD(P, Modal, false, true, true),
        OPTION_FIELD(P, OutlineExpand, false, true, true),
        OPTION_FIELD(P, OutlineVisible, true, false, true),
        OPTION_FIELD(P, OutlineWidth, 10, 20, true),
        OPTION_FIELD(P, PagesInCache, 3, 4, true),
        OPTION_FIELD(P, ShowCaptions, true, false, true),
        OPTION_FIELD(P, ThumbnailVisible, true, false, true),
        OPTION_FIELD(P, Zoom, 2.0, 3.0, true),
        OPTION_FIELD(P, ZoomMode, zmPageWidth, zmWholePage, true),
        OPTION_FIELD(P, PictureCacheInFile, true, false, true),
        OPTION_FIELD(P, RTLPreview, true, false, true),
    });
}

TEST_F(OptionsTest, PrintOptionsAssignKeepsDuplex)
{
    using P = TrpPrintOptions;
    CheckAssign<P>({
        OPTION_FIELD(P, Copies, 2, 3, true),
        OPTION_FIELD(P, Collate, false, true, true),
        OPTION_FIELD(P, PageNumbers, QStringLiteral("1"), QStringLiteral("2"), true),
        OPTION_FIELD(P, Printer, QStringLiteral("A"), QStringLiteral("B"), true),
        OPTION_FIELD(P, PrintMode, pmJoin, pmScale, true),
        OPTION_FIELD(P, PrintOnSheet, 1, 2, true),
        OPTION_FIELD(P, PrintPages, ppOdd, ppEven, true),
        OPTION_FIELD(P, Reverse, true, false, true),
        OPTION_FIELD(P, ShowDialog, false, true, true),
        OPTION_FIELD(P, SplicingLine, 5, 6, true),
        OPTION_FIELD(P, PagesOnSheet, 2, 4, false),
        OPTION_FIELD(P, SwapPageSize, true, false, false),
        OPTION_FIELD(P, PrnOutFileName, QStringLiteral("a"), QStringLiteral("b"), false),
        OPTION_FIELD(P, Duplex, dmVertical, dmHorizontal, false),
    });
}

TEST_F(OptionsTest, ReportOptionsAssignThePublishedOnes)
{
    using R = TrpReportOptions;
    CheckAssign<R>({
        OPTION_FIELD(R, Author, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, Compressed, true, false, true),
        OPTION_FIELD(R, CreateDate, 1.0, 2.0, true),
        OPTION_FIELD(R, InitString, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, Name, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, LastChange, 1.0, 2.0, true),
        OPTION_FIELD(R, Password, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, VersionBuild, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, VersionMajor, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, VersionMinor, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, VersionRelease, QStringLiteral("a"), QStringLiteral("b"), true),
        OPTION_FIELD(R, PrevPassword, QStringLiteral("a"), QStringLiteral("b"), false),
        OPTION_FIELD(R, HiddenPassword, QStringLiteral("a"), QStringLiteral("b"), false),
        OPTION_FIELD(R, Info, true, false, false),
    });
    TrpReportOptions source;
    TrpReportOptions target;
    source.SetConnectionName(QStringLiteral("db"));
    source.SetDescription({QStringLiteral("line")});
    target.Assign(source);
    EXPECT_EQ(target.ConnectionName(), "db");
    EXPECT_EQ(target.Description(), QStringList{QStringLiteral("line")});
}

TEST_F(OptionsTest, ClearResetsWhatEachGroupResets)
{
    TrpEngineOptions engine;
    engine.ConvertNulls = false;
    engine.DoublePass = true;
    engine.IgnoreDevByZero = true;
    engine.MaxMemSize = 99;
    engine.Clear();
    EXPECT_TRUE(engine.ConvertNulls);
    EXPECT_FALSE(engine.DoublePass);
    EXPECT_FALSE(engine.IgnoreDevByZero);
    EXPECT_EQ(engine.MaxMemSize, 99) << "nothing else";

    TrpPreviewOptions preview;
    preview.OutlineVisible = true;
    preview.OutlineWidth = 1;
    preview.PagesInCache = 1;
    preview.Modal = false;
    preview.Clear();
    EXPECT_FALSE(preview.OutlineVisible);
    EXPECT_EQ(preview.OutlineWidth, 120);
    EXPECT_EQ(preview.PagesInCache, 50);
    EXPECT_FALSE(preview.Modal) << "nothing else";

    TrpPrintOptions print;
    print.Copies = 5;
    print.Duplex = dmSimplex;
    print.SwapPageSize = true;
    print.PrnOutFileName = QStringLiteral("out.prn");
    print.Printer = QStringLiteral("Laser");
    print.Clear();
    EXPECT_EQ(print.Copies, 1);
    EXPECT_EQ(print.Duplex, dmNone);
    EXPECT_EQ(print.Printer, "По умолчанию");
    EXPECT_TRUE(print.SwapPageSize);
    EXPECT_EQ(print.PrnOutFileName, "out.prn");

    TrpReportOptions report;
    for (const bool info : {false, true}) {
        report.Author = QStringLiteral("Автор");
        report.Name = QStringLiteral("Имя");
        report.Password = QStringLiteral("p");
        report.PrevPassword = QStringLiteral("p");
        report.HiddenPassword = QStringLiteral("h");
        report.Info = info;
        report.Clear();
        EXPECT_EQ(report.Author.isEmpty(), !info) << info;
        EXPECT_TRUE(report.Name.isEmpty());
        EXPECT_TRUE(report.Password.isEmpty());
        EXPECT_TRUE(report.PrevPassword.isEmpty());
        EXPECT_EQ(report.HiddenPassword, "h");
    }
}

TEST_F(OptionsTest, SilentModeIsAViewOfNewSilentMode)
{
    TrpEngineOptions engine;
    EXPECT_FALSE(engine.SilentMode());
    engine.SetSilentMode(true);
    EXPECT_EQ(engine.NewSilentMode, simSilent);
    engine.NewSilentMode = simReThrow;
    EXPECT_FALSE(engine.SilentMode());
    engine.SetSilentMode(false);
    EXPECT_EQ(engine.NewSilentMode, simMessageBoxes);
}

TEST_F(OptionsTest, DefaultPreviewOptionsWriteOnlyZoom)
{
    TrpPreviewOptions preview;
    TrpXMLSerializer serializer;
    EXPECT_EQ(serializer.ObjToXML(&preview).toStdString(), " Zoom=\"1\"");
    EXPECT_EQ(preview.Buttons, 4095u);
    TrpPrintOptions print;
    print.SwapPageSize = true;
    EXPECT_EQ(serializer.ObjToXML(&print).toStdString(), " Printer=\"По умолчанию\" PrintOnSheet=\"0\"");
}

// --- views

class ViewsTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
    TrpXMLSerializer serializer;
};

TEST_F(ViewsTest, AFrameLineIsStoredWhereItDiffersFromItsFrame)
{
    TrpMemoView memo;
    memo.Frame().SetColor(0xFF0000);
    EXPECT_EQ(memo.Frame().LeftLine().Color, 0xFF0000) << "all four lines follow the frame";
    EXPECT_EQ(memo.Frame().BottomLine().Color, 0xFF0000);
    memo.Frame().LeftLine().Color = clRed;
    const QString text = serializer.ObjToXML(&memo.Frame(), QStringLiteral("Frame."));
    EXPECT_EQ(text.toStdString(), " Frame.Color=\"16711680\" Frame.LeftLine.Color=\"255\"");
    TrpMemoView copy;
    serializer.XMLToObj(text, &copy);
    EXPECT_TRUE(copy.Frame().SameAs(memo.Frame()));
    memo.Frame().SetWidth(2);
    memo.Frame().SetStyle(fsDot);
    memo.Frame().ShadowWidth = 3;
    EXPECT_EQ(serializer.ObjToXML(&memo.Frame()).toStdString(),
              " Color=\"16711680\" ShadowWidth=\"3\" Style=\"fsDot\" Width=\"2\" LeftLine.Color=\"255\"");
}

TEST_F(ViewsTest, HighlightAssignKeepsItsOwnActiveFlag)
{
    TrpHighlight source;
    source.Active = true;
    source.Color = clRed;
    source.Condition = QStringLiteral("Value > 0");
    TrpHighlight target;
    EXPECT_EQ(target.Font().Name(), "Arial");
    EXPECT_EQ(target.Font().Size(), 10);
    EXPECT_EQ(target.Font().Color(), 255);
    target.Assign(source);
    EXPECT_FALSE(target.Active);
    EXPECT_EQ(target.Condition, "Value > 0");
    EXPECT_EQ(target.Color, clRed);
}

struct MemoStoringCase {
    const char* Name;
    std::function<void(TrpMemoView&)> Change;
    const char* Expected; // attributes after the common ones ("" for none)
};

TEST_F(ViewsTest, MemoStoringRules)
{
    const MemoStoringCase cases[] = {
        {"defaults", [](TrpMemoView&) {}, ""},
        {"delimiters", [](TrpMemoView& m) { m.ExpressionDelimiters = QStringLiteral("<,>"); }, " ExpressionDelimiters=\"&#60;,&#62;\""},
        {"line spacing", [](TrpMemoView& m) { m.LineSpacing = 3; }, " LineSpacing=\"3\""},
        {"gaps", [](TrpMemoView& m) { m.GapX = 4; m.GapY = 0; }, " GapX=\"4\" GapY=\"0\""},
        {"paragraph gap and character spacing", [](TrpMemoView& m) { m.ParagraphGap = 5; m.CharSpacing = 1.5; },
         " CharSpacing=\"1.5\" ParagraphGap=\"5\""},
        {"blank highlight condition", [](TrpMemoView& m) { m.Highlight().Condition = QStringLiteral("  "); }, ""},
        {"highlight", [](TrpMemoView& m) { m.Highlight().Condition = QStringLiteral("V"); },
         " Highlight.Font.Charset=\"1\" Highlight.Font.Color=\"255\" Highlight.Font.Height=\"-13\" "
         "Highlight.Font.Name=\"Arial\" Highlight.Font.Style=\"0\" Highlight.Condition=\"V\""},
        {"rotation", [](TrpMemoView& m) { m.SetRotation(450); }, " Rotation=\"90\""},
    };
    for (const MemoStoringCase& c : cases) {
        TrpMemoView memo;
        const QString common = serializer.ObjToXML(&memo);
        c.Change(memo);
        QString text = serializer.ObjToXML(&memo);
        // The changed attributes are the ones that are not in the defaults' text.
        QString added;
        for (const QString& attribute : text.split(QStringLiteral("\" "))) {
            const QString a = attribute.endsWith(u'"') ? attribute : attribute + u'"';
            if (!common.contains(a.trimmed()))
                added += u' ' + a.trimmed();
        }
        EXPECT_EQ(added.toStdString(), c.Expected) << c.Name;
    }
}

TEST_F(ViewsTest, MemoAndSystemMemoPublishDifferentProperties)
{
    const RegisteredClass* memo = PropertyRegistry::Global().FindByName(u"TrpMemoView");
    const RegisteredClass* sys = PropertyRegistry::Global().FindByName(u"TrpSysMemoView");
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(sys, nullptr);
    for (const char* name : {"DataField", "DataSetName", "AllowExpressions", "FlowTo", "Wysiwyg", "WordBreak"}) {
        EXPECT_NE(memo->Find(QString::fromLatin1(name)), nullptr) << name;
        EXPECT_EQ(sys->Find(QString::fromLatin1(name)), nullptr) << name;
    }
    for (const char* name : {"AutoWidth", "Memo", "Highlight", "Style", "StretchMode", "FirstParaBreak", "TagStr"})
        EXPECT_NE(sys->Find(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(TrpMemoView().GetDescription(), "Текстовый объект");
    EXPECT_EQ(TrpSysMemoView().GetDescription(), "Системный текст");
    TrpMemoView defaults;
    EXPECT_TRUE(defaults.AllowExpressions);
    EXPECT_TRUE(defaults.WordWrap);
    EXPECT_TRUE(defaults.ParentFont());
    EXPECT_EQ(defaults.ExpressionDelimiters, "[,]");
    EXPECT_TRUE(defaults.LastValue.IsNull());
    // A memo measures its text; a stretchable that does not (a line) answers its height.
    TrpLineView line;
    line.SetBounds(0, 0, 100, 37);
    EXPECT_EQ(line.CalcHeight(), line.Height()) << "a plain stretchable's height";
}

// A picture's bytes travel unchanged in its "Data" defined property.
TEST_F(ViewsTest, PicturesOfEveryKindTravelByteForByte)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    image.save(&pngBuffer, "PNG");
    const QByteArray emf = QByteArray("\x01\x00\x00\x00", 4) + QByteArray(36, '\x07') + QByteArray(" EMF", 4) +
                           QByteArray(60, '\x00');
    struct Case {
        const char* Kind;
        QByteArray Bytes;
    };
    const Case cases[] = {{"PNG", png}, {"EMF", emf}, {"WMF", QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(30, 'w')},
                          {"JPEG", QByteArray("\xFF\xD8\xFF\xE0", 4)}, {"BMP", QByteArray("BM")},
                          {"GIF", QByteArray("GIF89a")}, {"ICO", QByteArray(6, '\x00')}};
    for (const Case& c : cases) {
        TrpPictureView view;
        view.Picture().SetData(QString::fromLatin1(c.Kind), c.Bytes);
        EXPECT_TRUE(view.PictureChanged);
        const QString text = serializer.ObjToXML(&view);
        // One length byte, the kind name, the file's bytes, under vaBinary (10) with its length.
        QByteArray data;
        data.append(static_cast<char>(qstrlen(c.Kind)));
        data.append(c.Kind);
        data.append(c.Bytes);
        QByteArray tagged = QByteArray("\x04") + "Data" + '\x0A';
        const int32_t length = static_cast<int32_t>(data.size());
        tagged.append(reinterpret_cast<const char*>(&length), 4);
        tagged.append(data);
        EXPECT_TRUE(text.contains(QStringLiteral(" Picture.PropData=\"") + QString::fromLatin1(tagged.toHex().toUpper()) + u'"'))
            << c.Kind << ": " << text.toStdString();
        TrpPictureView copy;
        serializer.XMLToObj(text, &copy);
        EXPECT_EQ(copy.Picture().Kind(), c.Kind);
        EXPECT_EQ(copy.Picture().Data(), c.Bytes) << c.Kind;
    }
}

TEST_F(ViewsTest, APictureViewStoresItsCacheIndexInsteadOfItsPictureWhenAsked)
{
    TrpPictureView view;
    view.Picture().SetData(QStringLiteral("BMP"), QByteArray("BM1234"));
    view.ImageIndex = 7;
    EXPECT_FALSE(serializer.ObjToXML(&view).contains(u"ImageIndex"));
    view.IsPictureStored = false;
    view.IsImageIndexStored = true;
    const QString text = serializer.ObjToXML(&view);
    EXPECT_TRUE(text.contains(u" ImageIndex=\"7\""));
    EXPECT_FALSE(text.contains(u"PropData"));
    view.SetTransparent(true);
    EXPECT_EQ(view.Color, clNone);
    view.SetTransparent(false);
    EXPECT_EQ(view.Color, clWhite);
}

TEST_F(ViewsTest, AutoSizeTakesThePicturesSize)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    TrpPictureView view;
    view.SetBounds(0, 0, 5, 5);
    view.Picture().SetData(QStringLiteral("PNG"), png);
    EXPECT_EQ(view.Width(), 5);
    view.SetAutoSize(true);
    EXPECT_EQ(view.Width(), 40);
    EXPECT_EQ(view.Height(), 30);
    try {
        view.Picture().SetData(QStringLiteral("TIFF"), QByteArray("II*"));
        ADD_FAILURE() << "an unknown kind was taken";
    } catch (const platform::Exception& refused) {
        EXPECT_EQ(refused.Message(), "Неверное значение свойства Picture=\"TIFF\"");
    }
}

TEST_F(ViewsTest, DesignTimeKindsOfShapesAndLines)
{
    TrpShapeView shape;
    shape.DesignCreate(skDiamond);
    EXPECT_EQ(shape.Shape, skDiamond);
    EXPECT_EQ(shape.GetDescription(), "Фигура");
    struct LineCase {
        uint16_t Flags;
        bool Diagonal;
        bool End;
        bool Start;
    };
    for (const LineCase c : {LineCase{0, false, false, false}, LineCase{1, true, false, false},
                             LineCase{2, true, true, false}, LineCase{3, true, false, true}, LineCase{4, true, true, true}}) {
        TrpLineView line;
        line.DesignCreate(c.Flags);
        EXPECT_EQ(line.Diagonal, c.Diagonal) << c.Flags;
        EXPECT_EQ(line.ArrowEnd, c.End) << c.Flags;
        EXPECT_EQ(line.ArrowStart, c.Start) << c.Flags;
        EXPECT_EQ(line.ArrowLength, 20);
        EXPECT_EQ(line.ArrowWidth, 5);
    }
    TrpCheckBoxView box;
    EXPECT_DOUBLE_EQ(box.Width(), 5 * 3.77953);
    EXPECT_TRUE(box.Checked);
    EXPECT_EQ(box.GetDescription(), "Флажок");
    EXPECT_TRUE(serializer.ObjToXML(&box).contains(u" CheckColor=\"0\" CheckStyle=\"csCross\""))
        << "check colour and style have no default";
}

TEST_F(ViewsTest, BoundsOutsideTheirLimitsAreRefused)
{
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    const struct {
        const char* Attribute;
        const char* Error;
    } cases[] = {
        {" LeftMargin=\"-1\"", "Неверное значение свойства LeftMargin=\"-1\""},
        {" PaperWidth=\"1e9\"", "Неверное значение свойства PaperWidth=\"1000000000\""},
        {" PageCount=\"100000\"", "Неверное значение свойства PageCount=\"100000\""},
        {" Columns=\"1001\"", "Неверное значение свойства Columns=\"1001\""},
    };
    for (const auto& c : cases) {
        TrpXMLSerializer reader;
        reader.XMLToObj(QString::fromUtf8(c.Attribute), page);
        EXPECT_EQ(reader.Errors(), QStringList{QString::fromUtf8(c.Error)});
    }
    auto* memo = new TrpMemoView(new TrpReportTitle(page));
    const struct {
        const char* Attribute;
        const char* Error;
    } memoCases[] = {
        {" Font.Height=\"99999\"", "Font height 99999 out of range"},
        {" Left=\"1e9\"", "Неверное значение свойства Left=\"1000000000\""},
        {" Width=\"-2e7\"", "Неверное значение свойства Width=\"-20000000\""},
        {" GapX=\"1e300\"", "Неверное значение свойства GapX=\"1E300\""},
        // The one-letter forms of the positions meet the same bounds.
        {" t=\"2000000000\"", "Неверное значение свойства Top=\"2000000000\""},
        {" h=\"-1e8\"", "Неверное значение свойства Height=\"-100000000\""},
        {" w=\"nan\"", "\"nan\" is an invalid float"},
    };
    for (const auto& c : memoCases) {
        TrpXMLSerializer reader;
        reader.XMLToObj(QString::fromUtf8(c.Attribute), memo);
        EXPECT_EQ(reader.Errors(), QStringList{QString::fromUtf8(c.Error)});
    }
    EXPECT_EQ(memo->Font().Height(), -13);
    EXPECT_EQ(memo->Left(), 0);
    EXPECT_EQ(memo->Top(), 0);
    TrpXMLSerializer reader;
    reader.XMLToObj(u" l=\"12\" t=\"3.5\"", memo);
    EXPECT_TRUE(reader.Errors().isEmpty());
    EXPECT_EQ(memo->Left(), 12);
    EXPECT_EQ(memo->Top(), 3.5);
    EXPECT_EQ(page->LeftMargin, 0);
    EXPECT_EQ(page->PaperWidth(), 210);
    EXPECT_EQ(page->PageCount(), 1);
    EXPECT_EQ(page->Columns(), 0);
}

} // namespace
