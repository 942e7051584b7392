#pragma once

// The prepared-page store: the pages a report run produced, kept in one XML document (root
// "preparedreport") so that a report of thousands of pages costs little memory. Every object
// of the report's pages is copied once into a source page and named by a short alias in the
// dictionary; each printed copy is an element named by that alias holding only what differs
// from the source copy. Pictures go to the picture cache; finished pages can be written out of
// memory into a temporary file. The engine fills the store, and the preview, printing and the
// exports read its pages back as page objects, rebuilt on demand and kept in a small cache.
//
// Units: rpPreviewPages.cpp (construction and filling), rpPreviewPages_outline.cpp (outline
// and dictionary), rpPreviewPages_access.cpp (rebuilding pages, the page cache, page editing
// and the mouse), rpPreviewPages_file.cpp (.zp3 files), rpPreviewPages_output.cpp (drawing a
// page and the export loop), rpPreviewPages_print.cpp (printing on the current printer).

#include "rpPictureCache.h"

#include "platform/Exceptions.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class TrpPreviewPages;
class TrpXMLDocument;

// The user's stop request during an export: it ends the export quietly.
class EExportTerminated : public platform::Exception {
public:
    EExportTerminated();
};

// The mouse button ObjectOver toggles drill-down groups with (the others only choose the
// cursor), numbered as the preview hands buttons over.
inline constexpr int32_t kMouseButtonLeft = 0;

// The report's table of contents: a tree of "item" elements (attributes "text", "page",
// "top") under the element "outline" of the store's document.
class TrpOutline : public TrpCustomOutline {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    explicit TrpOutline(TrpPreviewPages* previewPages);

    // The "outline" element (made on first use).
    TrpXMLItem* Root();

    int32_t GetCount() override;
    // A child of the current node for the store's current page; it becomes current.
    void AddItem(const QString& text, int32_t top) override;
    void LevelDown(int32_t index) override;
    void LevelRoot() override;
    // The parent becomes current; at the root nothing changes.
    void LevelUp() override;
    // Page and top are left as they were when the entry's attribute is empty or no number.
    void GetItem(int32_t index, QString& text, int32_t& page, int32_t& top) override;
    // Every entry added after `from` (with its sub-entries) moves to the store's current page,
    // the first of them to newTop and the others by as much.
    void ShiftItems(const TrpOutlinePosition& from, int32_t newTop) override;
    TrpOutlinePosition GetCurPosition() override;

private:
    TrpPreviewPages* store_;
};

// Aliases of the source objects ("m1", "b2") with their source names ("Page0.Memo1") and the
// source objects. Aliases compare ignoring letter case (not by locale).
class TrpDictionary {
public:
    void Clear();
    // Adds an alias; an alias already there keeps its first source (the source name is still
    // listed).
    void Add(const QString& name, const QString& sourceName, TrpComponent* obj);
    // Add with CreateUniqueName(base); answers the alias.
    QString AddUnique(const QString& base, const QString& sourceName, TrpComponent* obj);
    // `base` followed by a number free in the dictionary: probed downwards by halving from
    // 10000, then counted upwards. Not always the smallest free number: with m1 and m9 taken
    // the answer is m10. Prepared-report files keep these names, so the rule stays.
    QString CreateUniqueName(const QString& base) const;
    // The source object (none for an unknown alias or a source that is gone) and source name
    // (empty) of an alias.
    TrpComponent* GetObject(QStringView name) const;
    QString GetSourceName(QStringView name) const;
    bool Contains(QStringView name) const;

    int32_t Count() const { return static_cast<int32_t>(names_.size()); }
    // The aliases in their sorted order.
    QStringList Names() const;
    // The source names in the order they were added.
    const QStringList& SourceNames() const { return sourceNames_; }

private:
    struct NameLess {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a.compare(b, Qt::CaseInsensitive) < 0; }
    };

    std::map<QString, int32_t, NameLess> names_;     // alias -> index into sourceNames_
    QStringList sourceNames_;
    std::vector<QPointer<TrpComponent>> sources_;     // the source object of each source name
};

