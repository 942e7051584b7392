#include "rpPageEditor.h"

#include "DesignerFields.h"
#include "rpDesgnForm.h"

#include "platform/Exceptions.h"
#include "report/core/Conversions.h"
#include "report/core/NumberText.h"
#include "report/core/Services.h"
#include "report/engine/rpPrinter.h"
#include "report/engine/ui/rpOrientationPicture.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpPaperSizes.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QString Res(const char16_t* name)
{
    return GetResourcesInstance().Get(name);
}

// A name for a field of a group: the group's title and the field's label ("Поля, слева").
QString GroupFieldName(const QGroupBox* group, const QLabel* label)
{
    return DesignerFields::FieldName(group->title()) + QStringLiteral(", ") +
           DesignerFields::FieldName(label->text()).toLower();
}

} // namespace

TrpPageEditorForm::TrpPageEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpPageEditorForm"))
{
    setWindowTitle(QString());
    if (designer != nullptr)
        FPage = dynamic_cast<TrpReportPage*>(designer->Page());
    if (const auto* form = dynamic_cast<const TrpDesignerForm*>(designer))
        FUnits = form->Units();

    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaximumWidth(80);
        return e;
    };
    const auto combo = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    const auto box = [this](const char* name, const QString& title) {
        auto* b = new QGroupBox(title, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    const auto check = [this](const char* name, const QString& text) {
        auto* c = new QCheckBox(text, this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    for (int i = 0; i < 7; ++i)
        UnitL[i] = label(QStringLiteral("UnitL%1").arg(i + 1).toLatin1().constData(), QString());

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl->addTab(TabSheet1, QString());
    PageControl->addTab(TabSheet3, QString());

    // Paper: size, width and height, orientation, margins, trays.
    SizeL = label("SizeL", QString());
    SizeCB = combo("SizeCB");
    WidthL = label("WidthL", QString());
    WidthE = edit("WidthE");
    HeightL = label("HeightL", QString());
    HeightE = edit("HeightE");
    auto* sizeGrid = new QGridLayout;
    sizeGrid->addWidget(SizeL, 0, 0);
    sizeGrid->addWidget(SizeCB, 0, 1, 1, 2);
    sizeGrid->addWidget(WidthL, 1, 0);
    sizeGrid->addWidget(WidthE, 1, 1);
    sizeGrid->addWidget(UnitL[0], 1, 2);
    sizeGrid->addWidget(HeightL, 2, 0);
    sizeGrid->addWidget(HeightE, 2, 1);
    sizeGrid->addWidget(UnitL[1], 2, 2);

    OrientationGB = box("OrientationGB", QString());
    PortraitRB = new QRadioButton(QString(), OrientationGB);
    PortraitRB->setObjectName(QStringLiteral("PortraitRB"));
    LandscapeRB = new QRadioButton(QString(), OrientationGB);
    LandscapeRB->setObjectName(QStringLiteral("LandscapeRB"));
    auto* orientationGroup = new QButtonGroup(this);
    orientationGroup->addButton(PortraitRB);
    orientationGroup->addButton(LandscapeRB);
    PortraitImg = label("PortraitImg", QString());
    PortraitImg->setPixmap(OrientationPicture(false));
    LandscapeImg = label("LandscapeImg", QString());
    LandscapeImg->setPixmap(OrientationPicture(true));
    auto* orientationLayout = new QGridLayout(OrientationGB);
    orientationLayout->addWidget(PortraitRB, 0, 0);
    orientationLayout->addWidget(LandscapeRB, 1, 0);
    orientationLayout->addWidget(PortraitImg, 0, 1, 2, 1);
    orientationLayout->addWidget(LandscapeImg, 0, 1, 2, 1);

    MarginsGB = box("MarginsGB", QString());
    MarginLeftL = label("MarginLeftL", QString());
    MarginTopL = label("MarginTopL", QString());
    MarginRightL = label("MarginRightL", QString());
    MarginBottomL = label("MarginBottomL", QString());
    MarginLeftE = edit("MarginLeftE");
    MarginTopE = edit("MarginTopE");
    MarginRightE = edit("MarginRightE");
    MarginBottomE = edit("MarginBottomE");
    auto* marginsLayout = new QGridLayout(MarginsGB);
    QLabel* marginLabels[] = {MarginLeftL, MarginTopL, MarginRightL, MarginBottomL};
    QLineEdit* marginEdits[] = {MarginLeftE, MarginTopE, MarginRightE, MarginBottomE};
    for (int i = 0; i < 4; ++i) {
        marginsLayout->addWidget(marginLabels[i], i % 2, (i / 2) * 3);
        marginsLayout->addWidget(marginEdits[i], i % 2, (i / 2) * 3 + 1);
        marginsLayout->addWidget(UnitL[2 + i], i % 2, (i / 2) * 3 + 2);
    }

    TraysGB = box("TraysGB", QString());
    Tray1L = label("Tray1L", QString());
    Tray2L = label("Tray2L", QString());
    Tray1CB = combo("Tray1CB");
    Tray2CB = combo("Tray2CB");
    auto* traysLayout = new QGridLayout(TraysGB);
    traysLayout->addWidget(Tray1L, 0, 0);
    traysLayout->addWidget(Tray1CB, 0, 1);
    traysLayout->addWidget(Tray2L, 1, 0);
    traysLayout->addWidget(Tray2CB, 1, 1);

    auto* paperLayout = new QGridLayout(TabSheet1);
    paperLayout->addLayout(sizeGrid, 0, 0);
    paperLayout->addWidget(OrientationGB, 0, 1);
    paperLayout->addWidget(MarginsGB, 1, 0, 1, 2);
    paperLayout->addWidget(TraysGB, 2, 0, 1, 2);

    // Columns and the other settings.
    ColumnsGB = box("ColumnsGB", QString());
    ColumnsNumberL = label("ColumnsNumberL", QString());
    ColumnWidthL = label("ColumnWidthL", QString());
    ColumnPositionsL = label("ColumnPositionsL", QString());
    UpDown1 = new QSpinBox(ColumnsGB);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, kMaxColumns);
    ColumnsNumberE = UpDown1->findChild<QLineEdit*>();
    if (ColumnsNumberE != nullptr) {
        ColumnsNumberE->setObjectName(QStringLiteral("ColumnsNumberE"));
        ColumnsNumberE->setReadOnly(true);
    }
    ColumnWidthE = edit("ColumnWidthE");
    ColumnPositionsM = new QPlainTextEdit(this);
    ColumnPositionsM->setObjectName(QStringLiteral("ColumnPositionsM"));
    ColumnPositionsM->setMaximumSize(120, 90);
    auto* columnsLayout = new QGridLayout(ColumnsGB);
    columnsLayout->addWidget(ColumnsNumberL, 0, 0);
    columnsLayout->addWidget(UpDown1, 0, 1);
    columnsLayout->addWidget(ColumnWidthL, 1, 0);
    columnsLayout->addWidget(ColumnWidthE, 1, 1);
    columnsLayout->addWidget(UnitL[6], 1, 2);
    columnsLayout->addWidget(ColumnPositionsL, 2, 0);
    columnsLayout->addWidget(ColumnPositionsM, 2, 1, 1, 2);

    OtherGB = box("OtherGB", QString());
    PrintOnPrevCB = check("PrintOnPrevCB", QString());
    MirrorMarginsCB = check("MirrorMarginsCB", QString());
    LargeHeightCB = check("LargeHeightCB", QString());
    EndlessWidthCB = check("EndlessWidthCB", QString());
    EndlessHeightCB = check("EndlessHeightCB", QString());
    DuplexL = label("DuplexL", QString());
    DuplexCB = combo("DuplexCB");
    for (const char16_t* name : {u"dupDefault", u"dupVert", u"dupHorz", u"dupSimpl"})
        DuplexCB->addItem(Res(name));
    auto* otherLayout = new QGridLayout(OtherGB);
    int row = 0;
    for (QCheckBox* flag : {PrintOnPrevCB, MirrorMarginsCB, LargeHeightCB, EndlessWidthCB, EndlessHeightCB})
        otherLayout->addWidget(flag, row++, 0, 1, 2);
    otherLayout->addWidget(DuplexL, row, 0);
    otherLayout->addWidget(DuplexCB, row, 1);

    auto* sheet3Layout = new QVBoxLayout(TabSheet3);
    sheet3Layout->addWidget(ColumnsGB);
    sheet3Layout->addWidget(OtherGB);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    OkB->setDefault(true);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const std::pair<QWidget*, int> captions[] = {
        {this, 2700},         {TabSheet1, 2701},      {WidthL, 2702},       {HeightL, 2703},
        {SizeL, 2704},        {OrientationGB, 2705},  {MarginLeftL, 2706},  {MarginTopL, 2707},
        {MarginRightL, 2708}, {MarginBottomL, 2709},  {MarginsGB, 2710},    {TraysGB, 2711},
        {Tray1L, 2712},       {Tray2L, 2713},         {PortraitRB, 2714},   {LandscapeRB, 2715},
        {TabSheet3, 2716},    {ColumnsGB, 2717},      {ColumnsNumberL, 2718}, {ColumnWidthL, 2719},
        {ColumnPositionsL, 2720}, {OtherGB, 2721},    {DuplexL, 2722},      {PrintOnPrevCB, 2723},
        {MirrorMarginsCB, 2724}, {LargeHeightCB, 2725}, {EndlessWidthCB, 2726}, {EndlessHeightCB, 2727},
    };
    for (const auto& [widget, id] : captions) {
        if (widget == TabSheet1 || widget == TabSheet3) {
            const QString name = QString::number(id);
            const QString text = GetResourcesInstance().Get(name);
            if (text != name)
                PageControl->setTabText(PageControl->indexOf(widget), text);
        } else {
            DesignerDialogs::Caption(widget, id);
        }
    }

    const auto guarded = [this](void (TrpPageEditorForm::*handler)()) {
        return [this, handler] { Guard([this, handler] { (this->*handler)(); }); };
    };
    connect(PortraitRB, &QRadioButton::toggled, this, guarded(&TrpPageEditorForm::PortraitRBClick));
    connect(SizeCB, qOverload<int>(&QComboBox::currentIndexChanged), this, guarded(&TrpPageEditorForm::SizeCBClick));
    // Any change of the text outside the dialog's own filling, typed or set by a script.
    connect(WidthE, &QLineEdit::textChanged, this, guarded(&TrpPageEditorForm::WidthEChange));
    connect(HeightE, &QLineEdit::textChanged, this, guarded(&TrpPageEditorForm::WidthEChange));
    connect(UpDown1, qOverload<int>(&QSpinBox::valueChanged), this, guarded(&TrpPageEditorForm::UpDown1Click));
}

QString TrpPageEditorForm::UnitsText(double millimetres, bool horizontal) const
{
    return DesignerDialogs::NumberText(mmToUnits(millimetres, FUnits, horizontal));
}

double TrpPageEditorForm::Millimetres(QWidget* field, const QString& text, const QString& name, bool horizontal,
                                      double lowMm, double highMm) const
{
    // The range in the units the person types; a length that rounds outside it (whole
    // characters) is refused with the same words.
    const NumberRange units{mmToUnits(lowMm, FUnits, horizontal), mmToUnits(highMm, FUnits, horizontal)};
    const double millimetres = UnitsTomm(DesignerFields::ReadNumber(field, text, name, units), FUnits, horizontal);
    if (millimetres < lowMm || millimetres > highMm)
        DesignerFields::RefuseRange(field, name, units);
    return millimetres;
}

double TrpPageEditorForm::Millimetres(const QLineEdit* edit, bool horizontal) const
{
    const QLabel* labels[] = {WidthL, HeightL, MarginLeftL, MarginTopL, MarginRightL, MarginBottomL};
    const QLineEdit* edits[] = {WidthE, HeightE, MarginLeftE, MarginTopE, MarginRightE, MarginBottomE};
    QString name = DesignerFields::FieldName(ColumnWidthL->text());
    for (int i = 0; i < 6; ++i) {
        if (edits[i] == edit)
            name = i < 2 ? DesignerFields::FieldName(labels[i]->text()) : GroupFieldName(MarginsGB, labels[i]);
    }
    return Millimetres(const_cast<QLineEdit*>(edit), edit->text(), name, horizontal, 0, kMaxPaperMillimetres);
}

void TrpPageEditorForm::Showing()
{
    FormShow();
}

void TrpPageEditorForm::Hiding(int result)
{
    FormHide(result == mrOk);
}

void TrpPageEditorForm::FormShow()
{
    FUpdating = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{FUpdating};

    static const char16_t* const kUnitNames[] = {u"uCm", u"uInch", u"uPix", u"uChar"};
    for (QLabel* unit : UnitL)
        unit->setText(Res(kUnitNames[FUnits]));

    // The current printer's papers and trays; without a printer the paper table and the
    // printer's own choice of tray.
    const TrpCustomPrinter* printer = GetPrintersInstance().Printer();
    SizeCB->clear();
    Tray1CB->clear();
    Tray2CB->clear();
    const auto paperName = [](const TrpPrinterItem& paper) {
        if (!paper.Name.isEmpty())
            return paper.Name;
        return paper.Code == kPaperCustom ? Res(u"prCustom") : PaperSizeName(paper.Code);
    };
    if (printer != nullptr && !printer->Papers().empty()) {
        for (const TrpPrinterItem& paper : printer->Papers())
            SizeCB->addItem(paperName(paper), paper.Code);
    } else {
        SizeCB->addItem(Res(u"prCustom"), kPaperCustom);
        for (const TrpPaperSize& paper : PaperSizes())
            SizeCB->addItem(PaperSizeName(paper.Code), paper.Code);
    }
    if (SizeCB->findData(kPaperCustom) < 0)
        SizeCB->addItem(Res(u"prCustom"), kPaperCustom);
    if (printer != nullptr && !printer->Bins().empty()) {
        for (const TrpPrinterItem& bin : printer->Bins()) {
            Tray1CB->addItem(bin.Name, bin.Code);
            Tray2CB->addItem(bin.Name, bin.Code);
        }
    } else {
        Tray1CB->addItem(Res(u"prDefault"), kDefaultBin);
        Tray2CB->addItem(Res(u"prDefault"), kDefaultBin);
    }
    if (FPage == nullptr)
        return;

    const int paper = SizeCB->findData(FPage->PaperSize());
    SizeCB->setCurrentIndex(paper >= 0 ? paper : SizeCB->findData(kPaperCustom));
    WidthE->setText(UnitsText(FPage->PaperWidth(), true));
    HeightE->setText(UnitsText(FPage->PaperHeight(), false));
    FLandscape = FPage->Orientation() == poLandscape;
    PortraitRB->setChecked(!FLandscape);
    LandscapeRB->setChecked(FLandscape);
    MarginLeftE->setText(UnitsText(FPage->LeftMargin, true));
    MarginRightE->setText(UnitsText(FPage->RightMargin, true));
    MarginTopE->setText(UnitsText(FPage->TopMargin, false));
    MarginBottomE->setText(UnitsText(FPage->BottomMargin, false));
    const auto selectBin = [](QComboBox* list, int32_t bin) {
        int index = list->findData(bin);
        if (index < 0)
            index = list->findData(kDefaultBin);
        list->setCurrentIndex(std::max(index, 0));
    };
    selectBin(Tray1CB, FPage->Bin);
    selectBin(Tray2CB, FPage->BinOtherPages);
    UpDown1->setValue(FPage->Columns());
    ColumnWidthE->setText(UnitsText(FPage->ColumnWidth, true));
    QStringList positions;
    for (const QString& position : FPage->ColumnPositions()) {
        double millimetres = 0;
        try {
            millimetres = ParseLocaleFloat(position);
        } catch (const platform::Exception&) {
            // A position the file holds as no number shows as the first column's.
        }
        positions.append(UnitsText(millimetres, true));
    }
    ColumnPositionsM->setPlainText(positions.join(u'\n'));
    PrintOnPrevCB->setChecked(FPage->PrintOnPreviousPage);
    MirrorMarginsCB->setChecked(FPage->MirrorMargins);
    EndlessHeightCB->setChecked(FPage->EndlessHeight);
    EndlessWidthCB->setChecked(FPage->EndlessWidth);
    LargeHeightCB->setChecked(FPage->LargeDesignHeight);
    DuplexCB->setCurrentIndex(std::clamp(static_cast<int>(FPage->Duplex), 0, 3));
    PortraitImg->setVisible(!FLandscape);
    LandscapeImg->setVisible(FLandscape);
}

void TrpPageEditorForm::PortraitRBClick()
{
    PortraitImg->setVisible(PortraitRB->isChecked());
    LandscapeImg->setVisible(LandscapeRB->isChecked());
    if (FUpdating)
        return;
    const bool landscape = LandscapeRB->isChecked();
    if (landscape == FLandscape)
        return;
    FLandscape = landscape;
    const int32_t code = SizeCB->currentData().toInt();
    double width = 0;
    double height = 0;
    if (code != kPaperCustom && LookupPaperDimensions(code, width, height)) {
        SizeCBClick();
        return;
    }
    // A size of its own turns with the sheet.
    FUpdating = true;
    const QString widthText = WidthE->text();
    WidthE->setText(HeightE->text());
    HeightE->setText(widthText);
    FUpdating = false;
}

void TrpPageEditorForm::SizeCBClick()
{
    if (FUpdating)
        return;
    const int32_t code = SizeCB->currentData().toInt();
    double width = 0;
    double height = 0;
    // A paper of the table takes its size in the chosen orientation; a size of its own (or a
    // paper the table does not know) stays as typed.
    if (code == kPaperCustom || !LookupPaperDimensions(code, width, height))
        return;
    if (LandscapeRB->isChecked())
        std::swap(width, height);
    FUpdating = true;
    WidthE->setText(UnitsText(width, true));
    HeightE->setText(UnitsText(height, false));
    FUpdating = false;
}

void TrpPageEditorForm::WidthEChange()
{
    if (FUpdating)
        return;
    // A typed size is a size of its own.
    FUpdating = true;
    const int custom = SizeCB->findData(kPaperCustom);
    SizeCB->setCurrentIndex(custom >= 0 ? custom : 0);
    FUpdating = false;
}

void TrpPageEditorForm::UpDown1Click()
{
    if (FUpdating)
        return;
    const int count = std::max(UpDown1->value(), 1);
    const double printable =
        Millimetres(WidthE, true) - Millimetres(MarginLeftE, true) - Millimetres(MarginRightE, true);
    const double width = printable / count;
    ColumnWidthE->setText(UnitsText(width, true));
    QStringList positions;
    for (int i = 0; i < count; ++i)
        positions.append(UnitsText(i * width, true));
    ColumnPositionsM->setPlainText(positions.join(u'\n'));
}

TrpPageEditorForm::Lengths TrpPageEditorForm::ReadLengths() const
{
    using DesignerFields::FieldName;
    Lengths lengths;
    lengths.Width = Millimetres(WidthE, WidthE->text(), FieldName(WidthL->text()), true, 1, kMaxPaperMillimetres);
    lengths.Height = Millimetres(HeightE, HeightE->text(), FieldName(HeightL->text()), false, 1, kMaxPaperMillimetres);
    // Margins, the column width and the column positions lie on the sheet.
    const auto margin = [&](QLineEdit* edit, const QLabel* label, bool horizontal) {
        return Millimetres(edit, edit->text(), GroupFieldName(MarginsGB, label), horizontal, 0,
                           horizontal ? lengths.Width : lengths.Height);
    };
    lengths.Left = margin(MarginLeftE, MarginLeftL, true);
    lengths.Top = margin(MarginTopE, MarginTopL, false);
    lengths.Right = margin(MarginRightE, MarginRightL, true);
    lengths.Bottom = margin(MarginBottomE, MarginBottomL, false);
    lengths.ColumnWidth = Millimetres(ColumnWidthE, ColumnWidthE->text(), GroupFieldName(ColumnsGB, ColumnWidthL),
                                      true, 0, lengths.Width);
    const QString positionsName = GroupFieldName(ColumnsGB, ColumnPositionsL);
    for (const QString& line : ColumnPositionsM->toPlainText().split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const double millimetres = Millimetres(ColumnPositionsM, line, positionsName, true, 0, lengths.Width);
        lengths.ColumnPositions.append(FloatToGeneralText(millimetres, 15, FormatSettings::C()));
    }
    return lengths;
}

void TrpPageEditorForm::CheckValues()
{
    ReadLengths();
}

void TrpPageEditorForm::FormHide(bool ok)
{
    FApplied = false;
    if (!ok || FPage == nullptr)
        return;
    // Every field first: a value that cannot be taken raises before anything changes.
    const int32_t paperSize = SizeCB->currentData().toInt();
    const Lengths lengths = ReadLengths();
    const int32_t bin = Tray1CB->count() > 0 ? Tray1CB->currentData().toInt() : kDefaultBin;
    const int32_t binOtherPages = Tray2CB->count() > 0 ? Tray2CB->currentData().toInt() : kDefaultBin;
    const int32_t columns = UpDown1->value();
    const auto duplex = static_cast<TrpDuplexMode>(std::clamp(DuplexCB->currentIndex(), 0, 3));
    const TPrinterOrientation orientation = LandscapeRB->isChecked() ? poLandscape : poPortrait;

    std::vector<TrpReportPage*> pages{FPage};
    for (TrpComponent* object : FPage->AllObjects()) {
        if (auto* subreport = dynamic_cast<TrpSubreport*>(object); subreport != nullptr && subreport->Page() != nullptr)
            pages.push_back(subreport->Page());
    }
    for (TrpReportPage* page : pages) {
        page->SetOrientation(orientation);
        page->SetSizeAndDimensions(paperSize, lengths.Width, lengths.Height);
        page->LeftMargin = lengths.Left;
        page->TopMargin = lengths.Top;
        page->RightMargin = lengths.Right;
        page->BottomMargin = lengths.Bottom;
        page->Bin = bin;
        page->BinOtherPages = binOtherPages;
        page->SetColumns(columns);
        page->ColumnWidth = lengths.ColumnWidth;
        page->SetColumnPositions(lengths.ColumnPositions);
        page->PrintOnPreviousPage = PrintOnPrevCB->isChecked();
        page->MirrorMargins = MirrorMarginsCB->isChecked();
        page->EndlessHeight = EndlessHeightCB->isChecked();
        page->EndlessWidth = EndlessWidthCB->isChecked();
        page->LargeDesignHeight = LargeHeightCB->isChecked();
        page->Duplex = duplex;
    }
    FApplied = true;
}
