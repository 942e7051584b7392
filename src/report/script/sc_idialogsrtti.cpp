// The dialog module. The dialogs and prompts go through the user-interface service, so a
// script asks the same questions in the program, in tests (recorded answers) and in scriptrun
// (an answers file).

#include "sc_idialogsrtti.h"

#include "ScriptBindings.h"
#include "ScriptDialogs.h"

#include "report/core/Services.h"

using namespace scbind;
using Frame = TscCallFrame;

std::unique_ptr<TscRTTIModule> CreateDialogsFunctions(TscScript* script)
{
    return std::make_unique<TscDialogsFunctions>(script);
}

TscDialogsFunctions::TscDialogsFunctions(TscScript* script) : TscRTTIModule(script)
{
    RegisterScriptDialogClasses();

    script->AddEnumSet(QStringLiteral("TOpenOptions"),
                       QStringLiteral("ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, "
                                      "ofNoValidate, ofAllowMultiSelect,ofExtensionDifferent, ofPathMustExist, "
                                      "ofFileMustExist, ofCreatePrompt,ofShareAware, ofNoReadOnlyReturn, "
                                      "ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, ofOldStyleDialog, "
                                      "ofNoDereferenceLinks, ofEnableIncludeNotify,ofEnableSizing"));
    script->AddEnum(QStringLiteral("TFileEditStyle"), QStringLiteral("fsEdit, fsComboBox"));
    script->AddEnumSet(QStringLiteral("TColorDialogOptions"),
                       QStringLiteral("cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor"));
    script->AddEnumSet(QStringLiteral("TFontDialogOptions"),
                       QStringLiteral("fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, "
                                      "fdNoFaceSel, fdNoOEMFonts,fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  "
                                      "fdNoVectorFonts,fdShowHelp, fdWysiwyg, fdLimitSize, fdScalableOnly, "
                                      "fdApplyButton"));
    script->AddEnum(QStringLiteral("TFontDialogDevice"), QStringLiteral("fdScreen, fdPrinter, fdBoth"));
    script->AddEnum(QStringLiteral("TPrintRange"), QStringLiteral("prAllPages, prSelection, prPageNums"));
    script->AddEnumSet(QStringLiteral("TPrintDialogOptions"),
                       QStringLiteral("poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile"));
    script->AddEnum(QStringLiteral("TMsgDlgType"),
                    QStringLiteral("mtWarning, mtError, mtInformation, mtConfirmation, mtCustom"));
    script->AddEnumSet(QStringLiteral("TMsgDlgButtons"),
                       QStringLiteral("mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, "
                                      "mbYesToAll, mbHelp"));

    const ScriptClassInfo& common = ScriptCommonDialog::Class();
    TscClassVariable* dialog = script->AddClass(QStringLiteral("TCommonDialog"), &common, QStringLiteral("TComponent"));
    dialog->AddMethod(QStringLiteral("function Execute: Boolean"),
                      [&common](Frame& f) { return Variant(Self<ScriptCommonDialog>(f, common).Execute()); });
    script->AddClass(QStringLiteral("TOpenDialog"), &ScriptOpenDialog::Class(), QStringLiteral("TCommonDialog"));
    script->AddClass(QStringLiteral("TSaveDialog"), &ScriptSaveDialog::Class(), QStringLiteral("TCommonDialog"));
    script->AddClass(QStringLiteral("TColorDialog"), &ScriptColorDialog::Class(), QStringLiteral("TCommonDialog"));
    script->AddClass(QStringLiteral("TFontDialog"), &ScriptFontDialog::Class(), QStringLiteral("TCommonDialog"));
    script->AddClass(QStringLiteral("TPrintDialog"), &ScriptPrintDialog::Class(), QStringLiteral("TCommonDialog"));
    script->AddClass(QStringLiteral("TPrinterSetupDialog"), &ScriptPrinterSetupDialog::Class(),
                     QStringLiteral("TCommonDialog"));

    const QString other = QStringLiteral("ctOther");
    script->AddMethod(
        QStringLiteral("function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: "
                       "Longint): Integer"),
        [](Frame& f) {
            const int type = Int(f, 1);
            if (type < 0 || type > static_cast<int>(UiMessageType::Custom))
                throw ERangeError();
            const uint32_t buttons = static_cast<uint32_t>(SetMask(f, f.Arg(2)));
            return Variant(int32_t{ReportServices::Ui().MessageDlg(QString(), Text(f, 0),
                                                                   static_cast<UiMessageType>(type), buttons)});
        },
        other);
    script->AddMethod(
        QStringLiteral("function InputBox(ACaption, APrompt, ADefault: string): string"),
        [](Frame& f) {
            QString value = Text(f, 2);
            if (!ReportServices::Ui().InputQuery(Text(f, 0), Text(f, 1), value))
                value = Text(f, 2);
            return Variant(value);
        },
        other);
    script->AddMethod(
        QStringLiteral("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean"),
        [](Frame& f) {
            QString value = Text(f, 2);
            const bool confirmed = ReportServices::Ui().InputQuery(Text(f, 0), Text(f, 1), value);
            if (confirmed && f.Args.size() > 2)
                f.Args[2] = Variant(value);
            return Variant(confirmed);
        },
        other);
}
