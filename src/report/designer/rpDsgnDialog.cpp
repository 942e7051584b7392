#include "rpDsgnDialog.h"

#include "DesignerRuntime.h"

#include "report/core/Services.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

namespace DesignerDialogs {

namespace {

PlacementProcedures& PlacementStore()
{
    static PlacementProcedures procedures;
    return procedures;
}

DesignerFolders& FolderStore()
{
    static DesignerFolders folders;
    return folders;
}

void SetCaptionText(QWidget* widget, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        box->setTitle(text);
    else if (widget->isWindow())
        widget->setWindowTitle(text);
}

} // namespace

QString Text(const QString& name)
{
    return GetResourcesInstance().Get(name);
}

void Caption(QWidget* widget, int id)
{
    if (widget != nullptr)
        SetCaptionText(widget, GetResourcesInstance().GetResourceTextById(id));
}

void Hint(QWidget* widget, int id)
{
    if (widget != nullptr)
        widget->setToolTip(GetResourcesInstance().GetResourceTextById(id));
}

QString QtFilter(const QString& descriptionsAndMasks)
{
    const QStringList parts = descriptionsAndMasks.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        patterns = patterns.simplified();
        if (description.contains(u'(') && description.endsWith(u')'))
            filters.append(description);
        else
            filters.append(description + QStringLiteral(" (") + patterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString NumberText(double value)
{
    return FloatToShortText(value, DesignerRuntime::Formats());
}

QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
}

double ParseNumber(const QString& text)
{
    return ParseLocaleFloat(text);
}

void SetPlacementProcedures(PlacementProcedures procedures)
{
    PlacementStore() = std::move(procedures);
}

const PlacementProcedures& Placement()
{
    return PlacementStore();
}

void SetDesignerFolders(DesignerFolders folders)
{
    FolderStore() = std::move(folders);
}

QString OpenDir()
{
    return FolderStore().OpenDir ? FolderStore().OpenDir() : QString();
}

QString SaveDir()
{
    return FolderStore().SaveDir ? FolderStore().SaveDir() : QString();
}

} // namespace DesignerDialogs

TrpDesignerDialog::TrpDesignerDialog(QWidget* owner, TrpCustomDesigner* designer, const QString& className)
    : QDialog(owner), FDesigner(designer), FClassName(className)
{
    setObjectName(className);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (owner != nullptr && owner->layoutDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
}

int TrpDesignerDialog::Execute()
{
    int result = mrCancel;
    Guard([&] { Showing(); });
    result = ReportServices::Ui().RunModal(*this, windowTitle());
    if (result != mrOk)
        result = mrCancel;
    Guard([&] { Hiding(result); });
    return result;
}

std::unique_ptr<TrpIniFile> TrpDesignerDialog::Settings() const
{
    if (FDesigner == nullptr || FDesigner->Report() == nullptr)
        return nullptr;
    return FDesigner->Report()->GetIniFile();
}

void TrpDesignerDialog::RestorePlacement()
{
    std::unique_ptr<TrpIniFile> settings = Settings();
    if (!settings)
        return;
    settings->WriteBool(Section(), QStringLiteral("Visible"), true);
    if (DesignerDialogs::Placement().Restore)
        DesignerDialogs::Placement().Restore(*this, *settings, Section());
}

void TrpDesignerDialog::SavePlacement()
{
    std::unique_ptr<TrpIniFile> settings = Settings();
    if (settings && DesignerDialogs::Placement().Save)
        DesignerDialogs::Placement().Save(*this, *settings, Section());
}

void TrpDesignerDialog::MakeOkCancel(QAbstractButton* ok, QAbstractButton* cancel)
{
    if (ok != nullptr) {
        ok->setObjectName(ok->objectName().isEmpty() ? QStringLiteral("OkB") : ok->objectName());
        DesignerDialogs::Caption(ok, 1);
        connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    }
    if (cancel != nullptr) {
        cancel->setObjectName(cancel->objectName().isEmpty() ? QStringLiteral("CancelB") : cancel->objectName());
        DesignerDialogs::Caption(cancel, 2);
        connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    }
}

void TrpDesignerDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        GetResourcesInstance().Help(FClassName);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TrpDesignerDialog::accept()
{
    bool sound = false;
    Guard([&] {
        CheckValues();
        sound = true;
    });
    if (sound)
        QDialog::accept();
}

void TrpDesignerDialog::Guard(const std::function<void()>& body)
{
    ReportServices::Guarded(body, [](const QString&, const QString& message) { ErrorMessageBox(message); });
}
