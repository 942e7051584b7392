// The device frame's pages: building them with their sub-frames, binding their controls to the
// register images, and the set-up part of the page tree builder (sub-frames, item lists,
// labels, the boxes that stay hidden).

#include "DaxFrame.h"

#include "DaxCurrentGeneralParamFrame.h"
#include "DaxCurrentTSParamFrame.h"
#include "DaxEventFrame.h"
#include "DaxFormTable.h"
#include "DaxFramePages.h"
#include "DaxInteractFrame.h"
#include "DaxMaskSignalFrame.h"
#include "DaxNotStaffTSFrame.h"
#include "DaxPageTable.h"
#include "DaxReactionTSFrame.h"
#include "DaxSetupTSFrame.h"
#include "DaxSignalFrame_1.h"
#include "DaxSignalFrame_2.h"

#include "presentation/FrameValueLists.h"
#include "presentation/qt/QtControlResolver.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

#include <span>

namespace {

// The pulse-weight boxes show all their proposals when dropped down.
constexpr int kPulseWeightDropDown = static_cast<int>(PulseWeightProposals.size());
// The incoming-call reaction offers the first three of the instrument's reactions; the fourth
// is an empty text.
constexpr size_t kRingActionChoices = 3;

// The situations of the cold-water channels' reactions, one label each.
constexpr const char* kColdWaterReactionCaptions[] = {"Отказ ПР", "Пустая труба", "Gv < G_отc",
                                                      "G_отc < Gv < G_min", "Gv > G_max"};

// What the page tree builder hides for good: service boxes whose write buttons take no part in
// the program, and the averaging of the measuring channels.
constexpr const char* kHiddenForGood[] = {"LcdGroupBox", "ServiceParamGroupBox", "ServiceModeGroupBox",
                                          "AveragingEnable", "AveragingReset"};

template <typename Frame>
Frame* SubFrame(const QWidget* frame, const char* name)
{
    return frame->findChild<Frame*>(QString::fromUtf8(name));
}

// The empty record of a heat system, as the decoder starts it: no scheme, no air or control
// channel, no pipes.
HeatSystemConfig EmptyHeatSystemConfig(uint8_t heatSystem)
{
    HeatSystemConfig config;
    config.System = heatSystem;
    config.SchemeIndex = 0;
    config.AirChannel = 5;
    config.ControlChannel = 5;
    config.DirectPipes = 0;
    return config;
}

} // namespace

void TDax_Frame::BuildPages()
{
    noPage_ = new QWidget(PageControl);
    noPage_->setObjectName(QStringLiteral("NoPage"));
    PageControl->addWidget(noPage_);
    for (const DaxPage& entry : DaxPages()) {
        QWidget* page = devicepages::BuildPage(entry.Id, PageControl);
        if (page == nullptr)
            continue;
        PageControl->addWidget(page);
        pages_[entry.Id] = page;
    }
}

void TDax_Frame::BuildBindings()
{
    resolver_ = std::make_unique<QtControlResolver>(this);
    BuildFrameBindings(MakeFrameBindingFields(daxHelper_, ownFields_), resolver_->FrameResolver(), bindings_);
}

