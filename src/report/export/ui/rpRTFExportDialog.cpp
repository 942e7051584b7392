#include "rpRTFExportDialog.h"

#include "report/core/Services.h"
#include "report/export/rpExportRTF.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <functional>

namespace {

QString Text(const char16_t* key)
{
    return GetResourcesInstance().Get(key);
}

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* Check(QWidget* parent, const char* name, const char16_t* key)
{
    return Named(new QCheckBox(Text(key), parent), name);
}

// Runs a handler so that nothing it throws crosses the event loop.
void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ReportServices::Ui().ShowMessage(message); });
}

} // namespace

TrpRTFExportDialog::TrpRTFExportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrpRTFExportDialog"));
    setWindowTitle(Text(u"8500"));
    auto* layout = new QVBoxLayout(this);

    auto* range = Named(new QGroupBox(Text(u"7"), this), "GroupPageRange");
    auto* rangeLayout = new QVBoxLayout(range);
    AllRB = Named(new QRadioButton(Text(u"3"), range), "AllRB");
    CurPageRB = Named(new QRadioButton(Text(u"4"), range), "CurPageRB");
    PageNumbersRB = Named(new QRadioButton(Text(u"5"), range), "PageNumbersRB");
    PageNumbersE = Named(new QLineEdit(range), "PageNumbersE");
    // Digits, "," and "-" only.
    PageNumbersE->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,-]*")), PageNumbersE));
    auto* descr = Named(new QLabel(Text(u"9"), range), "DescrL");
    descr->setWordWrap(true);
    AllRB->setChecked(true);
    rangeLayout->addWidget(AllRB);
    rangeLayout->addWidget(CurPageRB);
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(PageNumbersRB);
    numbers->addWidget(PageNumbersE);
    rangeLayout->addLayout(numbers);
    rangeLayout->addWidget(descr);
    layout->addWidget(range);
    connect(PageNumbersE, &QLineEdit::textEdited, this, [this] { Guard([this] { PageNumbersRB->setChecked(true); }); });

    auto* quality = Named(new QGroupBox(Text(u"8"), this), "GroupQuality");
    auto* grid = new QGridLayout(quality);
    WCB = Check(quality, "WCB", u"8502");
    PageBreaksCB = Check(quality, "PageBreaksCB", u"6");
    PicturesCB = Check(quality, "PicturesCB", u"8501");
    ContinuousCB = Check(quality, "ContinuousCB", u"8950");
    grid->addWidget(WCB, 0, 0);
    grid->addWidget(PageBreaksCB, 1, 0);
    grid->addWidget(PicturesCB, 0, 1);
    grid->addWidget(ContinuousCB, 1, 1);
    HeadFootL = Named(new QLabel(Text(u"8951"), quality), "HeadFootL");
    PColontitulCB = Named(new QComboBox(quality), "PColontitulCB");
    PColontitulCB->addItems({Text(u"8952"), Text(u"8953"), Text(u"8954")});
    PColontitulCB->setEditable(false);
    auto* headFoot = new QHBoxLayout;
    headFoot->addWidget(HeadFootL);
    headFoot->addWidget(PColontitulCB);
    headFoot->addStretch();
    grid->addLayout(headFoot, 2, 0, 1, 2);
    layout->addWidget(quality);

    OpenCB = Check(this, "OpenCB", u"8503");
    layout->addWidget(OpenCB);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = Named(buttons->addButton(Text(u"1"), QDialogButtonBox::AcceptRole), "OkB");
    Named(buttons->addButton(Text(u"2"), QDialogButtonBox::RejectRole), "CancelB");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (QApplication::layoutDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
}

void TrpRTFExportDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Guard([this] { ReportServices::Ui().ShowHelp(QString(), objectName()); });
        return;
    }
    QDialog::keyPressEvent(event);
}

int TrpRTFExportDialog::Run(TrpRTFExport& f)
{
    TrpRTFExportDialog dialog(QApplication::activeWindow());
    if (f.SlaveExport) {
        dialog.OpenCB->hide();
        f.OpenAfterExport = false;
    }
    QString fileName = f.FileName;
    if (fileName.isEmpty() && !f.SlaveExport && f.Report != nullptr) {
        const QString reportFile = QFileInfo(QString(f.Report->FileName()).replace(u'\\', u'/')).completeBaseName();
        if (!reportFile.isEmpty())
            fileName = reportFile + f.DefaultExt;
    }
    dialog.ContinuousCB->setChecked(f.SuppressPageHeadersFooters);
    dialog.PicturesCB->setChecked(f.ExportPictures);
    dialog.PageBreaksCB->setChecked(f.ExportPageBreaks);
    dialog.WCB->setChecked(f.Wysiwyg);
    dialog.OpenCB->setChecked(f.OpenAfterExport);
    if (!f.PageNumbers.isEmpty()) {
        dialog.PageNumbersE->setText(f.PageNumbers);
        dialog.PageNumbersRB->setChecked(true);
    }
    dialog.PColontitulCB->setCurrentIndex(static_cast<int>(f.HeaderFooterMode));

    int result = ReportServices::Ui().RunModal(dialog, dialog.objectName());
    if (result != mrOk)
        return result == mrNone ? mrCancel : result;
    switch (dialog.PColontitulCB->currentIndex()) {
    case 1: f.HeaderFooterMode = hfPrint; break;
    case 2: f.HeaderFooterMode = hfNone; break;
    default: f.HeaderFooterMode = hfText; break;
    }
    f.PageNumbers.clear();
    f.CurPage = false;
    if (dialog.CurPageRB->isChecked())
        f.CurPage = true;
    else if (dialog.PageNumbersRB->isChecked())
        f.PageNumbers = dialog.PageNumbersE->text();
    // Page headers and footers in the document's own header and footer come once, not on
    // every page of the flow.
    f.SuppressPageHeadersFooters = dialog.ContinuousCB->isChecked() || f.HeaderFooterMode == hfPrint;
    f.ExportPictures = dialog.PicturesCB->isChecked();
    f.ExportPageBreaks = dialog.PageBreaksCB->isChecked();
    f.Wysiwyg = dialog.WCB->isChecked();
    f.OpenAfterExport = dialog.OpenCB->isChecked();
    if (!f.SlaveExport) {
        UiFileDialog save;
        save.Filter = QtFileFilter(GetResourcesInstance().Get(u"8504"));
        save.DefaultExt = QStringLiteral("rtf");
        save.InitialDir = f.DefaultPath;
        save.FileName = fileName;
        save.OverwritePrompt = f.OverwritePrompt;
        if (ReportServices::Ui().SaveFileDialog(save))
            f.FileName = save.FileName;
        else
            result = mrCancel;
    }
    return result;
}
