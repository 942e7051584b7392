#include "rpHTMLExportDialog.h"

#include "report/core/Services.h"
#include "report/export/rpExportHTML.h"
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

// The picture list: none, then the formats; PNG was added last so that the older indexes
// keep their meaning.
enum PictureItem : int { piNone, piJPEG, piBMP, piGIF, piPNG };

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

// Runs a handler so that nothing it throws crosses the event loop: the error is shown.
void Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ReportServices::Ui().ShowMessage(message); });
}

} // namespace

TrpHTMLExportDialog::TrpHTMLExportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrpHTMLExportDialog"));
    setWindowTitle(Text(u"8200"));
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
    StylesCB = Check(quality, "StylesCB", u"8202");
    PicsSameCB = Check(quality, "PicsSameCB", u"8204");
    FixWidthCB = Check(quality, "FixWidthCB", u"8205");
    NavigatorCB = Check(quality, "NavigatorCB", u"8206");
    MultipageCB = Check(quality, "MultipageCB", u"8207");
    BackgrCB = Check(quality, "BackgrCB", u"8209");
    grid->addWidget(StylesCB, 0, 0);
    grid->addWidget(PicsSameCB, 1, 0);
    grid->addWidget(FixWidthCB, 2, 0);
    grid->addWidget(NavigatorCB, 0, 1);
    grid->addWidget(MultipageCB, 1, 1);
    grid->addWidget(BackgrCB, 2, 1);
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(Named(new QLabel(Text(u"8203"), quality), "PicturesL"));
    PFormatCB = Named(new QComboBox(quality), "PFormatCB");
    PFormatCB->addItems({Text(u"8313"), QStringLiteral("JPEG"), QStringLiteral("BMP"), QStringLiteral("GIF"),
                         QStringLiteral("PNG")});
    PFormatCB->setEditable(false);
    pictures->addWidget(PFormatCB);
    pictures->addStretch();
    grid->addLayout(pictures, 3, 0, 1, 2);
    layout->addWidget(quality);

    OpenAfterCB = Check(this, "OpenAfterCB", u"8201");
    layout->addWidget(OpenAfterCB);

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

void TrpHTMLExportDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Guard([this] { ReportServices::Ui().ShowHelp(QString(), objectName()); });
        return;
    }
    QDialog::keyPressEvent(event);
}

int TrpHTMLExportDialog::PictureIndex(const TrpHTMLExport& f)
{
    if (!f.ExportPictures)
        return piNone;
    switch (f.PictureType) {
    case gpBMP: return piBMP;
    case gpGIF: return piGIF;
    case gpPNG: return piPNG;
    default: return piJPEG;
    }
}

int TrpHTMLExportDialog::Run(TrpHTMLExport& f)
{
    TrpHTMLExportDialog dialog(QApplication::activeWindow());
    if (f.SlaveExport) {
        f.OpenAfterExport = false;
        f.ExportPictures = true;
        f.PicsInSameFolder = true;
        f.Navigator = false;
        f.Multipage = false;
        f.Background = false;
        dialog.OpenAfterCB->hide();
        for (QCheckBox* box : {dialog.MultipageCB, dialog.BackgrCB, dialog.NavigatorCB, dialog.PicsSameCB})
            box->setEnabled(false);
    }
    QString fileName = f.FileName;
    if (fileName.isEmpty() && !f.SlaveExport && f.Report != nullptr) {
        const QString reportFile = QFileInfo(QString(f.Report->FileName()).replace(u'\\', u'/')).completeBaseName();
        if (!reportFile.isEmpty())
            fileName = reportFile + f.DefaultExt;
    }
    dialog.StylesCB->setChecked(f.ExportStyles);
    dialog.PicsSameCB->setChecked(f.PicsInSameFolder);
    dialog.FixWidthCB->setChecked(f.FixedWidth);
    dialog.NavigatorCB->setChecked(f.Navigator);
    dialog.MultipageCB->setChecked(f.Multipage);
    dialog.BackgrCB->setChecked(f.Background);
    dialog.OpenAfterCB->setChecked(f.OpenAfterExport);
    dialog.PFormatCB->setCurrentIndex(PictureIndex(f));
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
    f.ExportStyles = dialog.StylesCB->isChecked();
    f.PicsInSameFolder = dialog.PicsSameCB->isChecked();
    f.OpenAfterExport = dialog.OpenAfterCB->isChecked();
    f.FixedWidth = dialog.FixWidthCB->isChecked();
    f.Multipage = dialog.MultipageCB->isChecked();
    f.Navigator = dialog.NavigatorCB->isChecked();
    f.Background = dialog.BackgrCB->isChecked();
    const int picture = dialog.PFormatCB->currentIndex();
    f.ExportPictures = picture > piNone;
    switch (picture) {
    case piJPEG: f.PictureType = gpJPG; break;
    case piBMP: f.PictureType = gpBMP; break;
    case piGIF: f.PictureType = gpGIF; break;
    default: f.PictureType = gpPNG; break;
    }
    if (!f.SlaveExport) {
        UiFileDialog save;
        save.Filter = QtFileFilter(GetResourcesInstance().Get(u"8210"));
        save.DefaultExt = QStringLiteral("html");
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
