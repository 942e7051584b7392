#pragma once

// The common dialogs as plain objects: their properties (file name, filter, options, colour,
// font, pages) live here and in the property registry, and Execute asks the user-interface
// service, so they work the same in the program, in tests and headless.

#include "ScriptObjects.h"
#include "ScriptStrings.h"

#include "report/core/ScriptFont.h"

#include <QString>

class ScriptCommonDialog : public ScriptComponent {
public:
    static const ScriptClassInfo& Class(); // TCommonDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // Shows the dialog through the service; true when the user confirmed.
    virtual bool Execute() = 0;
};

// TOpenDialog options (TOpenOptions), as bits of their ordinals.
enum ScriptOpenOption : int {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing
};

class ScriptOpenDialog : public ScriptCommonDialog {
public:
    static const ScriptClassInfo& Class(); // TOpenDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    bool Execute() override;

    QString DefaultExt;
    QString FileName;
    QString Filter;       // "Text|*.txt|All|*.*"
    int32_t FilterIndex = 1;
    QString InitialDir;
    int32_t Options = (1 << ofHideReadOnly) | (1 << ofEnableSizing);
    QString Title;
    ScriptStringList Files; // every file chosen by the last Execute

protected:
    virtual bool Saving() const { return false; }
};

class ScriptSaveDialog : public ScriptOpenDialog {
public:
    static const ScriptClassInfo& Class(); // TSaveDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

protected:
    bool Saving() const override { return true; }
};

class ScriptColorDialog : public ScriptCommonDialog {
public:
    static const ScriptClassInfo& Class(); // TColorDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    bool Execute() override;

    TColor Color = 0;   // clBlack
    int32_t Options = 0; // TColorDialogOptions
};

class ScriptFontDialog : public ScriptCommonDialog {
public:
    static const ScriptClassInfo& Class(); // TFontDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    bool Execute() override;

    ScriptFont Font;
    int32_t Device = 0;  // fdScreen
    int32_t MinFontSize = 0;
    int32_t MaxFontSize = 0;
    int32_t Options = 1 << 2; // fdEffects
};

class ScriptPrintDialog : public ScriptCommonDialog {
public:
    static const ScriptClassInfo& Class(); // TPrintDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    bool Execute() override;

    bool Collate = false;
    int32_t Copies = 0;
    int32_t FromPage = 0;
    int32_t ToPage = 0;
    int32_t MinPage = 0;
    int32_t MaxPage = 0;
    int32_t Options = 0;    // TPrintDialogOptions
    int32_t PrintRange = 0; // TPrintRange
    bool PrintToFile = false;
};

class ScriptPrinterSetupDialog : public ScriptCommonDialog {
public:
    static const ScriptClassInfo& Class(); // TPrinterSetupDialog
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    bool Execute() override;
};

// A filter of the class library ("Text files|*.txt|All|*.*", patterns joined by ";") in Qt's
// form ("Text files (*.txt);;All (*.*)"); a description that shows its patterns already keeps
// them once.
QString QtFileFilter(const QString& filter);

// Registers the six dialog classes and TCommonDialog with their properties (and their
// enumerations) in the property registry; idempotent.
void RegisterScriptDialogClasses();
