#pragma once

#include <QLabel>
#include <QString>

#include <cstdint>
#include <optional>

class QFormLayout;
class QWidget;

// What the channel settings frames share.

// A whole decimal number in minimum..maximum, blanks around allowed; none otherwise.
std::optional<int32_t> StrictNumber(const QString& text, int32_t minimum, int32_t maximum);

// The frame's line for refused input: hidden while every field is valid.
class FrameMessageLabel : public QLabel {
public:
    explicit FrameMessageLabel(QWidget* parent);
    // Shows the text, or hides the line when the text is empty.
    void Show(const QString& text);
};

// A settings frame's form layout with labels aligned the same way in every frame.
QFormLayout* MakeFrameLayout(QWidget* frame);
