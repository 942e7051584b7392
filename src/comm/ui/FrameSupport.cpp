#include "FrameSupport.h"

#include <QFormLayout>

#include <charconv>

std::optional<int32_t> StrictNumber(const QString& text, int32_t minimum, int32_t maximum)
{
    const std::string digits = text.trimmed().toStdString();
    if (digits.empty())
        return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < minimum || value > maximum)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

FrameMessageLabel::FrameMessageLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("MessageLabel"));
    setWordWrap(true);
    setStyleSheet(QStringLiteral("color: #b00000;"));
    hide();
}

void FrameMessageLabel::Show(const QString& text)
{
    setText(text);
    setVisible(!text.isEmpty());
}

QFormLayout* MakeFrameLayout(QWidget* frame)
{
    auto* layout = new QFormLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    return layout;
}
