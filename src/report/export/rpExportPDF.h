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

#include <array>
#include <cstdint>
#include <optional>
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
class TrpCustomOutline;
class TrpCustomLineView;
class TrpShapeView;
class TrpCheckBoxView;
class QImage;


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

// One link annotation: its reserved number, rectangle text, and either a URI or a target page
// (report page index) and height in points.
struct TrpPDFAnnot {
    int Number = 0;
    QByteArray Rect;
    QString Uri;
    int32_t DestPage = -1;
    int DestY = 0;
};

// One bookmark of the document outline; links are node indexes, -1 for none. Node 0 is the
// outline root.
struct TrpPDFOutlineNode {
    QString Title;
    int32_t Dest = -1; // report page index
    int32_t Top = 0;   // report pixels from the page top
    int CountTree = 0;
    int Count = 0;
    int First = -1, Last = -1, Next = -1, Prev = -1, Parent = -1;
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
    // The steps that need no window (title, a caller's stream, the outline option), then the
    // options window of the export user interface when one is registered (mrOk without).
    int ShowModal() override;
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

    // --- protection (public for the tests)
    // The text in PDF's own 8-bit text encoding; nothing when a character has no code there
    // (the first such character in `bad`).
    static std::optional<QByteArray> PDFDocBytes(const QString& text, QString* bad = nullptr);
    // Raises the export's refusal naming the first character a password cannot hold.
    static void CheckPassword(const QString& password);
    // P = -64 + 4 x (the sum of the values of the set's members).
    static int32_t PermissionValue(TrpPDFEncBits flags);
    void SetProtectionFlags(TrpPDFEncBits flags);
    struct SecurityKeys {
        std::array<uint8_t, 32> O{};
        std::array<uint8_t, 32> U{};
        std::array<uint8_t, 16> Key{};
    };
    // The owner entry, user entry and file key of revision 3; fileId as 32 hexadecimal digits.
    static SecurityKeys ComputeSecurityKeys(const QByteArray& user, const QByteArray& owner, int32_t permissions,
                                            const QByteArray& fileId);
    static std::array<uint8_t, 16> ObjectKey(const std::array<uint8_t, 16>& fileKey, int number);
    static QByteArray EscapeString(const QByteArray& bytes);

    // --- links (public for the tests)
    // Printable ASCII with balanced parentheses.
    static bool IsLiteralString(const QString& text);
    static QByteArray GetLiteralString(const QString& text);
    static QByteArray GetHexString(const QString& text);
    // An arrow head in page points: corner, tip, corner (m, l, l), the base centre on the
    // segment towards the far end at `length` from the tip.
    // The picture as baseline JPEG, three components.
    static QByteArray EncodeJpeg(const QImage& image, int quality);
    static QByteArray ArrowHead(double tipX, double tipY, double farX, double farY, double length, double halfWidth);

private:
    void Write(const QByteArray& bytes);
    void Line(const QByteArray& text);
    // Data deflated at level 1 when Compressed.
    QByteArray Deflate(const QByteArray& data) const;
    QByteArray Ref(int number) const { return QByteArray::number(number) + " 0 R"; }
    QByteArray Header(int number) const { return QByteArray::number(number) + " 0 obj"; }
    static QByteArray TextString(const QString& text);

    // A page as written: the report page index StartPage received, its page object and height.
    struct WrittenPage {
        int32_t Index = 0;
        int Reference = 0;
        double Height = 0;
    };
    const WrittenPage* FindWrittenPage(int32_t index) const;
    void BuildOutlineLevel(TrpCustomOutline& outline, int parent);
    // Writes the outline root and items; the root's number, 0 when nothing was written.
    int WriteOutline();

    void PrepareSecurityKeys();
    // RC4 under the object's key when protected, the bytes as they are otherwise.
    QByteArray Crypted(const QByteArray& data, int number) const;
    QByteArray CryptString(const QByteArray& text, int number) const;
    void CryptStream(const QByteArray& source, QByteArray& target, int number) const;
    // A text string of the document: hexadecimal UTF-16 unprotected, an encrypted literal
    // string when protected.
    QByteArray DocumentText(const QString& text, int number) const;

    void ExportViewContent(TrpView& view);
    void ExportMemoText(TrpCustomMemoView& memo);
    void ExportFrameLines(TrpView& view);
    void ExportLine(TrpCustomLineView& line);
    void ExportShape(TrpShapeView& shape);
    void ExportCheckBox(TrpCheckBoxView& box);
    void ExportLink(TrpView& view);
    void WriteAnnots();
    void ExportPicture(TrpView& view);
    QByteArray Point(double x, double y) const;
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
    int32_t pageIndex_ = 0;
    std::vector<WrittenPage> FWritten;
    std::unordered_map<int32_t, size_t> writtenIndex_;
    std::vector<TrpPDFOutlineNode> FOutline;
    // The pictures of the current page by the digest of their JPEG bytes, and the indexes of
    // those the page's content uses.
    struct XObject {
        int Number = 0;
        std::array<uint8_t, 16> Hash{};
    };
    std::vector<XObject> FXObjects;
    std::vector<size_t> FUsedXObjects;
    int64_t FPicTotalSize = 0;
    QByteArray FPageAnnots;
    std::vector<TrpPDFAnnot> FAnnots;
    bool FProtection = false;
    int32_t FEncBits = -4;
    std::array<uint8_t, 32> FOPass{};
    std::array<uint8_t, 32> FUPass{};
    std::array<uint8_t, 16> FEncKey{};
};

// The process-wide lock of the unit: the fonts of every export are shaped under it.
std::mutex& PDFExportLock();