class TrpPreviewPages : public TrpCustomPreviewPages {
public:
    explicit TrpPreviewPages(TrpReport* report);
    ~TrpPreviewPages() override;
    TrpPreviewPages(const TrpPreviewPages&) = delete;
    TrpPreviewPages& operator=(const TrpPreviewPages&) = delete;

    TrpDictionary& Dictionary() { return dictionary_; }
    TrpPictureCache& PictureCache() { return *pictureCache_; }
    TrpXMLDocument& XMLDoc() { return *xmlDoc_; }
    // The copies of the report pages the prepared pages refer to, in the order added.
    std::vector<TrpReportPage*> SourcePages() const;
    // The copy number handed to memos when a page is drawn (printing sets it; 0 otherwise).
    int32_t CopyNo() const { return copyNo_; }
    void SetCopyNo(int32_t value) { copyNo_ = value; }
    // The scale memos are printed at (1 except while pages are stretched onto sheets).
    double PrintScale() const { return printScale_; }
    // Sheets the last Print sent to the printer, the printer's own copies included.
    int32_t PrintedSheets() const { return printedSheets_; }
    // The element name of page `index`: "page" and the index of its source page, or the class
    // of a page stored whole ("TrpReportPage"). Raises the list error outside the pages.
    QString PageElementName(int32_t index) const;
    // How many rebuilt pages the cache holds now.
    int32_t CachedPages() const { return static_cast<int32_t>(pageCache_.size()); }

    // --- reading pages (rpPreviewPages_access.cpp)
    int32_t GetCount() override;
    // The page as a page object that belongs to the page cache: valid until the cache drops
    // it (after PagesInCache further requests, or anything that empties the cache). Callers
    // never free it; one that holds it across store calls keeps a QPointer and asks again
    // when it is null. None when the store has no pages; an index outside raises the list
    // error.
    TrpReportPage* GetPage(int32_t index) override;
    // Width and height in whole pixels; (0, 0) outside the pages.
    QPoint GetPageSize(int32_t index) override;
    void AddEmptyPage(int32_t index) override;
    void DeletePage(int32_t index) override;
    void ModifyPage(int32_t index, TrpReportPage* page) override;
    void AddFrom(TrpReport& report) override;
    void ObjectOver(int32_t index, int32_t x, int32_t y, int32_t button, uint32_t shift, double scale,
                    int32_t offsetX, int32_t offsetY, bool click, int32_t& cursor, bool doubleClick) override;

    // --- filling (rpPreviewPages.cpp)
    void Clear() override;
    void Initialize() override;
    void AddObject(TrpComponent* object) override;
    void AddPage(TrpReportPage* page) override;
    void AddSourcePage(TrpReportPage* page) override;
    void AddToSourcePage(TrpComponent* object) override;
    void BeginPass() override;
    void ClearFirstPassPages() override;
    void CutObjects(int32_t position) override;
    void Finish() override;
    void IncLogicalPageNumber() override;
    void ResetLogicalPageNumber() override;
    void PasteObjects(double x, double y) override;
    void ShiftAnchors(int32_t from, int32_t newTop) override;
    void AddPicture(TrpPictureView* picture) override;
    bool BandExists(TrpBand* band) override;
    int32_t GetCurPosition() override;
    int32_t GetAnchorCurPosition() override;
    double GetLastY(double columnPosition) override;
    int32_t GetLogicalPageNo() override;
    int32_t GetLogicalTotalPages() override;
    // Anchors: a named position (page, top) the links "#name" of the preview go to. The last
    // one added of a name (letter case ignored) is found.
    void AddAnchor(const QString& text);
    TrpXMLItem* FindAnchor(const QString& text);
    // The anchor's page from 1; 1 when there is no such anchor.
    int32_t GetAnchorPage(const QString& text);
    // The paper of the source page of `page` becomes custom, of the size in pixels given
    // (margins included); nothing for a page that is no source page's template.
    void UpdatePageDimensions(TrpReportPage* page, double width, double height);

