// The forms module. Members resolve their control through the handle table for the class they
// were registered on; events are bound through the bridges of sc_ievents.

#include "sc_iformsrtti.h"
#include "report/core/Texts.h"
#include "report/script/sc_iconsts.h"

#include "ScriptControls.h"
#include "ScriptForm.h"
#include "sc_igraphicsrtti.h"

#include "report/core/Cursors.h"
#include "report/core/KeyCodes.h"
#include "report/script/ScriptBindings.h"
#include "report/script/sc_iclassesrtti.h"

using namespace scbind;
using Frame = TscCallFrame;

std::unique_ptr<TscRTTIModule> CreateFormsFunctions(TscScript* script)
{
    return std::make_unique<TscFormsFunctions>(script);
}

void RegisterScriptUiModules()
{
    RegisterClassLibraryModules();
    RegisterRTTIModule(&CreateGraphicsFunctions);
    RegisterRTTIModule(&CreateFormsFunctions);
}

namespace {

void AddConstants(TscScript* script)
{
    const QString integer = QStringLiteral("Integer");
    static const char* const kModalResults[] = {"mrNone", "mrOk",    "mrCancel", "mrAbort",   "mrRetry",   "mrIgnore",
                                                "mrYes",  "mrNo",    "mrAll",    "mrNoToAll", "mrYesToAll"};
    for (int i = 0; i < static_cast<int>(std::size(kModalResults)); ++i)
        script->AddConst(QString::fromLatin1(kModalResults[i]), integer, Variant(int32_t{i}));
    for (const CursorInfo& cursor : CursorNames())
        script->AddConst(QString::fromLatin1(cursor.Name), integer, Variant(int32_t{cursor.Code}));
    static const char* const kBorderStyles[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                                                "bsSizeToolWin"};
    for (int i = 0; i < static_cast<int>(std::size(kBorderStyles)); ++i)
        script->AddConst(QString::fromLatin1(kBorderStyles[i]), integer, Variant(int32_t{i}));
    for (const VirtualKeyInfo& key : VirtualKeyNames())
        script->AddConst(QString::fromLatin1(key.Name), integer, Variant(int32_t{key.Code}));
    script->AddConst(QStringLiteral("taLeftJustify"), integer, Variant(int32_t{0}));
    script->AddConst(QStringLiteral("taRightJustify"), integer, Variant(int32_t{1}));
    script->AddConst(QStringLiteral("taCenter"), integer, Variant(int32_t{2}));
}

void AddTypes(TscScript* script)
{
    for (const char* type : {"TFormBorderStyle", "TBorderStyle", "TAlignment", "TLeftRight"})
        script->AddType(QString::fromLatin1(type), fvtInt);
    script->AddEnumSet(QStringLiteral("TShiftState"),
                       QStringLiteral("ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble"));
    script->AddEnum(QStringLiteral("TAlign"), QStringLiteral("alNone, alTop, alBottom, alLeft, alRight, alClient"));
    script->AddEnum(QStringLiteral("TMouseButton"), QStringLiteral("mbLeft, mbRight, mbMiddle"));
    script->AddEnumSet(QStringLiteral("TAnchors"), QStringLiteral("akLeft, akTop, akRight, akBottom"));
    script->AddEnum(QStringLiteral("TBevelCut"), QStringLiteral("bvNone, bvLowered, bvRaised, bvSpace"));
    script->AddEnum(QStringLiteral("TTextLayout"), QStringLiteral("tlTop, tlCenter, tlBottom"));
    script->AddEnum(QStringLiteral("TEditCharCase"), QStringLiteral("ecNormal, ecUpperCase, ecLowerCase"));
    script->AddEnum(QStringLiteral("TScrollStyle"), QStringLiteral("ssNone, ssHorizontal, ssVertical, ssBoth"));
    script->AddEnum(QStringLiteral("TComboBoxStyle"),
                    QStringLiteral("csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable"));
    script->AddEnum(QStringLiteral("TCheckBoxState"), QStringLiteral("cbUnchecked, cbChecked, cbGrayed"));
    script->AddEnum(QStringLiteral("TListBoxStyle"), QStringLiteral("lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable"));
    script->AddEnum(QStringLiteral("TWindowState"), QStringLiteral("wsNormal, wsMinimized, wsMaximized"));
    script->AddEnum(QStringLiteral("TFormStyle"), QStringLiteral("fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop"));
    script->AddEnumSet(QStringLiteral("TBorderIcons"), QStringLiteral("biSystemMenu, biMinimize, biMaximize, biHelp"));
    script->AddEnum(QStringLiteral("TPosition"), QStringLiteral("poDesigned, poDefault, poDefaultPosOnly, "
                                                                "poDefaultSizeOnly, poScreenCenter, poDesktopCenter"));
    script->AddEnum(QStringLiteral("TCloseAction"), QStringLiteral("caNone, caHide, caFree, caMinimize"));
}

void AddControls(TscScript* script)
{
    const ScriptClassInfo& controlClass = ScriptControl::Class();
    const auto control = [&controlClass](Frame& f) -> ScriptControl& { return Self<ScriptControl>(f, controlClass); };
    TscClassVariable* c = script->AddClass(QStringLiteral("TControl"), &controlClass, QStringLiteral("TComponent"));
    c->AddProperty(
        QStringLiteral("Parent"), QStringLiteral("TWinControl"),
        [control](Frame& f) { return ObjectHandles::ToVariant(control(f).ParentControl()); },
        [control](Frame& f) {
            ScriptControl& self = control(f);
            const uint32_t handle = ObjectHandles::HandleOf(Assigned(f));
            ScriptControl* parent = nullptr;
            if (handle != 0)
                parent = &Cast<ScriptControl>(ObjectHandles::Resolve(handle, ScriptControl::WinControlClass()));
            self.SetParentControl(parent);
            return kNothing;
        });
    c->AddMethod(QStringLiteral("procedure Hide"), [control](Frame& f) {
        control(f).SetVisible(false);
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure Show"), [control](Frame& f) {
        control(f).SetVisible(true);
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)"), [control](Frame& f) {
        control(f).SetBounds(Int(f, 0), Int(f, 1), Int(f, 2), Int(f, 3));
        return kNothing;
    });
    c->AddEvent(QStringLiteral("OnCanResize"), ScEventBinder<TscCanResizeEvent>());
    c->AddEvent(QStringLiteral("OnClick"), ScEventBinder<TscNotifyEvent>());
    c->AddEvent(QStringLiteral("OnDblClick"), ScEventBinder<TscNotifyEvent>());
    c->AddEvent(QStringLiteral("OnMouseDown"), ScEventBinder<TscMouseEvent>());
    c->AddEvent(QStringLiteral("OnMouseMove"), ScEventBinder<TscMouseMoveEvent>());
    c->AddEvent(QStringLiteral("OnMouseUp"), ScEventBinder<TscMouseEvent>());
    c->AddEvent(QStringLiteral("OnResize"), ScEventBinder<TscNotifyEvent>());

