#include "rpDesgnForm.h"
#include "rpDesgnForm_internal.h"

#include "report/core/Rounding.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpDrawContext.h"

#include <QPainter>

TrpPageSheet::TrpPageSheet(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Workspace"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

void TrpPageSheet::SetPage(TrpComponent* page)
{
    page_ = page;
    update();
}

void TrpPageSheet::SetScale(double scale)
{
    scale_ = scale;
    UpdateSize();
}

void TrpPageSheet::SetPageDimensions(int width, int height, const QRect& margins)
{
    pageSize_ = QSize(width, height);
    margins_ = margins;
    UpdateSize();
}

void TrpPageSheet::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void TrpPageSheet::UpdateSize()
{
    const int width = static_cast<int>(RoundHalfEven(pageSize_.width() * scale_)) + origin_.x() * 2;
    const int height = static_cast<int>(RoundHalfEven(pageSize_.height() * scale_)) + origin_.y() * 2;
    resize(std::max(width, 1), std::max(height, 1));
    update();
}

void TrpPageSheet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    const QRect sheet(origin_, QSize(static_cast<int>(RoundHalfEven(pageSize_.width() * scale_)),
                                     static_cast<int>(RoundHalfEven(pageSize_.height() * scale_))));
    painter.fillRect(sheet, color_);
    if (page_ == nullptr)
        return;
    const TrpDrawContext context;
    double offsetX = origin_.x();
    double offsetY = origin_.y();
    if (auto* reportPage = dynamic_cast<TrpReportPage*>(page_.data())) {
        reportPage->Draw(painter, scale_, scale_, offsetX, offsetY, context);
        offsetX += margins_.left() * scale_;
        offsetY += margins_.top() * scale_;
        painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        painter.drawRect(QRectF(offsetX, offsetY, (pageSize_.width() - margins_.left() - margins_.right()) * scale_,
                                (pageSize_.height() - margins_.top() - margins_.bottom()) * scale_));
    }
    for (TrpComponent* object : page_->AllObjects()) {
        if (auto* view = dynamic_cast<TrpReportComponent*>(object))
            view->Draw(painter, scale_, scale_, offsetX, offsetY, context);
    }
}

QWidget* CreateWorkspace(TrpDesignerForm*, QWidget* parent)
{
    return new TrpPageSheet(parent);
}
