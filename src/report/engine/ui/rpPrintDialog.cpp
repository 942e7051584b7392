#include "rpPrintDialog.h"

#include "report/core/Services.h"
#include "report/engine/rpPreviewPages.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString Text(const char16_t* name)
{
    return GetResourcesInstance().Get(name);
}

// Runs a handler so that nothing it throws crosses the event loop: the error is shown.
void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ErrorMessageBox(message); });
}

// One sheet of paper drawn at (x, y), optionally with a number on it.
void DrawSheet(QPainter& painter, const QRectF& rect, const QString& number = QString())
{
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(rect);
    painter.setPen(QPen(Qt::gray, 1));
    for (double y = rect.top() + 4; y < rect.bottom() - 3; y += 3)
        painter.drawLine(QPointF(rect.left() + 3, y), QPointF(rect.right() - 3, y));
    if (!number.isEmpty()) {
        painter.setPen(Qt::black);
        QFont font = painter.font();
        font.setPixelSize(9);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(rect, Qt::AlignCenter, number);
    }
}

// The printer picture of the printer list.
QPixmap PrinterPicture()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 1, 7, 5);
    painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
    painter.drawRect(1, 6, 13, 6);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 10, 7, 4);
    painter.fillRect(11, 8, 2, 1, Qt::green);
    return pixmap;
}

// The pictures of the print modes: a page as it is, one page cut over sheets, two pages on one
// sheet, a page stretched onto a sheet.
QPixmap ModePicture(int mode)
{
    QPixmap pixmap(64, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    switch (mode) {
    case pmDefault:
        DrawSheet(painter, QRectF(8, 4, 18, 24));
        DrawSheet(painter, QRectF(36, 4, 18, 24));
        break;
    case pmSplit:
        DrawSheet(painter, QRectF(2, 2, 22, 28));
        painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
        painter.drawLine(2, 16, 24, 16);
        DrawSheet(painter, QRectF(32, 2, 28, 13));
        DrawSheet(painter, QRectF(32, 17, 28, 13));
        break;
    case pmJoin:
        DrawSheet(painter, QRectF(2, 8, 10, 14));
        DrawSheet(painter, QRectF(14, 8, 10, 14));
        DrawSheet(painter, QRectF(32, 6, 28, 20));
        painter.setPen(Qt::gray);
        painter.drawLine(46, 6, 46, 26);
        break;
    default:
        DrawSheet(painter, QRectF(6, 10, 12, 16));
        painter.drawLine(20, 16, 28, 16);
        DrawSheet(painter, QRectF(34, 2, 22, 28));
        break;
    }
    return pixmap;
}

// The copies picture: two stacks 1-2-3 collated; stacks 1-1, 2-2, 3-3 not.
QPixmap CopiesPicture(bool collated)
{
    QPixmap pixmap(100, 40);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (collated) {
        for (int stack = 0; stack < 2; ++stack) {
            for (int sheet = 2; sheet >= 0; --sheet)
                DrawSheet(painter, QRectF(stack * 50 + sheet * 7, 2 + sheet * 5, 18, 24), QString::number(sheet + 1));
        }
    } else {
        for (int stack = 0; stack < 3; ++stack) {
            for (int sheet = 1; sheet >= 0; --sheet)
                DrawSheet(painter, QRectF(stack * 33 + sheet * 6, 4 + sheet * 5, 18, 24), QString::number(stack + 1));
        }
    }
    return pixmap;
}

} // namespace

TrpPrintDialog::TrpPrintDialog(TrpReport* report, TrpDuplexMode duplexMode, QWidget* parent)
    : QDialog(parent), AReport(report), OldIndex(GetPrintersInstance().PrinterIndex()), ADuplexMode(duplexMode)
{
    setObjectName(QStringLiteral("TrpPrintDialog"));
    FormCreate();
    FormShow();
}

