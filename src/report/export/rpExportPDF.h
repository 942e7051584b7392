#pragma once

// The PDF export: a prepared report as a PDF 1.5 file, written in one pass. Memo texts stay
// text in embedded TrueType subsets (the very glyphs the layout measured, each mapped back
// to the text it stands for), frames and fills are vector paths. Split by topic: the
// document writer, the page content and the fonts.

#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpFont.h"
#include "report/model/rpFontResolver.h"

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class QSaveFile;
class QTemporaryFile;
class TrpView;
class TrpCustomMemoView;
class TrpDrawText;
class TrpFrame;


enum TrpPDFEncBit : int { ePrint, eModify, eCopy, eAnnot };
using TrpPDFEncBits = uint32_t;

// One font of a document: one report font name and style (the style-ignoring names once per
// name), its used glyphs in order of first use with their widths and texts.
class TrpPDFFont {
public:
    TrpPDFFont(const QString& reportName, bool bold, bool italic);

    QString ReportName;
    bool Bold = false;
    bool Italic = false;
    TrpFontFace Face;        // the face the layout measures with
    QString Name;            // "/F0"
    int Reference = 0;       // the Type0 object's number once reserved
    bool Saved = false;

    std::vector<uint16_t> UsedAlphabet;
    std::vector<int> Widths;            // 1000 per em, nominal advances
    std::vector<QString> UsedAlphabetUnicode;

    // The glyphs of a text as hexadecimal (four digits per glyph): one glyph per code point,
    // as the layout takes them; new glyphs are recorded with the text they stand for.
    const QByteArray& RemapString(const QString& text);
    // The PDF name without subset tag: escaped, ",Bold" / ",Italic" / ",BoldItalic" appended
    // unless the style is not part of the name.
    QByteArray GetFontName() const;
    // The six-letter subset tag, from the glyph set.
    QByteArray SubsetTag() const;

    // Metrics at 1000 per em.
    struct Metrics {
        int BBox[4] = {0, 0, 0, 0};
        double ItalicAngle = 0; // degrees
        int Ascent = 0;
        int Descent = 0;
        int Leading = 0;
        int CapHeight = 0;
        int Weight = 400;
        int AvgWidth = 0;
        int MaxWidth = 0;
    };
    Metrics FontMetrics() const;
    // The nominal advance of a glyph at 1000 per em (hmtx and head).
    int GlyphWidth(uint16_t glyph) const;
    // The file bytes reduced to the used glyphs (warnings appended); raises on a refusal.
    QByteArray GetFontFile(std::vector<std::string>& warnings) const;

    static bool IgnoresStyle(const QString& reportName);

private:
    QRawFont raw_;
    QByteArray hmtx_;
    int unitsPerEm_ = 1000;
    int numberOfHMetrics_ = 0;
    std::unordered_map<uint16_t, int> used_;
    QHash<QString, QByteArray> runs_;
};

class TrpPDFExport : public TrpCustomExportFilter {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    static void RegisterClass(PropertyRegistry& registry);

    explicit TrpPDFExport(QObject* owner = nullptr);
    explicit TrpPDFExport(TrpNoRegister);
    ~TrpPDFExport() override;

    QString GetDescription() const override;
    bool Start() override;
    void StartPage(TrpReportPage* page, int32_t index) override;
    void ExportObject(TrpComponent* object) override;
    void FinishPage(TrpReportPage* page, int32_t index) override;
    void Finish() override;

    void Clear();
    int UpdateXRef();

    // --- options (published)
    bool Compressed = true;
    bool EmbeddedFonts = false;        // fonts are always embedded; kept for the dialog
    bool EmbedFontsIfProtected = true; // likewise
    bool OpenAfterExport = false;
    bool PrintOptimized = false;
    bool Outline = false;
    bool Background = false;
    bool HTMLTags = true;
    int32_t Quality = 95;
    QString Title;
    QString Author = QStringLiteral("RedaVedera");
    QString Subject = QStringLiteral("RedaVedera PDF export");
    QString Keywords;
    QString Creator;
    QString Producer;
    QString UserPassword;
    QString OwnerPassword;
    TrpPDFEncBits ProtectionFlags = 15;
    bool HideToolbar = false;
    bool HideMenubar = false;
    bool HideWindowUI = false;
    bool FitWindow = false;
    bool CenterWindow = false;
    bool PrintScaling = false;

    // The source of the GUID text the file identifier is the digest of (tests pin it).
    std::function<QString()> GuidText;

    // --- content helpers (public for the tests)
    static QByteArray Fixed(double value);
    QByteArray ColorText(int32_t color);
    static QByteArray PageColorText(int32_t color);
    static QByteArray DashPattern(int style, double width);

private:
    void Write(const QByteArray& bytes);
    void Line(const QByteArray& text);
    // Data deflated at level 1 when Compressed.
    QByteArray Deflate(const QByteArray& data) const;
    QByteArray Ref(int number) const { return QByteArray::number(number) + " 0 R"; }
    QByteArray Header(int number) const { return QByteArray::number(number) + " 0 obj"; }
    static QByteArray TextString(const QString& text);

    void ExportViewContent(TrpView& view);
    void ExportMemoText(TrpCustomMemoView& memo);
    void ExportFrameLines(TrpView& view);
    QByteArray JustifiedGlyphs(TrpCustomMemoView& memo, TrpDrawText& renderer, TrpPDFFont& font, int index,
                               double width, double size);
    int FindFont(const TrpFont& font);
    void WriteFontObjects(TrpPDFFont& font);
    double X(double x) const { return x * 0.75 + FMarginLeft; }
    double Y(double y) const { return (FHeight - FMarginTop) - y * 0.75; }

    QIODevice* pdf_ = nullptr;
    std::unique_ptr<QSaveFile> file_;
    int64_t position_ = 0;
    int FPagesNumber = 1;
    std::vector<std::unique_ptr<TrpPDFFont>> FFonts;
    std::vector<TrpPDFFont*> FPageFonts;
    std::vector<int64_t> FXRef;
    std::vector<int> FPagesRef;
    double FWidth = 0, FHeight = 0, FMarginLeft = 0, FMarginTop = 0;
    QByteArray FFileID;
    int32_t FLastColor = -1;
    QByteArray FLastColorResult;
    QByteArray OutStream;
    int pagesWritten_ = 0;
};

// The process-wide lock of the unit: the fonts of every export are shaped under it.
std::mutex& PDFExportLock();
