#pragma once

// The page canvas of the report designer. It shows the objects of one report page at a zoom
// scale over a grid, draws band captions, object edges and selection handles, keeps the bands
// of a report page stacked in their printing order and re-attaches objects to the band they
// lie on. Objects are moved, sized and inserted with the mouse (rpDesgnWorkspace_mouse.cpp)
// and the keyboard (rpDesgnWorkspace_keys.cpp), and a memo's text can be typed in place.
//
// On a report page the workspace covers only the printable area: it lies on top of a
// TMarginsPanel that stands for the whole sheet, both children of the designer's scroll box.
// Positions are doubles in page units (pixels at 96 per inch and scale 1); every conversion to
// pixels rounds half to even. Everything the mouse draws while it moves (rubber band,
// insertion rectangle, line cross, guide preview) is painted from state in paintEvent.

#include "rpUnicodeCtrls.h"

#include "report/core/Colors.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"

#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;
class TrpDesignerWorkspace;
class TrpPage;
struct ScriptClassInfo;

// Page units per millimetre, centimetre, tenth of an inch, inch and character cell.
inline constexpr double rp01cm = 3.77953;
inline constexpr double rp1cm = 37.7953;
inline constexpr double rp01in = 9.6;
inline constexpr int rp1in = 96;
inline constexpr double rp1CharX = 9.6;
inline constexpr int rp1CharY = 17;

// Screen cursor numbers of the designer's own cursors: the pencil of line insertion and the
// hand, zoom and format tools.
inline constexpr int crPencil = 11;

enum TrpGridType { gt1pt, gt1cm, gt1in, gtDialog, gtChar, gtNone };
enum TrpDesignMode { dmSelect, dmInsert, dmDrag };
// Which handle of a single selected object the mouse is on: none, the four corners, the
// middles of the right, left, top and bottom edges, the two end points of a diagonal line.
enum TrpCursorType { ct0, ct1, ct2, ct3, ct4, ct5, ct6, ct7, ct8, ct9, ct10 };

// The object class armed for insertion and the rectangle it will take (page units).
struct TrpInsertion {
    const ScriptClassInfo* ComponentClass = nullptr;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    double OriginalWidth = 0;  // the default size given when the insertion was armed
    double OriginalHeight = 0;
    uint16_t Flags = 0;        // from the object registry; lines: non-zero is a free line
};

// The designer's object lists, shared with the designer (not owned by the workspace).
using TrpObjectList = std::vector<QPointer<TrpComponent>>;

// The whole sheet of paper behind the workspace: its frame, the printable outline, and mouse
// input passed on to the workspace.
class TMarginsPanel : public QWidget {
public:
    TMarginsPanel(QWidget* parent, TrpDesignerWorkspace* workspace);

    TrpDesignerWorkspace* FWorkspace;
    void PaintTo(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF ToWorkspace(const QPointF& point) const;
};

// The borderless editor that opens over a memo so that its text can be typed in place.
class TInplaceMemo : public TUnicodeMemo {
public:
    explicit TInplaceMemo(TrpDesignerWorkspace* workspace);

    // Opens over the memo with its text (the final line break dropped), font and colour.
    void Edit(TrpCustomMemoView* c);
    // Writes a changed text and size back to the memo and hides.
    void EditDone();
    // Grows to fit the lines typed.
    void AutoGrow();

    TrpDesignerWorkspace* FDesigner;
    QPointer<TrpCustomMemoView> FObject;
    QSize FOriginalSize;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool editing_ = false;
};

class TrpDesignerWorkspace : public QWidget {
    friend class TInplaceMemo;

public:
    // The mouse gesture. Declared in the class: the page's duplex modes already use dmNone.
    enum TrpDesignMode1 {
        dmNone, dmMove, dmSize, dmSizeBand, dmScale, dmInplaceEdit, dmSelectionRect, dmInsertObject, dmInsertLine,
        dmMoveGuide, dmContainer
    };

    // `owner` receives the margins panel; the workspace's parent is set with SetParent.
    explicit TrpDesignerWorkspace(QWidget* owner = nullptr);
    ~TrpDesignerWorkspace() override;

    // The margins panel gets the same parent first, then the workspace above it.
    void SetParent(QWidget* parent);

