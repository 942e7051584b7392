// The main window's switches and commands: auto request, exchange log, stay on top, options,
// report, reading and writing everything (the device frame's), help and about.
#include "MainFrame.h"

#include "About.h"
#include "DaxFrame.h"
#include "AppIcons.h"
#include "OptionsFrame.h"
#include "ReportFeature.h"
#include "UserPrompts.h"

#include <QAction>

namespace {
constexpr const char* kHelpTopicPrefix = "DaxConfigurator.chm::/";
constexpr const char* kDefaultHelpTopic = "introduction";
} // namespace

int TMainForm::AutoRequestImageIndex() const
{
    return ActionImageIndex(AutoRequestAction);
}

void TMainForm::AutoRequestActionExecute()
{
    const bool on = AutoRequestAction->isChecked();
    SetActionImage(AutoRequestAction, on ? ActionImage::AutoRequestOn : ActionImage::AutoRequestOff);
    frame_->SetAutoRequestFlag(on);
}

void TMainForm::ChanelLogActionExecute()
{
    if (chanel_)
        chanel_->SetLogEnabled(ChanelLogAction->isChecked());
}

void TMainForm::OnTopActionExecute()
{
    SetStayOnTop(OnTopAction->isChecked());
}

void TMainForm::SetStayOnTop(bool on)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing a window's flags hides it; a shown window is shown again.
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        show();
}

void TMainForm::WithoutStayOnTop(const std::function<void()>& step)
{
    const bool onTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    SetStayOnTop(false);
    try {
        step();
    } catch (...) {
        SetStayOnTop(onTop);
        throw;
    }
    SetStayOnTop(onTop);
}

void TMainForm::OptionActionExecute()
{
    if (!optionsDialog_)
        return;
    WithoutStayOnTop([this] {
        if (prompts_->RunModal(*optionsDialog_) == QDialog::Accepted)
            frame_->ApplyOptions();
    });
}

void TMainForm::SetReportFeature(ReportFeature* feature)
{
    report_ = feature;
    if (report_ && frame_ && !frame_->ReportState())
        frame_->SetReportState(report_->CreateFrameState());
    ReportAction->setEnabled(report_ != nullptr && !closing_);
}

void TMainForm::ReportActionExecute()
{
    if (!report_)
        return;
    WithoutStayOnTop([this] { report_->BuildAndShowReport(*frame_); });
}

void TMainForm::ReadDataActionExecute()
{
    SetStayOnTop(false);
    OnTopAction->setChecked(false);
    frame_->ReadAll();
}

void TMainForm::WriteDataActionExecute()
{
    SetStayOnTop(false);
    OnTopAction->setChecked(false);
    frame_->WriteAll();
}

void TMainForm::AboutActionExecute()
{
    if (!aboutBox_)
        return;
    WithoutStayOnTop([this] { prompts_->RunModal(*aboutBox_); });
}

void TMainForm::SetHelpViewer(std::unique_ptr<HelpViewer> viewer)
{
    helpViewer_ = std::move(viewer);
    HelpAction->setEnabled(helpViewer_ != nullptr && !closing_);
}

void TMainForm::HelpActionExecute()
{
    ShowHelpTopic(QString());
}

void TMainForm::ShowHelpTopic(const QString& topic)
{
    if (!helpViewer_)
        return;
    const QString shown = topic.isEmpty() ? QString::fromUtf8(kDefaultHelpTopic) : topic;
    helpViewer_->ShowTopic(QString::fromUtf8(kHelpTopicPrefix) + shown + QStringLiteral(".htm"));
}
