#pragma once

// The controls around the design workspace: the rulers above and left of the page, the scroll
// box that holds the workspace and hands it its keys, the colour and line-style pickers that
// drop down under a tool-bar button, the undo buffer and the clipboard of report objects.

#include "rpPopupForm.h"

#include "report/core/Colors.h"

#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

enum TrpRulerUnits { ruCM, ruInches, ruPixels, ruChars };

class TrpRuler : public QWidget {
    Q_OBJECT
public:
    // A top ruler measures across, a left ruler down.
    explicit TrpRuler(QWidget* parent = nullptr, bool left = false);

    bool IsLeft() const { return left_; }
    int Offset() const { return offset_; }
    void SetOffset(int value);
    double Scale() const { return scale_; }
    void SetScale(double value);
    int Start() const { return start_; }
    void SetStart(int value);
    TrpRulerUnits Units() const { return units_; }
    void SetUnits(TrpRulerUnits value);
    double Position() const { return position_; }
    void SetPosition(double value);
    int Size() const { return size_; }
    void SetSize(int value);

    // Draws the ruler at the widget's size.
    void Paint(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // A press and a move past the drag distance drag a new guide out of the ruler: the drag's
    // source is the ruler, which the design workspace accepts when it shows guides.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPoint pressedAt_{-1, -1};
    bool left_;
    int offset_ = 0;
    double scale_ = 1;
    int start_ = 0;
    TrpRulerUnits units_ = ruCM;
    double position_ = 0;
    int size_ = 0;
};

// Keys reach the workspace: the box handles them and then hands each to its child controls.
class TrpScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TrpScrollBox(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    std::vector<QWidget*> KeyTargets() const;
    void ForwardKey(QKeyEvent* event);

    bool forwarding_ = false; // a key is being passed to the content
};

// The base of the pickers: it opens on its own popup under the button that owns it.
class TrpCustomSelector : public QWidget {
    Q_OBJECT
public:
    // `owner` is the button it drops under (its "tag" property is copied); `clock` times the
    // popup's closing.
    TrpCustomSelector(QWidget* owner, int width, int height, const platform::Clock& clock);
    ~TrpCustomSelector() override;

    TrpPopupForm* Popup() const { return popup_; }
    int Tag() const { return tag_; }

    virtual void PaintSelector(QPainter& painter);
    virtual void DrawHighlight(QPainter& painter, int x, int y, bool down) = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void HidePopup();

    QPoint mouse_{-1, -1};
    bool down_ = false;

private:
    QPointer<TrpPopupForm> popup_;
    int tag_ = 0;
};

class TrpColorSelector : public TrpCustomSelector {
    Q_OBJECT
public:
    explicit TrpColorSelector(QWidget* owner, const platform::Clock& clock = platform::Clock::System());

    TColor Color() const { return color_; }
    QString BtnCaption() const { return btnCaption_; }
    void SetBtnCaption(const QString& caption) { btnCaption_ = caption; }
    std::function<void(TrpColorSelector*)> OnColorChanged;

    // The palette of every colour picker of the process.
    static std::array<TColor, 48>& Palette();
    static void ResetPalette();
    // Adds a colour chosen in the colour dialog to the palette's custom places.
    static void AddCustomColor(TColor color);

    void PaintSelector(QPainter& painter) override;
    void DrawHighlight(QPainter& painter, int x, int y, bool down) override;
    // A release at (x, y): a palette cell, or the button that opens the colour dialog.
    void Pick(int x, int y);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TColor color_ = clNone;
    QString btnCaption_;
};

class TrpLineSelector : public TrpCustomSelector {
    Q_OBJECT
public:
    explicit TrpLineSelector(QWidget* owner, const platform::Clock& clock = platform::Clock::System());

    int Style() const { return style_; }
    std::function<void(TrpLineSelector*)> OnStyleChanged;

    // The row under a point.
    static int RowAt(int y);
    void PaintSelector(QPainter& painter) override;
    void DrawHighlight(QPainter& painter, int x, int y, bool down) override;
    void Pick(int y);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int style_ = 0;
};

class TrpComponent;
class TrpCustomDesigner;
class TrpPictureCache;

// Whole snapshots of the edited report (or of the prepared page a designer edits) for undo and
// redo, with pictures kept in the designer's picture cache instead of the text.
class TrpUndoBuffer {
public:
    TrpUndoBuffer() = default;
    TrpUndoBuffer(const TrpUndoBuffer&) = delete;
    TrpUndoBuffer& operator=(const TrpUndoBuffer&) = delete;

    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }
    TrpPictureCache* PictureCache() const { return pictureCache_; }
    void SetPictureCache(TrpPictureCache* cache) { pictureCache_ = cache; }

    void AddUndo(TrpComponent* component);
    void AddRedo(TrpComponent* component);
    // Restores the state before the last snapshot and drops that snapshot (two needed).
    void GetUndo(TrpComponent* component);
    // Restores the last redo snapshot and drops it (one needed).
    void GetRedo(TrpComponent* component);
    // Restores the last snapshot itself and drops it (the state a run began from).
    void RestoreLastUndo(TrpComponent* component);
    void ClearUndo() { undo_.clear(); }
    void ClearRedo() { redo_.clear(); }
    // The bytes of the last undo snapshot (for measurements).
    QByteArray LastUndo() const { return undo_.empty() ? QByteArray() : undo_.back(); }

private:
    QByteArray Snapshot(TrpComponent* component);
    void Restore(TrpComponent* component, const QByteArray& snapshot);

    std::vector<QByteArray> undo_;
    std::vector<QByteArray> redo_;
    TrpPictureCache* pictureCache_ = nullptr;
};

// The first line of the designer's clipboard text.
inline constexpr char kClipboardMarker[] = "#ZI3 clipboard#";
// Clipboard texts longer than this are not pasted.
inline constexpr qsizetype kMaxClipboardTextLength = 16 * 1024 * 1024;

// Copies the selected report objects to the system clipboard as text and pastes them back.
class TrpClipboard {
public:
    explicit TrpClipboard(TrpCustomDesigner* designer) : designer_(designer) {}

    TrpPictureCache* PictureCache() const { return pictureCache_; }
    void SetPictureCache(TrpPictureCache* cache) { pictureCache_ = cache; }

    // The text Copy puts on the clipboard for the designer's selection.
    QString CopyText() const;
    void Copy() const;
    bool PasteAvailable() const;
    // Pastes the clipboard's text; PasteText pastes a given one (the same rules).
    void Paste();
    void PasteText(const QString& text);

private:
    TrpCustomDesigner* designer_;
    TrpPictureCache* pictureCache_ = nullptr;
};
