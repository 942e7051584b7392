#include "DaxReportSetupFrame.h"
#include "Texts.h"

#include "controls/ControlHelpers.h"
#include "report/core/DateValues.h"
#include "report/core/Services.h"
#include "report/model/rpFontResolver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <functional>

TReportSetupForm* ReportSetupForm = nullptr;

namespace {

// The client area and the date the pickers show when the dialog is made.
constexpr int kClientWidth = 341;
constexpr int kClientHeight = 489;
const QDate kFirstPickerDate(2016, 12, 2);
// The widest limits a picker ever has: 30 December 1899 to 14 October 2173.
constexpr double kWidestMinimum = 0;
constexpr double kWidestMaximum = 100000;

QString Text(const char* text) { return QString::fromUtf8(text); }

template <typename Widget>
Widget* Make(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QGroupBox* MakeBox(QWidget* parent, const char* name, const char* caption, QRect rect)
{
    auto* box = Make<QGroupBox>(parent, name, rect.left(), rect.top(), rect.width(), rect.height());
    box->setTitle(Text(caption));
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QRect rect, bool rightAligned)
{
    auto* label = Make<QLabel>(parent, name, rect.left(), rect.top(), rect.width(), rect.height());
    label->setText(Text(caption));
    label->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    // A right-aligned caption that the stand-in font makes longer than its place grows to the
    // left, towards the free room before it; its right edge stays beside its control.
    const int needed = label->sizeHint().width();
    if (rightAligned && needed > rect.width())
        label->setGeometry(std::max(0, rect.right() + 1 - needed), rect.top(), needed, rect.height());
    return label;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, QRect rect)
{
    auto* check = Make<QCheckBox>(parent, name, rect.left(), rect.top(), rect.width(), rect.height());
    check->setText(Text(caption));
    return check;
}

template <size_t N>
QComboBox* MakeList(QWidget* parent, const char* name, const char* const (&items)[N], QRect rect)
{
    auto* combo = Make<QComboBox>(parent, name, rect.left(), rect.top(), rect.width(), rect.height());
    QStringList texts;
    for (const char* item : items)
        texts << Text(item);
    SetComboItems(combo, texts);
    return combo;
}

QDateEdit* MakePicker(QWidget* parent, const char* name, QRect rect)
{
    auto* picker = Make<QDateEdit>(parent, name, rect.left(), rect.top(), rect.width(), rect.height());
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    picker->setDateRange(DateValueToQDate(kWidestMinimum), DateValueToQDate(kWidestMaximum));
    picker->setDate(kFirstPickerDate);
    return picker;
}

// The glyph of "Весь период": a span between two stops, arrows pointing out to them.
QIcon WholePeriodIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(0, 0, 128), 1));
    painter.drawLine(1, 3, 1, 12);
    painter.drawLine(14, 3, 14, 12);
    painter.drawLine(3, 8, 12, 8);
    painter.drawLine(3, 8, 6, 5);
    painter.drawLine(3, 8, 6, 11);
    painter.drawLine(12, 8, 9, 5);
    painter.drawLine(12, 8, 9, 11);
    painter.end();
    return QIcon(pixmap);
}

// A picker on a date within given limits; the date lies within them, so nothing is clamped.
void PlacePicker(QDateEdit* picker, const ReportPeriodRules::Picker& state)
{
    picker->setDateRange(DateValueToQDate(state.Minimum), DateValueToQDate(state.Maximum));
    picker->setDate(DateValueToQDate(state.Date));
}

double PickerDate(const QDateEdit* picker) { return QDateToDateValue(picker->date()); }

// Sets a flag for a scope and clears it on every way out.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

// A failure in a button's handler is shown to the user, not thrown through the event loop.
void RunGuarded(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) {
        ReportServices::Ui().MessageDlg(QString(), message, UiMessageType::Error, UiButtons({mbOK}));
    });
}

} // namespace

TReportSetupForm::TReportSetupForm(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(Text(devreportui::kCaptionText));
    QFont font(ReportFontFamily(QString::fromLatin1(devreportui::kFontNameText)));
    font.setPointSize(8);
    // The stand-in is wider than the face the dialog was laid out for; its condensed cut keeps
    // the captions within their controls.
    font.setStretch(QFont::SemiCondensed);
    setFont(font);
    CreateControls();
    SetTabOrder();
    ConnectEvents();
    setFixedSize(kClientWidth, kClientHeight);

    Settings = DefaultReportSetup();
    LoadReportSetup(Settings);
}

TReportSetupForm::~TReportSetupForm()
{
    if (ReportSetupForm == this)
        ReportSetupForm = nullptr;
}