    // --- files (rpPreviewPages_file.cpp)
    // The reference form reads the whole stream now (no partial loading).
    void LoadFromStream(QIODevice& stream, bool allowPartialLoading) override;
    void LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartialLoading) override;
    void SaveToStream(QIODevice& stream) override;
    bool LoadFromFile(const QString& fileName, bool exceptionIfNotFound) override;
    // Replaces the file atomically: a failed save leaves the old file whole.
    void SaveToFile(const QString& fileName) override;

    // --- output (rpPreviewPages_output.cpp)
    void DrawPage(int32_t index, QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                  const TrpDrawContext& context) override;
    // --- printing (rpPreviewPages_print.cpp)
    // Prints on the current printer with the report's print options (after the print dialog
    // when they ask for it): false without a printer, when the dialog is cancelled and when the
    // printer selected is not valid.
    bool Print() override;
    bool Export(TrpCustomExportFilter* filter) override;

private:
    friend class TrpOutline;
    friend class TrpPrintRun;

    // The report's engine runs now.
    bool EngineRunning() const;
    // In the first (or final) pass of a double-pass run.
    bool FirstOfTwoPasses() const;
    bool FinalOfTwoPasses() const;
    // The element of page `index`; raises the list error outside.
    TrpXMLItem* PageItem(int32_t index) const;
    TrpXMLItem* RootItem(const QString& name) const;
    void ClearPageCache();
    // The source index of a page element "page<N>" (N of at most five digits), or -1.
    static int32_t SourceIndexOf(QStringView elementName);
    // A new page of a whole-page element's class (a report page or a dot-matrix page);
    // EClassNotFound for any other name.
    static std::unique_ptr<TrpReportPage> NewWholePage(QStringView elementName);
    static bool IsWholePage(QStringView elementName);
    void AddObjectItem(TrpXMLItem* parent, TrpComponent* object, bool wholePage);
    // The prepared page of an element, rebuilt.
    std::unique_ptr<TrpReportPage> RebuildPage(TrpXMLItem* item);
    void RebuildChildren(TrpXMLItem* item, TrpComponent* parent);
    // The object an alias element starts from: the source object as its base text reads.
    const TrpComponent& Prototype(TrpComponent* source);
    // Writes a page whole (every object under its class name) into the element.
    void WriteWholePage(TrpXMLItem* item, TrpReportPage* page);
    void MovePageToCacheFront(size_t position);
    void InsertIntoCache(int32_t index, std::unique_ptr<TrpReportPage> page);
    // Reads a prepared report from the document's stream choice; the store changes only when
    // the whole file is sound.
    void Load(std::unique_ptr<TrpXMLDocument> document);
    void ExportPage(TrpCustomExportFilter& filter, int32_t index, const QList<int>& pageNumbers);
    void ExportPageObjects(TrpCustomExportFilter& filter, TrpReportPage& page, int32_t index);
    void ExportObject(TrpCustomExportFilter& filter, TrpComponent* object);

    TrpDictionary dictionary_;
    std::unique_ptr<TrpPictureCache> pictureCache_;
    std::vector<std::unique_ptr<TrpReportPage>> sourcePages_;
    std::unique_ptr<TrpXMLDocument> xmlDoc_;
    TrpXMLItem* pagesItem_ = nullptr;       // "previewpages"
    // Rebuilt pages with their page index, the most recently used first.
    std::vector<std::pair<int32_t, std::unique_ptr<TrpReportPage>>> pageCache_;
    // Per source object, the object its base text reads as (made on first use).
    std::map<const TrpComponent*, std::unique_ptr<TrpComponent>> prototypes_;
    int32_t copyNo_ = 0;
    double printScale_ = 1;
    int32_t printedSheets_ = 0;
    int32_t firstObjectIndex_ = 0;          // objects of the last page when the pass began
    int32_t firstPageIndex_ = -1;           // last page when the pass began; -1: the store was empty
    int32_t firstOutlineIndex_ = 0;         // top-level outline entries when the pass began
    int32_t logicalPageN_ = 0;              // running logical page number
    qint64 xmlSize_ = 0;                    // estimated bytes added since the last memory check
    double lastY_ = 0;                      // bottom of the last page of a report appended by AddFrom
};
