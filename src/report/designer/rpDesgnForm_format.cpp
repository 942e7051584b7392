// The designer window's formatting of the selected objects: the Text and Frame tool bars with
// their colour and line selectors, the dot-matrix font menu, the highlight button and the
// alignment palette.

#include "rpDesgnForm.h"

#include "DesignerFields.h"
#include "rpDesgnCtrls.h"
#include "rpHighlightEditor.h"

#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QAction>
#include <QComboBox>
#include <QLocale>
#include <QMenu>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <cmath>
#include <memory>

namespace {

int TagOf(QObject* sender)
{
    if (auto* selector = dynamic_cast<TrpCustomSelector*>(sender))
        return selector->Tag();
    return sender != nullptr ? sender->property("tag").toInt() : -1;
}

bool Restricted(const TrpComponent* object, TrpRestriction restriction)
{
    return (object->Restrictions() & (1u << restriction)) != 0;
}

// The frame that the frame buttons and selectors change: a view's or a report page's.
TrpFrame* FrameOf(TrpComponent* object)
{
    if (auto* view = dynamic_cast<TrpView*>(object))
        return &view->Frame();
    if (auto* page = dynamic_cast<TrpReportPage*>(object))
        return &page->Frame();
    return nullptr;
}

// The dot-matrix font style of a memo, line or page; false for other objects.
bool DMPStyleOf(TrpComponent* object, TrpDMPFontStyles& style)
{
    if (auto* memo = dynamic_cast<TrpDMPMemoView*>(object))
        style = memo->FontStyle();
    else if (auto* line = dynamic_cast<TrpDMPLineView*>(object))
        style = line->FontStyle();
    else if (auto* page = dynamic_cast<TrpDMPPage*>(object))
        style = page->FontStyle();
    else
        return false;
    return true;
}

void SetDMPStyle(TrpComponent* object, TrpDMPFontStyles style)
{
    if (auto* memo = dynamic_cast<TrpDMPMemoView*>(object))
        memo->SetFontStyle(style);
    else if (auto* line = dynamic_cast<TrpDMPLineView*>(object))
        line->SetFontStyle(style);
    else if (auto* page = dynamic_cast<TrpDMPPage*>(object))
        page->SetFontStyle(style);
}

// A tool bar box's name for its messages: its hint.
QString BoxName(const QWidget* box)
{
    return DesignerFields::FieldName(box->toolTip().isEmpty() ? box->objectName() : box->toolTip());
}

double ToGrid(double value, double step)
{
    return RoundHalfEven(value / step) * step;
}

const char* const kDMPItems[] = {"BoldMI",      "ItalicMI", "UnderlineMI", "SuperScriptMI", "SubScriptMI",
                                 "CondensedMI", "WideMI",   "N12cpiMI",    "N15cpiMI"};

} // namespace

// --- the formatting controls

