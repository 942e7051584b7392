#pragma once

// What the designer window's units share: the coordinates panel of its status bar.

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

class TrpComponent;
class TrpDesignerForm;

// The coordinates panel of the status bar: up to three texts with the position and size
// images before the first two.
class TrpStatusPanel : public QWidget {
public:
    explicit TrpStatusPanel(TrpDesignerForm* form);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TrpDesignerForm* form_;
};

