#include "rpHighlightEditor.h"

#include "report/core/Services.h"
#include "report/core/gui/QtConversions.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpFont.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr uint32_t kGlyphOutline = 8421504; // grey

} // namespace

TrpHighlightEditorForm::TrpHighlightEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpHighlightEditorForm"))
{
    setWindowTitle(QString());
    FGroups = new QWidget(this);
    ConditionL = new QGroupBox(QString(), FGroups);
    ConditionL->setObjectName(QStringLiteral("ConditionL"));
    ConditionE = new TrpComboEdit(ConditionL);
    ConditionE->setObjectName(QStringLiteral("ConditionE"));
    (new QVBoxLayout(ConditionL))->addWidget(ConditionE);

    FontL = new QGroupBox(QString(), FGroups);
    FontL->setObjectName(QStringLiteral("FontL"));
    FontColorB = new QToolButton(FontL);
    FontColorB->setObjectName(QStringLiteral("FontColorB"));
    FontColorB->setText(QString());
    FontColorB->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BoldCB = new QCheckBox(QString(), FontL);
    BoldCB->setObjectName(QStringLiteral("BoldCB"));
    ItalicCB = new QCheckBox(QString(), FontL);
    ItalicCB->setObjectName(QStringLiteral("ItalicCB"));
    UnderlineCB = new QCheckBox(QString(), FontL);
    UnderlineCB->setObjectName(QStringLiteral("UnderlineCB"));
    auto* fontLayout = new QVBoxLayout(FontL);
    fontLayout->addWidget(FontColorB);
    fontLayout->addWidget(BoldCB);
    fontLayout->addWidget(ItalicCB);
    fontLayout->addWidget(UnderlineCB);

    BackgroundL = new QGroupBox(QString(), FGroups);
    BackgroundL->setObjectName(QStringLiteral("BackgroundL"));
    TransparentRB = new QRadioButton(QString(), BackgroundL);
    TransparentRB->setObjectName(QStringLiteral("TransparentRB"));
    OtherRB = new QRadioButton(QString(), BackgroundL);
    OtherRB->setObjectName(QStringLiteral("OtherRB"));
    BackColorB = new QToolButton(BackgroundL);
    BackColorB->setObjectName(QStringLiteral("BackColorB"));
    BackColorB->setText(QString());
    BackColorB->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* backLayout = new QVBoxLayout(BackgroundL);
    backLayout->addWidget(TransparentRB);
    backLayout->addWidget(OtherRB);
    backLayout->addWidget(BackColorB);
    backLayout->addStretch(1);

    auto* row = new QHBoxLayout;
    row->addWidget(FontL);
    row->addWidget(BackgroundL);
    auto* groupsLayout = new QVBoxLayout(FGroups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addWidget(ConditionL);
    groupsLayout->addLayout(row);
    groupsLayout->addStretch(1);

    OKB = new QPushButton(QStringLiteral("OK"), this);
    OKB->setObjectName(QStringLiteral("OKB"));
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OKB, CancelB);
    auto* buttons = DesignerDialogs::ButtonRow({OKB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FGroups, 1);
    layout->addLayout(buttons);

    DesignerDialogs::Caption(this, 4600);
    DesignerDialogs::Caption(FontColorB, 4601);
    DesignerDialogs::Caption(BackColorB, 4602);
    DesignerDialogs::Caption(ConditionL, 4603);
    DesignerDialogs::Caption(FontL, 4604);
    DesignerDialogs::Caption(BackgroundL, 4605);
    DesignerDialogs::Caption(BoldCB, 4606);
    DesignerDialogs::Caption(ItalicCB, 4607);
    DesignerDialogs::Caption(UnderlineCB, 4608);
    DesignerDialogs::Caption(TransparentRB, 4609);
    DesignerDialogs::Caption(OtherRB, 4610);

    connect(FontColorB, &QToolButton::clicked, this, [this] { Guard([this] { FontColorBClick(); }); });
    connect(BackColorB, &QToolButton::clicked, this, [this] { Guard([this] { BackColorBClick(); }); });
    connect(TransparentRB, &QRadioButton::clicked, this, [this] { Guard([this] { TransparentRBClick(); }); });
    connect(OtherRB, &QRadioButton::clicked, this, [this] { Guard([this] { TransparentRBClick(); }); });
    ConditionE->OnButtonClick = [this] { Guard([this] { ConditionEButtonClick(); }); };
}

QPixmap TrpHighlightEditorForm::ColorGlyph(TColor color)
{
    QPixmap glyph(14, 15);
    glyph.fill(QPalette().color(QPalette::Button));
    QPainter painter(&glyph);
    painter.setPen(ToQColor(RgbToColor(kGlyphOutline)));
    painter.setBrush(ToQColor(color, Qt::transparent));
    painter.drawRect(0, 0, 13, 13);
    return glyph;
}

void TrpHighlightEditorForm::Showing()
{
    Fill();
}

void TrpHighlightEditorForm::Hiding(int result)
{
    if (result == mrOk)
        WriteBack();
}

void TrpHighlightEditorForm::HostControls(QWidget* host)
{
    FGroups->setParent(host);
    if (host->layout() == nullptr)
        (new QVBoxLayout(host))->setContentsMargins(4, 4, 4, 4);
    host->layout()->addWidget(FGroups);
    FGroups->show();
    Fill();
}

void TrpHighlightEditorForm::UnhostControls(int modalResult)
{
    if (modalResult == mrOk)
        WriteBack();
}

void TrpHighlightEditorForm::Fill()
{
    if (FMemoView == nullptr)
        return;
    const TrpHighlight& highlight = FMemoView->Highlight();
    FBackColor = highlight.Color;
    FFontColor = highlight.Font().Color();
    ConditionE->setEditText(highlight.Condition);
    const uint32_t style = highlight.Font().Style();
    BoldCB->setChecked((style & kFontStyleBold) != 0);
    ItalicCB->setChecked((style & kFontStyleItalic) != 0);
    UnderlineCB->setChecked((style & kFontStyleUnderline) != 0);
    TransparentRB->setChecked(FBackColor == clNone);
    OtherRB->setChecked(FBackColor != clNone);
    BackColorB->setEnabled(OtherRB->isChecked());
    UpdateGlyphs();
}

void TrpHighlightEditorForm::UpdateGlyphs()
{
    FontColorB->setIcon(ColorGlyph(FFontColor));
    BackColorB->setIcon(ColorGlyph(FBackColor));
}

void TrpHighlightEditorForm::FontColorBClick()
{
    uint32_t rgb = ColorToRgb(FFontColor);
    if (ReportServices::Ui().ColorDialog(rgb))
        FFontColor = RgbToColor(rgb);
    UpdateGlyphs();
}

void TrpHighlightEditorForm::BackColorBClick()
{
    uint32_t rgb = ColorToRgb(FBackColor, 0xFFFFFF);
    if (ReportServices::Ui().ColorDialog(rgb))
        FBackColor = RgbToColor(rgb);
    UpdateGlyphs();
}

void TrpHighlightEditorForm::TransparentRBClick()
{
    if (TransparentRB->isChecked())
        FBackColor = clNone;
    BackColorB->setEnabled(OtherRB->isChecked());
    UpdateGlyphs();
}

void TrpHighlightEditorForm::ConditionEButtonClick()
{
    if (Designer() == nullptr)
        return;
    const QString expression = Designer()->InsertExpression(ConditionE->currentText());
    if (!expression.isEmpty())
        ConditionE->setEditText(expression);
}

void TrpHighlightEditorForm::WriteBack()
{
    if (FMemoView == nullptr)
        return;
    TrpHighlight& highlight = FMemoView->Highlight();
    highlight.Condition = ConditionE->currentText();
    TrpFont font;
    font.Assign(FMemoView->Font());
    font.SetStyle((BoldCB->isChecked() ? kFontStyleBold : 0u) | (ItalicCB->isChecked() ? kFontStyleItalic : 0u) |
                  (UnderlineCB->isChecked() ? kFontStyleUnderline : 0u));
    font.SetColor(FFontColor);
    highlight.SetFont(font);
    highlight.Color = FBackColor;
}