void TrpDesignerForm::ToolButtonClick(QObject* sender)
{
    if (FUpdatingControls || sender == nullptr)
        return;
    const int tag = TagOf(sender);
    const auto down = [&](const char* name) {
        auto* button = qobject_cast<QToolButton*>(Control(QString::fromLatin1(name)));
        return button != nullptr && button->isChecked();
    };
    const auto boxText = [&](const char* name) {
        auto* box = qobject_cast<QComboBox*>(Control(QString::fromLatin1(name)));
        return box != nullptr ? box->currentText() : QString();
    };
    std::vector<TrpComponent*> selected;
    for (const QPointer<TrpComponent>& object : SelectedObjects()) {
        if (object != nullptr)
            selected.push_back(object.data());
    }
    if (selected.empty())
        return;

    // The font dialog starts from the first object's font; the chosen font goes to every object.
    std::unique_ptr<TrpFont> chosen;
    if (tag == 43) {
        if (Report()->DotMatrixReport)
            return; // the button only drops down the dot-matrix menu then
        const TrpFont& font = selected.front()->Font();
        UiFont ui;
        ui.Name = font.Name();
        ui.Size = font.Size();
        ui.Bold = font.Style() & kFontStyleBold;
        ui.Italic = font.Style() & kFontStyleItalic;
        ui.Underline = font.Style() & kFontStyleUnderline;
        ui.StrikeOut = font.Style() & kFontStyleStrikeOut;
        ui.Rgb = ColorToRgb(font.Color());
        if (ReportServices::Ui().FontDialog(ui)) {
            chosen = std::make_unique<TrpFont>();
            chosen->Assign(font);
            chosen->SetName(ui.Name);
            chosen->SetSize(ui.Size);
            chosen->SetStyle((ui.Bold ? kFontStyleBold : 0u) | (ui.Italic ? kFontStyleItalic : 0u) |
                             (ui.Underline ? kFontStyleUnderline : 0u) | (ui.StrikeOut ? kFontStyleStrikeOut : 0u));
            chosen->SetColor(RgbToColor(ui.Rgb));
        }
    }
    // A menu item of the dot-matrix font menu has already changed its tick when this runs.
    bool ticked = false;
    if (auto* item = qobject_cast<QAction*>(sender); item != nullptr && tag >= 34 && tag <= 42)
        ticked = item->isCheckable() ? !item->isChecked() : false;

    // Values read once for all objects; a number the box cannot take is refused and changes
    // nothing.
    int fontSize = 0;
    if (tag == 1) {
        QWidget* box = Control(QStringLiteral("FontSizeCB"));
        fontSize = DesignerFields::ReadInteger(box, boxText("FontSizeCB"), BoxName(box), DesignerFields::kObjectFontSize);
    }
    double frameWidth = 0;
    if (tag == 29) {
        QWidget* box = Control(QStringLiteral("FrameWidthCB"));
        frameWidth = DesignerFields::ReadNumber(box, boxText("FrameWidthCB"), BoxName(box), {0, kMaxFrameWidth});
    }

    bool changed = false;
    for (TrpComponent* c : selected) {
        if (Restricted(c, rfDontModify))
            continue;
        auto* memo = dynamic_cast<TrpCustomMemoView*>(c);
        auto* view = dynamic_cast<TrpView*>(c);
        TrpFrame* frame = FrameOf(c);
        const auto styleBit = [&](uint32_t bit, bool on) {
            c->Font().SetStyle(on ? (c->Font().Style() | bit) : (c->Font().Style() & ~bit));
        };
        const auto frameLine = [&](TrpFrameType side, bool on) {
            if (frame != nullptr)
                frame->Typ = on ? (frame->Typ | (1u << side)) : (frame->Typ & ~(1u << side));
        };
        switch (tag) {
        case 0:
            c->Font().SetName(boxText("FontNameCB"));
            break;
        case 1:
            c->Font().SetSize(fontSize);
            break;
        case 2:
            styleBit(kFontStyleBold, down("BoldB"));
            break;
        case 3:
            styleBit(kFontStyleItalic, down("ItalicB"));
            break;
        case 4:
            styleBit(kFontStyleUnderline, down("UnderlineB"));
            break;
        case 5:
            c->Font().SetColor(FColor);
            break;
        case 7:
        case 8:
        case 9:
        case 10:
            if (memo != nullptr) {
                if (tag == 7 && down("TextAlignLeftB"))
                    memo->HAlign = haLeft;
                else if (tag == 8 && down("TextAlignCenterB"))
                    memo->HAlign = haCenter;
                else if (tag == 9 && down("TextAlignRightB"))
                    memo->HAlign = haRight;
                else
                    memo->HAlign = haBlock;
            }
            break;
        case 11:
        case 12:
        case 13:
            if (memo != nullptr) {
                if (tag == 11 && down("TextAlignTopB"))
                    memo->VAlign = vaTop;
                else if (tag == 12 && down("TextAlignMiddleB"))
                    memo->VAlign = vaCenter;
                else
                    memo->VAlign = vaBottom;
            }
            break;
        case 20:
            frameLine(ftTop, down("FrameTopB"));
            break;
        case 21:
            frameLine(ftBottom, down("FrameBottomB"));
            break;
        case 22:
            frameLine(ftLeft, down("FrameLeftB"));
            break;
        case 23:
            frameLine(ftRight, down("FrameRightB"));
            break;
        case 24:
            if (frame != nullptr)
                frame->Typ = kAllFrameSides;
            break;
        case 25:
            if (frame != nullptr)
                frame->Typ = 0;
            break;
        case 26:
            if (view != nullptr) {
                view->Color = FColor;
            } else if (auto* reportPage = dynamic_cast<TrpReportPage*>(c)) {
                reportPage->SetColor(FColor);
            } else if (auto* dialogPage = dynamic_cast<TrpDialogPage*>(c)) {
                dialogPage->SetColor(FColor);
                FWorkspace->SetColor(FColor);
            } else if (auto* control = dynamic_cast<TrpDialogControl*>(c)) {
                control->SetColor(FColor);
            }
            break;
        case 27:
            if (frame != nullptr)
                frame->SetColor(FColor);
            break;
        case 28:
            if (frame != nullptr)
                frame->SetStyle(static_cast<TrpFrameStyle>(FLineStyle));
            break;
        case 29:
            if (frame != nullptr)
                frame->SetWidth(frameWidth);
            break;
        case 30:
            if (memo != nullptr)
                memo->SetRotation(sender->property("helpContext").toInt());
            break;
        case 31: {
            const double stepX = FWorkspace->GridX() > 0 ? FWorkspace->GridX() : 1;
            const double stepY = FWorkspace->GridY() > 0 ? FWorkspace->GridY() : 1;
            double width = ToGrid(c->Width(), stepX);
            double height = ToGrid(c->Height(), stepY);
            if (width == 0)
                width = stepX;
            if (height == 0)
                height = stepY;
            c->SetBounds(ToGrid(c->Left(), stepX), ToGrid(c->Top(), stepY), width, height);
            break;
        }
        case 32:
            if (frame != nullptr)
                frame->DropShadow = down("ShadowB");
            break;
        case 33:
            if (memo != nullptr) {
                auto* box = qobject_cast<QComboBox*>(Control(QStringLiteral("StyleCB")));
                memo->SetStyle(box == nullptr || box->currentIndex() <= 0 ? QString() : box->currentText());
            }
            break;
        case 43:
            if (chosen != nullptr)
                c->SetFont(*chosen);
            break;
        default:
            if (tag >= 34 && tag <= 42) {
                TrpDMPFontStyles style = 0;
                if (DMPStyleOf(c, style)) {
                    const auto bit = static_cast<TrpDMPFontStyles>(1u << (tag - 34));
                    SetDMPStyle(c, ticked ? (style & ~bit) : (style | bit));
                }
            }
            break;
        }
        // A memo formatted by hand no longer follows its style.
        if (memo != nullptr && ((tag >= 0 && tag <= 5) || (tag >= 20 && tag <= 29) || tag == 32)) {
            memo->SetStyle(QString());
            if (auto* box = qobject_cast<QComboBox*>(Control(QStringLiteral("StyleCB"))))
                box->setCurrentIndex(box->count() > 0 ? 0 : -1);
        }
        // The next memo inserted looks like the last one formatted.
        if (memo != nullptr && FSampleFormat != nullptr)
            FSampleFormat->SetAsSample(*memo);
        changed = true;
    }
    if (!changed)
        return;
    FModifiedBy = this;
    SetModified(true);
    if (tag == 24 || tag == 25 || (tag >= 34 && tag <= 43))
        UpdateControls();
}

