#include "rpStyleEditor.h"

#include "rpDesgnCtrls.h"
#include "rpDsgnImages.h"
#include "rpFrameEditor.h"

#include "report/core/Services.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpFont.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QToolButton* ToolButton(QToolBar* bar, const char* name, int image, int hint, const QString& fallback)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    const auto& images = MainButtonImages();
    if (image < static_cast<int>(images.size()))
        button->setIcon(QIcon(QPixmap::fromImage(images[image])));
    button->setToolTip(fallback);
    DesignerDialogs::Hint(button, hint);
    bar->addWidget(button);
    return button;
}

QString StyleFilter()
{
    return DesignerDialogs::QtFilter(DesignerDialogs::Text(QStringLiteral("dsStyleFile")) +
                                     QStringLiteral(" (*.fs3)|*.fs3"));
}

} // namespace

TrpStyleEditorForm::TrpStyleEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpStyleEditorForm")), FStyles(std::make_unique<TrpStyles>())
{
    setWindowTitle(QString());
    FReport = designer != nullptr ? designer->Report() : nullptr;
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    AddB = ToolButton(ToolBar, "AddB", 89, 5104, QString());
    DeleteB = ToolButton(ToolBar, "DeleteB", 88, 5105, QString());
    EditB = ToolButton(ToolBar, "EditB", 68, 5106, QString());
    ToolBar->addSeparator();
    LoadB = ToolButton(ToolBar, "LoadB", 1, 5107, QString());
    SaveB = ToolButton(ToolBar, "SaveB", 2, 5108, QString());
    ToolBar->addSeparator();
    CancelB = ToolButton(ToolBar, "CancelB", 55, 2, QString());
    OkB = ToolButton(ToolBar, "OkB", 56, 1, QStringLiteral("OK"));

    StylesTV = new QTreeWidget(this);
    StylesTV->setObjectName(QStringLiteral("StylesTV"));
    StylesTV->setHeaderHidden(true);
    StylesTV->setRootIsDecorated(false);
    StylesTV->setEditTriggers(QAbstractItemView::EditKeyPressed);
    StylesTV->installEventFilter(this);
    PaintBox = new QWidget(this);
    PaintBox->setObjectName(QStringLiteral("PaintBox"));
    PaintBox->setFixedSize(216, 78);
    PaintBox->installEventFilter(this);
    ColorB = new QPushButton(QString(), this);
    ColorB->setObjectName(QStringLiteral("ColorB"));
    ColorB->setProperty("tag", 2);
    FontB = new QPushButton(QString(), this);
    FontB->setObjectName(QStringLiteral("FontB"));
    FontB->setProperty("tag", 3);
    FrameB = new QPushButton(QString(), this);
    FrameB->setObjectName(QStringLiteral("FrameB"));
    FrameB->setProperty("tag", 4);
    DefCB = new QCheckBox(DesignerDialogs::Text(QStringLiteral("dsDefCharset")), this);
    DefCB->setObjectName(QStringLiteral("DefCB"));

    auto* right = new QVBoxLayout;
    right->addWidget(PaintBox);
    right->addWidget(ColorB);
    right->addWidget(FontB);
    right->addWidget(FrameB);
    right->addWidget(DefCB);
    right->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(StylesTV, 1);
    body->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(ToolBar);
    layout->addLayout(body, 1);
    resize(389, 251);

    DesignerDialogs::Caption(this, 5100);
    DesignerDialogs::Caption(ColorB, 5101);
    DesignerDialogs::Caption(FontB, 5102);
    DesignerDialogs::Caption(FrameB, 5103);

    connect(OkB, &QToolButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QToolButton::clicked, this, &QDialog::reject);
    connect(AddB, &QToolButton::clicked, this, [this] { Guard([this] { AddBClick(); }); });
    connect(DeleteB, &QToolButton::clicked, this, [this] { Guard([this] { DeleteBClick(); }); });
    connect(EditB, &QToolButton::clicked, this, [this] { Guard([this] { EditBClick(); }); });
    connect(LoadB, &QToolButton::clicked, this, [this] { Guard([this] { LoadBClick(); }); });
    connect(SaveB, &QToolButton::clicked, this, [this] { Guard([this] { SaveBClick(); }); });
    for (QPushButton* button : {ColorB, FontB, FrameB}) {
        const int tag = button->property("tag").toInt();
        connect(button, &QPushButton::clicked, this, [this, tag] { Guard([this, tag] { BClick(tag); }); });
    }
    connect(DefCB, &QCheckBox::clicked, this, [this] { Guard([this] { DefCBClick(); }); });
    connect(StylesTV, &QTreeWidget::currentItemChanged, this, [this] {
        if (!FFilling)
            UpdateControls();
    });
    connect(StylesTV, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        if (!FFilling)
            Guard([this, item] { StylesTVEdited(item); });
    });
}

