#pragma once

// The workspace the designer window creates: the design workspace plus the designer's tools
// (hand, zoom, text, format painter), page guides dragged out of the rulers that objects snap
// to, alignment lines shown while an edge meets another object's edge, data fields dropped
// from the data tree as memos, a drop-down that binds a memo to another field of its band's
// data set, and the simulated move that lets pasted objects follow the mouse.

#include "rpDesgnWorkspace.h"

#include <QPointer>
#include <QSizeF>

#include <vector>

#include <QListWidget>
class TrpDataTreeForm;
class TrpMemoView;
class TrpPopupForm;
class TrpReport;

// What the designer forbids (a restriction is in force when the designer component holds it).
enum TrpDesignerRestriction : int {
    drDontInsertObject, drDontDeletePage, drDontCreatePage, drDontChangePageOptions, drDontCreateReport,
    drDontLoadReport, drDontSaveReport, drDontPreviewReport, drDontEditVariables, drDontChangeReportOptions,
    drDontEditReportData, drDontShowRecentFiles, drDontEditReportScript, drDontEditInternalDatasets
};

// What the workspace asks of the designer window that hosts it.
class ITrpWorkspaceHost {
public:
    virtual ~ITrpWorkspaceHost() = default;
    // Whether memos on data bands offer the field drop-down.
    virtual bool DropFields() const = 0;
    // True when the restriction is not in force.
    virtual bool CheckOp(TrpDesignerRestriction restriction) const = 0;
    // The size of a new object whose class gives none, in page units.
    virtual QSizeF GetDefaultObjectSize() const = 0;
    // Gives a new memo the look of the sample format.
    virtual void ApplySample(TrpCustomMemoView& memo) = 0;
    // The page tabs again, showing the page of that index among the report's objects.
    virtual void ReloadPages(int index) = 0;
    // The designer's scale; setting it turns 0 into 1, limits it to 20 and passes it on to
    // the workspace.
    virtual double Scale() const = 0;
    virtual void SetScale(double value) = 0;
    // The designer's data tree, or none.
    virtual TrpDataTreeForm* DataTree() const = 0;
    // The designer component's OnInsertObject with the last memo a drop created.
    virtual void InsertedObject(TrpComponent* object) = 0;
};

enum TrpDesignTool { dtSelect, dtHand, dtZoom, dtText, dtFormat };

// One alignment line from (Left, Top) to (Right, Bottom), page units.
struct TrpGuideItem {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

class TrpVirtualGuides {
public:
    void Add(double left, double top, double right, double bottom) { items_.push_back({left, top, right, bottom}); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TrpGuideItem& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Clear() { items_.clear(); }

private:
    std::vector<TrpGuideItem> items_;
};

class TDesignerWorkspace : public TrpDesignerWorkspace {
public:
    TDesignerWorkspace(ITrpWorkspaceHost* designer, QWidget* owner = nullptr);
    ~TDesignerWorkspace() override;

    ITrpWorkspaceHost* FDesigner;

    bool ShowGuides() const { return FShowGuides; }
    void SetShowGuides(bool value);
    TrpDesignTool Tool() const { return FTool; }
    void SetTool(TrpDesignTool value) { FTool = value; }
    const TrpVirtualGuides& VirtualGuides() const { return FVirtualGuides; }
    TrpMemoView* DropDownMemo() const { return FMemo.data(); }
    QListWidget* FieldList() const { return FListBox.data(); }
    bool PopupFormVisible() const { return FPopupFormVisible; }
    bool SimulatingMove() const { return FSimulateMove; }

    // Lets pasted objects follow the mouse until the next click.
    void SimulateMove();

    // Dragging over from the data tree's tree view or from a ruler; true when accepted.
    bool DragOverFrom(QObject* source, double X, double Y);
    void DropFrom(QObject* source, double X, double Y);
    // The field drop-down's choice of a row.
    void ChooseField(int row);

    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y) override;
    void MouseMove(Qt::KeyboardModifiers shift, double X, double Y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double X, double Y) override;
    void DblClick() override;
    void KeyDown(int key, Qt::KeyboardModifiers shift) override;
    void PaintObjects() override;
    void SnapToGuides(double& kx, double& ky, bool& skip) override;
    void DeleteObjects() override;
    void SetInsertion(const ScriptClassInfo* AClass, double AWidth, double AHeight, uint16_t AFlag) override;

    // The page's guides in page units (unreadable entries count as 0).
    std::vector<double> HorizontalGuides() const;
    std::vector<double> VerticalGuides() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SnapX(double x, double& kx);
    void SnapY(double y, double& ky);
    void LinesAtHorizontalEdge(TrpComponent* moving, double left, double y, double ky);
    void LinesAtVerticalEdge(TrpComponent* moving, double top, double x, double kx);
    void WriteGuide(bool vertical, int index, double value);
    void DeleteGuide(bool vertical, int index);
    void ShowFieldDropDown();
    bool IsRuler(QObject* source, bool* left) const;
    bool IsDataTree(QObject* source) const;
    void UpdateDropDownMemo(double X, double Y);

    int FGuide = -1;
    bool FGuideVertical = false;
    QPointer<QListWidget> FListBox;
    QPointer<TrpMemoView> FMemo;
    QPointer<TrpPopupForm> FPopupForm;
    bool FPopupFormVisible = false;
    bool FShowGuides = false;
    bool FSimulateMove = false;
    TrpDesignTool FTool = dtSelect;
    TrpVirtualGuides FVirtualGuides;
    std::vector<QPointer<TrpComponent>> FVirtualGuideObjects;
    // The ruler guide being dragged in: its pixel position (-1 none) and direction.
    int FGuidePreview = -1;
    bool FGuidePreviewVertical = false;
};
