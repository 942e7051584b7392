// Script drawing: a canvas draws on a recording paint device (lines, rectangles, glyph runs
// with the pen, brush and font the script set), bitmaps hold their pixels, pictures load and
// save through the file-access policy, and a form's canvas draws inside OnPaint.

#include "ScriptUiTestSupport.h"

#include "RecordingPaintDevice.h"

#include "report/script/ui/ScriptGraphics.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

namespace {

using DrawingTest = scripttest::ScriptUiTest;

TEST_F(DrawingTest, ACanvasDrawsWithItsPenBrushAndFont)
{
    RecordingPaintDevice device;
    QPainter painter(&device);
    ScriptCanvas canvas;
    canvas.AttachPainter(&painter);
    script_->AddObject(QStringLiteral("C"), &canvas);
    Run("begin C.Pen.Color := clRed; C.Pen.Width := 3; C.MoveTo(10, 20); C.LineTo(50, 20);\n"
        "  C.Pen.Width := 1; C.Pen.Style := psDash; C.Brush.Color := clBlue; C.Rectangle(0, 0, 20, 10);\n"
        "  C.Brush.Style := bsClear; C.Font.Name := 'Arial'; C.Font.Size := 12; C.Font.Color := clGreen;\n"
        "  C.TextOut(5, 30, 'Hi'); ShowMessage(C.TextWidth('Hi') > 0); ShowMessage(C.TextHeight('Hi'));\n"
        "  C.Ellipse(100, 100, 110, 120); end.");
    painter.end();
    EXPECT_EQ(Lines(), "True\n" + std::to_string(QFontMetrics(ScriptQFont(canvas.Font)).height()));

    const auto lines = device.Operations(RecordedOperation::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].DevicePoints, QPolygonF({QPointF(10, 20), QPointF(50, 20)}));
    const auto rectangles = device.Operations(RecordedOperation::Rectangle);
    ASSERT_EQ(rectangles.size(), 1u);
    // The right and bottom edges are outside the rectangle, as the class library draws it.
    EXPECT_EQ(rectangles[0].DeviceRect, QRectF(0, 0, 19, 9));
    const auto ellipses = device.Operations(RecordedOperation::Ellipse);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].DeviceRect, QRectF(100, 100, 9, 19));
    const auto runs = device.GlyphRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Glyphs.size(), 2);
    EXPECT_EQ(runs[0].PixelSize, 16);
    EXPECT_EQ(runs[0].TextColor, QColor(0, 128, 0));
    EXPECT_NEAR(runs[0].GlyphPositions[0].x(), 5, 0.5);

    // The pen and brush in force for each shape.
    QPen linePen;
    QPen rectanglePen;
    QBrush rectangleBrush;
    for (const RecordedOperation& op : device.Operations()) {
        if (op.What == RecordedOperation::PenChange)
            rectanglePen = op.Pen;
        if (op.What == RecordedOperation::BrushChange)
            rectangleBrush = op.Brush;
        if (op.What == RecordedOperation::Line)
            linePen = rectanglePen;
        if (op.What == RecordedOperation::Rectangle)
            break;
    }
    EXPECT_EQ(linePen.color(), QColor(255, 0, 0));
    EXPECT_EQ(linePen.width(), 3);
    EXPECT_EQ(rectanglePen.style(), Qt::DashLine);
    EXPECT_EQ(rectangleBrush.color(), QColor(0, 0, 255));
    EXPECT_EQ(rectangleBrush.style(), Qt::SolidPattern);
}

TEST_F(DrawingTest, BitmapPixelsAreTColors)
{
    Run("var B: TBitmap;\n"
        "begin B := TBitmap.Create; B.Width := 10; B.Height := 8; B.Canvas.Pixels[3, 4] := clRed;\n"
        "  ShowMessage(B.Canvas.Pixels[3, 4]); ShowMessage(B.Canvas.Pixels[0, 0]); ShowMessage(B.Canvas.Pixels[10, 0]);\n"
        "  B.Canvas.Brush.Color := clBlue; B.Canvas.Pen.Color := clBlue; B.Canvas.Rectangle(5, 5, 8, 8);\n"
        "  ShowMessage(B.Canvas.Pixels[7, 7]); ShowMessage(B.Canvas.Pixels[8, 7]); end.");
    EXPECT_EQ(Lines(), "255\n16777215\n-1\n16711680\n16777215");
}

