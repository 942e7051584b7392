// Report font names resolve to installed, metric-compatible faces; the measured advances
// agree with the fonts' own metrics.

#include "DrawTextTestSupport.h"

#include "report/model/rpFontResolver.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtEndian>

#include <cmath>

namespace {

struct MappingCase {
    const char* ReportName;
    const char* Family;
};

const MappingCase kMappings[] = {
    {"Arial", "Liberation Sans"},
    {"arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Tahoma", "DejaVu Sans"},
    {"MS Sans Serif", "DejaVu Sans"},
    {"", "DejaVu Sans"},
};

TEST(FontResolver, ReportNamesMapToMetricCompatibleFamilies)
{
    for (const MappingCase& c : kMappings) {
        SCOPED_TRACE(c.ReportName);
        EXPECT_EQ(ReportFontFamily(QString::fromLatin1(c.ReportName)), QString::fromLatin1(c.Family));
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                const TrpFontFace face = ResolveReportFont(QString::fromLatin1(c.ReportName), bold, italic);
                EXPECT_EQ(face.Family, QString::fromLatin1(c.Family));
                EXPECT_EQ(face.Weight, bold ? 700 : 400);
                EXPECT_EQ(face.Italic, italic);
                EXPECT_TRUE(QFileInfo::exists(face.FileName)) << face.FileName.toStdString();
                EXPECT_EQ(face.FaceIndex, 0);
                // The file really holds the family asked for, in that style.
                const QRawFont font = ReportRawFont(face, 20);
                EXPECT_EQ(font.familyName(), face.Family);
                EXPECT_EQ(font.weight() >= QFont::Bold, bold);
                EXPECT_EQ(font.style() != QFont::StyleNormal, italic);
                EXPECT_TRUE(FaceCoversCyrillic(face));
            }
        }
    }
}

TEST(FontResolver, StylesResolveToDifferentFiles)
{
    const QString regular = ResolveReportFont(u"Arial", false, false).FileName;
    EXPECT_NE(ResolveReportFont(u"Arial", true, false).FileName, regular);
    EXPECT_NE(ResolveReportFont(u"Arial", false, true).FileName, regular);
    EXPECT_NE(ResolveReportFont(u"Arial", true, true).FileName, ResolveReportFont(u"Arial", true, false).FileName);
}

// The Liberation 2 fonts: the older ones lack glyphs the device reports print ("мᶾ").
TEST(FontResolver, LiberationFacesAreVersionTwo)
{
    for (const char* name : {"Arial", "Times New Roman", "Courier New"}) {
        const TrpFontFace face = ResolveReportFont(QString::fromLatin1(name), false, false);
        const QRawFont font = ReportRawFont(face, 20);
        const QByteArray head = font.fontTable("head");
        ASSERT_GE(head.size(), 8);
        const uint32_t revision = qFromBigEndian<quint32>(head.constData() + 4); // 16.16 fixed
        EXPECT_GE(revision >> 16, 2u) << name;
        EXPECT_TRUE(font.supportsCharacter(QChar(0x1DBE))) << name;
    }
}

TEST(FontResolver, RawFontsAreUnhintedAtTheirPixelSize)
{
    const QRawFont font = ReportRawFont(ResolveReportFont(u"Arial", false, false), 83);
    EXPECT_EQ(font.pixelSize(), 83);
    EXPECT_EQ(font.hintingPreference(), QFont::PreferNoHinting);
}

// Widths of Latin and Cyrillic strings at 10 points on the 600-dpi canvas against the sums
// of the fonts' hmtx advances (data/text/advances.txt, written by make_advances.py).
TEST(FontAdvances, AgreeWithTheFontsOwnMetrics)
{
    QFile file(QStringLiteral(DAX_TEXT_DATA_DIR "/advances.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    int checked = 0;
    while (!in.atEnd()) {
        const QString row = in.readLine();
        if (row.isEmpty() || row.startsWith(u'#'))
            continue;
        const QStringList fields = row.split(u'\t');
        ASSERT_EQ(fields.size(), 3) << row.toStdString();
        const bool bold = fields[0].endsWith(QStringLiteral(" bold"));
        const QString name = bold ? fields[0].chopped(5) : fields[0];
        const QString& text = fields[1];
        const double reference = fields[2].toDouble();
        SCOPED_TRACE(row.toStdString());

        // The raw advances at the measuring size, to the 1/64 pixel the engine keeps.
        const QRawFont font = ReportRawFont(ResolveReportFont(name, bold, false), 83);
        const QList<quint32> glyphs = font.glyphIndexesForString(text);
        double sum = 0;
        for (const QPointF& advance : font.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics))
            sum += advance.x();
        EXPECT_NEAR(sum, reference, glyphs.size() / 64.0);

        // The laid-out width: the sum rounded once to whole canvas pixels.
        drawtexttest::LayoutSetup setup;
        setup.FontName = name;
        setup.Style = bold ? kTextStyleBold : 0;
        setup.Box = QRectF(0, 0, 10000, 100);
        const double width600 = drawtexttest::LaidOut(setup, {text})->CalcWidth() * 6.25;
        EXPECT_NEAR(width600, reference, 0.5 + glyphs.size() / 64.0);
        ++checked;
    }
    EXPECT_EQ(checked, 24);
}

} // namespace
