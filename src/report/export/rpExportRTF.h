#pragma once

// The RTF export: a prepared report as one RTF document laid out as tables. The export matrix
// gives the rows and cells: every matrix row becomes a table row, every matrix object one cell
// (merged vertically over its rows), every page one section. Text is written as ASCII with
// Unicode escapes, pictures as PNG or JPEG blips (or a metafile around a DIB).

#include "rpImageConverter.h"

#include "report/model/rpClass_exportfilter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QIODevice;
class QImage;
class QSaveFile;
class TrpIEMatrix;
class TrpIEMObject;
class TrpIEMStyle;
class TrpExportProgress;

enum TrpHeaderFooterMode : int { hfText, hfPrint, hfNone };

class TrpRTFExport : public TrpCustomExportFilter {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    static void RegisterClass(PropertyRegistry& registry);

    explicit TrpRTFExport(QObject* owner = nullptr);
    explicit TrpRTFExport(TrpNoRegister);
    ~TrpRTFExport() override;

    QString GetDescription() const override;
    // OK at once with an output stream; otherwise the options window of the export user
    // interface when one is registered (OK without).
    int ShowModal() override;
    bool Start() override;
    void StartPage(TrpReportPage* page, int32_t index) override;
    void ExportObject(TrpComponent* object) override;
    void FinishPage(TrpReportPage* page, int32_t index) override;
    // Prepares the matrix and writes the document; a failure goes through the report's
    // silent mode.
    void Finish() override;

    // --- options (published)
    TrpPictureType PictureType = gpPNG;
    bool ExportPageBreaks = true;
    bool ExportPictures = true;
    bool OpenAfterExport = false;
    bool Wysiwyg = true;
    QString Creator = QStringLiteral("RedaVedera");
    TrpHeaderFooterMode HeaderFooterMode = hfText;
    bool AutoSize = false;

    // --- text encoding (public for the tests)
    // "\\", "\{", "\}"; every line break inside the text (CR LF, CR or LF) gets "\line" before
    // it; a break that ends the text stays as it is.
    static QString RTFEscapeText(const QString& text);
    // Characters from 128 up as "\u" + the signed 16-bit value of the UTF-16 unit + "\'3f".
    static QString RTFUnicodeText(const QString& text);
    static QString RTFEncodeText(const QString& text);
    // The name as the font table holds it: bytes of the ANSI code page from 128 up, braces,
    // backslashes and semicolons as "\'hh".
    static QString RTFFontName(const QString& name);
    // A rich-text cell's RTF moved into this document: its content from the first "\pard" on,
    // "\pard" words removed, fonts and colours renumbered to this document's tables. A source
    // that cannot be moved gives its error text in braces.
    QString RemapRichText(const QByteArray& source);
    // Colour and font numbers of this document (entered when new).
    int GetColorIndex(int32_t color);
    int GetFontIndex(const QString& name, int32_t charset);
    const QStringList& ColorTable() const { return FColorTable; }
    const QStringList& FontTable() const { return FFontTable; }

private:
    void PrepareTables();
    void WriteDocument();
    void WriteLine(const QString& text);
    void WriteRaw(const QString& text);
    void WriteTable(const QString& head, const QStringList& entries);
    void WriteSectionSettings(int32_t page);
    // One pass over the matrix rows: 0 header, 1 footer, 2 body.
    void WritePass(int pass);
    bool BelongsToPass(const TrpIEMObject& obj, int pass) const;
    QString RTFBorderKeywords(const TrpIEMStyle& style);
    QString TextCellContent(const TrpIEMObject& obj);
    QString PictureCellContent(const TrpIEMObject& obj);
    QString WritePicture(const QImage& graphic, double width, double height);
    QString WriteBitmapMetafile(const QImage& bitmap, double width, double height);

    QStringList FColorTable;  // "\redR\greenG\blueB;" entries
    int32_t FCurrentPage = 0;
    QStringList FDataList;    // made by Start and dropped by Finish
    bool FFirstPage = true;
    QStringList FFontTable;   // font names
    QStringList FCharsetTable; // the charset of each font entry, decimal
    std::unique_ptr<TrpIEMatrix> FMatrix;
    std::unique_ptr<TrpExportProgress> FProgress;
    double rowFactor_ = 15;   // twips per pixel of row heights: 14.5 for one page and the last
    QIODevice* out_ = nullptr;
    std::unique_ptr<QSaveFile> file_;
};
