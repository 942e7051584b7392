// The commands that open the settings dialogs (page settings, report options, designer
// options) and the designer values only those dialogs set.

#include "rpDesgnForm.h"

#include "rpDesgnWorkspace.h"
#include "rpOptionsEditor.h"
#include "rpPageEditor.h"
#include "rpReportEditor.h"
#include "rpSynMemo.h"

#include "report/core/Services.h"
#include "report/engine/ui/rpCtrls.h"
#include "report/model/rpClass_pages.h"

#include <QAction>

void TrpDesignerForm::ConnectSettingsCommands()
{
    connect(Action(QStringLiteral("PageSettingsCmd")), &QAction::triggered, this,
            [this] { Guard([this] { PageSettingsCmdExecute(); }); });
    connect(Action(QStringLiteral("ReportOptionsCmd")), &QAction::triggered, this,
            [this] { Guard([this] { ReportOptionsCmdExecute(); }); });
    connect(Action(QStringLiteral("OptionsCmd")), &QAction::triggered, this,
            [this] { Guard([this] { OptionsCmdExecute(); }); });
}

void TrpDesignerForm::PageSettingsCmdExecute()
{
    auto* page = dynamic_cast<TrpReportPage*>(Page());
    // A subreport's page takes its settings from the page holding the subreport.
    if (!CheckOp(drDontChangePageOptions) || page == nullptr || page->IsSubReport())
        return;
    TrpPageEditorForm form(this, this);
    if (form.Execute() == mrOk && form.Applied()) {
        SetModified(true);
        UpdatePageDimensions();
    }
}

void TrpDesignerForm::ReportOptionsCmdExecute()
{
    if (!CheckOp(drDontChangeReportOptions))
        return;
    TrpReportEditorForm form(this, this);
    if (form.Execute() != mrOk || !form.Applied())
        return;
    // The printer may have changed, and with it the fonts it offers.
    if (auto* fonts = dynamic_cast<TrpFontComboBox*>(Control(QStringLiteral("FontNameCB"))))
        fonts->PopulateList();
    SetModified(true);
}

void TrpDesignerForm::OptionsCmdExecute()
{
    const TrpDesignerUnits before = FUnits;
    TrpOptionsEditor form(this, this);
    if (form.Execute() != mrOk || !form.Applied())
        return;
    if (FUnits != before)
        FOldUnits = FUnits;
    UpdateWorkspaceGrid();
    FWorkspace->UpdateView();
    FCodeWindow->update();
}

void TrpDesignerForm::SetGridLCD(bool value)
{
    FGridLCD = value;
    FWorkspace->SetGridLCD(value);
    FWorkspace->update();
}

void TrpDesignerForm::SetFreeBands(bool value)
{
    FFreeBands = value;
    FWorkspace->SetFreeBandsPlacement(value);
}

void TrpDesignerForm::SetBandsGap(int value)
{
    FBandsGap = value;
    FWorkspace->SetGapBetweenBands(value);
}

void TrpDesignerForm::SetShowBandCaptions(bool value)
{
    FShowBandCaptions = value;
    FWorkspace->SetShowBandCaptions(value);
}

void TrpDesignerForm::SetScriptFont(const QString& name, int size)
{
    FScriptFontName = name;
    FScriptFontSize = size;
    QFont font(name);
    font.setPointSize(std::max(1, size));
    FCodeWindow->SetEditorFont(font);
}