TrpColorSelector* TrpDesignerForm::FontColorBClick(QObject* sender)
{
    auto* button = qobject_cast<QWidget*>(sender);
    if (button == nullptr)
        return nullptr;
    auto* selector = new TrpColorSelector(button);
    selector->SetBtnCaption(ResourceText(u"dsColorOth"));
    // It starts with the first selected view's colour of the kind its button changes.
    TrpView* first = nullptr;
    for (const QPointer<TrpComponent>& object : SelectedObjects()) {
        if ((first = dynamic_cast<TrpView*>(object.data())) != nullptr)
            break;
    }
    if (first != nullptr) {
        const int tag = selector->Tag();
        FColor = tag == 5 ? first->Font().Color() : (tag == 27 ? first->Frame().Color() : first->Color);
    }
    QPointer<TrpDesignerForm> self(this);
    selector->OnColorChanged = [this, self](TrpColorSelector* picked) {
        if (self == nullptr)
            return;
        FColor = picked->Color();
        Guard([&] { ToolButtonClick(picked); });
    };
    return selector;
}

TrpLineSelector* TrpDesignerForm::FrameStyleBClick()
{
    auto* selector = new TrpLineSelector(Control(QStringLiteral("FrameStyleB")));
    QPointer<TrpDesignerForm> self(this);
    selector->OnStyleChanged = [this, self](TrpLineSelector* picked) {
        if (self == nullptr)
            return;
        FLineStyle = picked->Style();
        Guard([&] { ToolButtonClick(picked); });
    };
    return selector;
}