TrpStyleEditorForm::~TrpStyleEditorForm()
{
    delete FSelector.data();
}

void TrpStyleEditorForm::Showing()
{
    if (FReport != nullptr)
        FStyles->Assign(FReport->Styles());
    FillTree(0);
}

void TrpStyleEditorForm::Hiding(int result)
{
    if (result == mrOk && FReport != nullptr)
        FReport->SetStyles(FStyles.get());
}

TrpStyleItem* TrpStyleEditorForm::Selected() const
{
    const int index = StylesTV->indexOfTopLevelItem(StylesTV->currentItem());
    return index >= 0 && index < FStyles->Count() ? FStyles->Items(index) : nullptr;
}

void TrpStyleEditorForm::FillTree(int index)
{
    FFilling = true;
    StylesTV->clear();
    for (int i = 0; i < FStyles->Count(); ++i) {
        auto* item = new QTreeWidgetItem(StylesTV, QStringList{FStyles->Items(i)->Name()});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    index = std::min(index, StylesTV->topLevelItemCount() - 1);
    if (index >= 0)
        StylesTV->setCurrentItem(StylesTV->topLevelItem(index));
    FFilling = false;
    UpdateControls();
}

void TrpStyleEditorForm::UpdateControls()
{
    TrpStyleItem* style = Selected();
    for (QWidget* button : std::initializer_list<QWidget*>{ColorB, FontB, FrameB})
        button->setEnabled(style != nullptr);
    DefCB->setChecked(style != nullptr && style->Font().Charset() == kDefaultCharset);
    PaintBox->update();
}

void TrpStyleEditorForm::PaintBoxPaint()
{
    QPainter painter(PaintBox);
    painter.setBrush(palette().color(QPalette::Base));
    painter.setPen(QPen(Qt::gray, 1, Qt::SolidLine));
    painter.drawRect(PaintBox->rect().adjusted(0, 0, -1, -1));
    TrpStyleItem* style = Selected();
    if (style == nullptr)
        return;
    TrpMemoView sample;
    sample.ApplyStyle(style);
    sample.SetText(DesignerDialogs::Text(QStringLiteral("dsStyleSample")));
    sample.GapX = 20;
    sample.GapY = 10;
    sample.SetWidth(sample.CalcWidth());
    sample.SetHeight(sample.CalcHeight());
    const double left = (PaintBox->width() - sample.Width()) / 2;
    const double top = (PaintBox->height() - sample.Height()) / 2;
    sample.Draw(painter, 1, 1, left, top, TrpDrawContext());
}

void TrpStyleEditorForm::ColorPicked(int color)
{
    if (TrpStyleItem* style = Selected())
        style->Color = color;
    PaintBox->update();
}

void TrpStyleEditorForm::BClick(int tag)
{
    TrpStyleItem* style = Selected();
    if (style == nullptr)
        return;
    switch (tag) {
    case 2: {
        auto* selector = new TrpColorSelector(ColorB);
        selector->OnColorChanged = [this](TrpColorSelector* picked) {
            const int color = picked->Color();
            Guard([this, color] { ColorPicked(color); });
        };
        delete FSelector.data();
        FSelector = selector;
        break;
    }
    case 3: {
        TrpFont& font = style->Font();
        UiFont ui;
        ui.Name = font.Name();
        ui.Size = font.Size();
        ui.Bold = (font.Style() & kFontStyleBold) != 0;
        ui.Italic = (font.Style() & kFontStyleItalic) != 0;
        ui.Underline = (font.Style() & kFontStyleUnderline) != 0;
        ui.StrikeOut = (font.Style() & kFontStyleStrikeOut) != 0;
        ui.Rgb = ColorToRgb(font.Color());
        if (ReportServices::Ui().FontDialog(ui)) {
            font.SetName(ui.Name);
            font.SetSize(ui.Size);
            font.SetStyle((ui.Bold ? kFontStyleBold : 0u) | (ui.Italic ? kFontStyleItalic : 0u) |
                          (ui.Underline ? kFontStyleUnderline : 0u) | (ui.StrikeOut ? kFontStyleStrikeOut : 0u));
            font.SetColor(RgbToColor(ui.Rgb));
        }
        if (DefCB->isChecked())
            font.SetCharset(kDefaultCharset);
        break;
    }
    case 4: {
        TrpFrameEditorForm editor(this, Designer());
        editor.SetFrame(style->Frame());
        if (editor.Execute() == mrOk)
            style->SetFrame(editor.Frame());
        break;
    }
    default:
        break;
    }
    UpdateControls();
}

void TrpStyleEditorForm::AddBClick()
{
    TrpStyleItem* style = FStyles->Add();
    style->CreateUniqueName();
    FillTree(FStyles->Count() - 1);
    StylesTV->editItem(StylesTV->currentItem());
}

void TrpStyleEditorForm::DeleteBClick()
{
    const int index = StylesTV->indexOfTopLevelItem(StylesTV->currentItem());
    if (index < 0 || index >= FStyles->Count())
        return;
    FStyles->Delete(index);
    FillTree(index);
}

void TrpStyleEditorForm::EditBClick()
{
    if (QTreeWidgetItem* item = StylesTV->currentItem())
        StylesTV->editItem(item);
}

void TrpStyleEditorForm::StylesTVEdited(QTreeWidgetItem* item)
{
    const int index = StylesTV->indexOfTopLevelItem(item);
    if (index < 0 || index >= FStyles->Count())
        return;
    TrpStyleItem* style = FStyles->Items(index);
    try {
        style->SetName(item->text(0));
    } catch (...) {
        // A refused name: the tree shows the style's own name again.
        FFilling = true;
        item->setText(0, style->Name());
        FFilling = false;
        throw;
    }
}

void TrpStyleEditorForm::DefCBClick()
{
    if (TrpStyleItem* style = Selected(); style != nullptr && DefCB->isChecked())
        style->Font().SetCharset(kDefaultCharset);
    PaintBox->update();
}

void TrpStyleEditorForm::LoadBClick()
{
    UiFileDialog dialog;
    dialog.Filter = StyleFilter();
    dialog.InitialDir = DesignerDialogs::OpenDir();
    if (!ReportServices::Ui().OpenFileDialog(dialog))
        return;
    try {
        FStyles->LoadFromFile(dialog.FileName);
    } catch (...) {
        FillTree(0);
        throw;
    }
    FillTree(0);
}

void TrpStyleEditorForm::SaveBClick()
{
    UiFileDialog dialog;
    dialog.Filter = StyleFilter();
    dialog.InitialDir = DesignerDialogs::SaveDir();
    dialog.DefaultExt = QStringLiteral("fs3");
    dialog.OverwritePrompt = true;
    if (!ReportServices::Ui().SaveFileDialog(dialog))
        return;
    QString name = dialog.FileName;
    if (QFileInfo(name).suffix().compare(QStringLiteral("fs3"), Qt::CaseInsensitive) != 0)
        name += QStringLiteral(".fs3");
    FStyles->SaveToFile(name);
}

bool TrpStyleEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PaintBox && event->type() == QEvent::Paint) {
        PaintBoxPaint();
        return true;
    }
    if (watched == StylesTV && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        EditBClick();
        return true;
    }
    return TrpDesignerDialog::eventFilter(watched, event);
}