    const ScriptClassInfo& winClass = ScriptControl::WinControlClass();
    TscClassVariable* w = script->AddClass(QStringLiteral("TWinControl"), &winClass, QStringLiteral("TControl"));
    w->AddMethod(QStringLiteral("procedure SetFocus"), [&winClass](Frame& f) {
        ScriptControl& self = Self<ScriptControl>(f, winClass);
        if (!self.Widget().isVisible() || !self.Widget().isEnabled())
            throw EInvalidOperation(ScErrorText(TscMessage::SCannotFocus));
        self.Widget().setFocus(Qt::OtherFocusReason);
        return kNothing;
    });
    w->AddEvent(QStringLiteral("OnEnter"), ScEventBinder<TscNotifyEvent>());
    w->AddEvent(QStringLiteral("OnExit"), ScEventBinder<TscNotifyEvent>());
    w->AddEvent(QStringLiteral("OnKeyDown"), ScEventBinder<TscKeyEvent>());
    w->AddEvent(QStringLiteral("OnKeyUp"), ScEventBinder<TscKeyEvent>());
    w->AddEvent(QStringLiteral("OnKeyPress"), ScEventBinder<TscKeyPressEvent>());

    const QString winControl = QStringLiteral("TWinControl");
    script->AddClass(QStringLiteral("TCustomControl"), &ScriptControl::CustomControlClass(), winControl);
    script->AddClass(QStringLiteral("TGroupBox"), &ScriptGroupBox::Class(), winControl);
    script->AddClass(QStringLiteral("TEdit"), &ScriptEdit::Class(), winControl);
    script->AddClass(QStringLiteral("TMemo"), &ScriptMemo::Class(), winControl);
    script->AddClass(QStringLiteral("TGraphicControl"), &ScriptControl::GraphicControlClass(), QStringLiteral("TControl"));
    script->AddClass(QStringLiteral("TLabel"), &ScriptLabel::Class(), QStringLiteral("TControl"));

