#pragma once

// Runs script texts in-process: what ShowMessage shows is collected line by line, and an
// uncaught error becomes the last line "ClassName: message"; a compile error "row:col: message".

#include "report/core/ScriptErrors.h"
#include "report/core/Services.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

namespace scripttest {

class RecordingUi : public IUiService {
public:
    RecordingUi() { ReportServices::SetUi(this); }
    ~RecordingUi() override { ReportServices::SetUi(nullptr); }
    void ShowMessage(const QString& text) override { Lines << text; }
    QStringList Lines;
};

inline void EnsureLanguages()
{
    static const bool registered = [] {
        InitScriptLanguages();
        return true;
    }();
    (void)registered;
}

// A script with the run-time library, in a language.
inline std::unique_ptr<TscScript> NewScript(const QString& language)
{
    EnsureLanguages();
    auto script = std::make_unique<TscScript>();
    script->SyntaxType = language;
    script->AddRTTI();
    return script;
}

inline void SetSource(TscScript& script, const QString& source)
{
    script.Lines = source.split(QStringLiteral("\n"));
}

// Compiles and runs; the output lines joined with "\n". `prepare` may register more first.
inline std::string RunScript(const QString& language, const QString& source,
                             const std::function<void(TscScript&)>& prepare = {})
{
    RecordingUi ui;
    std::unique_ptr<TscScript> script = NewScript(language);
    if (prepare)
        prepare(*script);
    SetSource(*script, source);
    if (!script->Compile())
        return (script->ErrorPos + QStringLiteral(": ") + script->ErrorMsg).toStdString();
    try {
        script->Execute();
    } catch (const platform::Exception& error) {
        ui.Lines << QString::fromUtf8(ScriptErrorClassName(error)) + QStringLiteral(": ") +
                        QString::fromStdString(error.Message());
    }
    return ui.Lines.join(u'\n').toStdString();
}

} // namespace scripttest