void TDax_Frame::SetUpSubFrames()
{
    auto* ts1 = SubFrame<TDax_CurrentTSParamFrame>(this, "TS1_Current");
    auto* ts2 = SubFrame<TDax_CurrentTSParamFrame>(this, "TS2_Current");
    auto* ns1 = SubFrame<TDax_NotStaffTSParamFrame>(this, "TS1_NS_Current");
    auto* ns2 = SubFrame<TDax_NotStaffTSParamFrame>(this, "TS2_NS_Current");
    ts1->SetHeatSystem(0);
    ts2->SetHeatSystem(1);
    ns1->SetHeatSystem(0);
    ns2->SetHeatSystem(1);
    SubFrame<TDax_CurrentGeneralParamFrame>(this, "GeneralCWS_Current")->SetUp();
    // Nothing has been read: no scheme rows yet.
    ts1->ApplyScheme(EmptyHeatSystemConfig(0));
    ns1->ApplyScheme(EmptyHeatSystemConfig(0));
    ts2->ApplyScheme(EmptyHeatSystemConfig(1));
    ns2->ApplyScheme(EmptyHeatSystemConfig(1));

    SubFrame<TDax_SetupTSFrame>(this, "ConfigurationTS1")->SetHeatSystem(0);
    SubFrame<TDax_ReactionTSFrame>(this, "ReactionTS1")->SetHeatSystem(0);
    SubFrame<TDax_SetupTSFrame>(this, "ConfigurationTS2")->SetHeatSystem(1);
    SubFrame<TDax_ReactionTSFrame>(this, "ReactionTS2")->SetHeatSystem(1);

    for (auto* editor : findChildren<TDaxMaskSignalForm*>())
        editor->SetUp();
    for (auto* editor : findChildren<TDaxSignal1_Form*>())
        editor->SetUp();
    for (auto* editor : findChildren<TDaxSignal2_Form*>())
        editor->SetUp();
    for (auto* editor : findChildren<TDaxEventForm*>())
        editor->SetUp();
}

void TDax_Frame::FillItemLists()
{
    for (size_t i = 0; i < std::size(kColdWaterReactionCaptions); ++i)
        findChild<QLabel*>(QStringLiteral("CWSlReactionLabel_%1").arg(i))
            ->setText(QString::fromUtf8(kColdWaterReactionCaptions[i]));
    // The frame's own lists are those of its controls' bindings (the sub-frames fill theirs).
    for (const FrameControlSpec& spec : FrameControlSpecs()) {
        if (spec.List.empty() || spec.Path.find('/') != std::string::npos)
            continue;
        std::span<const char* const> items = spec.List.items();
        if (spec.Path == "IncomingRingAction")
            items = items.first(kRingActionChoices);
        daxform::FillItems(findChild<QWidget*>(QString::fromStdString(spec.Path)), items);
    }
    for (int n = 1; n <= 6; ++n)
        findChild<QComboBox*>(QStringLiteral("ImpulseWeight%1").arg(n))->setMaxVisibleItems(kPulseWeightDropDown);
}

void TDax_Frame::HideServiceControls()
{
    for (const char* name : kHiddenForGood)
        findChild<QWidget*>(QString::fromUtf8(name))->hide();
}

namespace {

// Clears every editor of one kind on a page.
template <typename Editor>
void ClearEditors(QWidget* page)
{
    if (page == nullptr)
        return;
    for (Editor* editor : page->findChildren<Editor*>())
        editor->Clear();
}

} // namespace

void TDax_Frame::ConnectClearButtons()
{
    const auto connectButton = [this](const char* name, void (TDax_Frame::*handler)()) {
        if (auto* button = findChild<QPushButton*>(QString::fromUtf8(name)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    connectButton("ClearSignal_0", &TDax_Frame::ClearSignal_0Click);
    connectButton("ClearSignal_1", &TDax_Frame::ClearSignal_1Click);
    connectButton("ClearSignal_2", &TDax_Frame::ClearSignal_2Click);
    connectButton("ClearEvents", &TDax_Frame::ClearEventsClick);
}

void TDax_Frame::ClearSignal_0Click()
{
    ClearEditors<TDaxMaskSignalForm>(Page(25));
}

void TDax_Frame::ClearSignal_1Click()
{
    ClearEditors<TDaxSignal1_Form>(Page(26));
}

void TDax_Frame::ClearSignal_2Click()
{
    ClearEditors<TDaxSignal2_Form>(Page(27));
}

void TDax_Frame::ClearEventsClick()
{
    ClearEditors<TDaxEventForm>(Page(28));
}

void TDax_Frame::CopyIdentification()
{
    DaxHelperLocker lock(&daxHelper_);
    ownFields_.FillIdentification(daxHelper_);
}