    // --- properties
    double BandHeader() const { return FBandHeader; }
    void SetBandHeader(double value) { FBandHeader = value; }
    bool FreeBandsPlacement() const { return FFreeBandsPlacement; }
    void SetFreeBandsPlacement(bool value) { FFreeBandsPlacement = value; }
    int GapBetweenBands() const { return FGapBetweenBands; }
    void SetGapBetweenBands(int value) { FGapBetweenBands = value; }
    bool GridAlign() const { return FGridAlign; }
    void SetGridAlign(bool value) { FGridAlign = value; }
    bool GridLCD() const { return FGridLCD; }
    void SetGridLCD(bool value) { FGridLCD = value; }
    double GridX() const { return FGridX; }
    void SetGridX(double value) { FGridX = value; }
    double GridY() const { return FGridY; }
    void SetGridY(double value) { FGridY = value; }
    TrpObjectList* Objects() const { return FObjects; }
    void SetObjects(TrpObjectList* value) { FObjects = value; }
    TrpObjectList* SelectedObjects() const { return FSelectedObjects; }
    void SetSelectedObjects(TrpObjectList* value) { FSelectedObjects = value; }
    double OffsetX() const { return FOffsetX; }
    void SetOffsetX(double value) { FOffsetX = value; }
    double OffsetY() const { return FOffsetY; }
    void SetOffsetY(double value) { FOffsetY = value; }
    TrpPage* Page() const { return FPage; }
    void SetPage(TrpPage* value) { FPage = value; }
    bool ShowEdges() const { return FShowEdges; }
    void SetShowEdges(bool value) { FShowEdges = value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TrpGridType GridType() const { return FGridType; }
    void SetGridType(TrpGridType value);
    double Scale() const { return FScale; }
    void SetScale(double value);
    bool ShowBandCaptions() const { return FShowBandCaptions; }
    void SetShowBandCaptions(bool value);
    bool ShowGrid() const { return FShowGrid; }
    void SetShowGrid(bool value);
    const TrpInsertion& Insertion() const { return FInsertion; }
    bool IsMouseDown() const { return FMouseDown; }
    TrpDesignMode1 Mode() const { return FMode1; }
    TrpDesignMode DesignMode() const { return FMode; }
    TrpCursorType CursorType() const { return FCT; }
    // The margins panel's top-left corner in the parent.
    QPoint Origin() const;
    void SetOrigin(const QPoint& value);
    TMarginsPanel* MarginsPanel() const { return FMarginsPanel.data(); }
    TInplaceMemo* InplaceMemo() const { return FInplaceMemo; }
    TrpCustomMemoView* InplaceObject() const { return FInplaceObject.data(); }
    const TrpRect& SelectionRect() const { return FSelectionRect; }
    // The screen cursor number the workspace shows (0 default; negative Qt shapes; 11 the
    // pencil; 150 to 152 the tools).
    int CursorCode() const { return FCursorCode; }
    void SetCursorCode(int code);

    // --- events (the workspace is the sender)
    std::function<void(TrpDesignerWorkspace*)> OnModify;
    std::function<void(TrpDesignerWorkspace*)> OnEdit;
    std::function<void(TrpDesignerWorkspace*)> OnInsert;
    std::function<void(TrpDesignerWorkspace*, const TrpRect&)> OnNotifyPosition;
    std::function<void(TrpDesignerWorkspace*)> OnSelectionChanged;
    std::function<void(TrpDesignerWorkspace*)> OnTopLeftChanged;
    // The context menu of a right-button press; none: no menu.
    std::function<void(TrpDesignerWorkspace*, const QPoint& globalPosition)> OnPopupMenu;

    // --- model
    // The sheet size and margins in pixels at scale 1; re-applies the scale and lays the
    // bands out again.
    void SetPageDimensions(int AWidth, int AHeight, const QMargins& AMargins);
    const QMargins& Margins() const { return FMargins; }
    int PageWidth() const { return FPageWidth; }
    int PageHeight() const { return FPageHeight; }
    void DisableUpdate();
    void EnableUpdate();
    bool UpdatesDisabled() const { return FDisableUpdate; }
    // Repaints, then reports the selection bounds (or an empty rectangle).
    void UpdateView();
    // Stacks the bands in printing order and re-attaches the objects to the band they lie on
    // (left on the page at their absolute positions when `AttachObjects` is false).
    void AdjustBands(bool AttachObjects = true);
    // Selected objects, a selection of only the page or the report counting as none.
    int SelectionCount() const;
    // Left, top, width, height: one object's own bounds, or the absolute bounds of several.
    TrpRect SelectionBounds() const;
    // The selected object whose bottom-right corner multi-object scaling grips.
    TrpComponent* ScaleHandleObject() const;
    // One OnModify when something changed since the last one.
    void FlushModified();
    // Selects the other members of groups, reports the new selection and repaints.
    void AfterSelectionChange();
    void RecalcBandHeader();

    // --- painting: the whole client area onto `painter` (the off-screen image in paintEvent).
    void PaintTo(QPainter& painter);
    virtual void PaintObjects();

    // --- mouse (X, Y in workspace pixels)
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y);
    virtual void MouseMove(Qt::KeyboardModifiers shift, double X, double Y);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y);
    virtual void DblClick();
    // Parks the insertion marks when the mouse leaves (also called by the margins panel).
    void ClearInsertionMarks();
    virtual void SetInsertion(const ScriptClassInfo* AClass, double AWidth, double AHeight, uint16_t AFlag);
    // Hook for guide snapping, called for every adjusted mouse step.
    virtual void SnapToGuides(double& kx, double& ky, bool& skip);