void TrpPrintDialog::FormCreate()
{
    setWindowTitle(Text(u"200"));
    auto* layout = new QVBoxLayout(this);

    Label12 = new QGroupBox(Text(u"201"), this);
    Label12->setObjectName(QStringLiteral("Label12"));
    auto* printerLayout = new QGridLayout(Label12);
    NameL = new QLabel(Text(u"212"), Label12);
    NameL->setObjectName(QStringLiteral("NameL"));
    PrintersCB = new QComboBox(Label12);
    PrintersCB->setObjectName(QStringLiteral("PrintersCB"));
    PrintersCB->setIconSize(QSize(16, 16));
    PropButton = new QPushButton(Text(u"209"), Label12);
    PropButton->setObjectName(QStringLiteral("PropButton"));
    WhereL = new QLabel(Text(u"208"), Label12);
    WhereL->setObjectName(QStringLiteral("WhereL"));
    WhereL1 = new QLabel(Label12);
    WhereL1->setObjectName(QStringLiteral("WhereL1"));
    FileCB = new QCheckBox(Text(u"210"), Label12);
    FileCB->setObjectName(QStringLiteral("FileCB"));
    printerLayout->addWidget(NameL, 0, 0);
    printerLayout->addWidget(PrintersCB, 0, 1);
    printerLayout->addWidget(PropButton, 0, 2);
    printerLayout->addWidget(WhereL, 1, 0);
    printerLayout->addWidget(WhereL1, 1, 1);
    printerLayout->addWidget(FileCB, 1, 2);
    printerLayout->setColumnStretch(1, 1);
    layout->addWidget(Label12);

    auto* middle = new QHBoxLayout;
    Label1 = new QGroupBox(Text(u"202"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* pagesLayout = new QGridLayout(Label1);
    AllRB = new QRadioButton(Text(u"3"), Label1);
    AllRB->setObjectName(QStringLiteral("AllRB"));
    CurPageRB = new QRadioButton(Text(u"4"), Label1);
    CurPageRB->setObjectName(QStringLiteral("CurPageRB"));
    PageNumbersRB = new QRadioButton(Text(u"5"), Label1);
    PageNumbersRB->setObjectName(QStringLiteral("PageNumbersRB"));
    PageNumbersE = new QLineEdit(Label1);
    PageNumbersE->setObjectName(QStringLiteral("PageNumbersE"));
    PageNumbersE->installEventFilter(this);
    DescrL = new QLabel(Text(u"9"), Label1);
    DescrL->setObjectName(QStringLiteral("DescrL"));
    DescrL->setWordWrap(true);
    AllRB->setChecked(true);
    auto* pagesGroup = new QButtonGroup(this);
    pagesGroup->addButton(AllRB);
    pagesGroup->addButton(CurPageRB);
    pagesGroup->addButton(PageNumbersRB);
    pagesLayout->addWidget(AllRB, 0, 0, 1, 2);
    pagesLayout->addWidget(CurPageRB, 1, 0, 1, 2);
    pagesLayout->addWidget(PageNumbersRB, 2, 0);
    pagesLayout->addWidget(PageNumbersE, 2, 1);
    pagesLayout->addWidget(DescrL, 3, 0, 1, 2);
    middle->addWidget(Label1, 1);

    Label2 = new QGroupBox(Text(u"205"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    auto* copiesLayout = new QGridLayout(Label2);
    CopiesL = new QLabel(Text(u"203"), Label2);
    CopiesL->setObjectName(QStringLiteral("CopiesL"));
    CopiesE = new QSpinBox(Label2);
    CopiesE->setObjectName(QStringLiteral("CopiesE"));
    CopiesE->setRange(1, kMaxCopies);
    CollateCB = new QCheckBox(Text(u"204"), Label2);
    CollateCB->setObjectName(QStringLiteral("CollateCB"));
    CollateCB->setChecked(true);
    CopiesPB = new QLabel(Label2);
    CopiesPB->setObjectName(QStringLiteral("CopiesPB"));
    copiesLayout->addWidget(CopiesL, 0, 0);
    copiesLayout->addWidget(CopiesE, 0, 1);
    copiesLayout->addWidget(CopiesPB, 1, 0);
    copiesLayout->addWidget(CollateCB, 1, 1);
    middle->addWidget(Label2, 1);
    layout->addLayout(middle);

    auto* lower = new QHBoxLayout;
    ScaleGB = new QGroupBox(Text(u"213"), this);
    ScaleGB->setObjectName(QStringLiteral("ScaleGB"));
    auto* scaleLayout = new QVBoxLayout(ScaleGB);
    PrintModeCB = new QComboBox(ScaleGB);
    PrintModeCB->setObjectName(QStringLiteral("PrintModeCB"));
    PrintModeCB->setIconSize(QSize(64, 32));
    const char16_t* modes[] = {u"pmDefault", u"pmSplit", u"pmJoin", u"pmScale"};
    for (int mode = 0; mode < 4; ++mode)
        PrintModeCB->addItem(QIcon(ModePicture(mode)), Text(modes[mode]));
    PagSizeL = new QLabel(Text(u"214"), ScaleGB);
    PagSizeL->setObjectName(QStringLiteral("PagSizeL"));
    PagPageSizeCB = new QComboBox(ScaleGB);
    PagPageSizeCB->setObjectName(QStringLiteral("PagPageSizeCB"));
    scaleLayout->addWidget(PrintModeCB);
    scaleLayout->addWidget(PagSizeL);
    scaleLayout->addWidget(PagPageSizeCB);
    lower->addWidget(ScaleGB, 1);

    OtherGB = new QGroupBox(Text(u"207"), this);
    OtherGB->setObjectName(QStringLiteral("OtherGB"));
    auto* otherLayout = new QGridLayout(OtherGB);
    PrintL = new QLabel(Text(u"206"), OtherGB);
    PrintL->setObjectName(QStringLiteral("PrintL"));
    PrintPagesCB = new QComboBox(OtherGB);
    PrintPagesCB->setObjectName(QStringLiteral("PrintPagesCB"));
    PrintPagesCB->addItems({Text(u"ppAll"), Text(u"ppOdd"), Text(u"ppEven")});
    OrderL = new QLabel(Text(u"211"), OtherGB);
    OrderL->setObjectName(QStringLiteral("OrderL"));
    OrderCB = new QComboBox(OtherGB);
    OrderCB->setObjectName(QStringLiteral("OrderCB"));
    OrderCB->addItems({Text(u"poDirect"), Text(u"poReverse")});
    DuplexL = new QLabel(Text(u"216"), OtherGB);
    DuplexL->setObjectName(QStringLiteral("DuplexL"));
    DuplexCB = new QComboBox(OtherGB);
    DuplexCB->setObjectName(QStringLiteral("DuplexCB"));
    DuplexCB->addItems({Text(u"dupDefault"), Text(u"dupVert"), Text(u"dupHorz"), Text(u"dupSimpl")});
    otherLayout->addWidget(PrintL, 0, 0);
    otherLayout->addWidget(PrintPagesCB, 0, 1);
    otherLayout->addWidget(OrderL, 1, 0);
    otherLayout->addWidget(OrderCB, 1, 1);
    otherLayout->addWidget(DuplexL, 2, 0);
    otherLayout->addWidget(DuplexCB, 2, 1);
    lower->addWidget(OtherGB, 1);
    layout->addLayout(lower);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OkB = new QPushButton(Text(u"1"), this);
    OkB->setObjectName(QStringLiteral("OkB"));
    OkB->setDefault(true);
    CancelB = new QPushButton(Text(u"2"), this);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    layout->addLayout(buttons);

    PrintPagesCB->setCurrentIndex(0);
    OrderCB->setCurrentIndex(0);
    DuplexCB->setCurrentIndex(0);
    const QPixmap printer = PrinterPicture();
    TrpPrinters& printers = GetPrintersInstance();
    for (const QString& name : printers.Printers())
        PrintersCB->addItem(QIcon(printer), name);
    PrintersCB->setCurrentIndex(printers.PrinterIndex());
    PrintersCBClick();
    OldIndex = printers.PrinterIndex();
    CollateCBClick();

    connect(PrintersCB, qOverload<int>(&QComboBox::activated), this, [this] { Guard([this] { PrintersCBClick(); }); });
    connect(PrintModeCB, qOverload<int>(&QComboBox::activated), this, [this] { Guard([this] { PrintModeCBClick(); }); });
    connect(PropButton, &QPushButton::clicked, this, [this] { Guard([this] { PropButtonClick(); }); });
    connect(PageNumbersRB, &QRadioButton::clicked, this, [this] { Guard([this] { PageNumbersRBClick(); }); });
    connect(CollateCB, &QCheckBox::toggled, this, [this] { Guard([this] { CollateCBClick(); }); });
    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
}

bool TrpPrintDialog::SelectSheet(int32_t code)
{
    const int index = PagPageSizeCB->findData(code);
    if (index < 0)
        return false;
    PagPageSizeCB->setCurrentIndex(index);
    return true;
}

void TrpPrintDialog::PrintersCBClick()
{
    TrpPrinters& printers = GetPrintersInstance();
    int32_t remembered = -1;
    if (PagPageSizeCB->currentIndex() > 0 && printers.Printer() != nullptr)
        remembered = printers.Printer()->PaperNameToNumber(PagPageSizeCB->currentText());
    printers.SetPrinterIndex(PrintersCB->currentIndex());
    TrpCustomPrinter* printer = printers.Printer();
    WhereL1->setText(printer != nullptr ? printer->Port() : QString());
    PagPageSizeCB->clear();
    // The default entry stands for no paper: the first entry's code, the custom size's.
    PagPageSizeCB->addItem(Text(u"pgDefault"), kPaperCustom);
    if (printer != nullptr) {
        for (const TrpPrinterItem& paper : printer->Papers()) {
            if (paper.Code == kPaperCustom)
                continue;
            PagPageSizeCB->addItem(paper.Name.isEmpty() ? PaperSizeName(paper.Code) : paper.Name, paper.Code);
        }
    }
    if (remembered < 0 || !SelectSheet(remembered))
        PagPageSizeCB->setCurrentIndex(0);
}

void TrpPrintDialog::FormShow()
{
    if (AReport == nullptr)
        return;
    const TrpPrintOptions& options = AReport->PrintOptions();
    CopiesE->setValue(std::clamp(options.Copies, 1, kMaxCopies));
    CollateCB->setChecked(options.Collate);
    PageNumbersE->setText(options.PageNumbers);
    if (!options.PageNumbers.isEmpty())
        PageNumbersRB->setChecked(true);
    PrintPagesCB->setCurrentIndex(options.PrintPages);
    OrderCB->setCurrentIndex(options.Reverse ? 1 : 0);
    PrintModeCB->setCurrentIndex(options.PrintMode);
    DuplexCB->setCurrentIndex(ADuplexMode);
    PrintModeCBClick();
    if (options.PrintMode != pmDefault)
        SelectSheet(options.PrintOnSheet);
}

void TrpPrintDialog::PrintModeCBClick()
{
    if (PrintModeCB->currentIndex() == pmDefault) {
        PagPageSizeCB->setCurrentIndex(0);
        PagPageSizeCB->setEnabled(false);
        return;
    }
    PagPageSizeCB->setEnabled(true);
    if (PagPageSizeCB->currentIndex() == 0)
        SelectSheet(kPaperA4);
}

void TrpPrintDialog::PropButtonClick()
{
    TrpCustomPrinter* printer = GetPrintersInstance().Printer();
    if (printer == nullptr)
        return;
    printer->PropertiesDlg();
    // The device's duplex (1 one-sided, 2 long edge, 3 short edge) as the dialog's modes.
    int mode = 0;
    switch (printer->Duplex()) {
    case 1: mode = dmSimplex; break;
    case 2: mode = dmVertical; break;
    case 3: mode = dmHorizontal; break;
    default: break;
    }
    if (mode > 0) {
        ADuplexMode = static_cast<TrpDuplexMode>(mode);
        DuplexCB->setCurrentIndex(mode);
    }
}

void TrpPrintDialog::PageNumbersRBClick()
{
    if (isVisible())
        PageNumbersE->setFocus();
}

void TrpPrintDialog::CollateCBClick()
{
    CopiesPB->setPixmap(CopiesPicture(CollateCB->isChecked()));
}

bool TrpPrintDialog::FormHide(bool ok)
{
    TrpPrinters& printers = GetPrintersInstance();
    TrpCustomPrinter* printer = printers.Printer();
    QString fileName;
    if (ok && FileCB->isChecked()) {
        UiFileDialog dialog;
        dialog.Title = Text(u"507");
        dialog.Filter = Text(u"prPdfFilter");
        dialog.DefaultExt = QStringLiteral("pdf");
        dialog.OverwritePrompt = true;
        if (ReportServices::Ui().SaveFileDialog(dialog)) {
            const QFileInfo chosen(dialog.FileName);
            fileName = chosen.path() + u'/' + chosen.completeBaseName() + QStringLiteral(".pdf");
        } else {
            ok = false;
        }
    }
    if (!ok) {
        printers.SetPrinterIndex(OldIndex);
        return false;
    }
    if (printer != nullptr)
        printer->FileName = fileName;
    if (AReport == nullptr)
        return true;
    TrpPrintOptions& options = AReport->PrintOptions();
    // Printing sets the printer's file from the options: the chosen file goes there too.
    options.PrnOutFileName = fileName;
    options.Copies = CopiesE->value();
    options.Collate = CollateCB->isChecked();
    if (AllRB->isChecked()) {
        options.PageNumbers.clear();
    } else if (CurPageRB->isChecked()) {
        TrpCustomPreviewPages* pages = AReport->PreviewPages();
        options.PageNumbers = QString::number(pages != nullptr ? pages->CurPreviewPage : 1);
    } else {
        options.PageNumbers = PageNumbersE->text();
    }
    options.PrintPages = static_cast<TrpPrintPages>(PrintPagesCB->currentIndex());
    ADuplexMode = static_cast<TrpDuplexMode>(DuplexCB->currentIndex());
    options.Reverse = OrderCB->currentIndex() == 1;
    options.PrintMode = static_cast<TrpPrintMode>(PrintModeCB->currentIndex());
    options.PrintOnSheet = PagPageSizeCB->currentData().toInt();
    return true;
}

void TrpPrintDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Guard([] { GetResourcesInstance().Help(u"TrpPrintDialog"); });
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TrpPrintDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PageNumbersE && event->type() == QEvent::FocusIn)
        PageNumbersRB->setChecked(true);
    return QDialog::eventFilter(watched, event);
}
