#pragma once

// Controls the report windows share: the scrolling area under the preview's page area (and
// the designer's views), a combo box with a list width and a read-only edit, and colour
// mixing for their hot looks.

#include "report/core/Colors.h"

#include <QAbstractScrollArea>
#include <QComboBox>

#include <functional>

class QLabel;
class QToolButton;

// Mixes two colours per channel: (c1 × amount + c2 × (base − amount) + base / 2) / base with
// base 100 for amounts below 100, else 1000. System colours are resolved first.
TColor MixColors(TColor color1, TColor color2, int amount);

// The character cell height of a font on the screen.
int FontCellHeight(const QFont& font);

// A scrolling control with ranges, pages and positions of its own: a position is clamped to
// range − page, then to 0, and each change reaches HorzScrollChanged or VertScrollChanged.
class TrpScrollWin : public QAbstractScrollArea {
public:
    explicit TrpScrollWin(QWidget* parent = nullptr);

    int HorzRange() const { return horzRange_; }
    int HorzPage() const { return horzPage_; }
    int HorzPosition() const { return horzPosition_; }
    int VertRange() const { return vertRange_; }
    int VertPage() const { return vertPage_; }
    int VertPosition() const { return vertPosition_; }
    void SetHorzRange(int value);
    void SetHorzPage(int value);
    void SetHorzPosition(int value);
    void SetVertRange(int value);
    void SetVertPage(int value);
    void SetVertPosition(int value);
    int SmallChange = 1;
    int LargeChange = 10;

protected:
    virtual void HorzScrollChanged() {}
    virtual void VertScrollChanged() {}
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    void ApplyHorz();
    void ApplyVert();
    int horzRange_ = 0, horzPage_ = 0, horzPosition_ = 0;
    int vertRange_ = 0, vertPage_ = 0, vertPosition_ = 0;
    bool applying_ = false;
};

// A combo box whose drop-down list may be wider than the box and whose edit may be read-only.
class TrpComboBox : public QComboBox {
public:
    explicit TrpComboBox(QWidget* parent = nullptr);
    int ListWidth() const { return listWidth_; }
    void SetListWidth(int value) { listWidth_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    void showPopup() override;

private:
    int listWidth_ = 0; // 0: as wide as the box
    bool readOnly_ = false;
};

// A font list: the families of the system (scalable ones marked TrueType, type 4; Linux has no
// device fonts), with the five most recently chosen fonts at the top, kept as "Font0".."Font4"
// and "FontType0".."FontType4" in the settings section "MRUFont", and a sample of the font under
// the cursor beside the open list.
class TrpFontComboBox : public QComboBox {
public:
    explicit TrpFontComboBox(QWidget* parent = nullptr);
    ~TrpFontComboBox() override;
    static constexpr int kTrueType = 4;
    static constexpr int kDevice = 2;
    bool ShowMRU = true;
    // The settings root and section of the recently used fonts.
    QString MRURoot = QStringLiteral("\\Software\\Zuvo Dideziz");
    QString MRUSection = QStringLiteral("MRUFont");
    // Index of the last recently-used entry at the top; −1 when none.
    int Numused() const { return numused_; }
    virtual void PopulateList();
    // The user chose the item (the list closed on it).
    void SelectItem(int index);
    void showPopup() override;
    void hidePopup() override;

private:
    void WriteMRU();
    QLabel* sample_;
    int numused_ = -1;
    bool updating_ = false;
};

// An editable combo box with a button at its right end; Enter and Esc also reach the dialog.
class TrpComboEdit : public QComboBox {
public:
    explicit TrpComboEdit(QWidget* parent = nullptr);
    QToolButton* Button() const { return button_; }
    bool ButtonEnabled() const;
    void SetButtonEnabled(bool value);
    std::function<void()> OnButtonClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QToolButton* button_;
    bool buttonEnabled_ = true;
};
