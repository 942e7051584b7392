#pragma once

// Scripts with the whole class library, windows included, for widget tests: the prompts and
// modal runs are answered by a ScriptedUi (whose OnModal may work the form), ShowMessage lines
// and handler errors are collected, and a script's objects are found by its variables.

#include "../ScriptTestSupport.h"

#include "report/core/ObjectHandles.h"
#include "report/script/ScriptedUi.h"
#include "report/script/sc_ievents.h"
#include "report/script/ui/sc_iformsrtti.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace scripttest {

class ScriptUiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterScriptUiModules(); }

    void SetUp() override
    {
        ReportServices::SetUi(&ui_);
        script_ = NewScript(QStringLiteral("RireroRidoze"));
        script_->SetErrorSink([this](const QString& className, const QString& message) {
            errors_ << className + QStringLiteral(": ") + message;
        });
    }
    void TearDown() override
    {
        script_.reset();
        ReportServices::SetUi(nullptr);
    }

    // Compiles and runs; an uncaught error becomes the last message line.
    void Run(const QString& source)
    {
        SetSource(*script_, source);
        ASSERT_TRUE(script_->Compile()) << script_->ErrorPos.toStdString() << ": " << script_->ErrorMsg.toStdString();
        try {
            script_->Execute();
        } catch (const platform::Exception& error) {
            ui_.Messages << QString::fromUtf8(ScriptErrorClassName(error)) + QStringLiteral(": ") +
                                QString::fromStdString(error.Message());
        }
    }
    // The object a script variable refers to.
    template <class T>
    T* Object(const QString& variable)
    {
        const Variant value = script_->Evaluate(variable);
        return dynamic_cast<T*>(ObjectHandles::Find(ObjectHandles::HandleOf(value)));
    }
    QWidget* Widget(const QString& variable) { return Object<QWidget>(variable); }
    std::string Lines() const { return ui_.Messages.join(u'\n').toStdString(); }
    int Bridges() const
    {
        int count = 0;
        for (int i = 0; i < script_->Count(); ++i)
            count += dynamic_cast<TscCustomEvent*>(script_->Item(i)) != nullptr ? 1 : 0;
        return count;
    }

    ScriptedUi ui_;
    std::unique_ptr<TscScript> script_;
    QStringList errors_;
};

} // namespace scripttest
