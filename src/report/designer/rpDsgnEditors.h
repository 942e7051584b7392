#pragma once

// The editors of the report's own classes. Component editors give pages, memos, lines,
// pictures, bands, dialog controls and subreports their double-click action and their
// context-menu switches; property editors show lengths in the designer's units, paper sizes,
// printers, frames, pictures, lines of text, data sets and fields, events, styles, brush and
// frame styles and Boolean values. rpDsgnRegister enters them in the registries.

#include "rpDesgn.h"
#include "rpDesgnWorkspace.h"
#include "rpViewEditor.h"

#include <functional>
#include <optional>

class ScriptObject;
class TrpBand;

// Where a designer without a window of its own keeps the units its lengths are shown in
// (the designer window has its own).
class ITrpDesignUnits {
public:
    virtual ~ITrpDesignUnits() = default;
    virtual std::optional<TrpDesignerUnits> DesignUnits() const = 0;
};

// The units the editors of a designer show lengths in; none for a designer that has no units
// (its lengths show as stored: pixels, and millimetres for paper).
std::optional<TrpDesignerUnits> DesignUnitsOf(const TrpCustomDesigner* designer);

// Opens the handler of an event in the script, creating it when the event names none.
// Steps as the event editor takes them:
// an assigned handler is located and shown (caret at column 1 of its body line; false);
// an empty one becomes the object's Name followed by the event's name, stored, located or
// inserted, shown with the caret at column 3 of its body line (true). When it can be neither
// found nor inserted: with `raiseWhenMissing` the event is cleared and "dsCantFindProc"
// raised, otherwise the caret goes to line 1 and the result is false.
struct TrpEventAccess {
    QString ObjectName;                         // the handler's name starts with it
    QString EventName;                          // "OnBeforePrint"
    QString EventType;                          // "TrpNotifyEvent": the handler's parameters
    std::function<QString()> Get;               // the handler named now
    std::function<void(const QString&)> Set;    // names another
};
bool OpenEventHandler(TrpCustomDesigner* designer, const TrpEventAccess& event, bool raiseWhenMissing);

// --- component editors

class TrpPageEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TrpPageEditor"); }
    // The page options dialog for a report page that is no subreport's page.
    bool Edit() override;
    bool HasEditor() const override { return true; }
};

class TrpMemoEditor : public TrpCustomMemoEditor {
public:
    using TrpCustomMemoEditor::TrpCustomMemoEditor;
    QString ClassName() const override { return QStringLiteral("TrpMemoEditor"); }
    // The memo dialog; OK stores its text and clears the data field.
    bool Edit() override;
    bool HasEditor() const override { return true; }
};

class TrpSysMemoEditor : public TrpCustomMemoEditor {
public:
    using TrpCustomMemoEditor::TrpCustomMemoEditor;
    QString ClassName() const override { return QStringLiteral("TrpSysMemoEditor"); }
    bool Edit() override;
    bool HasEditor() const override { return true; }
};

class TrpLineEditor : public TrpViewEditor {
public:
    using TrpViewEditor::TrpViewEditor;
    QString ClassName() const override { return QStringLiteral("TrpLineEditor"); }
    // Diagonal (0) and stretching to the band's height (1), then the view items.
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpPictureEditor : public TrpViewEditor {
public:
    using TrpViewEditor::TrpViewEditor;
    QString ClassName() const override { return QStringLiteral("TrpPictureEditor"); }
    // The picture dialog; OK copies the picture back and hands it to the picture cache.
    bool Edit() override;
    bool HasEditor() const override { return true; }
    // Auto size (0), stretched (1), centred (2), aspect ratio kept (3), then the view items.
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpBandEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TrpBandEditor"); }
    // With at most one object selected: the band switches 10 to 14 its kind offers.
    void GetMenuItems() override;
    // On the first selected band unless it may not be modified (then false).
    bool Execute(int tag, bool checked) override;

protected:
    QAction* AddItem(const QString& resourceName, int tag, bool checked);
    bool SingleSelection() const;
    // The first selected object as a band of the type, none when restricted or of another kind.
    template <class T>
    T* FirstModifiable() const;
};

class TrpDataBandEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpDataBandEditor"); }
    bool Edit() override;
    bool HasEditor() const override { return true; }
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpHeaderEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpHeaderEditor"); }
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpPageHeaderEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpPageHeaderEditor"); }
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpPageFooterEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpPageFooterEditor"); }
    // First and last page only; no band switches.
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpGroupHeaderEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpGroupHeaderEditor"); }
    bool Edit() override;
    bool HasEditor() const override { return true; }
    void GetMenuItems() override;
    // Resetting page numbers also starts a new page; unticking it leaves the new page.
    bool Execute(int tag, bool checked) override;
};

class TrpColumnHeaderEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpColumnHeaderEditor"); }
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

class TrpColumnFooterEditor : public TrpBandEditor {
public:
    using TrpBandEditor::TrpBandEditor;
    QString ClassName() const override { return QStringLiteral("TrpColumnFooterEditor"); }
    void GetMenuItems() override {}
    bool Execute(int, bool) override { return false; }
};

class TrpOverlayEditor : public TrpColumnFooterEditor {
public:
    using TrpColumnFooterEditor::TrpColumnFooterEditor;
    QString ClassName() const override { return QStringLiteral("TrpOverlayEditor"); }
};

class TrpDialogControlEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TrpDialogControlEditor"); }
    // Opens the control's OnClick handler in the script.
    bool Edit() override;
    bool HasEditor() const override { return true; }
};

class TrpSubreportEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    QString ClassName() const override { return QStringLiteral("TrpSubreportEditor"); }
    // Shows the subreport's page; always false.
    bool Edit() override;
    bool HasEditor() const override { return true; }
    void GetMenuItems() override;
    bool Execute(int tag, bool checked) override;
};

// --- property editors

class TrpMemoProperty : public TrpClassProperty {
public:
    using TrpClassProperty::TrpClassProperty;
    QString ClassName() const override { return QStringLiteral("TrpMemoProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paDialog | paReadOnly; }
    bool Edit() override;
};

class TrpFrameProperty : public TrpClassProperty {
public:
    using TrpClassProperty::TrpClassProperty;
    QString ClassName() const override { return QStringLiteral("TrpFrameProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paDialog | paMultiSelect | paReadOnly; }
    bool Edit() override;
};

class TrpPictureProperty : public TrpClassProperty {
public:
    using TrpClassProperty::TrpClassProperty;
    QString ClassName() const override { return QStringLiteral("TrpPictureProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paDialog | paReadOnly; }
    QString GetValue() const override;
    bool Edit() override;
};

class TrpBitmapProperty : public TrpClassProperty {
public:
    using TrpClassProperty::TrpClassProperty;
    QString ClassName() const override { return QStringLiteral("TrpBitmapProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paDialog | paReadOnly; }
    QString GetValue() const override;
    bool Edit() override;
};

class TrpStringsProperty : public TrpClassProperty {
public:
    using TrpClassProperty::TrpClassProperty;
    QString ClassName() const override { return QStringLiteral("TrpStringsProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paDialog | paReadOnly; }
    bool Edit() override;
};

class TrpDataSetProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpDataSetProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpDataFieldProperty : public TrpPropertyEditor {
public:
    using TrpPropertyEditor::TrpPropertyEditor;
    QString ClassName() const override { return QStringLiteral("TrpDataFieldProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect; }
    QString GetValue() const override { return ReadText(); }
    void GetValues() override;
    void SetValue(const QString& value) override;
};

class TrpEventProperty : public TrpStringProperty {
public:
    using TrpStringProperty::TrpStringProperty;
    QString ClassName() const override { return QStringLiteral("TrpEventProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect; }
    // The script's handlers whose parameters fit the event.
    void GetValues() override;
    bool Edit() override;
};

class TrpDisplayFormatProperty : public TrpStringProperty {
public:
    using TrpStringProperty::TrpStringProperty;
    QString ClassName() const override { return QStringLiteral("TrpDisplayFormatProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paDialog | paMultiSelect | paReadOnly; }
    QString GetValue() const override;
    bool Edit() override;
};

class TrpPrinterProperty : public TrpStringProperty {
public:
    using TrpStringProperty::TrpStringProperty;
    QString ClassName() const override { return QStringLiteral("TrpPrinterProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList; }
    void GetValues() override;
};

class TrpStyleProperty : public TrpStringProperty {
public:
    using TrpStringProperty::TrpStringProperty;
    QString ClassName() const override { return QStringLiteral("TrpStyleProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect; }
    void GetValues() override;
};

// A length stored in pixels, shown and typed in the designer's units.
class TrpLocSizeXProperty : public TrpFloatProperty {
public:
    explicit TrpLocSizeXProperty(TrpCustomDesigner* designer, double ratio = rp1CharX)
        : TrpFloatProperty(designer), FRatio(ratio)
    {
    }
    QString ClassName() const override { return QStringLiteral("TrpLocSizeXProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
    // Pixels in the units and back.
    double ToUnits(double stored) const;
    double FromUnits(double value) const;

protected:
    double FRatio; // pixels of one character cell
};

class TrpLocSizeYProperty : public TrpLocSizeXProperty {
public:
    explicit TrpLocSizeYProperty(TrpCustomDesigner* designer) : TrpLocSizeXProperty(designer, rp1CharY) {}
    QString ClassName() const override { return QStringLiteral("TrpLocSizeYProperty"); }
};

// A paper length stored in millimetres, shown and typed in the designer's units.
class TrpPaperXProperty : public TrpFloatProperty {
public:
    explicit TrpPaperXProperty(TrpCustomDesigner* designer, double ratio = rp1CharX)
        : TrpFloatProperty(designer), FRatio(ratio)
    {
    }
    QString ClassName() const override { return QStringLiteral("TrpPaperXProperty"); }
    QString GetValue() const override;
    void SetValue(const QString& value) override;
    double ToUnits(double stored) const;
    double FromUnits(double value) const;

protected:
    double FRatio;
};

class TrpPaperYProperty : public TrpPaperXProperty {
public:
    explicit TrpPaperYProperty(TrpCustomDesigner* designer) : TrpPaperXProperty(designer, rp1CharY) {}
    QString ClassName() const override { return QStringLiteral("TrpPaperYProperty"); }
};

class TrpBrushProperty : public TrpEnumProperty {
public:
    using TrpEnumProperty::TrpEnumProperty;
    QString ClassName() const override { return QStringLiteral("TrpBrushProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect | paOwnerDraw; }
    void OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected) override;
    void OnDrawItem(QPainter& painter, const QRect& rect) override;
};

class TrpFrameStyleProperty : public TrpEnumProperty {
public:
    using TrpEnumProperty::TrpEnumProperty;
    QString ClassName() const override { return QStringLiteral("TrpFrameStyleProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect | paOwnerDraw; }
    int GetExtraLBSize() const override { return 36; }
    void OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected) override;
    void OnDrawItem(QPainter& painter, const QRect& rect) override;
};

class TrpStdBooleanProperty : public TrpBooleanProperty {
public:
    using TrpBooleanProperty::TrpBooleanProperty;
    TrpPropertyAttributes GetAttributes() const override { return paValueList | paMultiSelect | paOwnerDraw; }
    void OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected) override;
    void OnDrawItem(QPainter& painter, const QRect& rect) override;
};

class TrpPaperProperty : public TrpIntegerProperty {
public:
    using TrpIntegerProperty::TrpIntegerProperty;
    QString ClassName() const override { return QStringLiteral("TrpPaperProperty"); }
    TrpPropertyAttributes GetAttributes() const override { return paValueList; }
    QString GetValue() const override;
    void GetValues() override;
    void SetValue(const QString& value) override;
};