    const ScriptClassInfo& comboClass = ScriptComboBox::CustomClass();
    const auto combo = [&comboClass](Frame& f) -> ScriptComboBox& { return Self<ScriptComboBox>(f, comboClass); };
    TscClassVariable* cb = script->AddClass(QStringLiteral("TCustomComboBox"), &comboClass, winControl);
    cb->AddProperty(
        QStringLiteral("DroppedDown"), QStringLiteral("Boolean"),
        [combo](Frame& f) {
            ScriptComboBox& box = combo(f);
            return Variant(box.view() != nullptr && box.view()->isVisible());
        },
        [combo](Frame& f) {
            ScriptComboBox& box = combo(f);
            if (Assigned(f).ToBoolean(Settings(f)))
                box.showPopup();
            else
                box.hidePopup();
            return kNothing;
        });
    cb->AddProperty(
        QStringLiteral("ItemIndex"), QStringLiteral("Integer"),
        [combo](Frame& f) { return Variant(int32_t{combo(f).currentIndex()}); },
        [combo](Frame& f) {
            ScriptComboBox& box = combo(f);
            const int index = Assigned(f).ToInt32(Settings(f));
            // Picking an entry from a script is no change the user made: OnChange stays quiet.
            const QSignalBlocker quiet(box);
            box.setCurrentIndex(index >= 0 && index < box.count() ? index : -1);
            return kNothing;
        });
    cb->AddEvent(QStringLiteral("OnChange"), ScEventBinder<TscNotifyEvent>());
    cb->AddEvent(QStringLiteral("OnDropDown"), ScEventBinder<TscNotifyEvent>());
    cb->AddEvent(QStringLiteral("OnCloseUp"), ScEventBinder<TscNotifyEvent>());
    script->AddClass(QStringLiteral("TComboBox"), &ScriptComboBox::Class(), QStringLiteral("TCustomComboBox"));
    script->AddClass(QStringLiteral("TButton"), &ScriptButton::Class(), winControl);
    script->AddClass(QStringLiteral("TCheckBox"), &ScriptCheckBox::Class(), winControl);
    script->AddClass(QStringLiteral("TRadioButton"), &ScriptRadioButton::Class(), winControl);

    const ScriptClassInfo& listClass = ScriptListBox::CustomClass();
    const auto list = [&listClass](Frame& f) -> ScriptListBox& { return Self<ScriptListBox>(f, listClass); };
    TscClassVariable* lb = script->AddClass(QStringLiteral("TCustomListBox"), &listClass, winControl);
    lb->AddProperty(
        QStringLiteral("ItemIndex"), QStringLiteral("Integer"),
        [list](Frame& f) { return Variant(int32_t{list(f).currentRow()}); },
        [list](Frame& f) {
            ScriptListBox& box = list(f);
            const int index = Assigned(f).ToInt32(Settings(f));
            box.setCurrentRow(index >= 0 && index < box.count() ? index : -1);
            return kNothing;
        });
    lb->AddProperty(QStringLiteral("SelCount"), QStringLiteral("Integer"),
                    [list](Frame& f) { return Variant(static_cast<int32_t>(list(f).selectedItems().size())); });
    lb->AddIndexProperty(QStringLiteral("Selected"), QStringLiteral("Integer"), QStringLiteral("Boolean"),
                         [list](Frame& f) {
                             ScriptListBox& box = list(f);
                             const int index = Int(f, 0);
                             if (index < 0 || index >= box.count())
                                 throw EListError(ScErrorText(TscMessage::SListIndexError, {QString::number(index)}));
                             if (f.AssignedValue != nullptr) {
                                 box.item(index)->setSelected(f.AssignedValue->ToBoolean(Settings(f)));
                                 return kNothing;
                             }
                             return Variant(box.item(index)->isSelected());
                         });
    script->AddClass(QStringLiteral("TListBox"), &ScriptListBox::Class(), QStringLiteral("TCustomListBox"));

