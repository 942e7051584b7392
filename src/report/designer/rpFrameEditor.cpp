#include "rpFrameEditor.h"

#include "DesignerFields.h"
#include "rpDesgnCtrls.h"
#include "rpDsgnImages.h"

#include "report/core/Services.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* Button(QToolBar* bar, const char* name, int tag, int image, bool checkable)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("tag", tag);
    button->setCheckable(checkable);
    const auto& images = MainButtonImages();
    if (image < static_cast<int>(images.size()))
        button->setIcon(QIcon(QPixmap::fromImage(images[image])));
    bar->addWidget(button);
    return button;
}

QComboBox* WidthBox(QToolBar* bar, const char* name, int tag, const QStringList& items)
{
    auto* box = new QComboBox(bar);
    box->setObjectName(QString::fromLatin1(name));
    box->setProperty("tag", tag);
    box->setEditable(true);
    box->addItems(items);
    box->setMinimumWidth(60);
    bar->addWidget(box);
    return box;
}

QLabel* GroupLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TrpFrameEditorForm::TrpFrameEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpFrameEditorForm")), FFrame(std::make_unique<TrpFrame>())
{
    setWindowTitle(QString());
    FrameL = GroupLabel(QString(), "FrameL", this);
    LineL = GroupLabel(QString(), "LineL", this);
    ShadowL = GroupLabel(QString(), "ShadowL", this);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    FrameTopB = Button(ToolBar1, "FrameTopB", 1, 32, true);
    FrameBottomB = Button(ToolBar1, "FrameBottomB", 2, 33, true);
    FrameLeftB = Button(ToolBar1, "FrameLeftB", 3, 34, true);
    FrameRightB = Button(ToolBar1, "FrameRightB", 4, 35, true);
    ToolBar1->addSeparator();
    FrameAllB = Button(ToolBar1, "FrameAllB", 5, 36, false);
    FrameNoB = Button(ToolBar1, "FrameNoB", 6, 37, false);

    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    FrameColorB = Button(ToolBar2, "FrameColorB", 7, 39, false);
    FrameStyleB = Button(ToolBar2, "FrameStyleB", 8, 40, false);
    FrameWidthCB = WidthBox(ToolBar2, "FrameWidthCB", 9,
                            {"0,1", "0,5", "1", "1,5", "2", "3", "4", "5", "6", "7", "8", "9", "10"});

    ToolBar3 = new QToolBar(this);
    ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    ShadowB = Button(ToolBar3, "ShadowB", 10, 60, true);
    ShadowColorB = Button(ToolBar3, "ShadowColorB", 11, 39, false);
    ShadowWidthCB = WidthBox(ToolBar3, "ShadowWidthCB", 12, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});

    FLineL = new QLabel(QString(), this);
    FLineL->setObjectName(QStringLiteral("FLineL"));
    FrameLineCB = new QComboBox(this);
    FrameLineCB->setObjectName(QStringLiteral("FrameLineCB"));
    FrameLineCB->setProperty("tag", 13);
    for (int id : {5208, 5206, 5207, 5204, 5205})
        FrameLineCB->addItem(GetResourcesInstance().GetResourceTextById(id));
    FrameLineCB->setCurrentIndex(1);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);

    auto* grid = new QGridLayout;
    grid->addWidget(FrameL, 0, 0);
    grid->addWidget(ToolBar1, 1, 0, 1, 2);
    grid->addWidget(LineL, 2, 0);
    grid->addWidget(FLineL, 3, 0);
    grid->addWidget(FrameLineCB, 3, 1);
    grid->addWidget(ToolBar2, 4, 0, 1, 2);
    grid->addWidget(ShadowL, 5, 0);
    grid->addWidget(ToolBar3, 6, 0, 1, 2);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    DesignerDialogs::Caption(this, 5200);
    DesignerDialogs::Caption(FrameL, 5201);
    DesignerDialogs::Caption(LineL, 2321);
    DesignerDialogs::Caption(ShadowL, 5203);
    DesignerDialogs::Caption(FLineL, 5202);
    const std::pair<QWidget*, int> hints[] = {
        {FrameTopB, 5204},   {FrameBottomB, 5205}, {FrameLeftB, 5206},   {FrameRightB, 5207},
        {FrameAllB, 5208},   {FrameNoB, 5209},     {FrameColorB, 5210},  {FrameStyleB, 5211},
        {FrameWidthCB, 5212}, {ShadowB, 5213},     {ShadowColorB, 5214}, {ShadowWidthCB, 5215},
    };
    for (const auto& [widget, id] : hints)
        DesignerDialogs::Hint(widget, id);

    for (QToolButton* button : {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB, FrameAllB, FrameNoB, FrameColorB,
                                FrameStyleB, ShadowB, ShadowColorB}) {
        const int tag = button->property("tag").toInt();
        connect(button, &QToolButton::clicked, this, [this, tag] { Run(tag); });
    }
    for (QComboBox* box : {FrameWidthCB, ShadowWidthCB}) {
        const int tag = box->property("tag").toInt();
        connect(box, &QComboBox::textActivated, this, [this, tag] { Run(tag); });
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, tag] { Run(tag); });
    }
    connect(FrameLineCB, &QComboBox::currentIndexChanged, this, [this] { Run(13); });
}

