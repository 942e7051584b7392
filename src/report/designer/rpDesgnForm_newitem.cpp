// The designer window's New... command and its template list.

#include "rpDesgn.h"
#include "rpDesgnForm.h"
#include "rpNewItemForm.h"

#include "report/core/Services.h"
#include "report/model/rpClass_report.h"

#include <QAction>
#include <QDir>

void TrpDesignerForm::ConnectNewItemCommand()
{
    connect(Action(QStringLiteral("NewItemCmd")), &QAction::triggered, this,
            [this] { Guard([this] { NewItemCmdExecute(); }); });
}

void TrpDesignerForm::GetTemplateList(QStringList& list)
{
    list.clear();
    TrpDesigner* component = CurrentDesignerComponent();
    if (component != nullptr && component->OnGetTemplateList) {
        component->OnGetTemplateList(list);
        return;
    }
    QString folder = FTemplatePath.trimmed();
    if (folder.isEmpty() || folder == u".")
        folder = Report()->GetApplicationFolder();
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.") + FTemplateExt}, QDir::Files, QDir::Name))
        list.append(dir.absoluteFilePath(name));
}

void TrpDesignerForm::NewItemCmdExecute()
{
    if (!CheckOp(drDontCreateReport))
        return;
    // A wizard or a template replaces the report: unsaved work is offered for saving first.
    if (Modified()) {
        const int answer = AskSaveChanges();
        if (answer == mrCancel || answer == mrNone)
            return;
        if (answer == mrYes && !SaveFile(false, true))
            return;
    }
    TrpNewItemForm dialog(this);
    dialog.FormDestroy(dialog.Execute());
}
