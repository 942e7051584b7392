#pragma once

// The designer component: the defaults, restrictions, folders and events through which the
// application takes part in designing; the most recently created one is the process-wide
// current component that the designer window, its restriction checks and the sample format
// read. Also the units of the designer and the sample format of new memos.

#include "rpDesgnWorkspace1.h"

#include "report/model/rpClass.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpFont.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class TrpMemoView;
class TrpCustomMemoView;

// A set of restrictions: bit n stands for the element of ordinal n.
using TrpDesignerRestrictions = uint32_t;
constexpr TrpDesignerRestrictions RestrictionBit(TrpDesignerRestriction restriction)
{
    return 1u << static_cast<int>(restriction);
}
// What a preview designer never offers: deleting and creating pages, new and loaded reports,
// preview, variables and report options (the set value 950).
inline constexpr TrpDesignerRestrictions kPreviewDesignerRestrictions =
    RestrictionBit(drDontDeletePage) | RestrictionBit(drDontCreatePage) | RestrictionBit(drDontCreateReport) |
    RestrictionBit(drDontLoadReport) | RestrictionBit(drDontPreviewReport) | RestrictionBit(drDontEditVariables) |
    RestrictionBit(drDontChangeReportOptions);

enum TrpDesignerUnits : int { duCM, duInches, duPixels, duChars };

// The window colour (system colour 5): the default colour of the workspace and tool windows.
inline constexpr int32_t kClWindow = static_cast<int32_t>(0xFF000005u);

class TrpDesigner : public QObject {
    Q_OBJECT
public:
    // Becomes the current designer component.
    explicit TrpDesigner(QObject* owner = nullptr);
    // Stops being the current component when it still is (an older one is not brought back).
    ~TrpDesigner() override;

    bool CloseQuery = true;
    QString DefaultScriptLanguage = QStringLiteral("RireroRidoze");
    const TrpFont& DefaultFont() const { return defaultFont_; }
    // Copies the font.
    void SetDefaultFont(const TrpFont& font) { defaultFont_.Assign(font); }
    double DefaultLeftMargin = 10;
    double DefaultRightMargin = 10;
    double DefaultTopMargin = 10;
    double DefaultBottomMargin = 10;
    int32_t DefaultPaperSize = kPaperA4;
    TPrinterOrientation DefaultOrientation = poPortrait;
    bool Gradient = false;
    int32_t GradientStart = kClWindow;
    int32_t GradientEnd = 11982554;
    QString OpenDir;
    QString SaveDir;
    QString TemplatesExt = QStringLiteral("zi3");
    QString TemplateDir;
    bool Standalone = false;
    TrpDesignerRestrictions Restrictions = 0;
    bool RTLLanguage = false;
    bool MemoParentFont = false;

    std::function<bool(TrpReport& report)> OnLoadReport;
    std::function<bool(TrpReport& report, const QString& fileName)> OnLoadRecentReport;
    std::function<bool(TrpReport& report, bool saveAs)> OnSaveReport;
    std::function<void(QObject* designerWindow)> OnShow;
    std::function<void(TrpComponent* object)> OnInsertObject;
    std::function<void(QObject* designerWindow)> OnShowStartupScreen;
    std::function<void(QStringList& list)> OnGetTemplateList;

    // The values of the component on the device frame (rpDesigner1): Arial of height -13.
    void ApplyDeviceFrameValues();

private:
    TrpFont defaultFont_;
};

// The current designer component; none when the last one went.
TrpDesigner* CurrentDesignerComponent();
void SetCurrentDesignerComponent(TrpDesigner* component);

// Whether an operation is allowed: no current component, or the restriction not in force.
bool CheckOp(TrpDesignerRestriction restriction);

// Millimetres in the designer's units and back; for characters horizontal and vertical cells
// differ and the result is a whole number of cells.
double mmToUnits(double mm, TrpDesignerUnits units, bool horizontal = true);
double UnitsTomm(double value, TrpDesignerUnits units, bool horizontal = true);

// The look of the next memo to insert, kept as a memo.
class TSampleFormat {
public:
    TSampleFormat();
    ~TSampleFormat();
    TSampleFormat(const TSampleFormat&) = delete;
    TSampleFormat& operator=(const TSampleFormat&) = delete;

    TrpMemoView& Memo() { return *memo_; }
    // Copies colour, font (not to a dot-matrix memo), frame, alignments, reading order and
    // the parent-font flag to a memo, and back from one.
    void ApplySample(TrpCustomMemoView& memo) const;
    void SetAsSample(const TrpCustomMemoView& memo);

private:
    std::unique_ptr<TrpMemoView> memo_;
};