TrpFrameEditorForm::~TrpFrameEditorForm()
{
    delete FSelector.data();
}

void TrpFrameEditorForm::SetFrame(const TrpFrame& frame)
{
    FFrame->Assign(frame);
}

void TrpFrameEditorForm::Showing()
{
    UpdateControls();
}

TrpFrameLine& TrpFrameEditorForm::CurrentLine()
{
    switch (FrameLineCB->currentIndex()) {
    case 2:
        return FFrame->RightLine();
    case 3:
        return FFrame->TopLine();
    case 4:
        return FFrame->BottomLine();
    default:
        return FFrame->LeftLine();
    }
}

void TrpFrameEditorForm::Run(int tag, int value)
{
    if (!FUpdating)
        Guard([&] { BClick(tag, value); });
}

void TrpFrameEditorForm::BClick(int tag, int value)
{
    // Whatever happens, the controls show the frame again afterwards (a refused width too).
    struct Refresh {
        TrpFrameEditorForm* form;
        ~Refresh() { form->UpdateControls(); }
    } refresh{this};
    static const TrpFrameType kSides[] = {ftTop, ftBottom, ftLeft, ftRight};
    switch (tag) {
    case 1:
    case 2:
    case 3:
    case 4: {
        const QToolButton* buttons[] = {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB};
        const uint32_t bit = 1u << kSides[tag - 1];
        if (buttons[tag - 1]->isChecked())
            FFrame->Typ |= bit;
        else
            FFrame->Typ &= ~bit;
        break;
    }
    case 5:
        FFrame->Typ = kAllFrameSides;
        break;
    case 6:
        FFrame->Typ = 0;
        break;
    case 7:
    case 11: {
        auto* selector = new TrpColorSelector(tag == 7 ? FrameColorB : ShadowColorB);
        selector->OnColorChanged = [this, tag](TrpColorSelector* picked) {
            Run(tag == 7 ? 70 : 110, picked->Color());
        };
        delete FSelector.data();
        FSelector = selector;
        break;
    }
    case 8: {
        auto* selector = new TrpLineSelector(FrameStyleB);
        selector->OnStyleChanged = [this](TrpLineSelector* picked) { Run(80, picked->Style()); };
        delete FSelector.data();
        FSelector = selector;
        break;
    }
    case 70:
        CurrentLine().Color = value;
        break;
    case 80:
        CurrentLine().Style = static_cast<TrpFrameStyle>(value);
        break;
    case 110:
        FFrame->ShadowColor = value;
        break;
    case 9:
        CurrentLine().Width = WidthOf(FrameWidthCB, LineL);
        break;
    case 10:
        FFrame->DropShadow = ShadowB->isChecked();
        break;
    case 12:
        FFrame->ShadowWidth = WidthOf(ShadowWidthCB, ShadowL);
        break;
    default:
        break;
    }
}

double TrpFrameEditorForm::WidthOf(QComboBox* box, const QLabel* group) const
{
    // The box's hint names it; without one, the group it stands in.
    const QString name = DesignerFields::FieldName(box->toolTip().isEmpty() ? group->text() : box->toolTip());
    return DesignerFields::ReadNumber(box, box->currentText(), name, {0, kMaxFrameWidth});
}

void TrpFrameEditorForm::CheckValues()
{
    // OK takes the widths as they are typed, also when the box was not left first; both are
    // read before either is applied, since applying one shows the frame in both boxes again.
    const double lineWidth = WidthOf(FrameWidthCB, LineL);
    const double shadowWidth = WidthOf(ShadowWidthCB, ShadowL);
    CurrentLine().Width = lineWidth;
    FFrame->ShadowWidth = shadowWidth;
    UpdateControls();
}

void TrpFrameEditorForm::UpdateControls()
{
    FUpdating = true;
    FrameTopB->setChecked((FFrame->Typ & (1u << ftTop)) != 0);
    FrameBottomB->setChecked((FFrame->Typ & (1u << ftBottom)) != 0);
    FrameLeftB->setChecked((FFrame->Typ & (1u << ftLeft)) != 0);
    FrameRightB->setChecked((FFrame->Typ & (1u << ftRight)) != 0);
    ShadowB->setChecked(FFrame->DropShadow);
    FrameWidthCB->setEditText(DesignerDialogs::NumberText(CurrentLine().Width));
    ShadowWidthCB->setEditText(DesignerDialogs::NumberText(FFrame->ShadowWidth));
    if (FrameLineCB->currentIndex() == 0) {
        // The frame's setters carry the left line's values to all four.
        const TrpFrameLine& left = FFrame->LeftLine();
        const TColor color = left.Color;
        const TrpFrameStyle style = left.Style;
        const double width = left.Width;
        FFrame->SetStyle(style);
        FFrame->SetColor(color);
        FFrame->SetWidth(width);
    }
    FUpdating = false;
}
