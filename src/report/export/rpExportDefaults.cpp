#include "rpExportDefaults.h"

#include "rpExportHTML.h"
#include "rpExportPDF.h"

void ApplyDeviceFrameSettings(TrpPDFExport& filter)
{
    filter.UseFileCache = true;
    filter.ShowProgress = true;
    filter.OverwritePrompt = false;
    filter.DataOnly = false;
    filter.PrintOptimized = false;
    filter.Outline = false;
    filter.Background = false;
    filter.HTMLTags = true;
    filter.Quality = 95;
    filter.Author = QStringLiteral("RedaVedera");
    filter.Subject = QStringLiteral("RedaVedera PDF export");
    filter.ProtectionFlags = (1u << ePrint) | (1u << eModify) | (1u << eCopy) | (1u << eAnnot);
    filter.HideToolbar = false;
    filter.HideMenubar = false;
    filter.HideWindowUI = false;
    filter.FitWindow = false;
    filter.CenterWindow = false;
    filter.PrintScaling = false;
}

void ApplyDeviceFrameSettings(TrpHTMLExport& filter)
{
    filter.FixedWidth = true;
    filter.Background = false;
    filter.Centered = false;
    filter.Print = false;
    filter.EmptyLines = true;
    filter.PictureType = gpPNG;
    filter.UseFileCache = true;
    filter.ShowProgress = true;
    filter.OverwritePrompt = false;
    filter.DataOnly = false;
}