void TrpDesignerForm::HighlightBClick()
{
    std::vector<TrpCustomMemoView*> memos;
    for (const QPointer<TrpComponent>& object : SelectedObjects()) {
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object.data()))
            memos.push_back(memo);
    }
    if (memos.empty())
        return;
    TrpHighlightEditorForm editor(this, this);
    editor.SetMemoView(memos.front());
    if (editor.Execute() != mrOk)
        return;
    for (const QPointer<TrpComponent>& object : SelectedObjects()) {
        auto* memo = dynamic_cast<TrpMemoView*>(object.data());
        if (memo != nullptr && memo != memos.front())
            memo->SetHighlight(memos.front()->Highlight());
    }
    SetModified(true);
}

void TrpDesignerForm::UpdateDMPControls()
{
    auto* fontButton = qobject_cast<QToolButton*>(Control(QStringLiteral("FontB")));
    auto* menu = findChild<QMenu*>(QStringLiteral("DMPPopup"));
    if (fontButton == nullptr || menu == nullptr)
        return;
    if (Report()->DotMatrixReport) {
        fontButton->setMenu(menu);
        fontButton->setPopupMode(QToolButton::InstantPopup);
    } else {
        fontButton->setMenu(nullptr);
    }
    TrpComponent* first = SelectedObjects().empty() ? nullptr : SelectedObjects().front().data();
    TrpDMPFontStyles style = 0;
    const bool styled = first != nullptr && DMPStyleOf(first, style);
    int bit = 0;
    for (const char* name : kDMPItems) {
        if (auto* item = menu->findChild<QAction*>(QString::fromLatin1(name)))
            item->setChecked(styled && (style & (1u << bit)) != 0);
        ++bit;
    }
}

// --- the alignment palette

std::vector<TrpComponent*> TrpDesignerForm::AlignTargets() const
{
    std::vector<TrpComponent*> result;
    for (const QPointer<TrpComponent>& object : const_cast<TrpDesignerForm*>(this)->SelectedObjects()) {
        TrpComponent* c = object.data();
        if (c != nullptr && c != Page() && c != Report())
            result.push_back(c);
    }
    return result;
}

namespace {

// Runs `move` on every object but the reference that may move, when enough are selected.
template <class Move>
bool AlignOthers(const std::vector<TrpComponent*>& objects, size_t needed, TrpRestriction restriction, Move move)
{
    if (objects.size() < needed)
        return false;
    TrpComponent* reference = objects.front();
    for (size_t i = 1; i < objects.size(); ++i) {
        if (!Restricted(objects[i], restriction))
            move(*reference, *objects[i]);
    }
    return true;
}

// Spreads the objects evenly between the first and the last by position: sorted by the
// numbers themselves (stably, so equal positions keep the selection's order), never by text.
void Space(std::vector<TrpComponent*> objects, bool horizontal)
{
    const auto position = [horizontal](const TrpComponent* c) { return horizontal ? c->Left() : c->Top(); };
    std::stable_sort(objects.begin(), objects.end(),
                     [&](const TrpComponent* a, const TrpComponent* b) { return position(a) < position(b); });
    const double step = (position(objects.back()) - position(objects.front())) / double(objects.size() - 1);
    for (size_t i = 1; i + 1 < objects.size(); ++i) {
        if (Restricted(objects[i], rfDontMove))
            continue;
        const double value = position(objects[i - 1]) + step;
        if (horizontal)
            objects[i]->SetLeft(value);
        else
            objects[i]->SetTop(value);
    }
}

} // namespace

void TrpDesignerForm::AlignLeftsBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontMove, [](TrpComponent& r, TrpComponent& c) { c.SetLeft(r.Left()); }))
        SetModified(true);
}

