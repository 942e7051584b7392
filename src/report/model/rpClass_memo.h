#pragma once

// The memo: the text object of a report and every cell of the device reports' tables. Its text
// layout, data and splitting come with the printable objects; here are its stored properties,
// defaults and storing rules, and the setters that store or copy. TrpMemoView and
// TrpSysMemoView only publish different sets of them.

#include "rpClass_views.h"
#include "rpWideStrings.h"

#include "report/core/Variant.h"

#include <QPointer>

class TrpStyleItem;

enum TrpHAlign : int { haLeft, haRight, haCenter, haBlock };
enum TrpVAlign : int { vaTop, vaBottom, vaCenter };

class TrpCustomMemoView : public TrpStretcheable {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpCustomMemoView();
    explicit TrpCustomMemoView(TrpComponent* owner) : TrpCustomMemoView() { AttachTo(owner); }

    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    bool AutoWidth = false;
    double CharSpacing = 0;
    bool Clipped = true;
    QString ExpressionDelimiters = QStringLiteral("[,]");
    bool FirstParaBreak = false;
    bool LastParaBreak = false;
    double GapX = 2;
    double GapY = 1;
    TrpHAlign HAlign = haLeft;
    bool HideZeros = false;
    double LineSpacing = 2;
    double ParagraphGap = 0;
    bool RTLReading = false;
    bool SuppressRepeated = false;
    bool Underlines = false;
    TrpVAlign VAlign = vaTop;
    bool WordBreak = false;
    bool WordWrap = true;
    bool Wysiwyg = true;
    bool UseDefaultCharset = false;
    Variant Value;                       // last value computed or read
    Variant LastValue = Variant::NullValue(); // previous text for SuppressRepeated

    // The text angle in degrees, kept modulo 360.
    int32_t Rotation() const { return rotation_; }
    void SetRotation(int32_t value) { rotation_ = value % 360; }

    // The lines (Memo, Lines) and the text they make, each line followed by CR LF.
    TrpWideStrings& Memo() { return memo_; }
    const TrpWideStrings& Memo() const { return memo_; }
    void SetMemo(const TrpWideStrings& lines) { memo_.Assign(lines); }
    QString Text() const { return memo_.Text(); }
    void SetText(const QString& text) { memo_.SetText(text); }
    TrpWideStrings* MemoLines() override { return &memo_; }

    TrpHighlight& Highlight() { return highlight_; }
    const TrpHighlight& Highlight() const { return highlight_; }
    void SetHighlight(const TrpHighlight& highlight) { highlight_.Assign(highlight); }
    TrpFormat& DisplayFormat() { return displayFormat_; }
    const TrpFormat& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const TrpFormat& format) { displayFormat_.Assign(format); }

    // The memo that receives the text that does not fit; forgotten when it goes.
    TrpCustomMemoView* FlowTo() const { return flowTo_.data(); }
    void SetFlowTo(TrpCustomMemoView* memo) { flowTo_ = memo; }

    // The name of the report style applied; setting it applies that style of the report.
    const QString& Style() const { return style_; }
    void SetStyle(const QString& name);
    // Takes colour, font and frame from a style; nothing for none.
    void ApplyStyle(const TrpStyleItem* style);

    bool HasAutoWidth() const override { return AutoWidth; }
    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpWideStrings memo_;
    TrpHighlight highlight_;
    TrpFormat displayFormat_;
    QPointer<TrpCustomMemoView> flowTo_;
    QString style_;
    int32_t rotation_ = 0;
};

// Publishes a memo property in a subclass's list (the storing rules go with it).
void PublishMemoProperty(RegisteredClass& cls, const char* name);

class TrpMemoView : public TrpCustomMemoView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpMemoView() = default;
    explicit TrpMemoView(TrpComponent* owner) : TrpMemoView() { AttachTo(owner); }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);
};

// The system-text object: no data binding and no expression settings.
class TrpSysMemoView : public TrpCustomMemoView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpSysMemoView() = default;
    explicit TrpSysMemoView(TrpComponent* owner) : TrpSysMemoView() { AttachTo(owner); }

    QString GetDescription() const override;

    static void RegisterClass(PropertyRegistry& registry);
};
