#include "rpPDFExportDialog.h"

#include "report/core/Services.h"
#include "report/export/rpExportPDF.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

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

QLineEdit* Edit(QWidget* parent, const char* name)
{
    return Named(new QLineEdit(parent), name);
}

} // namespace

TrpPDFExportDialog::TrpPDFExportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrpPDFExportDialog"));
    setWindowTitle(Text(u"8700"));
    auto* layout = new QVBoxLayout(this);
    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    // Room for the four tab captions side by side.
    PageControl1->tabBar()->setExpanding(false);
    setMinimumWidth(440);
    layout->addWidget(PageControl1);

    // Export.
    auto* exportPage = Named(new QWidget(PageControl1), "ExportPage");
    auto* exportLayout = new QVBoxLayout(exportPage);
    auto* range = Named(new QGroupBox(Text(u"7"), exportPage), "GroupPageRange");
    auto* rangeLayout = new QVBoxLayout(range);
    AllRB = Named(new QRadioButton(Text(u"3"), range), "AllRB");
    CurPageRB = Named(new QRadioButton(Text(u"4"), range), "CurPageRB");
    PageNumbersRB = Named(new QRadioButton(Text(u"5"), range), "PageNumbersRB");
    PageNumbersE = Edit(range, "PageNumbersE");
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
    exportLayout->addWidget(range);
    connect(PageNumbersE, &QLineEdit::textEdited, this, [this] { PageNumbersRB->setChecked(true); });

    auto* quality = Named(new QGroupBox(Text(u"8"), exportPage), "GroupQuality");
    auto* qualityLayout = new QVBoxLayout(quality);
    CompressedCB = Check(quality, "CompressedCB", u"8701");
    EmbeddedCB = Check(quality, "EmbeddedCB", u"8702");
    PrintOptCB = Check(quality, "PrintOptCB", u"8703");
    OutlineCB = Check(quality, "OutlineCB", u"8704");
    BackgrCB = Check(quality, "BackgrCB", u"8705");
    for (QCheckBox* box : {CompressedCB, EmbeddedCB, PrintOptCB, OutlineCB, BackgrCB})
        qualityLayout->addWidget(box);
    // Fonts are always embedded.
    EmbeddedCB->setChecked(true);
    EmbeddedCB->setEnabled(false);
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(Named(new QLabel(QStringLiteral("JPEG Quality"), quality), "Label2"));
    Quality = Edit(quality, "Quality");
    Quality->setValidator(new QIntValidator(0, 100, Quality));
    Quality->setText(QStringLiteral("100"));
    qualityRow->addWidget(Quality);
    qualityLayout->addLayout(qualityRow);
    exportLayout->addWidget(quality);
    OpenCB = Check(exportPage, "OpenCB", u"8706");
    exportLayout->addWidget(OpenCB);
    exportLayout->addStretch();
    PageControl1->addTab(exportPage, Text(u"107"));

    // Document information.
    auto* infoPage = Named(new QWidget(PageControl1), "InfoPage");
    auto* infoLayout = new QVBoxLayout(infoPage);
    auto* info = Named(new QGroupBox(Text(u"8971"), infoPage), "DocInfoGB");
    auto* form = new QFormLayout(info);
    const auto row = [&](const char* label, const char16_t* key, const char* edit) {
        QLineEdit* e = Edit(info, edit);
        form->addRow(Named(new QLabel(Text(key), info), label), e);
        return e;
    };
    TitleE = row("TitleL", u"8973", "TitleE");
    AuthorE = row("AuthorL", u"8974", "AuthorE");
    SubjectE = row("SubjectL", u"8975", "SubjectE");
    KeywordsE = row("KeywordsL", u"8976", "KeywordsE");
    CreatorE = row("CreatorL", u"8977", "CreatorE");
    ProducerE = row("ProducerL", u"8978", "ProducerE");
    infoLayout->addWidget(info);
    infoLayout->addStretch();
    PageControl1->addTab(infoPage, Text(u"8972"));

    // Protection.
    auto* securityPage = Named(new QWidget(PageControl1), "SecurityPage");
    auto* securityLayout = new QVBoxLayout(securityPage);
    auto* sec = Named(new QGroupBox(Text(u"8979"), securityPage), "SecGB");
    auto* secForm = new QFormLayout(sec);
    OwnPassE = Edit(sec, "OwnPassE");
    UserPassE = Edit(sec, "UserPassE");
    OwnPassE->setEchoMode(QLineEdit::Password);
    UserPassE->setEchoMode(QLineEdit::Password);
    secForm->addRow(Named(new QLabel(Text(u"8964"), sec), "OwnPassL"), OwnPassE);
    secForm->addRow(Named(new QLabel(Text(u"8965"), sec), "UserPassL"), UserPassE);
    securityLayout->addWidget(sec);
    auto* perm = Named(new QGroupBox(Text(u"8980"), securityPage), "PermGB");
    auto* permLayout = new QVBoxLayout(perm);
    PrintCB = Check(perm, "PrintCB", u"8966");
    ModCB = Check(perm, "ModCB", u"8967");
    CopyCB = Check(perm, "CopyCB", u"8968");
    AnnotCB = Check(perm, "AnnotCB", u"8969");
    for (QCheckBox* box : {PrintCB, ModCB, CopyCB, AnnotCB})
        permLayout->addWidget(box);
    securityLayout->addWidget(perm);
    securityLayout->addStretch();
    PageControl1->addTab(securityPage, Text(u"8962"));

    // Viewer.
    auto* viewerPage = Named(new QWidget(PageControl1), "ViewerPage");
    auto* viewerLayout = new QVBoxLayout(viewerPage);
    auto* viewer = Named(new QGroupBox(Text(u"8982"), viewerPage), "ViewerGB");
    auto* viewerBoxes = new QVBoxLayout(viewer);
    HideToolbarCB = Check(viewer, "HideToolbarCB", u"8983");
    HideMenubarCB = Check(viewer, "HideMenubarCB", u"8984");
    HideWindowUICB = Check(viewer, "HideWindowUICB", u"8985");
    FitWindowCB = Check(viewer, "FitWindowCB", u"8986");
    CenterWindowCB = Check(viewer, "CenterWindowCB", u"8987");
    PrintScalingCB = Check(viewer, "PrintScalingCB", u"8988");
    for (QCheckBox* box : {HideToolbarCB, HideMenubarCB, HideWindowUICB, FitWindowCB, CenterWindowCB, PrintScalingCB})
        viewerBoxes->addWidget(box);
    viewerLayout->addWidget(viewer);
    viewerLayout->addStretch();
    PageControl1->addTab(viewerPage, Text(u"8981"));

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

void TrpPDFExportDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ReportServices::Ui().ShowHelp(QString(), objectName());
        return;
    }
    QDialog::keyPressEvent(event);
}

void TrpPDFExportDialog::done(int result)
{
    // A password a viewer could never take is refused here, naming its first bad character.
    if (result == QDialog::Accepted) {
        for (QLineEdit* edit : {OwnPassE, UserPassE}) {
            try {
                TrpPDFExport::CheckPassword(edit->text());
            } catch (const platform::Exception& refused) {
                ReportServices::Ui().ShowMessage(QString::fromStdString(refused.Message()));
                PageControl1->setCurrentWidget(findChild<QWidget*>(QStringLiteral("SecurityPage")));
                edit->setFocus();
                return;
            }
        }
    }
    QDialog::done(result);
}

int TrpPDFExportDialog::Run(TrpPDFExport& f)
{
    TrpPDFExportDialog dialog(QApplication::activeWindow());
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
    dialog.OpenCB->setChecked(f.OpenAfterExport);
    dialog.CompressedCB->setChecked(f.Compressed);
    dialog.PrintOptCB->setChecked(f.PrintOptimized);
    dialog.OutlineCB->setChecked(f.Outline);
    dialog.OutlineCB->setEnabled(f.Outline);
    dialog.BackgrCB->setChecked(f.Background);
    if (!f.PageNumbers.isEmpty()) {
        dialog.PageNumbersE->setText(f.PageNumbers);
        dialog.PageNumbersRB->setChecked(true);
    }
    dialog.OwnPassE->setText(f.OwnerPassword);
    dialog.UserPassE->setText(f.UserPassword);
    dialog.PrintCB->setChecked(f.ProtectionFlags & (1u << ePrint));
    dialog.CopyCB->setChecked(f.ProtectionFlags & (1u << eCopy));
    dialog.ModCB->setChecked(f.ProtectionFlags & (1u << eModify));
    dialog.AnnotCB->setChecked(f.ProtectionFlags & (1u << eAnnot));
    dialog.TitleE->setText(f.Title);
    dialog.AuthorE->setText(f.Author);
    dialog.SubjectE->setText(f.Subject);
    dialog.KeywordsE->setText(f.Keywords);
    dialog.CreatorE->setText(f.Creator);
    dialog.ProducerE->setText(f.Producer);
    dialog.HideToolbarCB->setChecked(f.HideToolbar);
    dialog.HideMenubarCB->setChecked(f.HideMenubar);
    dialog.HideWindowUICB->setChecked(f.HideWindowUI);
    dialog.FitWindowCB->setChecked(f.FitWindow);
    dialog.CenterWindowCB->setChecked(f.CenterWindow);
    dialog.PrintScalingCB->setChecked(f.PrintScaling);

    int result = ReportServices::Ui().RunModal(dialog, dialog.objectName());
    if (result != mrOk)
        return result == mrNone ? mrCancel : result;
    f.OwnerPassword = dialog.OwnPassE->text();
    f.UserPassword = dialog.UserPassE->text();
    TrpPDFEncBits flags = 0;
    if (dialog.PrintCB->isChecked())
        flags |= 1u << ePrint;
    if (dialog.ModCB->isChecked())
        flags |= 1u << eModify;
    if (dialog.CopyCB->isChecked())
        flags |= 1u << eCopy;
    if (dialog.AnnotCB->isChecked())
        flags |= 1u << eAnnot;
    f.SetProtectionFlags(flags);
    f.PageNumbers.clear();
    f.CurPage = false;
    if (dialog.CurPageRB->isChecked())
        f.CurPage = true;
    else if (dialog.PageNumbersRB->isChecked())
        f.PageNumbers = dialog.PageNumbersE->text();
    f.OpenAfterExport = dialog.OpenCB->isChecked();
    f.Compressed = dialog.CompressedCB->isChecked();
    f.EmbeddedFonts = dialog.EmbeddedCB->isChecked();
    f.PrintOptimized = dialog.PrintOptCB->isChecked();
    f.Outline = dialog.OutlineCB->isChecked();
    f.Background = dialog.BackgrCB->isChecked();
    f.Quality = dialog.Quality->text().toInt();
    f.Title = dialog.TitleE->text();
    f.Author = dialog.AuthorE->text();
    f.Subject = dialog.SubjectE->text();
    f.Keywords = dialog.KeywordsE->text();
    f.Creator = dialog.CreatorE->text();
    f.Producer = dialog.ProducerE->text();
    f.HideToolbar = dialog.HideToolbarCB->isChecked();
    f.HideMenubar = dialog.HideMenubarCB->isChecked();
    f.HideWindowUI = dialog.HideWindowUICB->isChecked();
    f.FitWindow = dialog.FitWindowCB->isChecked();
    f.CenterWindow = dialog.CenterWindowCB->isChecked();
    f.PrintScaling = dialog.PrintScalingCB->isChecked();
    if (!f.SlaveExport) {
        UiFileDialog save;
        save.Filter = QtFileFilter(GetResourcesInstance().Get(u"8707"));
        save.DefaultExt = QStringLiteral("pdf");
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