void TrpDesignerForm::AlignRightsBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontMove, [](TrpComponent& r, TrpComponent& c) {
            c.SetLeft(r.Left() + r.Width() - c.Width());
        }))
        SetModified(true);
}

void TrpDesignerForm::AlignTopsBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontMove, [](TrpComponent& r, TrpComponent& c) {
            if (std::fabs(c.Top() - c.AbsTop()) < 0.0001)
                c.SetTop(r.AbsTop());
            else
                c.SetTop(r.AbsTop() - c.AbsTop() + c.Top());
        }))
        SetModified(true);
}

void TrpDesignerForm::AlignBottomsBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontMove, [](TrpComponent& r, TrpComponent& c) {
            if (std::fabs(c.Top() - c.AbsTop()) < 0.0001)
                c.SetTop(r.AbsTop() + r.Height() - c.Height());
            else
                c.SetTop(r.AbsTop() - c.AbsTop() + c.Top() + r.Height() - c.Height());
        }))
        SetModified(true);
}

void TrpDesignerForm::AlignHorzCentersBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontMove, [](TrpComponent& r, TrpComponent& c) {
            c.SetLeft(r.Width() / 2 + r.Left() - c.Width() / 2);
        }))
        SetModified(true);
}

void TrpDesignerForm::AlignVertCentersBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontMove, [](TrpComponent& r, TrpComponent& c) {
            c.SetTop(r.Height() / 2 + r.Top() - c.Height() / 2);
        }))
        SetModified(true);
}

void TrpDesignerForm::CenterHorzBClick()
{
    const std::vector<TrpComponent*> objects = AlignTargets();
    if (objects.empty())
        return;
    for (TrpComponent* c : objects) {
        if (!c->IsView() || Restricted(c, rfDontMove))
            continue;
        const TrpComponent* parent = c->Parent();
        const double width = parent != nullptr && parent->IsBand() ? parent->Width() : FWorkspace->width() / FScale;
        c->SetLeft((width - c->Width()) * 0.5);
    }
    SetModified(true);
}

void TrpDesignerForm::CenterVertBClick()
{
    const std::vector<TrpComponent*> objects = AlignTargets();
    if (objects.empty())
        return;
    for (TrpComponent* c : objects) {
        if (!c->IsView() || Restricted(c, rfDontMove))
            continue;
        const TrpComponent* parent = c->Parent();
        const double height =
            parent != nullptr && parent->IsBand() ? parent->Height() : FWorkspace->height() / FScale;
        c->SetTop((height - c->Height()) * 0.5);
    }
    SetModified(true);
}

void TrpDesignerForm::SpaceHorzBClick()
{
    const std::vector<TrpComponent*> objects = AlignTargets();
    if (objects.size() < 3)
        return;
    Space(objects, true);
    SetModified(true);
}

void TrpDesignerForm::SpaceVertBClick()
{
    const std::vector<TrpComponent*> objects = AlignTargets();
    if (objects.size() < 3)
        return;
    Space(objects, false);
    SetModified(true);
}

void TrpDesignerForm::SameWidthBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontSize, [](TrpComponent& r, TrpComponent& c) { c.SetWidth(r.Width()); }))
        SetModified(true);
}

void TrpDesignerForm::SameHeightBClick()
{
    if (AlignOthers(AlignTargets(), 2, rfDontSize, [](TrpComponent& r, TrpComponent& c) { c.SetHeight(r.Height()); }))
        SetModified(true);
}

// --- connections

