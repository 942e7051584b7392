#pragma once

// The New Item dialog: the registered wizards on one page, the report templates on the other;
// the item chosen is carried out once the dialog closes with OK (a wizard run, or the report
// rebuilt from a template: loaded, or inheriting it with InheritCB).

#include "rpDsgnDialog.h"

#include <QStringList>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class TrpDesignerForm;

class TrpNewItemForm : public TrpDesignerDialog {
public:
    // `designer` is the designer window whose report the chosen item rebuilds; it also lists
    // the templates.
    explicit TrpNewItemForm(TrpDesignerForm* designer);

    // Fills both lists: the wizards in registry order (a wizard's picture joins the wizard
    // images the first time), the templates sorted.
    void FormShow();
    // A double click on either list: closes the dialog with OK.
    void ItemsLVDblClick();
    // Carries out the choice when `result` is OK: the selected item of the active page. The
    // caller runs it after Execute, so that a failure reaches its command.
    void FormDestroy(int result);

    const QStringList& Templates() const { return FTemplates; }

    QTabWidget* Pages = nullptr;
    QWidget* ItemsTab = nullptr;
    QWidget* TemplateTab = nullptr;
    QListWidget* ItemsLV = nullptr;
    QListWidget* TemplateLV = nullptr;
    QCheckBox* InheritCB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override { FormShow(); }

private:
    void RunWizard(QListWidgetItem* item);
    void ApplyTemplate(const QString& path);

    TrpDesignerForm* FForm;
    QStringList FTemplates; // template file paths, sorted
};
