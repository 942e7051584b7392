#pragma once

// Dialog controls: report objects that wrap a native window control (a button, an edit) on a
// dialog page. The object keeps the control's bounds, font, visibility, caption, colour,
// enabled state and hint in step with it and draws the control's own picture in the designer.
// No concrete control classes are part of this system; subclasses create their widget.
//
// Controls whose object is not on a dialog page (or inside another control) live on one hidden
// parent widget per process.

#include "report/core/Colors.h"
#include "report/model/rpClass.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class TrpDialogControl : public TrpReportComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDialogControl();
    // The control goes after the object's own parts.
    ~TrpDialogControl() override;

    // The native control; the subclass creates it and hands it over here.
    QWidget* Control() const { return control_.data(); }
    void SetControl(std::unique_ptr<QWidget> control);

    // Script events: names of script procedures; empty for none.
    QString OnClick;
    QString OnDblClick;
    QString OnEnter;
    QString OnExit;
    QString OnKeyDown;
    QString OnKeyUp;
    QString OnKeyPress;
    QString OnMouseDown;
    QString OnMouseUp;
    QString OnMouseMove;
    // The application's handler, called when the dialog page is activated.
    std::function<void(TrpDialogControl& sender)> OnActivate;

    // Forwarded to the control.
    QString Caption() const;
    void SetCaption(const QString& value);
    int32_t Color() const { return color_; }
    void SetColor(int32_t value);
    bool Enabled() const;
    void SetEnabled(bool value);
    QString Hint() const;
    void SetHint(const QString& value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    // Windowed controls take the focus by Tab when set; others read true and ignore a change.
    bool TabStop() const;
    void SetTabStop(bool value);
    // The place of a windowed control in its parent's Tab chain (lower first; equal values
    // keep the children's order). Setting it orders the native controls of the siblings.
    int32_t TabOrder() const { return tabOrder_; }
    void SetTabOrder(int32_t value);
    // Focuses the native control when it takes the focus at all.
    void SetFocus() override;

    // Whether the control shows its name as its caption until the caption is edited.
    virtual bool CaptionFollowsName() const { return false; }
    // Whether other controls placed on it become its children (a panel, a group box).
    virtual bool AcceptsControls() const { return false; }

    void SetName(const QString& value) override;
    // The native control follows: into the parent control's widget, the dialog page's window,
    // or the hidden parent widget.
    void SetParent(TrpComponent* value) override;
    // The control's position and size follow, rounded half to even.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    void SetVisible(bool value) override;
    void SetParentFont(bool value) override;
    void FontChanged() override;

    // The control's own picture at the object's place (designer).
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    void PlaceControl();
    void ApplyFont();
    // Chains the native controls of this control's siblings in TabOrder.
    void OrderSiblings();

    QPointer<QWidget> control_;
    int32_t color_ = clBtnFace;
    bool showHint_ = false;
    int32_t tabOrder_ = 0;
};

// The widget that holds controls not placed in a dialog window; created on first use.
QWidget* HiddenParentWidget();

