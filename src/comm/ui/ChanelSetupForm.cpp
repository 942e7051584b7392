#include "ChanelSetupForm.h"

#include "controls/ControlHelpers.h"
#include "platform/RegistryStore.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TChanelSetupFrame::TChanelSetupFrame(std::vector<ChanelKindEntry> kinds, QWidget* parent)
    : QDialog(parent), kinds_(std::move(kinds))
{
    setObjectName(QStringLiteral("ChanelSetupFrame"));
    setWindowTitle(QStringLiteral("Настройка канала связи"));

    Label1 = new QLabel(QStringLiteral("Канал связи"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ChanelComboBox = new QComboBox(this);
    ChanelComboBox->setObjectName(QStringLiteral("ChanelComboBox"));
    ChanelComboBox->setEditable(false);
    for (const auto& kind : kinds_)
        ChanelComboBox->addItem(kind.title);
    Label1->setBuddy(ChanelComboBox);

    ParamsPanel = new QWidget(this);
    ParamsPanel->setObjectName(QStringLiteral("ParamsPanel"));
    auto* panelLayout = new QVBoxLayout(ParamsPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);

    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(Label1);
    kindRow->addWidget(ChanelComboBox, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(OkButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kindRow);
    layout->addWidget(ParamsPanel, 1);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ChanelComboBox, &QComboBox::activated, this, &TChanelSetupFrame::ChanelComboBoxChange);
    connect(OkButton, &QPushButton::clicked, this, &TChanelSetupFrame::OkButtonClick);

    FormCreate();
}

TChanelSetupFrame::~TChanelSetupFrame()
{
    // A frame edits its channel's settings: it goes before the channels do.
    DeleteFrame();
    pending_.reset();
    chanel_.reset();
}

void TChanelSetupFrame::FormCreate()
{
    const auto store = platform::RegistryStore::CurrentUser();
    int kind = store.ReadInteger(kRegistryKey, kCurentChanelValue, 0);
    // A stored kind that names no channel would leave the program without one.
    if (kind < 0 || kind >= static_cast<int>(kinds_.size()))
        kind = 0;
    SetComboIndex(ChanelComboBox, kind);
    chanel_ = CreateChanel(kind);
    chanelKind_ = kind;
    ShowFrameFor(chanel_.get(), chanelKind_);
}

std::unique_ptr<TChanelHelperBase> TChanelSetupFrame::CreateChanel(int kind) const
{
    if (kind < 0 || kind >= static_cast<int>(kinds_.size()) || !kinds_[static_cast<size_t>(kind)].create)
        return nullptr;
    try {
        return kinds_[static_cast<size_t>(kind)].create();
    } catch (...) {
        // A channel that cannot be made leaves the dialog without one of that kind.
        return nullptr;
    }
}

void TChanelSetupFrame::DeleteFrame()
{
    if (!settingsFrame_)
        return;
    ParamsPanel->layout()->removeWidget(settingsFrame_);
    delete settingsFrame_;
    settingsFrame_ = nullptr;
}

void TChanelSetupFrame::ShowFrameFor(TChanelHelperBase* chanel, int kind)
{
    DeleteFrame();
    if (!chanel || kind < 0 || kind >= static_cast<int>(kinds_.size()))
        return;
    const auto& entry = kinds_[static_cast<size_t>(kind)];
    if (!entry.createFrame)
        return;
    settingsFrame_ = entry.createFrame(*chanel, ParamsPanel);
    if (settingsFrame_)
        ParamsPanel->layout()->addWidget(settingsFrame_);
}

void TChanelSetupFrame::ChanelComboBoxChange(int index)
{
    if (chanel_ && chanel_->IsOpen())
        return;
    DeleteFrame();
    pending_.reset();
    if (index == chanelKind_) {
        ShowFrameFor(chanel_.get(), chanelKind_);
        return;
    }
    pending_ = CreateChanel(index);
    ShowFrameFor(pending_.get(), index);
}

void TChanelSetupFrame::FormActivate()
{
    const bool open = chanel_ && chanel_->IsOpen();
    const bool busy = busy_ && busy_();
    ChanelComboBox->setEnabled(!open && !busy);
    ParamsPanel->setEnabled(!open);
    OkButton->setEnabled(!open);
}

void TChanelSetupFrame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TChanelSetupFrame::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TChanelSetupFrame::OkButtonClick()
{
    accept();
}

void TChanelSetupFrame::done(int result)
{
    if (result == QDialog::Accepted) {
        if (pending_) {
            DeleteFrame();
            chanel_ = std::move(pending_);
            chanelKind_ = GetComboIndex(ChanelComboBox);
            ShowFrameFor(chanel_.get(), chanelKind_);
        }
        // A registry that cannot be written does not stop the dialog.
        platform::RegistryStore::CurrentUser().WriteInteger(kRegistryKey, kCurentChanelValue, chanelKind_);
    } else if (pending_) {
        DeleteFrame();
        pending_.reset();
        SetComboIndex(ChanelComboBox, chanelKind_);
        ShowFrameFor(chanel_.get(), chanelKind_);
    }
    QDialog::done(result);
}
