#pragma once

// The preview control: the prepared pages laid out in rows at a zoom (TrpPreviewWorkspace over
// TrpPageList), the outline tree or the thumbnail strip beside them, a message panel with a
// cancel button while a report is built, and the commands behind the preview window's buttons.

#include "rpCtrls.h"

#include "report/model/rpClass_options.h"
#include "report/core/Services.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTreeWidget;
class TrpPreview;

struct TrpPageItem {
    int Width = 0;   // size at the area's zoom, pixels
    int Height = 0;
    int OffsetX = 0; // position in the scrolled space, pixels
    int OffsetY = 0;
};

// The layout of the pages in rows, 10 pixels apart, each row centred.
class TrpPageList {
public:
    void AddPage(int width, int height, double zoom);
    void Clear() { items_.clear(); maxWidth_ = 0; }
    int Count() const { return static_cast<int>(items_.size()); }
    const TrpPageItem& Item(int index) const { return items_[static_cast<size_t>(index)]; }
    void CalcBounds(int clientWidth);
    // The page whose row holds offsetY (offsetX 0: the page that counts as current with the
    // view's top there), else the page whose rectangle holds the point; −1 when none.
    int FindPage(int offsetY, int offsetX) const;
    // An existing page's rectangle; past the list an A4-sized default centred in the area.
    QRect GetPageBounds(int index, int clientWidth, double scale, bool rtl) const;
    QPoint GetMaxBounds() const;

private:
    std::vector<TrpPageItem> items_;
    int maxWidth_ = 0;
};

// One text run of a page drawn at scale 1, for the search.
struct TrpFoundRun {
    QString Text;
    QRectF Rect;
};

// The scrolling page area; a second instance is the thumbnail strip.
class TrpPreviewWorkspace : public TrpScrollWin {
public:
    TrpPreviewWorkspace(TrpPreview* preview, QWidget* parent);

    TrpPageList& PageList() { return pageList_; }
    TrpCustomPreviewPages* PreviewPages = nullptr;
    TColor BackColor = 0x808080;
    TColor FrameColor = 0;
    TColor ActiveFrameColor = 0x804020;
    bool IsThumbnail = false;
    bool Locked = false;
    bool RTLLanguage = false;
    bool DisableUpdate = false;
    int PageNo = 1;
    double Zoom = 1;
    int DefaultCursor;

    void AddPage(int width, int height) { pageList_.AddPage(width, height, Zoom); }
    void ClearPageList() { pageList_.Clear(); }
    void CalcPageBounds(int clientWidth) { pageList_.CalcBounds(clientWidth); }
    void UpdateScrollRanges();
    void ScrollToPage(int pageNo);
    void SetPosition(int pageN, int top);
    int GetTopPosition();
    void Repaint() { viewport()->update(); }

    // The search state of this area.
    void StartSearch(const QString& text, bool caseSensitive, int fromPage);
    bool FindNext();
    bool Found() const { return found_; }
    int FoundPage() const { return lastFoundPage_; }
    QRectF FoundRect() const { return foundRect_; }
    void ForgetSearchImage() { searchPage_ = -1; }
    void ClearSearch();

protected:
    void HorzScrollChanged() override;
    void VertScrollChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect PageBounds(int index) const;
    void ObjectOverAt(const QPoint& point, bool click, bool doubleClick, int button);
    TrpPreview* preview_;
    TrpPageList pageList_;
    bool down_ = false;
    QPoint lastPoint_;
    QElapsedTimer lastClick_;
    // Search.
    QString searchText_;
    bool caseSensitive_ = false;
    bool found_ = false;
    QRectF foundRect_;
    int lastHit_ = -1;
    int lastFoundPage_ = 0;
    int searchPage_ = -1;
    std::vector<TrpFoundRun> runs_;
};

class TrpPreview : public QWidget, public TrpCustomPreview {
public:
    explicit TrpPreview(QWidget* parent = nullptr);
    ~TrpPreview() override;

