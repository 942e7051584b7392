#include "rpXLSExportDialog.h"

#include "report/core/Services.h"
#include "report/export/rpExportXLS.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptDialogs.h"

#include <QApplication>
#include <QCheckBox>
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

void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ReportServices::Ui().ShowMessage(message); });
}

} // namespace

TrpXLSExportDialog::TrpXLSExportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrpXLSExportDialog"));
    // The window names the file kind written, not a program this system does not drive.
    setWindowTitle(Text(u"XlsxCaption"));
    auto* layout = new QVBoxLayout(this);

    auto* range = Named(new QGroupBox(Text(u"7"), this), "GroupPageRange");
    auto* rangeLayout = new QVBoxLayout(range);
    AllRB = Named(new QRadioButton(Text(u"3"), range), "AllRB");
    CurPageRB = Named(new QRadioButton(Text(u"4"), range), "CurPageRB");
    PageNumbersRB = Named(new QRadioButton(Text(u"5"), range), "PageNumbersRB");
    PageNumbersE = Named(new QLineEdit(range), "PageNumbersE");
    // Digits, "," and "-" only.
    PageNumbersE->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,-]*")), PageNumbersE));
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
    MergeCB = Check(quality, "MergeCB", u"8003");
    WCB = Check(quality, "WCB", u"8005");
    ContinuousCB = Check(quality, "ContinuousCB", u"8950");
    PicturesCB = Check(quality, "PicturesCB", u"8002");
    AsTextCB = Check(quality, "AsTextCB", u"8006");
    BackgrCB = Check(quality, "BackgrCB", u"8007");
    FastExpCB = Check(quality, "FastExpCB", u"8004");
    PageBreaksCB = Check(quality, "PageBreaksCB", u"6");
    cbGrid = Check(quality, "cbGrid", u"9155");
    QCheckBox* const order[] = {MergeCB, WCB, ContinuousCB, PicturesCB, AsTextCB, BackgrCB, FastExpCB, PageBreaksCB, cbGrid};
    int i = 0;
    for (QCheckBox* box : order) {
        grid->addWidget(box, i % 5, i / 5);
        ++i;
    }
    layout->addWidget(quality);

    OpenExcelCB = Check(this, "OpenExcelCB", u"XlsxOpenAfter");
    layout->addWidget(OpenExcelCB);

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

void TrpXLSExportDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Guard([this] { ReportServices::Ui().ShowHelp(QString(), objectName()); });
        return;
    }
    QDialog::keyPressEvent(event);
}

int TrpXLSExportDialog::Run(TrpXLSExport& f)
{
    TrpXLSExportDialog dialog(QApplication::activeWindow());
    if (f.SlaveExport) {
        dialog.OpenExcelCB->hide();
        f.OpenExcelAfterExport = false;
    }
    QString fileName = f.FileName;
    if (fileName.isEmpty() && !f.SlaveExport && f.Report != nullptr) {
        const QString reportFile = QFileInfo(QString(f.Report->FileName()).replace(u'\\', u'/')).completeBaseName();
        if (!reportFile.isEmpty())
            fileName = reportFile + f.DefaultExt;
    }
    dialog.ContinuousCB->setChecked(!f.EmptyLines || f.SuppressPageHeadersFooters);
    dialog.MergeCB->setChecked(f.MergeCells);
    dialog.PageBreaksCB->setChecked(f.PageBreaks);
    dialog.PicturesCB->setChecked(f.ExportPictures);
    dialog.WCB->setChecked(f.Wysiwyg);
    dialog.OpenExcelCB->setChecked(f.OpenExcelAfterExport);
    dialog.AsTextCB->setChecked(f.AsText);
    dialog.BackgrCB->setChecked(f.Background);
    dialog.FastExpCB->setChecked(f.FastExport);
    dialog.cbGrid->setChecked(f.GridLines);
    if (!f.PageNumbers.isEmpty()) {
        dialog.PageNumbersE->setText(f.PageNumbers);
        dialog.PageNumbersRB->setChecked(true);
    }

    int result = ReportServices::Ui().RunModal(dialog, dialog.objectName());
    if (result != mrOk)
        return result == mrNone ? mrCancel : result;
    f.PageNumbers.clear();
    f.CurPage = false;
    if (dialog.CurPageRB->isChecked())
        f.CurPage = true;
    else if (dialog.PageNumbersRB->isChecked())
        f.PageNumbers = dialog.PageNumbersE->text();
    f.MergeCells = dialog.MergeCB->isChecked();
    f.PageBreaks = dialog.PageBreaksCB->isChecked();
    f.ExportPictures = dialog.PicturesCB->isChecked();
    f.EmptyLines = !dialog.ContinuousCB->isChecked();
    f.SuppressPageHeadersFooters = dialog.ContinuousCB->isChecked();
    f.Wysiwyg = dialog.WCB->isChecked();
    f.OpenExcelAfterExport = dialog.OpenExcelCB->isChecked();
    f.AsText = dialog.AsTextCB->isChecked();
    f.Background = dialog.BackgrCB->isChecked();
    f.FastExport = dialog.FastExpCB->isChecked();
    f.GridLines = dialog.cbGrid->isChecked();
    if (!f.SlaveExport) {
        UiFileDialog save;
        save.Filter = QtFileFilter(GetResourcesInstance().Get(u"XlsxFilter"));
        save.DefaultExt = QStringLiteral("xlsx");
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
