#pragma once

// What the designer window's units share: the design workspace it hosts in its scroll box.

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

class TrpComponent;
class TrpDesignerForm;

// The sheet the window shows a page on: the page and its objects drawn at the scale, from
// an origin, on the workspace colour.
class TrpPageSheet : public QWidget {
public:
    explicit TrpPageSheet(QWidget* parent = nullptr);

    TrpComponent* Page() const { return page_.data(); }
    void SetPage(TrpComponent* page);
    double Scale() const { return scale_; }
    void SetScale(double scale);
    QPoint Origin() const { return origin_; }
    void SetOrigin(QPoint origin) { origin_ = origin; }
    // The page size and margins in pixels at scale 1.
    void SetPageDimensions(int width, int height, const QRect& margins);
    QSize PageSize() const { return pageSize_; }
    void SetColor(const QColor& color);
    bool ShowGrid = true;
    bool DialogPage = false;
    // Resizes itself to the page at the scale, with the origin around it.
    void UpdateSize();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<TrpComponent> page_;
    double scale_ = 1;
    QPoint origin_{10, 10};
    QSize pageSize_{794, 1123};
    QRect margins_;
    QColor color_ = Qt::white;
};

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

QWidget* CreateWorkspace(TrpDesignerForm* form, QWidget* parent);
