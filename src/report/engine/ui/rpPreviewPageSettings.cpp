#include "rpPreviewPageSettings.h"

#include "rpOrientationPicture.h"

#include "report/core/Conversions.h"
#include "report/core/Services.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kMillimetresPerCentimetre = 10;

QString Text(const char16_t* name)
{
    return GetResourcesInstance().Get(name);
}

void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ErrorMessageBox(message); });
}

} // namespace

QPixmap OrientationPicture(bool landscape)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QRect sheet = landscape ? QRect(4, 12, 40, 28) : QRect(10, 4, 28, 40);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(Qt::gray);
    for (int y = sheet.top() + 5; y < sheet.bottom() - 3; y += 4)
        painter.drawLine(sheet.left() + 4, y, sheet.right() - 4, y);
    return pixmap;
}

TrpPageSettingsForm::TrpPageSettingsForm(TrpReport* report, TrpReportPage* page, QWidget* parent)
    : QDialog(parent), FPage(page), FReport(report)
{
    setObjectName(QStringLiteral("TrpPageSettingsForm"));
    if (report != nullptr) {
        FSettings = report->Script().Settings();
        if (const std::unique_ptr<TrpIniFile> ini = report->GetIniFile()) {
            const int32_t units = ini->ReadInteger(QStringLiteral("Form.TrpDesignerForm"), QStringLiteral("Units"), 0);
            FUnits = units >= duCm && units <= duChars ? static_cast<TrpDesignerUnits>(units) : duCm;
        }
    }

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    for (int i = 0; i < 6; ++i)
        UnitL[i] = label(QStringLiteral("UnitL%1").arg(i + 1).toLatin1().constData(), QString());
    SizeL = label("SizeL", Text(u"403"));
    SizeCB = new QComboBox(this);
    SizeCB->setObjectName(QStringLiteral("SizeCB"));
    WidthL = label("WidthL", Text(u"401"));
    WidthE = edit("WidthE");
    HeightL = label("HeightL", Text(u"402"));
    HeightE = edit("HeightE");
    grid->addWidget(SizeL, 0, 0);
    grid->addWidget(SizeCB, 0, 1, 1, 2);
    grid->addWidget(WidthL, 1, 0);
    grid->addWidget(WidthE, 1, 1);
    grid->addWidget(UnitL[0], 1, 2);
    grid->addWidget(HeightL, 2, 0);
    grid->addWidget(HeightE, 2, 1);
    grid->addWidget(UnitL[1], 2, 2);

    OrientationL = label("OrientationL", Text(u"404"));
    PortraitRB = new QRadioButton(Text(u"410"), this);
    PortraitRB->setObjectName(QStringLiteral("PortraitRB"));
    LandscapeRB = new QRadioButton(Text(u"411"), this);
    LandscapeRB->setObjectName(QStringLiteral("LandscapeRB"));
    PortraitImg = label("PortraitImg", QString());
    PortraitImg->setPixmap(OrientationPicture(false));
    LandscapeImg = label("LandscapeImg", QString());
    LandscapeImg->setPixmap(OrientationPicture(true));
    grid->addWidget(OrientationL, 3, 0);
    grid->addWidget(PortraitRB, 4, 0);
    grid->addWidget(LandscapeRB, 5, 0);
    grid->addWidget(PortraitImg, 4, 1, 2, 1);
    grid->addWidget(LandscapeImg, 4, 1, 2, 1);

    MarginsL = label("MarginsL", Text(u"409"));
    LeftL = label("LeftL", Text(u"405"));
    TopL = label("TopL", Text(u"406"));
    RightL = label("RightL", Text(u"407"));
    BottomL = label("BottomL", Text(u"408"));
    MarginLeftE = edit("MarginLeftE");
    MarginTopE = edit("MarginTopE");
    MarginRightE = edit("MarginRightE");
    MarginBottomE = edit("MarginBottomE");
    grid->addWidget(MarginsL, 6, 0);
    QLabel* marginLabels[] = {LeftL, TopL, RightL, BottomL};
    QLineEdit* marginEdits[] = {MarginLeftE, MarginTopE, MarginRightE, MarginBottomE};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(marginLabels[i], 7 + i, 0);
        grid->addWidget(marginEdits[i], 7 + i, 1);
        grid->addWidget(UnitL[2 + i], 7 + i, 2);
    }
    OtherL = label("OtherL", Text(u"412"));
    ApplyToCurRB = new QRadioButton(Text(u"413"), this);
    ApplyToCurRB->setObjectName(QStringLiteral("ApplyToCurRB"));
    ApplyToAllRB = new QRadioButton(Text(u"414"), this);
    ApplyToAllRB->setObjectName(QStringLiteral("ApplyToAllRB"));
    ApplyToCurRB->setChecked(true);
    // Orientation and where to apply are two choices of their own.
    auto* orientation = new QButtonGroup(this);
    orientation->addButton(PortraitRB);
    orientation->addButton(LandscapeRB);
    auto* applyTo = new QButtonGroup(this);
    applyTo->addButton(ApplyToCurRB);
    applyTo->addButton(ApplyToAllRB);
    grid->addWidget(OtherL, 11, 0);
    grid->addWidget(ApplyToCurRB, 12, 0, 1, 3);
    grid->addWidget(ApplyToAllRB, 13, 0, 1, 3);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKB = new QPushButton(Text(u"1"), this);
    OKB->setObjectName(QStringLiteral("OKB"));
    OKB->setDefault(true);
    CancelB = new QPushButton(Text(u"2"), this);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    buttons->addWidget(OKB);
    buttons->addWidget(CancelB);
    layout->addLayout(buttons);

    connect(PortraitRB, &QRadioButton::clicked, this, [this] { Guard([this] { PortraitRBClick(); }); });
    connect(LandscapeRB, &QRadioButton::clicked, this, [this] { Guard([this] { PortraitRBClick(); }); });
    connect(SizeCB, qOverload<int>(&QComboBox::activated), this, [this] { Guard([this] { SizeCBClick(); }); });
    connect(WidthE, &QLineEdit::textChanged, this, [this] { Guard([this] { WidthEChange(); }); });
    connect(HeightE, &QLineEdit::textChanged, this, [this] { Guard([this] { WidthEChange(); }); });
    connect(OKB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
    FormShow();
}