    script->AddClass(QStringLiteral("TControlScrollBar"), &ScriptControl::ControlScrollBarClass(),
                     QStringLiteral("TPersistent"));
    script->AddClass(QStringLiteral("TScrollingWinControl"), &ScriptControl::ScrollingWinControlClass(), winControl);
    script->AddClass(QStringLiteral("TScrollBox"), &ScriptScrollBox::Class(), QStringLiteral("TScrollingWinControl"));
}

void AddForms(TscScript* script)
{
    const ScriptClassInfo& formClass = ScriptForm::CustomClass();
    const auto form = [&formClass](Frame& f) -> ScriptForm& { return Self<ScriptForm>(f, formClass); };
    TscClassVariable* c =
        script->AddClass(QStringLiteral("TCustomForm"), &formClass, QStringLiteral("TScrollingWinControl"));
    c->AddMethod(QStringLiteral("procedure Close"), [form](Frame& f) {
        form(f).Close();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure Hide"), [form](Frame& f) {
        form(f).Hide();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure Show"), [form](Frame& f) {
        form(f).Show();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("function ShowModal: Integer"),
                 [form](Frame& f) { return Variant(int32_t{form(f).ShowModal()}); });
    for (const char* event : {"OnActivate", "OnCreate", "OnDestroy", "OnDeactivate", "OnHide", "OnPaint", "OnShow"})
        c->AddEvent(QString::fromLatin1(event), ScEventBinder<TscNotifyEvent>());
    c->AddEvent(QStringLiteral("OnClose"), ScEventBinder<TscCloseEvent>());
    c->AddEvent(QStringLiteral("OnCloseQuery"), ScEventBinder<TscCloseQueryEvent>());
    c->AddProperty(QStringLiteral("Canvas"), QStringLiteral("TCanvas"),
                   [form](Frame& f) { return ObjectHandles::ToVariant(&form(f).Canvas()); });
    c->AddProperty(
        QStringLiteral("ModalResult"), QStringLiteral("Integer"),
        [form](Frame& f) { return Variant(int32_t{form(f).ModalResult()}); },
        [form](Frame& f) {
            form(f).SetModalResult(Assigned(f).ToInt32(Settings(f)));
            return kNothing;
        });
    script->AddClass(QStringLiteral("TForm"), &ScriptForm::Class(), QStringLiteral("TCustomForm"));
    script->AddClass(QStringLiteral("TDataModule"), &ScriptDataModule::Class(), QStringLiteral("TComponent"));

    const ScriptClassInfo& appClass = ScriptApplication::Class();
    const auto app = [&appClass](Frame& f) -> ScriptApplication& { return Self<ScriptApplication>(f, appClass); };
    TscClassVariable* a = script->AddClass(QStringLiteral("TApplication"), &appClass, QStringLiteral("TComponent"));
    a->AddMethod(QStringLiteral("procedure Minimize"), [app](Frame& f) {
        app(f).Minimize();
        return kNothing;
    });
    a->AddMethod(QStringLiteral("procedure ProcessMessages"), [app](Frame& f) {
        app(f).ProcessMessages();
        return kNothing;
    });
    a->AddMethod(QStringLiteral("procedure Restore"), [app](Frame& f) {
        app(f).Restore();
        return kNothing;
    });
    a->AddProperty(QStringLiteral("ExeName"), QStringLiteral("String"),
                   [app](Frame& f) { return Variant(app(f).ExeName()); });
}

} // namespace

TscFormsFunctions::TscFormsFunctions(TscScript* script) : TscRTTIModule(script)
{
    RegisterScriptFormClasses();
    AddConstants(script);
    AddTypes(script);
    AddControls(script);
    AddForms(script);
    script->AddObject(QStringLiteral("Application"), &ScriptApplication::Instance());
}