    // --- keyboard and object commands
    virtual void KeyDown(int key, Qt::KeyboardModifiers shift);
    virtual void KeyUp(int key, Qt::KeyboardModifiers shift);
    virtual void DeleteObjects();
    virtual void EditObject();
    void GroupObjects();
    void UngroupObjects();

    // Whether an object of the page lies in its list (not freed, not another page's).
    bool IsSelected(const TrpComponent* object) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool focusNextPrevChild(bool next) override;

    // Painting helpers (FCanvas is the painter during PaintTo).
    void PaintBackground();
    void PaintObject(TrpReportComponent* c);
    void PaintHandles(TrpComponent* c);
    void PaintOverlays();

    // Mouse helpers.
    bool HitTest(TrpComponent* c, double X, double Y) const;
    void AdjustDelta(Qt::KeyboardModifiers shift, double& kx, double& ky, bool& skip);
    void FitBandToObjects(TrpBand* band);
    void NotifyPosition(const TrpRect& rect);
    void RepaintNow();
    void SelectOnly(TrpComponent* object);
    void ClearSelectionToPage();
    TrpObjectList SelectionCopy() const;
    bool SelectionDiffers(const TrpObjectList& copy) const;
    void ApplyCursorForType();
    void ScrollIntoView(double X, double Y);
    void ParkInsertion();
    QWidget* ScrollingParent() const;

    // Keyboard helpers.
    void MoveSelection(int dx, int dy, Qt::KeyboardModifiers shift);
    void ResizeSelection(int dx, int dy);
    void SelectNeighbour(int dx, int dy);
    void DockToNeighbour(int dx, int dy);
    void SelectNext();
    // The nearest object in the direction (SelectNeighbour's rule); `stripOnly` keeps only
    // objects in the strip.
    TrpComponent* FindNeighbour(TrpComponent* p, int dx, int dy, bool stripOnly) const;

    // The live report components of the list, in order.
    std::vector<TrpComponent*> LiveObjects() const;
    std::vector<TrpComponent*> LiveSelection() const;
    // The first SelectionCount selected objects.
    std::vector<TrpComponent*> CountedSelection() const;

    double FBandHeader = rp01cm * 5;
    QPainter* FCanvas = nullptr;
    TColor FColor = 0xFFFFFF;
    TrpCursorType FCT = ct0;
    bool FDblClicked = false;
    bool FDisableUpdate = false;
    bool FFreeBandsPlacement = false;
    bool FGridAlign = true;
    bool FGridLCD = false;
    bool FShowBandCaptions = false;
    bool FShowEdges = true;
    bool FShowGrid = true;
    bool FModifyFlag = false;
    bool FMouseDown = false;
    int FGapBetweenBands = 0;
    TrpGridType FGridType = gt1cm;
    double FGridX = rp01cm;
    double FGridY = rp01cm;
    TInplaceMemo* FInplaceMemo = nullptr;
    QPointer<TrpCustomMemoView> FInplaceObject;
    TrpInsertion FInsertion;
    double FLastMousePointX = 0;
    double FLastMousePointY = 0;
    QMargins FMargins;          // left, top, right, bottom in pixels at scale 1
    int FPageWidth = 0;
    int FPageHeight = 0;
    QPointer<TMarginsPanel> FMarginsPanel;
    TrpDesignMode FMode = dmSelect;
    TrpDesignMode1 FMode1 = dmNone;
    TrpObjectList* FObjects = nullptr;
    TrpObjectList* FSelectedObjects = nullptr;
    double FOffsetX = 0;
    double FOffsetY = 0;
    TrpPage* FPage = nullptr;
    double FScale = 1;
    TrpRect FScaleRect;
    TrpRect FScaleRect1;
    std::vector<TrpAlign> FSavedAlign;
    TrpRect FSelectionRect;     // the rubber band in pixels
    QPointer<TrpBand> FSizedBand;
    int FCursorCode = 0;
    bool FShowLineCross = false; // the line insertion's cross is shown
};