void TReportSetupForm::CreateControls()
{
    using namespace devreportui;
    GroupBox3 = MakeBox(this, "GroupBox3", kReportKindBoxText, {8, 8, 321, 86});
    ReportType = MakeList(GroupBox3, "ReportType", kReportKinds, {16, 23, 289, 21});
    ReportData = MakeList(GroupBox3, "ReportData", kReportSystems, {16, 51, 289, 21});

    IntervalGroupBox = MakeBox(this, "IntervalGroupBox", kIntervalBoxText, {8, 94, 321, 61});
    Label1 = MakeLabel(IntervalGroupBox, "Label1", kFromLabelText, {16, 28, 7, 13}, false);
    BeginPeriod = MakePicker(IntervalGroupBox, "BeginPeriod", {33, 24, 100, 21});
    Label2 = MakeLabel(IntervalGroupBox, "Label2", kToLabelText, {141, 28, 12, 13}, false);
    EndPeriod = MakePicker(IntervalGroupBox, "EndPeriod", {159, 24, 100, 21});
    BitBtn1 = Make<QPushButton>(IntervalGroupBox, "BitBtn1", 272, 20, 30, 29);
    BitBtn1->setIcon(WholePeriodIcon());
    BitBtn1->setIconSize(QSize(16, 16));
    BitBtn1->setToolTip(Text(kWholePeriodHintText));
    BitBtn1->setAutoDefault(false);

    DataGroupBox = MakeBox(this, "DataGroupBox", kDataBoxText, {8, 156, 321, 149});
    ChanelMShow = MakeCheck(DataGroupBox, "ChanelMShow", kChanelMText, {16, 23, 114, 17});
    ChanelVShow = MakeCheck(DataGroupBox, "ChanelVShow", kChanelVText, {16, 46, 114, 17});
    ChanelPShow = MakeCheck(DataGroupBox, "ChanelPShow", kChanelPText, {16, 69, 130, 17});
    TotalValuesShow = MakeCheck(DataGroupBox, "TotalValuesShow", kTotalValuesText, {159, 23, 130, 17});
    HourArchiveShow = MakeCheck(DataGroupBox, "HourArchiveShow", kHourArchiveText, {159, 46, 117, 17});
    NotStaffInfoShow = MakeCheck(DataGroupBox, "NotStaffInfoShow", kNotStaffInfoText, {159, 69, 97, 17});
    Label11 = MakeLabel(DataGroupBox, "Label11", kConsumerLabelText, {79, 95, 67, 13}, true);
    Consumer = Make<QLineEdit>(DataGroupBox, "Consumer", 159, 92, 145, 21);
    Label10 = MakeLabel(DataGroupBox, "Label10", kSupplierLabelText, {89, 120, 57, 13}, true);
    Supplier = Make<QLineEdit>(DataGroupBox, "Supplier", 159, 117, 145, 21);

    SystemGroupBox = MakeBox(this, "SystemGroupBox", kSystemBoxText, {8, 306, 321, 48});
    HardwareNSShow = MakeCheck(SystemGroupBox, "HardwareNSShow", kHardwareNSText, {16, 20, 130, 17});
    ModeFlagsShow = MakeCheck(SystemGroupBox, "ModeFlagsShow", kModeFlagsText, {159, 20, 130, 17});

    PageGroupBox = MakeBox(this, "PageGroupBox", kPageBoxText, {8, 355, 321, 77});
    Label8 = MakeLabel(PageGroupBox, "Label8", kOrientationLabelText, {52, 21, 94, 13}, true);
    PrinterOrientation = MakeList(PageGroupBox, "PrinterOrientation", kOrientations, {159, 18, 145, 21});
    PrintOnPreviousPage = MakeCheck(PageGroupBox, "PrintOnPreviousPage", kPrintOnPreviousPageText, {16, 47, 286, 17});

    OkButton = Make<QPushButton>(this, "OkButton", 64, 441, 130, 34);
    OkButton->setText(Text(kOkText));
    OkButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    OkButton->setDefault(true);
    BitBtn2 = Make<QPushButton>(this, "BitBtn2", 200, 441, 130, 34);
    BitBtn2->setText(Text(kCancelText));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn2->setAutoDefault(false);
}