    // TrpCustomPreview
    void Init() override;
    void Lock() override;
    void Unlock() override;
    void RefreshReport() override;
    void InternalOnProgressStart(TrpReport& sender, TrpProgressType type, int32_t progress) override;
    void InternalOnProgress(TrpReport& sender, TrpProgressType type, int32_t progress) override;
    void InternalOnProgressStop(TrpReport& sender, TrpProgressType type, int32_t progress) override;
    void SetPageNo(int32_t value) override;
    void SetPosition(int32_t pageN, int32_t top) override;
    void SetObjectHint(const QString& hint, bool) override;
    void InvalidatePage() override;

    int PageCount() const;
    int PageNo() const { return pageNo_; }
    double Zoom() const { return zoom_; }
    void SetZoom(double value);
    TrpZoomMode ZoomMode() const { return zoomMode_; }
    void SetZoomMode(TrpZoomMode value);
    bool Running() const { return running_; }
    bool Locked() const { return locked_; }
    int GetTopPosition() { return workspace_->GetTopPosition(); }
    void First() { SetPageNo(1); }
    void Prior() { SetPageNo(pageNo_ - 1); }
    void Next() { SetPageNo(pageNo_ + 1); }
    void Last() { SetPageNo(PageCount()); }
    void MouseWheelScroll(int delta, bool horz, bool zoom);
    bool OutlineVisible() const { return outlineVisible_; }
    void SetOutlineVisible(bool value);
    bool ThumbnailVisible() const { return thumbnailVisible_; }
    void SetThumbnailVisible(bool value);
    void SetOutlineWidth(int value);
    void ShowMessage(const QString& text);
    void HideMessage();

    void Print();
    void Export(TrpCustomExportFilter* filter);
    void SaveToFile();
    void SaveToFile(const QString& fileName);
    void LoadFromFile();
    void LoadFromFile(const QString& fileName);
    void Clear();
    void AddPage();
    void DeletePage();
    void PageSetupDlg();
    void Edit();
    void ShowTemplate();
    void Find();
    void FindNext();
    bool FindText(const QString& text, bool fromTop, bool caseSensitive);
    bool FindTextFound() const { return workspace_->Found(); }
    void FindTextClear();
    void Cancel();
    void RebuildPageList();
    void RebuildOutline();

    TrpPreviewWorkspace* Workspace() const { return workspace_; }
    TrpPreviewWorkspace* Thumbnail() const { return thumbnail_; }
    QTreeWidget* OutlineTree() const { return outline_; }
    QPushButton* CancelButton() const { return cancelButton_; }

    // Told when the current page changed, when the zoom changed (the window's zoom box), when
    // the running state changed (the window's buttons), and of object hints.
    std::function<void(int pageNo)> OnPageChanged;
    std::function<void()> OnZoomChanged;
    std::function<void()> OnRunningChanged;
    std::function<void(const QString& hint)> OnHint;
    std::function<void()> OnDblClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TrpPreviewWorkspace;
    int ScrollBarWidth() const;
    void PageChanged();
    bool HasButton(TrpPreviewButton button) const;
    void ForgetReport();

    TrpPreviewWorkspace* workspace_;
    TrpPreviewWorkspace* thumbnail_;
    QTreeWidget* outline_;
    QMenu* outlinePopup_;
    QSplitter* splitter_;
    QWidget* messagePanel_;
    QLabel* messageLabel_;
    QPushButton* cancelButton_;
    QPointer<QObject> reportGuard_;
    bool allowF3_ = false;
    bool locked_ = false;
    bool refreshing_ = false;
    bool running_ = false;
    bool outlineVisible_ = false;
    bool thumbnailVisible_ = false;
    int pageNo_ = 1;
    double zoom_ = 1;
    TrpZoomMode zoomMode_ = zmDefault;
    QElapsedTimer tick_;
    int interval_ = 20;
};
