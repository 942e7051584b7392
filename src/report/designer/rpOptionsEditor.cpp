#include "rpOptionsEditor.h"

#include "DesignerFields.h"
#include "rpDesgnForm.h"
#include "rpDesgnWorkspace.h"

#include "report/core/Conversions.h"
#include "report/core/Services.h"
#include "report/core/gui/QtConversions.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A colour sample: a rectangle of 161 by 21 with a grey pen filled with the colour.
class ColorBox : public QWidget {
public:
    ColorBox(QWidget* parent, const TColor* color) : QWidget(parent), color_(color) { setFixedSize(163, 23); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(ToQColor(RGBColor(128, 128, 128)));
        painter.setBrush(ToQColor(*color_, Qt::white));
        painter.drawRect(0, 0, 161, 21);
    }

private:
    const TColor* color_;
};

const QStringList& SizeItems()
{
    static const QStringList items = {"8", "9", "10", "11", "12", "14"};
    return items;
}

// The defaults a designer window starts with, shown when there is none.
constexpr double kDefaultGrid[] = {0.1, 0.1, 4, 4};

} // namespace

TrpOptionsEditor::TrpOptionsEditor(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpOptionsEditor"))
{
    FForm = dynamic_cast<TrpDesignerForm*>(designer);
    setWindowTitle(QString());
    const auto label = [this](int number, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QStringLiteral("Label%1").arg(number));
        Label[number] = l;
        return l;
    };
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaximumWidth(60);
        return e;
    };
    const auto check = [this](const char* name, const QString& text) {
        auto* c = new QCheckBox(text, this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    const auto combo = [this](const char* name, bool editable) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(editable);
        return c;
    };
    const auto radio = [this](const char* name, const QString& text) {
        auto* r = new QRadioButton(text, this);
        r->setObjectName(QString::fromLatin1(name));
        return r;
    };
    const auto box = [this](const char* name, const QString& title) {
        auto* b = new QGroupBox(title, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };

    // Grid.
    GridGB = box("GridGB", QString());
    label(1, QString());
    label(2, QString());
    label(3, QString());
    label(4, QString());
    for (int i = 1; i <= 4; ++i) {
        QFont font = Label[i]->font();
        font.setBold(true);
        Label[i]->setFont(font);
    }
    label(5, QString());
    CMRB = radio("CMRB", QString());
    InchesRB = radio("InchesRB", QString());
    PixelsRB = radio("PixelsRB", QString());
    auto* unitsGroup = new QButtonGroup(this);
    for (QRadioButton* button : {CMRB, InchesRB, PixelsRB})
        unitsGroup->addButton(button);
    CME = edit("CME");
    InchesE = edit("InchesE");
    PixelsE = edit("PixelsE");
    DialogFormE = edit("DialogFormE");
    label(13, QString());
    label(14, QStringLiteral("in"));
    label(15, QStringLiteral("pt"));
    label(16, QStringLiteral("pt"));
    label(17, QStringLiteral("pt"));
    ShowGridCB = check("ShowGridCB", QString());
    AlignGridCB = check("AlignGridCB", QString());
    LCDCB = check("LCDCB", QString());
    auto* gridLayout = new QGridLayout(GridGB);
    gridLayout->addWidget(Label[1], 0, 0, 1, 3);
    QRadioButton* unitButtons[] = {CMRB, InchesRB, PixelsRB};
    QLineEdit* unitEdits[] = {CME, InchesE, PixelsE};
    for (int i = 0; i < 3; ++i) {
        gridLayout->addWidget(unitButtons[i], 1 + i, 0);
        gridLayout->addWidget(unitEdits[i], 1 + i, 1);
        gridLayout->addWidget(Label[13 + i], 1 + i, 2);
    }
    gridLayout->addWidget(Label[5], 4, 0);
    gridLayout->addWidget(DialogFormE, 4, 1);
    gridLayout->addWidget(Label[16], 4, 2);
    gridLayout->addWidget(ShowGridCB, 5, 0, 1, 3);
    gridLayout->addWidget(AlignGridCB, 6, 0, 1, 3);
    gridLayout->addWidget(LCDCB, 7, 0, 1, 3);

    // Fonts.
    FontsGB = box("FontsGB", QString());
    label(6, QString());
    label(7, QString());
    label(8, QString());
    label(9, QString());
    CodeWindowFontCB = combo("CodeWindowFontCB", false);
    CodeWindowSizeCB = combo("CodeWindowSizeCB", true);
    MemoEditorFontCB = combo("MemoEditorFontCB", false);
    MemoEditorSizeCB = combo("MemoEditorSizeCB", true);
    CodeWindowSizeCB->addItems(SizeItems());
    MemoEditorSizeCB->addItems(SizeItems());
    ObjectFontCB = check("ObjectFontCB", QString());
    auto* fontsLayout = new QGridLayout(FontsGB);
    fontsLayout->addWidget(Label[2], 0, 0, 1, 4);
    fontsLayout->addWidget(Label[6], 1, 0);
    fontsLayout->addWidget(CodeWindowFontCB, 1, 1);
    fontsLayout->addWidget(Label[7], 1, 2);
    fontsLayout->addWidget(CodeWindowSizeCB, 1, 3);
    fontsLayout->addWidget(Label[8], 2, 0);
    fontsLayout->addWidget(MemoEditorFontCB, 2, 1);
    fontsLayout->addWidget(Label[9], 2, 2);
    fontsLayout->addWidget(MemoEditorSizeCB, 2, 3);
    fontsLayout->addWidget(ObjectFontCB, 3, 0, 1, 4);
    fontsLayout->setRowStretch(4, 1);

    // Colours.
    ColorsGB = box("ColorsGB", QString());
    label(10, QString());
    label(11, QString());
    WorkspacePB = new ColorBox(this, &FWColor);
    WorkspacePB->setObjectName(QStringLiteral("WorkspacePB"));
    ToolPB = new ColorBox(this, &FTColor);
    ToolPB->setObjectName(QStringLiteral("ToolPB"));
    WorkspaceB = new QPushButton(QString(), this);
    WorkspaceB->setObjectName(QStringLiteral("WorkspaceB"));
    ToolB = new QPushButton(QString(), this);
    ToolB->setObjectName(QStringLiteral("ToolB"));
    auto* colorsLayout = new QGridLayout(ColorsGB);
    colorsLayout->addWidget(Label[3], 0, 0, 1, 3);
    colorsLayout->addWidget(Label[10], 1, 0);
    colorsLayout->addWidget(WorkspacePB, 1, 1);
    colorsLayout->addWidget(WorkspaceB, 1, 2);
    colorsLayout->addWidget(Label[11], 2, 0);
    colorsLayout->addWidget(ToolPB, 2, 1);
    colorsLayout->addWidget(ToolB, 2, 2);
    colorsLayout->setRowStretch(3, 1);

    // Other.
    OtherGB = box("OtherGB", QString());
    label(12, QString());
    EditAfterInsCB = check("EditAfterInsCB", QString());
    FreeBandsCB = check("FreeBandsCB", QString());
    GapE = edit("GapE");
    BandsCaptionsCB = check("BandsCaptionsCB", QString());
    DropFieldsCB = check("DropFieldsCB", QString());
    StartupCB = check("StartupCB", QString());
    RestoreDefaultsB = new QPushButton(QString(), this);
    RestoreDefaultsB->setObjectName(QStringLiteral("RestoreDefaultsB"));
    auto* otherLayout = new QGridLayout(OtherGB);
    otherLayout->addWidget(Label[4], 0, 0, 1, 3);
    otherLayout->addWidget(EditAfterInsCB, 1, 0, 1, 3);
    otherLayout->addWidget(FreeBandsCB, 2, 0, 1, 3);
    otherLayout->addWidget(Label[12], 3, 0);
    otherLayout->addWidget(GapE, 3, 1);
    otherLayout->addWidget(Label[17], 3, 2);
    otherLayout->addWidget(BandsCaptionsCB, 4, 0, 1, 3);
    otherLayout->addWidget(DropFieldsCB, 5, 0, 1, 3);
    otherLayout->addWidget(StartupCB, 6, 0, 1, 3);
    otherLayout->addWidget(RestoreDefaultsB, 7, 0, 1, 3);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    OkB->setDefault(true);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* grid = new QGridLayout;
    grid->addWidget(GridGB, 0, 0);
    grid->addWidget(FontsGB, 0, 1);
    grid->addWidget(OtherGB, 1, 0);
    grid->addWidget(ColorsGB, 1, 1);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    DesignerDialogs::Caption(this, 3000);
    for (int i = 1; i <= 17; ++i)
        DesignerDialogs::Caption(Label[i], 3000 + i);
    const std::pair<QWidget*, int> captions[] = {
        {CMRB, 3018},           {InchesRB, 3019},     {PixelsRB, 3020},    {ShowGridCB, 3021},
        {AlignGridCB, 3022},    {EditAfterInsCB, 3023}, {ObjectFontCB, 3024}, {WorkspaceB, 3025},
        {ToolB, 3026},          {LCDCB, 3027},        {FreeBandsCB, 3028}, {DropFieldsCB, 3029},
        {StartupCB, 3030},      {RestoreDefaultsB, 3031}, {BandsCaptionsCB, 3032},
    };
    for (const auto& [widget, id] : captions)
        DesignerDialogs::Caption(widget, id);

    connect(WorkspaceB, &QPushButton::clicked, this, [this] { Guard([this] { WorkspaceBClick(); }); });
    connect(ToolB, &QPushButton::clicked, this, [this] { Guard([this] { ToolBClick(); }); });
    connect(RestoreDefaultsB, &QPushButton::clicked, this, [this] { Guard([this] { RestoreDefaultsBClick(); }); });
}

void TrpOptionsEditor::Showing()
{
    // The colour dialog offers the button face as its first own colour.
    QColorDialog::setCustomColor(0, palette().color(QPalette::Button));
    const QStringList families = QFontDatabase::families();
    CodeWindowFontCB->clear();
    CodeWindowFontCB->addItems(families);
    MemoEditorFontCB->clear();
    MemoEditorFontCB->addItems(families);
    FormShow();
}

void TrpOptionsEditor::Hiding(int result)
{
    FormHide(result == mrOk);
}

void TrpOptionsEditor::FormShow()
{
    const auto setFont = [](QComboBox* list, const QString& name) {
        const int index = list->findText(name, Qt::MatchFixedString);
        if (index >= 0)
            list->setCurrentIndex(index);
        else if (!name.isEmpty()) {
            // A font the screen lacks stays the designer's choice.
            list->addItem(name);
            list->setCurrentIndex(list->count() - 1);
        }
    };
    if (FForm == nullptr) {
        CMRB->setChecked(true);
        CME->setText(DesignerDialogs::NumberText(kDefaultGrid[0]));
        InchesE->setText(DesignerDialogs::NumberText(kDefaultGrid[1]));
        PixelsE->setText(DesignerDialogs::NumberText(kDefaultGrid[2]));
        DialogFormE->setText(DesignerDialogs::NumberText(kDefaultGrid[3]));
        GapE->setText(QStringLiteral("4"));
        CodeWindowSizeCB->setEditText(QStringLiteral("10"));
        MemoEditorSizeCB->setEditText(QStringLiteral("10"));
        StartupCB->setVisible(false);
        return;
    }
    const TrpGridType gridType = FForm->Workspace()->GridType();
    const bool unitsEnabled = gridType != gtDialog && gridType != gtChar;
    for (QWidget* control : std::initializer_list<QWidget*>{CMRB, InchesRB, PixelsRB, CME, InchesE, PixelsE})
        control->setEnabled(unitsEnabled);
    CMRB->setChecked(FForm->Units() == duCM);
    InchesRB->setChecked(FForm->Units() == duInches);
    PixelsRB->setChecked(FForm->Units() == duPixels);
    CME->setText(DesignerDialogs::NumberText(FForm->GridSize1()));
    InchesE->setText(DesignerDialogs::NumberText(FForm->GridSize2()));
    PixelsE->setText(DesignerDialogs::NumberText(FForm->GridSize3()));
    DialogFormE->setText(DesignerDialogs::NumberText(FForm->GridSize4()));
    ShowGridCB->setChecked(FForm->ShowGrid());
    AlignGridCB->setChecked(FForm->GridAlign());
    EditAfterInsCB->setChecked(FForm->EditAfterInsert());
    BandsCaptionsCB->setChecked(FForm->ShowBandCaptions());
    DropFieldsCB->setChecked(FForm->DropFields());
    StartupCB->setChecked(FForm->ShowStartup());
    const auto* connections = FForm->findChild<QAction*>(QStringLiteral("ConnectionsMI"));
    StartupCB->setVisible(connections != nullptr && connections->isVisible());
    FreeBandsCB->setChecked(FForm->FreeBands());
    GapE->setText(QString::number(FForm->BandsGap()));
    setFont(CodeWindowFontCB, FForm->ScriptFontName());
    CodeWindowSizeCB->setEditText(QString::number(FForm->ScriptFontSize()));
    setFont(MemoEditorFontCB, FForm->MemoFontName);
    MemoEditorSizeCB->setEditText(QString::number(FForm->MemoFontSize));
    ObjectFontCB->setChecked(FForm->UseObjectFont);
    FWColor = FForm->WorkspaceColor();
    FTColor = FForm->ToolsColor();
    LCDCB->setChecked(FForm->GridLCD());
    WorkspacePB->update();
    ToolPB->update();
}

void TrpOptionsEditor::WorkspaceBClick()
{
    uint32_t rgb = ColorToRgb(FWColor);
    if (ReportServices::Ui().ColorDialog(rgb))
        FWColor = RgbToColor(rgb);
    WorkspacePB->update();
}

void TrpOptionsEditor::ToolBClick()
{
    uint32_t rgb = ColorToRgb(FTColor);
    if (ReportServices::Ui().ColorDialog(rgb))
        FTColor = RgbToColor(rgb);
    ToolPB->update();
}

void TrpOptionsEditor::RestoreDefaultsBClick()
{
    // The defaults go into the designer, the dialog shows them, and OK applies what it shows.
    if (FForm != nullptr) {
        FForm->RestoreState(true, false);
        FormShow();
    }
    accept();
}

TrpOptionsEditor::Numbers TrpOptionsEditor::ReadNumbers() const
{
    using namespace DesignerFields;
    Numbers numbers;
    numbers.Grid[3] = ReadNumber(DialogFormE, DialogFormE->text(), FieldName(Label[5]->text()), kGridDialog);
    if (FForm != nullptr) {
        numbers.Grid[0] = FForm->GridSize1();
        numbers.Grid[1] = FForm->GridSize2();
        numbers.Grid[2] = FForm->GridSize3();
    }
    if (CMRB->isEnabled()) {
        numbers.Grid[0] = ReadNumber(CME, CME->text(), FieldName(CMRB->text()), kGridCM);
        numbers.Grid[1] = ReadNumber(InchesE, InchesE->text(), FieldName(InchesRB->text()), kGridInches);
        numbers.Grid[2] = ReadNumber(PixelsE, PixelsE->text(), FieldName(PixelsRB->text()), kGridPixels);
    }
    numbers.Gap = ReadInteger(GapE, GapE->text(), FieldName(Label[12]->text()), kBandsGap);
    // Both size boxes are labelled "Размер": the name says whose size it is.
    const auto sizeName = [this](int owner, int size) {
        return FieldName(Label[owner]->text()) + QStringLiteral(", ") + FieldName(Label[size]->text()).toLower();
    };
    numbers.ScriptFontSize =
        ReadInteger(CodeWindowSizeCB, CodeWindowSizeCB->currentText(), sizeName(6, 7), kEditorFontSize);
    numbers.MemoFontSize =
        ReadInteger(MemoEditorSizeCB, MemoEditorSizeCB->currentText(), sizeName(8, 9), kEditorFontSize);
    return numbers;
}

void TrpOptionsEditor::CheckValues()
{
    ReadNumbers();
}

void TrpOptionsEditor::FormHide(bool ok)
{
    FApplied = false;
    if (!ok || FForm == nullptr)
        return;
    // Every field first: a value that cannot be taken raises before anything changes.
    const bool unitsEnabled = CMRB->isEnabled();
    const Numbers numbers = ReadNumbers();
    FForm->SetGridSize4(numbers.Grid[3]);
    if (unitsEnabled) {
        FForm->SetGridSize1(numbers.Grid[0]);
        FForm->SetGridSize2(numbers.Grid[1]);
        FForm->SetGridSize3(numbers.Grid[2]);
        FForm->SetUnits(InchesRB->isChecked() ? duInches : PixelsRB->isChecked() ? duPixels : duCM);
        // The units of report pages: kept across dialog pages and for the next run.
        FForm->SetOldUnits(FForm->Units());
    }
    FForm->SetShowGrid(ShowGridCB->isChecked());
    FForm->SetGridAlign(AlignGridCB->isChecked());
    FForm->SetEditAfterInsert(EditAfterInsCB->isChecked());
    FForm->SetShowBandCaptions(BandsCaptionsCB->isChecked());
    FForm->SetDropFields(DropFieldsCB->isChecked());
    FForm->SetShowStartup(StartupCB->isChecked());
    FForm->SetFreeBands(FreeBandsCB->isChecked());
    FForm->SetBandsGap(numbers.Gap);
    FForm->SetScriptFont(CodeWindowFontCB->currentText(), numbers.ScriptFontSize);
    FForm->MemoFontName = MemoEditorFontCB->currentText();
    FForm->MemoFontSize = numbers.MemoFontSize;
    FForm->UseObjectFont = ObjectFontCB->isChecked();
    FForm->SetWorkspaceColor(FWColor);
    FForm->SetToolsColor(FTColor);
    FForm->SetGridLCD(LCDCB->isChecked());
    FApplied = true;
}
