#pragma once

#include <QWidget>

#include <cstdint>

class QGroupBox;

// The reaction page of one heat system: how the instrument reacts to the failures and limit
// violations of the measuring channels and to the situations of the heat system, one
// drop-down list per situation. The device frame holds two, ReactionTS1 and ReactionTS2;
// their lists are moved to and from the setup image by the bindings.
class TDax_ReactionTSFrame : public QWidget {
    Q_OBJECT

public:
    explicit TDax_ReactionTSFrame(QWidget* parent = nullptr);

    // Fills the lists, the row labels and the group captions of heat system 0 (heat system 1)
    // or 1; any other value leaves the heat system's captions, labels and its two mass-balance
    // lists as designed (empty).
    void SetHeatSystem(int32_t heatSystem);

    static constexpr int kRowCount = 9;

private:
    QGroupBox* ChanelReactionGroupBox;
    QGroupBox* TSReactionGroupBox;
};
