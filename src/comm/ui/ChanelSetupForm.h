#pragma once

#include "comm/ChanelHelper.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// What the dialog needs to know of one kind of channel: its title in the kind list, how to
// make a channel of that kind (it loads its own settings) and how to make the frame that
// edits a channel's settings. The core channels know nothing of frames; this table joins them.
struct ChanelKindEntry {
    QString title;
    std::function<std::unique_ptr<TChanelHelperBase>()> create;
    std::function<QWidget*(TChanelHelperBase& chanel, QWidget* parent)> createFrame;
};

// The kinds in the order of the stored choice: COM port, TCP, GPRS relay.
std::vector<ChanelKindEntry> DefaultChanelKinds();

// The channel choice dialog. It owns the system's one channel and the settings frame of
// the kind shown.
//
// Picking another kind shows a new channel of that kind, but the channel handed out by
// Chanel() is replaced only when the dialog closes with OK; closing it otherwise throws the
// new channel away and goes back to the kind in use, so the channel the main window holds
// stays valid. The kind cannot be changed while the channel is open or while the busy check
// says that background operations may still use it.
class TChanelSetupFrame : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kRegistryKey = kChanelChoiceKey;
    static constexpr const char* kCurentChanelValue = ::kCurentChanelValue;

    explicit TChanelSetupFrame(std::vector<ChanelKindEntry> kinds, QWidget* parent = nullptr);
    ~TChanelSetupFrame() override;

    // The channel in use; none only when no kind could be made.
    TChanelHelperBase* Chanel() const { return chanel_.get(); }
    // The channel shown in the dialog (a new kind not yet confirmed with OK, or the one in use).
    TChanelHelperBase* ShownChanel() const { return pending_ ? pending_.get() : chanel_.get(); }
    // Returns true while background operations may still use the channel.
    void SetBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void ChanelComboBoxChange(int index);
    void OkButtonClick();
    void ShowFrameFor(TChanelHelperBase* chanel, int kind);
    void DeleteFrame();
    std::unique_ptr<TChanelHelperBase> CreateChanel(int kind) const;

    std::vector<ChanelKindEntry> kinds_;
    std::function<bool()> busy_;
    std::unique_ptr<TChanelHelperBase> chanel_;   // the channel in use
    int chanelKind_ = -1;                         // its kind (index of the kind list)
    std::unique_ptr<TChanelHelperBase> pending_;  // a channel of a newly picked kind, until OK

    QLabel* Label1 = nullptr;
    QComboBox* ChanelComboBox = nullptr;
    QWidget* ParamsPanel = nullptr;
    QWidget* settingsFrame_ = nullptr;
    QPushButton* OkButton = nullptr;
};
