#include "rpReportEditor.h"

#include "DesignerFields.h"
#include "rpDesgn.h"
#include "rpDesgnForm.h"
#include "rpDsgnImages.h"
#include "rpPictureEditor.h"

#include "DesignerRuntime.h"

#include "report/core/Conversions.h"
#include "report/core/Formats.h"
#include "report/core/Services.h"
#include "report/engine/rpPrinter.h"
#include "report/engine/ui/rpPreviewForm.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString Res(const char16_t* name)
{
    return GetResourcesInstance().Get(name);
}

// The template files of a folder for a designer that is no designer window: every file with
// the designer component's template extension, with full paths.
QStringList TemplateFiles(const QString& folder)
{
    QString extension = QStringLiteral("zi3");
    if (const TrpDesigner* component = CurrentDesignerComponent(); component != nullptr) {
        extension = component->TemplatesExt;
        if (extension.startsWith(u'.'))
            extension.remove(0, 1);
    }
    QStringList files;
    if (folder.isEmpty())
        return files;
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.") + extension}, QDir::Files, QDir::Name))
        files.append(file.absoluteFilePath());
    files.sort();
    return files;
}

// Grey: the colour of a password the program supplied and the user cannot change.
constexpr QRgb kGrey = qRgb(128, 128, 128);

} // namespace

