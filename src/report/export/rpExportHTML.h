#pragma once

// The HTML export: a prepared report as HTML 4.01 built from tables. The export matrix gives
// the grid: every matrix row becomes a table row, every object a cell with its column and row
// spans, every cell style a CSS class. One file holds all pages (one table per page), or each
// page gets a file of its own; a frameset with a page navigator may be put around them, and
// pictures are written as files of their own. Every text file is UTF-8 with CR LF line ends
// and is written whole or not at all.

#include "rpImageConverter.h"

#include "report/model/rpClass_exportfilter.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;
class TrpIEMatrix;
class TrpIEMObject;
class TrpExportProgress;

class TrpHTMLExport : public TrpCustomExportFilter {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    static void RegisterClass(PropertyRegistry& registry);

    explicit TrpHTMLExport(QObject* owner = nullptr);
    explicit TrpHTMLExport(TrpNoRegister);
    ~TrpHTMLExport() override;

    QString GetDescription() const override;
    // OK at once with an output stream; otherwise the options window of the export user
    // interface when one is registered (mrOk without).
    int ShowModal() override;
    bool Start() override;
    void StartPage(TrpReportPage* page, int32_t index) override;
    void ExportObject(TrpComponent* object) override;
    void FinishPage(TrpReportPage* page, int32_t index) override;
    void Finish() override;

    // Called with (encoded report name, Multipage, template text to fill, page count, the export
    // file's name with its extension replaced by ".", PicsInSameFolder).
    using TrpGetNavTemplateEvent = std::function<void(const QString& reportName, bool multipage, QString& templateText,
                                                      int32_t pagesCount, const QString& exportPath,
                                                      bool picsInSameFolder)>;
    // Called with (report name, the frameset's link prefix, template text to fill, Multipage).
    using TrpGetMainTemplateEvent = std::function<void(const QString& title, const QString& framesetPrefix,
                                                       QString& templateText, bool multipage)>;

    // --- options (published)
    bool OpenAfterExport = false;
    bool FixedWidth = true;
    bool ExportPictures = true;
    bool PicsInSameFolder = false;
    bool ExportStyles = true;
    bool Navigator = false;
    bool Multipage = false;
    bool MozillaFrames = false; // kept for stored settings; writing does not use it
    bool AbsLinks = false;
    bool Background = false;
    bool Centered = false;
    bool EmptyLines = true;
    QStringList HTMLDocumentBegin;
    QStringList HTMLDocumentBody;
    QStringList HTMLDocumentEnd;
    QString URLTarget;
    bool Print = false;
    TrpPictureType PictureType = gpPNG;
    TrpGetMainTemplateEvent OnGetMainTemplate;
    TrpGetNavTemplateEvent OnGetNavTemplate;

    // --- public, not stored
    bool Server = false;
    QString PrintLink;
    QString RefreshLink;
    QString ReportPath;
    bool UseTemplates = false;

    static QStringList DefaultDocumentBegin();

    // --- text helpers (public for the tests)
    // The text with &, <, > and the quotation mark as entities (attribute values and text).
    static QString Escape(const QString& text);
    // A memo text as HTML: expanded by the report's tag parser into runs (bold, italic,
    // underline, strike-out, colour), each escaped and wrapped in its tags; every line break
    // (CR LF, CR or LF) becomes "<br>".
    static QString TextToHTML(const QString& text);
    // Every character that is not an ASCII letter or digit as "%" and two upper-case
    // hexadecimal digits per byte of its UTF-8 form.
    static QString EncodeReportName(const QString& name);
    // A file path as a link: backslashes as "/", and the characters a URL path cannot hold as
    // they are (space, "#", "?", "%", non-ASCII) percent-encoded.
    static QString PathLink(const QString& path);
    // The rule of one cell style (".sN {" ... "}"), lines joined with CR LF.
    QString StyleRule(int32_t index) const;

    // --- folders and links of the current run (valid after Start)
    // Where page, picture and navigator files go: "rep.files/" (the folder beside the export
    // file) or, with PicsInSameFolder, "rep." (files beside it).
    const QString& PicturesFolder() const { return picturesFolder_; }
    const QString& PageLinkPrefix() const { return pageLinkPrefix_; }
    const QString& FramesetLinkPrefix() const { return framesetLinkPrefix_; }

    // The matrix of the run (tests read its grid after a page); none outside a run.
    TrpIEMatrix* Matrix() const { return FMatrix.get(); }

private:
    void ComputeFolders();
    // The report's name for titles: its options' Name, else the export file's base name.
    QString ReportTitle() const;
    // Creates the folder of a file when it has none yet.
    void MakeFolderFor(const QString& fileName);
    // Writes a text file whole (UTF-8, CR LF lines) and adds it to Files; a failure goes
    // through the report's silent mode.
    bool WriteTextFile(const QString& fileName, const std::function<void(QIODevice&)>& write);
    void SavePicture(const QImage& image, const QString& fileName);
    void Fail(const QString& message);
    void WritePage(QIODevice& out, TrpExportProgress* progress);
    void WriteStyles(QIODevice& out);
    QString CellLine(int32_t y);
    QString Link(const TrpIEMObject& obj) const;
    QString PictureContent(const TrpIEMObject& obj);
    void WriteNavigator(QIODevice& out);
    void WriteFrameset(QIODevice& out);
    QString TableOpening() const;
    QString WidthRow() const;

    std::unique_ptr<TrpIEMatrix> FMatrix;
    int32_t FCurrentPage = 0;   // pages started in this run
    int32_t FPicturesCount = 0; // numbers the picture files of a run
    QImage FBackImage;          // the page background picture of the current page
    bool FBackImageExist = false;
    QString picturesFolder_;
    QString pageLinkPrefix_;
    QString framesetLinkPrefix_;
    QString namePrefix_;        // the export file's name without folder, its extension replaced by "."
    QString backgroundLink_;    // the current page's background picture as a link, if any
    bool cancelled_ = false;    // the progress window was cancelled while writing
};
