#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <cstdint>
#include <string>
#include <vector>

class GoodTableDelegate;
class QLineEdit;

// Column types of the table.
enum class ColType : int32_t {
    Text = 0,
    CheckBox = 1,
};

// How a text column places its texts.
enum class ColAlignment : uint8_t {
    Left = 0,
    Right = 1,
    Center = 2,
};

struct Cell {
    QString text;
    bool checked = false;
    uint32_t color = 0; // text colour 0x00BBGGRR: 0 black, 255 red
};

struct ColInfo {
    ColType type = ColType::Text;
    bool readOnly = false;
    ColAlignment alignment = ColAlignment::Center;
};

// The cells, column descriptions and captions behind a TGoodTable. Every row has exactly one
// cell per column. Indexes outside the table are refused: setters ignore them and getters
// answer none, so a caller's wrong index never reaches memory it does not own.
class GoodTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The cell's stored text colour (0x00BBGGRR) as an unsigned integer.
    static constexpr int TextColorRole = Qt::UserRole + 1;
    // Whether the cell's column is read-only.
    static constexpr int ColReadOnlyRole = Qt::UserRole + 2;
    // The cell's column type as an integer (ColType).
    static constexpr int ColTypeRole = Qt::UserRole + 3;

    explicit GoodTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // New columns: text, not read-only, centred, empty caption; new cells are empty, black.
    void SetColCount(int32_t count);
    void SetRowCount(int32_t count);
    bool IsValidCell(int32_t row, int32_t col) const;
    bool IsValidCol(int32_t col) const { return col >= 0 && col < columnCount(); }

    // The cell, or none outside the table.
    const Cell* CellAt(int32_t row, int32_t col) const;
    void SetCellText(int32_t row, int32_t col, const QString& text);
    void SetCellChecked(int32_t row, int32_t col, bool checked);
    void SetCellColor(int32_t row, int32_t col, uint32_t color);

    // The column's description, or none outside the table.
    const ColInfo* ColumnAt(int32_t col) const;
    void SetColType(int32_t col, ColType type);
    void SetColReadOnly(int32_t col, bool readOnly);
    void SetColAlignment(int32_t col, ColAlignment alignment);

    QString Caption(int32_t col) const;
    void SetCaption(int32_t col, const QString& caption);

    // Editing switched off for the whole table (no cell answers editable).
    void SetReadOnly(bool readOnly);
    // The background of read-only columns.
    void SetLightColor(const QColor& color) { lightColor_ = color; }

private:
    void CellChanged(int32_t row, int32_t col, const QList<int>& roles);
    void ColumnChanged(int32_t col);

    std::vector<std::vector<Cell>> cells_; // rows of exactly columns_.size() cells
    std::vector<ColInfo> columns_;
    QStringList captions_; // one per column
    bool readOnly_ = false;
    QColor lightColor_;
};

// The table of the device pages: a 17-pixel header of captions, rows 17 pixels high, text and
// check-box cells with a text colour each, per-column type, alignment and read-only flag, and
// one current cell (Col, Row; -1 or any other value outside the table selects nothing).
// Editing is in place: Enter, F2, a second click or a typed character open a one-line editor
// over the current cell, and every keystroke goes into the cell at once (there is no revert).
// The editor is hidden on every scroll, layout change and change of the current cell.
class TGoodTable : public QTableView {
    Q_OBJECT

public:
    // Height of the header and of every row, in pixels.
    static constexpr int32_t kRowHeight = 17;

    explicit TGoodTable(QWidget* parent = nullptr);
    ~TGoodTable() override;

    GoodTableModel* Model() const { return model_; }

    void SetColCount(int32_t count);
    int32_t GetColCount() const;
    void SetRowCount(int32_t count);
    int32_t GetRowCount() const;

    // Cell texts are UTF-8 here; the getters answer empty, unchecked or 0 outside the table.
    void SetCells(int32_t row, int32_t col, const std::string& text);
    std::string GetCells(int32_t row, int32_t col) const;
    void SetCellsChecked(int32_t row, int32_t col, bool checked);
    bool GetCellsChecked(int32_t row, int32_t col) const;
    void SetCellsTextColor(int32_t row, int32_t col, uint32_t color);
    uint32_t GetCellsTextColor(int32_t row, int32_t col) const;

    void SetCaptions(int32_t col, const std::string& caption);
    void SetCaptionsW(int32_t col, const QString& caption);
    std::string GetCaptions(int32_t col) const;
    QString GetCaptionsW(int32_t col) const;
    void SetWidths(int32_t col, int32_t width);
    // The width shown; with the last column filling, the last one may be wider than set.
    int32_t GetWidths(int32_t col) const;
    // While on, the last column also takes the width the columns leave free, so that the rows
    // reach the right edge (it is never made narrower than its own width).
    void SetLastColumnFills(bool on);
    bool LastColumnFills() const { return lastColumnFills_; }
    void SetColTypes(int32_t col, ColType type);
    ColType GetColTypes(int32_t col) const;
    void SetColReadOnly(int32_t col, bool readOnly);
    bool GetColReadOnly(int32_t col) const;
    void SetColAlignment(int32_t col, ColAlignment alignment);
    ColAlignment GetColAlignment(int32_t col) const;
    // One caption per line; the column count becomes the line count.
    void SetItems(const QStringList& items);
    const QStringList& Items() const { return items_; }

    int32_t Col() const { return col_; }
    void SetCol(int32_t col);
    int32_t Row() const { return row_; }
    void SetRow(int32_t row);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    // Opens the editor over the current text cell (nothing when it is not editable).
    void ShowEditor();
    void HideEditor();
    // The open editor, or none.
    QLineEdit* Editor() const;
    // Rows of one Page Up or Page Down.
    int32_t PageRows() const;

signals:
    // A cell's text or check was changed by the user.
    void OnChange();
    // The current cell changed.
    void OnSelChange();

protected:
    virtual void Change();

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Also when a scroll bar comes or goes and the viewport changes its width.
    void updateGeometries() override;

protected slots:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class GoodTableDelegate;

    // Background of read-only columns and of the area outside the cells.
    QColor LightColor() const;
    bool HasCurrentCell() const;
    // The cell's rectangle in viewport coordinates, without its grid lines.
    QRect CellRect(int32_t row, int32_t col) const;
    // The 13 x 13 check box centred in a cell rectangle.
    static QRect CheckBoxRect(const QRect& cell);
    bool IsCurrent(int32_t row, int32_t col) const { return row == row_ && col == col_; }
    // Handles the table's own keys; false for keys it leaves alone.
    bool KeyDown(int key);
    // A printable character typed on the table.
    void KeyPress(const QString& text);
    void Action();
    void InvChecking();
    void EditChange(int32_t row, int32_t col, const QString& text);
    void SelectAt(const QPoint& point);
    void AdjustScroll();
    void RedoLayout();
    // Gives the last column its own width plus what the columns leave free (last column filling).
    void FitLastColumn();

    GoodTableModel* model_;
    GoodTableDelegate* delegate_;
    QStringList items_;
    int32_t col_ = 0;
    int32_t row_ = 0;
    bool selecting_ = false; // a left press is being followed
    bool readOnly_ = false;
    bool lastColumnFills_ = false;
    int32_t lastColumnWidth_ = -1; // the last column's own width while it fills; -1 until known
    bool fitting_ = false;         // FitLastColumn is resizing the last column
    QPointer<QLineEdit> editor_;
};