TrpReportEditorForm::TrpReportEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpReportEditorForm")), FPicture(std::make_unique<TrpPicture>())
{
    setWindowTitle(QString());
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
    const auto check = [this](const char* name, const QString& text) {
        auto* c = new QCheckBox(text, this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    const auto radio = [this](const char* name, const QString& text) {
        auto* r = new QRadioButton(text, this);
        r->setObjectName(QString::fromLatin1(name));
        return r;
    };
    const auto bold = [](QLabel* l) {
        QFont font = l->font();
        font.setBold(true);
        l->setFont(font);
        return l;
    };

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    GeneralTS = new QWidget;
    GeneralTS->setObjectName(QStringLiteral("GeneralTS"));
    DescriptionTS = new QWidget;
    DescriptionTS->setObjectName(QStringLiteral("DescriptionTS"));
    InheritTS = new QWidget;
    InheritTS->setObjectName(QStringLiteral("InheritTS"));
    PageControl->addTab(GeneralTS, QString());
    PageControl->addTab(DescriptionTS, QString());
    PageControl->addTab(InheritTS, QString());

    // General.
    ReportSettingsL = bold(label("ReportSettingsL", QString()));
    PrintersLB = new QListWidget(this);
    PrintersLB->setObjectName(QStringLiteral("PrintersLB"));
    PrintersLB->setIconSize(QSize(16, 16));
    if (screen() != nullptr && screen()->logicalDotsPerInch() > 96)
        PrintersLB->setStyleSheet(QStringLiteral("QListWidget::item { height: 19px; }"));
    CopiesL = label("CopiesL", QString());
    CopiesE = edit("CopiesE");
    CopiesE->setMaximumWidth(60);
    CollateCB = check("CollateCB", QString());
    GeneralL = bold(label("GeneralL", QString()));
    DoublePassCB = check("DoublePassCB", QString());
    PrintIfEmptyCB = check("PrintIfEmptyCB", QString());
    PasswordL = label("PasswordL", QString());
    PasswordE = edit("PasswordE");
    PasswordE->setEchoMode(QLineEdit::Password);
    // The password shows as asterisks, whatever the style's own character.
    PasswordE->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    auto* generalLayout = new QGridLayout(GeneralTS);
    generalLayout->addWidget(ReportSettingsL, 0, 0, 1, 3);
    generalLayout->addWidget(PrintersLB, 1, 0, 1, 3);
    generalLayout->addWidget(CopiesL, 2, 0);
    generalLayout->addWidget(CopiesE, 2, 1);
    generalLayout->addWidget(CollateCB, 2, 2);
    generalLayout->addWidget(GeneralL, 3, 0, 1, 3);
    generalLayout->addWidget(DoublePassCB, 4, 0, 1, 3);
    generalLayout->addWidget(PrintIfEmptyCB, 5, 0, 1, 3);
    generalLayout->addWidget(PasswordL, 6, 0);
    generalLayout->addWidget(PasswordE, 6, 1, 1, 2);

    // Description.
    DescriptionL = bold(label("DescriptionL", QString()));
    NameL = label("NameL", QString());
    NameE = edit("NameE");
    AuthorL = label("AuthorL", QString());
    AuthorE = edit("AuthorE");
    Description1L = label("Description1L", QString());
    DescriptionE = new QPlainTextEdit(this);
    DescriptionE->setObjectName(QStringLiteral("DescriptionE"));
    DescriptionE->setMaximumHeight(70);
    PictureL = label("PictureL", QString());
    PictureImg = label("PictureImg", QString());
    PictureImg->setFixedSize(64, 64);
    PictureImg->setFrameShape(QFrame::Box);
    PictureImg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PictureB = new QPushButton(QString(), this);
    PictureB->setObjectName(QStringLiteral("PictureB"));
    VersionL = bold(label("VersionL", QString()));
    MajorL = label("MajorL", QString());
    MinorL = label("MinorL", QString());
    ReleaseL = label("ReleaseL", QString());
    BuildL = label("BuildL", QString());
    MajorE = edit("MajorE");
    MinorE = edit("MinorE");
    ReleaseE = edit("ReleaseE");
    BuildE = edit("BuildE");
    CreatedL = label("CreatedL", QString());
    Created1L = label("Created1L", QString());
    ModifiedL = label("ModifiedL", QString());
    Modified1L = label("Modified1L", QString());
    auto* descriptionLayout = new QGridLayout(DescriptionTS);
    descriptionLayout->addWidget(DescriptionL, 0, 0, 1, 4);
    descriptionLayout->addWidget(NameL, 1, 0);
    descriptionLayout->addWidget(NameE, 1, 1, 1, 3);
    descriptionLayout->addWidget(AuthorL, 2, 0);
    descriptionLayout->addWidget(AuthorE, 2, 1, 1, 3);
    descriptionLayout->addWidget(Description1L, 3, 0);
    descriptionLayout->addWidget(DescriptionE, 3, 1, 1, 3);
    descriptionLayout->addWidget(PictureL, 4, 0);
    descriptionLayout->addWidget(PictureImg, 4, 1);
    descriptionLayout->addWidget(PictureB, 4, 2);
    descriptionLayout->addWidget(VersionL, 5, 0, 1, 4);
    QLabel* versionLabels[] = {MajorL, MinorL, ReleaseL, BuildL};
    QLineEdit* versionEdits[] = {MajorE, MinorE, ReleaseE, BuildE};
    for (int i = 0; i < 4; ++i) {
        descriptionLayout->addWidget(versionLabels[i], 6 + i / 2, (i % 2) * 2);
        descriptionLayout->addWidget(versionEdits[i], 6 + i / 2, (i % 2) * 2 + 1);
    }
    descriptionLayout->addWidget(CreatedL, 8, 0);
    descriptionLayout->addWidget(Created1L, 8, 1, 1, 3);
    descriptionLayout->addWidget(ModifiedL, 9, 0);
    descriptionLayout->addWidget(Modified1L, 9, 1, 1, 3);

    // Inheritance.
    InheritGB = new QGroupBox(QString(), this);
    InheritGB->setObjectName(QStringLiteral("InheritGB"));
    InheritStateL = label("InheritStateL", QString());
    InheritStateL->setWordWrap(true);
    SelectL = label("SelectL", QString());
    DontChangeRB = radio("DontChangeRB", QString());
    DetachRB = radio("DetachRB", QString());
    InheritRB = radio("InheritRB", QString());
    auto* choice = new QButtonGroup(this);
    for (QRadioButton* button : {DontChangeRB, DetachRB, InheritRB})
        choice->addButton(button);
    DontChangeRB->setChecked(true);
    InheritLV = new QListWidget(this);
    InheritLV->setObjectName(QStringLiteral("InheritLV"));
    InheritLV->setViewMode(QListView::IconMode);
    InheritLV->setIconSize(QSize(32, 32));
    InheritLV->setResizeMode(QListView::Adjust);
    InheritLV->setMinimumHeight(120);
    PathLB = label("PathLB", QStringLiteral("Templates path :"));
    PathE = edit("PathE");
    BrowseB = new QPushButton(QStringLiteral("..."), this);
    BrowseB->setObjectName(QStringLiteral("BrowseB"));
    BrowseB->setAutoDefault(false);
    auto* inheritLayout = new QGridLayout(InheritGB);
    inheritLayout->addWidget(InheritStateL, 0, 0, 1, 3);
    inheritLayout->addWidget(SelectL, 1, 0, 1, 3);
    inheritLayout->addWidget(DontChangeRB, 2, 0, 1, 3);
    inheritLayout->addWidget(DetachRB, 3, 0, 1, 3);
    inheritLayout->addWidget(InheritRB, 4, 0, 1, 3);
    inheritLayout->addWidget(InheritLV, 5, 0, 1, 3);
    inheritLayout->addWidget(PathLB, 6, 0);
    inheritLayout->addWidget(PathE, 6, 1);
    inheritLayout->addWidget(BrowseB, 6, 2);
    auto* inheritPage = new QVBoxLayout(InheritTS);
    inheritPage->addWidget(InheritGB);

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
        {this, 4700},           {ReportSettingsL, 4702}, {CopiesL, 4703},       {GeneralL, 4704},
        {PasswordL, 4705},      {CollateCB, 4706},       {DoublePassCB, 4707},  {PrintIfEmptyCB, 4708},
        {NameL, 4710},          {Description1L, 4711},   {PictureL, 4712},      {AuthorL, 4713},
        {MajorL, 4714},         {MinorL, 4715},          {ReleaseL, 4716},      {BuildL, 4717},
        {CreatedL, 4718},       {ModifiedL, 4719},       {DescriptionL, 4720},  {VersionL, 4721},
        {PictureB, 4722},       {InheritGB, 4723},       {SelectL, 4724},       {DontChangeRB, 4725},
        {DetachRB, 4726},       {InheritRB, 4727},       {PathLB, 4729},
    };
    for (const auto& [widget, id] : captions)
        DesignerDialogs::Caption(widget, id);
    for (const auto& [page, id] : {std::pair<QWidget*, int>{GeneralTS, 4701}, {DescriptionTS, 4709}, {InheritTS, 4728}}) {
        PageControl->setTabText(PageControl->indexOf(page), GetResourcesInstance().GetResourceTextById(id));
    }

    connect(PictureB, &QPushButton::clicked, this, [this] { Guard([this] { PictureBClick(); }); });
    connect(BrowseB, &QPushButton::clicked, this, [this] { Guard([this] { BrowseBClick(); }); });
    connect(PathE, &QLineEdit::returnPressed, this, [this] { Guard([this] { PathEReturn(); }); });
    connect(PageControl, &QTabWidget::currentChanged, this, [this] { PageControlChange(); });
    // Choosing a template means inheriting from it.
    connect(InheritLV, &QListWidget::itemClicked, this, [this] { InheritRB->setChecked(true); });
}

TrpReportEditorForm::~TrpReportEditorForm() = default;

void TrpReportEditorForm::Showing()
{
    FormShow();
}

void TrpReportEditorForm::Hiding(int result)
{
    FormHide(result == mrOk);
}

QString TrpReportEditorForm::TemplatePath() const
{
    if (const auto* form = dynamic_cast<const TrpDesignerForm*>(Designer()))
        return form->TemplatePath();
    return FTemplatePath;
}

void TrpReportEditorForm::SetTemplatePath(const QString& folder)
{
    if (auto* form = dynamic_cast<TrpDesignerForm*>(Designer()))
        form->SetTemplatePath(folder);
    FTemplatePath = folder;
}

void TrpReportEditorForm::FormShow()
{
    TrpReport* report = Designer() != nullptr ? Designer()->Report() : nullptr;
    if (report == nullptr)
        return;
    if (FTemplatePath.isEmpty())
        FTemplatePath = report->GetApplicationFolder();

    // Printers: the default choice first, then every printer with its port.
    PrintersLB->clear();
    const QIcon icon = PreviewButtonIcon(2);
    auto* first = new QListWidgetItem(icon, Res(u"prDefault"), PrintersLB);
    first->setData(Qt::UserRole, Res(u"prDefault"));
    TrpPrinters& printers = GetPrintersInstance();
    const QStringList& names = printers.Printers();
    for (int i = 0; i < names.size(); ++i) {
        QString text = names[i];
        const TrpCustomPrinter* printer = printers[printers.IndexOf(names[i])];
        if (printer != nullptr && !printer->Port().isEmpty())
            text += u' ' + DesignerDialogs::Text(QStringLiteral("rePrnOnPort")) + u' ' +
                    printer->Port();
        auto* item = new QListWidgetItem(icon, text, PrintersLB);
        item->setData(Qt::UserRole, names[i]);
    }
    PrintersLB->setCurrentRow(0);
    const QString& chosen = report->PrintOptions().Printer;
    for (int i = 1; i < PrintersLB->count(); ++i) {
        if (PrintersLB->item(i)->data(Qt::UserRole).toString().compare(chosen, Qt::CaseInsensitive) == 0)
            PrintersLB->setCurrentRow(i);
    }

    CollateCB->setChecked(report->PrintOptions().Collate);
    CopiesE->setText(QString::number(report->PrintOptions().Copies));
    DoublePassCB->setChecked(report->EngineOptions().DoublePass);
    PrintIfEmptyCB->setChecked(report->EngineOptions().PrintIfEmpty);
    TrpReportOptions& options = report->ReportOptions();
    if (!options.HiddenPassword.isEmpty()) {
        PasswordE->clear();
        PasswordE->setEnabled(false);
        QPalette grey = PasswordE->palette();
        grey.setColor(QPalette::Base, QColor(kGrey));
        PasswordE->setPalette(grey);
    } else {
        PasswordE->setEnabled(true);
        PasswordE->setText(options.Password);
    }

    if (!report->ParentReport().trimmed().isEmpty()) {
        InheritStateL->setText(FormatText(Res(u"riInherited"), {Variant(report->ParentReport())}));
        DetachRB->setEnabled(true);
    } else {
        InheritStateL->setText(Res(u"riNotInherited"));
        DetachRB->setEnabled(false);
    }
    DontChangeRB->setChecked(true);
    FillTemplatelist();

    NameE->setText(options.Name);
    AuthorE->setText(options.Author);
    DescriptionE->setPlainText(options.Description().join(u'\n'));
    FPicture->Assign(options.Picture());
    ShowPicture();
    MajorE->setText(options.VersionMajor);
    MinorE->setText(options.VersionMinor);
    ReleaseE->setText(options.VersionRelease);
    BuildE->setText(options.VersionBuild);
    Created1L->setText(DateTimeToStr(options.CreateDate, DesignerRuntime::Formats()));
    Modified1L->setText(DateTimeToStr(options.LastChange, DesignerRuntime::Formats()));
}

void TrpReportEditorForm::ShowPicture()
{
    QPixmap pixmap;
    if (!FPicture->IsEmpty())
        pixmap.loadFromData(FPicture->Data());
    const QSize room = PictureImg->contentsRect().size();
    // A picture larger than its place is drawn stretched into it.
    if (!pixmap.isNull() && (pixmap.width() > room.width() || pixmap.height() > room.height()))
        pixmap = pixmap.scaled(room, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    PictureImg->setPixmap(pixmap);
}

void TrpReportEditorForm::PictureBClick()
{
    TrpPictureEditorForm editor(this, Designer());
    editor.SetPicture(*FPicture);
    if (editor.Execute() == mrOk) {
        FPicture->Assign(editor.Picture());
        ShowPicture();
    }
}

void TrpReportEditorForm::FillTemplatelist()
{
    const QString folder = TemplatePath();
    PathE->setText(folder);
    if (auto* form = dynamic_cast<TrpDesignerForm*>(Designer()))
        form->GetTemplateList(FTemplates);
    else
        FTemplates = TemplateFiles(folder);
    FTemplates.sort();
    InheritLV->clear();
    const auto& images = WizardImages();
    const QIcon icon = images.size() > 5 ? QIcon(QPixmap::fromImage(images[5])) : QIcon();
    for (int i = 0; i < FTemplates.size(); ++i) {
        auto* item = new QListWidgetItem(icon, QFileInfo(FTemplates[i]).fileName(), InheritLV);
        item->setData(Qt::UserRole, i);
    }
}

void TrpReportEditorForm::BrowseBClick()
{
    QString folder = PathE->text();
    if (!ReportServices::Ui().SelectFolder(QStringLiteral("Select folder"), folder))
        return;
    SetTemplatePath(folder);
    FillTemplatelist();
}

void TrpReportEditorForm::PathEReturn()
{
    const QString folder = PathE->text();
    if (!QFileInfo(folder).isDir())
        return;
    SetTemplatePath(folder);
    FillTemplatelist();
}

void TrpReportEditorForm::PageControlChange()
{
    // On the inheritance page Enter belongs to the path.
    const bool inheritPage = PageControl->currentWidget() == InheritTS;
    OkB->setDefault(!inheritPage);
    OkB->setAutoDefault(!inheritPage);
}

int32_t TrpReportEditorForm::ReadCopies() const
{
    return DesignerFields::ReadInteger(CopiesE, CopiesE->text(), DesignerFields::FieldName(CopiesL->text()),
                                       {1, static_cast<double>(kMaxCopies)});
}

void TrpReportEditorForm::CheckValues()
{
    ReadCopies();
}

void TrpReportEditorForm::FormHide(bool ok)
{
    FApplied = false;
    TrpReport* report = Designer() != nullptr ? Designer()->Report() : nullptr;
    if (!ok || report == nullptr)
        return;
    // The one number first: a bad count changes nothing.
    const int32_t copies = ReadCopies();
    TrpPrintOptions& print = report->PrintOptions();
    const QListWidgetItem* printer = PrintersLB->currentItem();
    print.Printer = printer != nullptr ? printer->data(Qt::UserRole).toString() : Res(u"prDefault");
    report->SelectPrinter();
    print.Collate = CollateCB->isChecked();
    print.Copies = copies;
    report->EngineOptions().DoublePass = DoublePassCB->isChecked();
    report->EngineOptions().PrintIfEmpty = PrintIfEmptyCB->isChecked();
    TrpReportOptions& options = report->ReportOptions();
    if (options.HiddenPassword.isEmpty())
        options.Password = PasswordE->text();

    if (!DontChangeRB->isChecked()) {
        Designer()->Lock();
        // The report is shown again whatever the inheritance did, then a failure goes on.
        struct Reload {
            TrpCustomDesigner* designer;
            ~Reload() { designer->ReloadReport(); }
        } reload{Designer()};
        if (DetachRB->isChecked()) {
            report->SetParentReport(QString());
        } else if (InheritRB->isChecked() && InheritLV->currentItem() != nullptr) {
            const int index = InheritLV->currentItem()->data(Qt::UserRole).toInt();
            if (index >= 0 && index < FTemplates.size()) {
                report->SetParentReport(QString());
                report->InheritFromTemplate(FTemplates[index]);
            }
        }
    }
    TrpReportOptions& stored = report->ReportOptions();
    stored.Name = NameE->text();
    stored.Author = AuthorE->text();
    const QString description = DescriptionE->toPlainText();
    stored.SetDescription(description.isEmpty() ? QStringList() : description.split(u'\n'));
    stored.SetPicture(*FPicture);
    stored.VersionMajor = MajorE->text();
    stored.VersionMinor = MinorE->text();
    stored.VersionRelease = ReleaseE->text();
    stored.VersionBuild = BuildE->text();
    FApplied = true;
}