bool TrpPageSettingsForm::NeedRebuild() const
{
    return ApplyToAllRB->isChecked();
}

double TrpPageSettingsForm::ToUnits(double millimetres) const
{
    return FUnits == duInch ? millimetres / kMillimetresPerInch : millimetres / kMillimetresPerCentimetre;
}

double TrpPageSettingsForm::FromUnits(double value) const
{
    return FUnits == duInch ? value * kMillimetresPerInch : value * kMillimetresPerCentimetre;
}

QString TrpPageSettingsForm::UnitText(double millimetres) const
{
    return FloatToShortText(ToUnits(millimetres), FSettings);
}

void TrpPageSettingsForm::SetEdit(QLineEdit* edit, double millimetres)
{
    edit->setText(UnitText(millimetres));
}

double TrpPageSettingsForm::EditMillimetres(const QLineEdit* edit) const
{
    return FromUnits(ParseLocaleFloat(edit->text()));
}

void TrpPageSettingsForm::FormShow()
{
    FUpdating = true;
    setWindowTitle(Text(u"400"));
    const QString unit = FUnits == duInch ? Text(u"uInch") : Text(u"uCm");
    for (QLabel* label : UnitL)
        label->setText(unit);
    SizeCB->clear();
    // The current printer's papers; a printer without names shows the table's.
    const TrpCustomPrinter* printer = GetPrintersInstance().Printer();
    if (printer != nullptr) {
        for (const TrpPrinterItem& paper : printer->Papers())
            SizeCB->addItem(paper.Name.isEmpty() ? PaperSizeName(paper.Code) : paper.Name, paper.Code);
    } else {
        SizeCB->addItem(Text(u"prCustom"), kPaperCustom);
        for (const TrpPaperSize& paper : PaperSizes())
            SizeCB->addItem(PaperSizeName(paper.Code), paper.Code);
    }
    if (FPage != nullptr) {
        const int index = SizeCB->findData(FPage->PaperSize());
        SizeCB->setCurrentIndex(index >= 0 ? index : SizeCB->findData(kPaperCustom));
        SetEdit(WidthE, FPage->PaperWidth());
        SetEdit(HeightE, FPage->PaperHeight());
        PortraitRB->setChecked(FPage->Orientation() == poPortrait);
        LandscapeRB->setChecked(FPage->Orientation() == poLandscape);
        SetEdit(MarginLeftE, FPage->LeftMargin);
        SetEdit(MarginTopE, FPage->TopMargin);
        SetEdit(MarginRightE, FPage->RightMargin);
        SetEdit(MarginBottomE, FPage->BottomMargin);
    }
    PortraitRBClick();
    FUpdating = false;
}

void TrpPageSettingsForm::PortraitRBClick()
{
    PortraitImg->setVisible(PortraitRB->isChecked());
    LandscapeImg->setVisible(!PortraitRB->isChecked());
    SizeCBClick();
}

void TrpPageSettingsForm::SizeCBClick()
{
    if (FUpdating)
        return;
    FUpdating = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{FUpdating};
    const int32_t code = SizeCB->currentData().toInt();
    double width = 0;
    double height = 0;
    // A paper of the table takes its size; a size of its own stays as typed.
    if (code == kPaperCustom || !LookupPaperDimensions(code, width, height))
        return;
    if (LandscapeRB->isChecked())
        std::swap(width, height);
    SetEdit(WidthE, width);
    SetEdit(HeightE, height);
}

void TrpPageSettingsForm::WidthEChange()
{
    if (FUpdating)
        return;
    const int custom = SizeCB->findData(kPaperCustom);
    SizeCB->setCurrentIndex(custom >= 0 ? custom : 0);
}

void TrpPageSettingsForm::FormHide(bool ok)
{
    if (!ok || FPage == nullptr)
        return;
    // Everything is read first, so that a number that cannot be read changes nothing.
    const double width = EditMillimetres(WidthE);
    const double height = EditMillimetres(HeightE);
    const double left = EditMillimetres(MarginLeftE);
    const double top = EditMillimetres(MarginTopE);
    const double right = EditMillimetres(MarginRightE);
    const double bottom = EditMillimetres(MarginBottomE);
    FPage->SetOrientation(LandscapeRB->isChecked() ? poLandscape : poPortrait);
    FPage->SetPaperWidth(width);
    FPage->SetPaperHeight(height);
    FPage->SetPaperSize(SizeCB->currentData().toInt());
    FPage->LeftMargin = left;
    FPage->TopMargin = top;
    FPage->RightMargin = right;
    FPage->BottomMargin = bottom;
    FPage->AlignChildren();
}

void TrpPageSettingsForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Guard([] { GetResourcesInstance().Help(u"TrpPageSettingsForm"); });
        return;
    }
    QDialog::keyPressEvent(event);
}