// The form's children in the order GroupBox3, IntervalGroupBox, DataGroupBox, the two buttons,
// PageGroupBox, SystemGroupBox; within a box, its controls in the order they are made.
void TReportSetupForm::SetTabOrder()
{
    const QWidget* const order[] = {ReportType,      ReportData,       BeginPeriod,     EndPeriod,       BitBtn1,
                                    ChanelMShow,     ChanelVShow,      ChanelPShow,     TotalValuesShow, HourArchiveShow,
                                    NotStaffInfoShow, Consumer,        Supplier,        OkButton,        BitBtn2,
                                    PrinterOrientation, PrintOnPreviousPage, HardwareNSShow, ModeFlagsShow};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void TReportSetupForm::ConnectEvents()
{
    // A list's change is the user's choice only; a check box's change also when made from code,
    // so that filling the boxes from the record runs ReportChange as a click does.
    for (QComboBox* list : {ReportType, ReportData, PrinterOrientation})
        connect(list, &QComboBox::activated, this, [this, list] { ReportChange(list); });
    for (QCheckBox* check : {ChanelMShow, ChanelVShow, ChanelPShow, TotalValuesShow, HourArchiveShow,
                             NotStaffInfoShow, HardwareNSShow, ModeFlagsShow})
        connect(check, &QCheckBox::toggled, this, [this, check] { ReportChange(check); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunGuarded([this] { BitBtn1Click(); }); });
    // The record holds the new values even when storing them fails; the dialog closes with OK.
    connect(OkButton, &QPushButton::clicked, this, [this] {
        RunGuarded([this] { OkButtonClick(); });
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TReportSetupForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

double TReportSetupForm::Today() const
{
    return std::floor(ReportServices::Clock().Now());
}

void TReportSetupForm::FormActivate()
{
    SetComboIndex(ReportType, Settings.ReportType);
    SetComboIndex(ReportData, Settings.ReportData);
    ScanArchiveDateRange();
    // Each box whose state changes runs ReportChange, as a click would.
    TotalValuesShow->setChecked(Settings.TotalValuesShow);
    HourArchiveShow->setChecked(Settings.HourArchiveShow);
    NotStaffInfoShow->setChecked(Settings.NotStaffInfoShow);
    ChanelMShow->setChecked(Settings.ChanelMShow);
    ChanelVShow->setChecked(Settings.ChanelVShow);
    ChanelPShow->setChecked(Settings.ChanelPShow);
    HardwareNSShow->setChecked(Settings.HardwareNSShow);
    ModeFlagsShow->setChecked(Settings.ModeFlagsShow);
    Consumer->setText(Settings.Consumer);
    Supplier->setText(Settings.Supplier);
    SetComboIndex(PrinterOrientation, Settings.PrinterOrientation);
    PrintOnPreviousPage->setChecked(Settings.PrintOnPreviousPage);
    ReportChange(nullptr);
}

void TReportSetupForm::ScanArchiveDateRange()
{
    Period.ScanArchiveDateRange(ReportType->currentIndex(), ArchiveSource, Today());
}

void TReportSetupForm::ReportChange(QObject* sender)
{
    if (reportChangeBusy_)
        return;
    if (sender == ReportType)
        ScanArchiveDateRange();
    BusyScope busy(reportChangeBusy_);

    const int32_t kind = ReportType->currentIndex();
    const ReportPeriodRules::Shown shown = ReportPeriodRules::ControlsShown(kind);
    ReportData->setVisible(shown.ReportData);
    IntervalGroupBox->setVisible(shown.Interval);
    DataGroupBox->setVisible(shown.Data);
    PageGroupBox->setVisible(shown.Page);
    SystemGroupBox->setVisible(shown.System);

    bool totals = TotalValuesShow->isChecked();
    bool hours = HourArchiveShow->isChecked();
    if (!Period.ApplyBounds(kind, ArchiveSource, totals, hours))
        return;
    TotalValuesShow->setChecked(totals);
    HourArchiveShow->setChecked(hours);
    if (!Period.Inside(PickerDate(BeginPeriod)))
        PlacePicker(BeginPeriod, Period.BeginReset());
    if (!Period.Inside(PickerDate(EndPeriod)))
        PlacePicker(EndPeriod, Period.EndReset());
}

void TReportSetupForm::BitBtn1Click()
{
    PlacePicker(BeginPeriod, Period.BeginReset());
    PlacePicker(EndPeriod, Period.EndReset());
}

void TReportSetupForm::OkButtonClick()
{
    Settings.BeginPeriod = PickerDate(BeginPeriod);
    Settings.EndPeriod = PickerDate(EndPeriod);
    Settings.ReportType = GetComboIndex(ReportType);
    Settings.ReportData = GetComboIndex(ReportData);
    Settings.TotalValuesShow = TotalValuesShow->isChecked();
    Settings.HourArchiveShow = HourArchiveShow->isChecked();
    Settings.NotStaffInfoShow = NotStaffInfoShow->isChecked();
    Settings.ChanelMShow = ChanelMShow->isChecked();
    Settings.ChanelVShow = ChanelVShow->isChecked();
    Settings.ChanelPShow = ChanelPShow->isChecked();
    Settings.HardwareNSShow = HardwareNSShow->isChecked();
    Settings.ModeFlagsShow = ModeFlagsShow->isChecked();
    Settings.Consumer = Consumer->text();
    Settings.Supplier = Supplier->text();
    Settings.PrinterOrientation = static_cast<uint8_t>(GetComboIndex(PrinterOrientation));
    Settings.PrintOnPreviousPage = PrintOnPreviousPage->isChecked();
    SaveReportSetup(Settings);
}