void TrpDesignerForm::ConnectFormatTools()
{
    const auto tagged = [&](const char* name, int tag) {
        QWidget* control = Control(QString::fromLatin1(name));
        if (control != nullptr)
            control->setProperty("tag", tag);
        return control;
    };
    const auto onClick = [&](const char* name, int tag, const std::function<void(QObject*)>& handler) {
        auto* button = qobject_cast<QToolButton*>(tagged(name, tag));
        if (button != nullptr)
            connect(button, &QToolButton::clicked, this, [this, button, handler] { Guard([&] { handler(button); }); });
    };
    const auto format = [this](QObject* sender) { ToolButtonClick(sender); };
    for (const auto& [name, tag] : {std::pair{"BoldB", 2}, {"ItalicB", 3}, {"UnderlineB", 4},
                                    {"TextAlignLeftB", 7}, {"TextAlignCenterB", 8}, {"TextAlignRightB", 9},
                                    {"TextAlignBlockB", 10}, {"TextAlignTopB", 11}, {"TextAlignMiddleB", 12},
                                    {"TextAlignBottomB", 13}, {"FrameTopB", 20}, {"FrameBottomB", 21},
                                    {"FrameLeftB", 22}, {"FrameRightB", 23}, {"FrameAllB", 24}, {"FrameNoB", 25},
                                    {"SetToGridB", 31}, {"ShadowB", 32}, {"FontB", 43}})
        onClick(name, tag, format);
    const auto colour = [this](QObject* sender) { FontColorBClick(sender); };
    onClick("FontColorB", 5, colour);
    onClick("FillColorB", 26, colour);
    onClick("FrameColorB", 27, colour);
    onClick("FrameStyleB", 28, [this](QObject*) { FrameStyleBClick(); });
    onClick("HighlightB", 0, [this](QObject*) { HighlightBClick(); });
    auto* rotation = findChild<QMenu*>(QStringLiteral("RotationPopup"));
    onClick("RotateB", 0, [this, rotation](QObject* sender) {
        auto* button = qobject_cast<QWidget*>(sender);
        if (rotation != nullptr && button != nullptr)
            rotation->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
    for (const auto& [name, tag] : {std::pair{"FontNameCB", 0}, {"FontSizeCB", 1}, {"FrameWidthCB", 29},
                                    {"StyleCB", 33}}) {
        auto* box = qobject_cast<QComboBox*>(tagged(name, tag));
        if (box != nullptr)
            connect(box, &QComboBox::activated, this, [this, box] { Guard([&] { ToolButtonClick(box); }); });
    }
    if (rotation != nullptr) {
        for (QAction* item : rotation->actions()) {
            // The item's help context is its angle, which its name carries ("R90MI").
            item->setProperty("tag", 30);
            item->setProperty("helpContext", item->objectName().mid(1).chopped(2).toInt());
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, [this, item] { Guard([&] { ToolButtonClick(item); }); });
        }
    }
    if (auto* dmp = findChild<QMenu*>(QStringLiteral("DMPPopup"))) {
        int tag = 34;
        for (const char* name : kDMPItems) {
            if (QAction* item = dmp->findChild<QAction*>(QString::fromLatin1(name))) {
                item->setProperty("tag", tag);
                item->setEnabled(true);
                connect(item, &QAction::triggered, this, [this, item] { Guard([&] { ToolButtonClick(item); }); });
            }
            ++tag;
        }
    }
    const std::pair<const char*, void (TrpDesignerForm::*)()> align[] = {
        {"AlignLeftsB", &TrpDesignerForm::AlignLeftsBClick},
        {"AlignRightsB", &TrpDesignerForm::AlignRightsBClick},
        {"AlignTopsB", &TrpDesignerForm::AlignTopsBClick},
        {"AlignBottomsB", &TrpDesignerForm::AlignBottomsBClick},
        {"AlignHorzCentersB", &TrpDesignerForm::AlignHorzCentersBClick},
        {"AlignVertCentersB", &TrpDesignerForm::AlignVertCentersBClick},
        {"CenterHorzB", &TrpDesignerForm::CenterHorzBClick},
        {"CenterVertB", &TrpDesignerForm::CenterVertBClick},
        {"SpaceHorzB", &TrpDesignerForm::SpaceHorzBClick},
        {"SpaceVertB", &TrpDesignerForm::SpaceVertBClick},
        {"SameWidthB", &TrpDesignerForm::SameWidthBClick},
        {"SameHeightB", &TrpDesignerForm::SameHeightBClick}};
    for (const auto& [name, handler] : align) {
        auto* button = qobject_cast<QToolButton*>(Control(QString::fromLatin1(name)));
        if (button == nullptr)
            continue;
        button->setEnabled(true);
        const auto method = handler;
        connect(button, &QToolButton::clicked, this, [this, method] { Guard([&] { (this->*method)(); }); });
    }
}