TEST_F(DrawingTest, PicturesLoadAndSaveInsideAllowedFolders)
{
    QTemporaryDir folder;
    script_->FileAccess().AllowFolder(folder.path());
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    image.setPixel(1, 2, qRgb(0, 255, 0));
    ASSERT_TRUE(image.save(folder.filePath(QStringLiteral("in.png"))));
    QFile text(folder.filePath(QStringLiteral("text.bmp")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    QString source = QStringLiteral(
        "var P, Q: TPicture; B: TBitmap;\n"
        "begin P := TPicture.Create; P.LoadFromFile('DIR/in.png'); ShowMessage(IntToStr(P.Width) + 'x' + IntToStr(P.Height));\n"
        "  B := TBitmap.Create; B.Assign(P); ShowMessage(B.Canvas.Pixels[1, 2]); B.Canvas.Pixels[0, 0] := clRed;\n"
        "  B.SaveToFile('DIR/out.bmp'); Q := TPicture.Create; Q.LoadFromFile('DIR/out.bmp'); Q.SaveToFile('DIR/copy.jpg');\n"
        "  B.LoadFromFile('DIR/text.bmp'); end.");
    source.replace(QStringLiteral("DIR"), folder.path());
    Run(source);
    EXPECT_EQ(Lines(), "4x3\n65280\nEInvalidGraphic: Bitmap image is not valid");
    const QImage saved(folder.filePath(QStringLiteral("out.bmp")));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(QColor(saved.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(saved.pixel(1, 2)), QColor(0, 255, 0));
    QImageReader jpeg(folder.filePath(QStringLiteral("copy.jpg")));
    EXPECT_EQ(jpeg.format(), "jpeg");
    EXPECT_EQ(jpeg.size(), QSize(4, 3));
}

TEST_F(DrawingTest, PicturesOutsideAllowedFoldersAreRefused)
{
    Run("var B: TBitmap; begin B := TBitmap.Create; B.Width := 2; B.Height := 2; B.SaveToFile('/tmp/x.bmp'); end.");
    EXPECT_EQ(Lines(), "EFCreateError: Unable to create file \"/tmp/x.bmp\": file access is not allowed");
}

TEST_F(DrawingTest, AMetafileRecordsWhatItsCanvasDraws)
{
    Run("var M: TMetafile; MC: TMetafileCanvas; B: TBitmap;\n"
        "begin M := TMetafile.Create; M.Width := 20; M.Height := 20; MC := TMetafileCanvas.Create(M, 0);\n"
        "  MC.Brush.Color := clRed; MC.Pen.Color := clRed; MC.Rectangle(0, 0, 10, 10); MC.Free;\n"
        "  B := TBitmap.Create; B.Width := 20; B.Height := 20; B.Canvas.Draw(5, 5, M);\n"
        "  ShowMessage(B.Canvas.Pixels[7, 7]); ShowMessage(B.Canvas.Pixels[2, 2]);\n"
        "  MC := TMetafileCanvas.Create(M, 0); M.Free; MC.LineTo(1, 1); end.");
    EXPECT_EQ(Lines(), "255\n16777215\nEInvalidOperation: Canvas does not allow drawing");
}

TEST_F(DrawingTest, ACanvasWithoutADeviceRefusesToDraw)
{
    Run("var C: TCanvas; begin C := TCanvas.Create; ShowMessage(C.Pixels[0, 0]); C.Rectangle(0, 0, 5, 5); end.");
    EXPECT_EQ(Lines(), "-1\nEInvalidOperation: Canvas does not allow drawing");
}

TEST_F(DrawingTest, AFormsCanvasDrawsInsideOnPaint)
{
    Run("var F: TForm; Painted: Integer;\n"
        "procedure Paint(Sender: TObject);\n"
        "begin Painted := Painted + 1; F.Canvas.Brush.Color := clRed; F.Canvas.Pen.Color := clRed;\n"
        "  F.Canvas.Rectangle(10, 10, 30, 30); end;\n"
        "begin F := TForm.Create(nil); F.Width := 100; F.Height := 80; Painted := 0;\n"
        "  F.Canvas.Rectangle(0, 0, 50, 50); F.OnPaint := 'Paint'; F.Show; end.");
    ASSERT_EQ(Lines(), "");
    QWidget* form = Widget(QStringLiteral("F"));
    ASSERT_NE(form, nullptr);
    QImage image(form->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    form->render(&image);
    EXPECT_GE(script_->Evaluate(QStringLiteral("Painted")).ToInt32(), 1);
    EXPECT_EQ(QColor(image.pixel(20, 20)), QColor(255, 0, 0));
    EXPECT_NE(QColor(image.pixel(5, 5)), QColor(255, 0, 0));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

} // namespace
