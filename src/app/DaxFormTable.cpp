#include "DaxFormTable.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
#include "presentation/LcdCalibrationWord.h"
#include "platform/Exceptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <vector>

namespace daxform {

namespace {

// Bits a mask editor is sized for when its names follow another control: the widest flag
// group a signal mask can select (16 bits), and the days of a month for the timer days.
constexpr int kMaskEditorBits = 16;
constexpr int kTimerDayBits = 31;
constexpr int kTimerDayColumns = 16;
// The bit-mask editors' drop-down button, as the device forms have it.
constexpr int kBitEditButtonWidth = 18;
// Horizontal spacing in a box's grid: between a label and its control, and between the value
// columns of a table.
constexpr int kFieldSpacing = 8;
constexpr int kTableColumnSpacing = 6;
// Width of a line edit that the frame fills itself, in digits.
constexpr int kComputedEditDigits = 10;

// The four controls of the LCD calibration word are reached through the frame's delegate; each
// gets the description its own binding would have.
const std::vector<BindingDescription>& LcdControlDescriptions()
{
    static const std::vector<BindingDescription> descriptions = [] {
        std::vector<BindingDescription> list;
        for (const LcdCalibrationControl& control : kLcdCalibrationControls) {
            BindingDescription d;
            d.Group = 16;
            d.Space = FieldSpace::HoldingRegister;
            d.Kind = control.Class == ControlClass::TComboBox ? BindingKind::Combo : BindingKind::Val2;
            d.ControlPath = control.Path;
            d.Class = control.Class;
            d.List = control.Items;
            list.push_back(d);
        }
        return list;
    }();
    return descriptions;
}

// The first binding of each control path, looked up by path.
const std::map<std::string, const BindingDescription*>& BindingsByPath()
{
    static const std::map<std::string, const BindingDescription*> byPath = [] {
        std::map<std::string, const BindingDescription*> map;
        for (const BindingDescription& d : FrameBindingDescriptions())
            if (d.Kind != BindingKind::Delegate)
                map.emplace(d.ControlPath, &d);
        for (const BindingDescription& d : LcdControlDescriptions())
            map.emplace(d.ControlPath, &d);
        return map;
    }();
    return byPath;
}

// Digits a line edit of the kind is made wide enough for: the usual texts of its format (an
// exact counter's thirteen characters, a duration in hours and minutes, ...); longer ones
// scroll within the edit.
int DigitsOf(const BindingDescription& d)
{
    switch (d.Kind) {
    case BindingKind::Exact: return 14;
    case BindingKind::Time: return 11;
    case BindingKind::Float: return 10;
    case BindingKind::U32:
    case BindingKind::I32: return 10;
    case BindingKind::U16:
    case BindingKind::I16:
    case BindingKind::Byte: return 7;
    case BindingKind::Temp:
    case BindingKind::Press:
    case BindingKind::Res:
    case BindingKind::Curr: return 8;
    case BindingKind::Text: return std::min(d.TextLength + 1, 22);
    case BindingKind::Ip: return 15;
    default: return 10;
    }
}

void SetDigitWidth(QLineEdit* edit, int digits)
{
    const QFontMetrics metrics(edit->font());
    edit->setFixedWidth(metrics.horizontalAdvance(QString(digits, QLatin1Char('0'))) + 14);
}

// Values the instrument measures or reports are shown, never edited.
bool IsShownOnly(const BindingDescription& d)
{
    return d.Space != FieldSpace::HoldingRegister;
}

QWidget* MakeBitEdit(const BindingDescription& d, QWidget* parent)
{
    auto* edit = new TBitEditComboBox(parent);
    edit->SetFirstBitSym('1');
    edit->SetButtonWidth(kBitEditButtonWidth);
    edit->SetReadOnly(IsShownOnly(d));
    // Sized for its bits now: the names arrive with the page set-up (or follow another
    // control), and a layout does not ask again when they do.
    int bits = d.List.Count;
    if (bits == 0 && d.Kind == BindingKind::Val4) {
        bits = kTimerDayBits;
        edit->SetColumnCount(kTimerDayColumns);
    } else if (bits == 0) {
        bits = kMaskEditorBits;
    }
    QStringList placeholder;
    for (int i = 0; i < bits; ++i)
        placeholder.push_back(QString());
    edit->SetItems(placeholder);
    edit->setFixedSize(edit->sizeHint());
    edit->SetItems({});
    return edit;
}

// A list that shows a state the instrument reports (a channel's status, the operating mode):
// it names the state and cannot be changed, neither from its list nor by keys or the wheel.
class ShownComboBox : public QComboBox {
public:
    explicit ShownComboBox(QWidget* parent) : QComboBox(parent) { setFocusPolicy(Qt::NoFocus); }

    void showPopup() override {}

protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

QWidget* MakeSpinEdit(const BindingDescription& d, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    switch (d.Kind) {
    case BindingKind::Val1: spin->setRange(SCHAR_MIN, SCHAR_MAX); break;
    case BindingKind::Val3: spin->setRange(SHRT_MIN, SHRT_MAX); break;
    case BindingKind::Val4: spin->setRange(INT_MIN, INT_MAX); break;
    default: spin->setRange(0, USHRT_MAX); break;
    }
    spin->setReadOnly(IsShownOnly(d));
    return spin;
}

QWidget* MakePicker(const BindingDescription& d, QWidget* parent)
{
    QDateTimeEdit* picker = nullptr;
    if (d.Kind == BindingKind::Date) {
        auto* date = new QDateEdit(parent);
        date->setMinimumDate(QDate(2000, 1, 1));
        // A date without a year register shows day and month only.
        date->setDisplayFormat(d.Register3 == 0 ? QStringLiteral("dd.MM") : QStringLiteral("dd.MM.yyyy"));
        date->setCalendarPopup(!IsShownOnly(d));
        picker = date;
    } else {
        auto* time = new QTimeEdit(parent);
        time->setDisplayFormat(d.Kind == BindingKind::Clock ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
        picker = time;
    }
    if (IsShownOnly(d)) {
        picker->setReadOnly(true);
        picker->setButtonSymbols(QAbstractSpinBox::NoButtons);
    }
    return picker;
}

// A row's texts with '#' replaced by the member number of a repeated box (none: kept).
struct RowTexts {
    QString Name;
    std::optional<QString> Text;
    std::optional<QString> LabelName;
};

std::optional<QString> Substituted(const char* text, int member)
{
    if (text == nullptr)
        return std::nullopt;
    return member > 0 ? MemberName(text, member) : QString::fromUtf8(text);
}

RowTexts TextsOf(const FormRow& row, int member)
{
    return {Substituted(row.Name, member).value_or(QString()), Substituted(row.Text, member),
            Substituted(row.LabelName, member)};
}

QWidget* MakeControl(const FormRow& row, const QString& name, const std::optional<QString>& text,
                     const BindingScope& scope, QWidget* parent)
{
    QWidget* control = nullptr;
    switch (row.What) {
    case Make::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(true);
        SetDigitWidth(edit, kComputedEditDigits);
        control = edit;
        break;
    }
    case Make::Check: control = new QCheckBox(text.value_or(QString()), parent); break;
    case Make::Button: control = new QPushButton(text.value_or(QString()), parent); break;
    case Make::Bound: {
        const BindingDescription* binding = FindBinding(scope, name.toStdString());
        if (binding == nullptr)
            throw platform::Exception("no binding reaches the page control " + name.toStdString());
        control = MakeBoundWidget(*binding, name, parent);
        if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setText(text.value_or(QString::fromStdString(binding->Name)));
        break;
    }
    }
    control->setObjectName(name);
    return control;
}

// The label of a row: its text, or the name of the control's binding, or the control's name.
// A matrix row's label stands for all members, so its default object name is the pattern
// without the member number.
QLabel* MakeLabel(const RowTexts& texts, const QString& controlName, const BindingScope& scope, QWidget* parent)
{
    QString text;
    if (texts.Text) {
        text = *texts.Text;
    } else {
        const std::string bindingName = BindingName(scope, controlName.toStdString());
        text = bindingName.empty() ? controlName : QString::fromStdString(bindingName);
    }
    auto* label = new QLabel(text, parent);
    label->setObjectName(texts.LabelName.value_or(QString(texts.Name).remove(QLatin1Char('#')) +
                                                  QStringLiteral("Label")));
    return label;
}

bool EndsBox(const FormRow& row)
{
    return row.Kind == RowKind::Box || row.Kind == RowKind::Matrix || row.Kind == RowKind::Table ||
           row.Kind == RowKind::Column;
}

// The caption of a table column whose controls have a fixed width. A caption wider than the
// controls breaks between its words, and only there (the unit goes below the name, never a
// part of it), so that the column is no wider than its controls or the caption's widest word.
// It follows later texts (a unit caption switched to another unit) the same way.
class ColumnCaption : public QLabel {
public:
    ColumnCaption(const QString& text, int columnWidth, QWidget* parent) : QLabel(text, parent), columnWidth_(columnWidth) {}

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        int width = 0;
        for (const QString& line : Lines())
            width = std::max(width, metrics.horizontalAdvance(line));
        return {width, static_cast<int>(Lines().size()) * metrics.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QStringList lines = Lines();
        const int lineHeight = fontMetrics().height();
        // The lines stand centred at the foot of the caption, just above the column.
        int top = height() - static_cast<int>(lines.size()) * lineHeight;
        for (const QString& line : lines) {
            style()->drawItemText(&painter, QRect(0, top, width(), lineHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                                  palette(), isEnabled(), line, foregroundRole());
            top += lineHeight;
        }
    }

private:
    // The text in lines no wider than the column or, where a word is wider, than the widest
    // word; words joined greedily.
    QStringList Lines() const
    {
        const QFontMetrics metrics(font());
        const QString whole = text();
        if (metrics.horizontalAdvance(whole) <= columnWidth_)
            return {whole};
        const QStringList words = whole.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int width = 0;
        for (const QString& word : words)
            width = std::max(width, metrics.horizontalAdvance(word));
        width = std::max(width, columnWidth_);
        QStringList lines;
        for (const QString& word : words) {
            const QString joined = lines.isEmpty() ? word : lines.back() + QLatin1Char(' ') + word;
            if (!lines.isEmpty() && metrics.horizontalAdvance(joined) <= width)
                lines.back() = joined;
            else
                lines.push_back(word);
        }
        return lines;
    }

    int columnWidth_;
};

// The width all the controls share when each of them has a fixed one, or none.
std::optional<int> FixedColumnWidth(std::span<QWidget* const> controls)
{
    int width = 0;
    for (const QWidget* control : controls) {
        if (control->minimumWidth() != control->maximumWidth())
            return std::nullopt;
        width = std::max(width, control->maximumWidth());
    }
    return width;
}

// A check box carries its own caption: it takes the label's place too.
bool CarriesCaption(const QWidget* control)
{
    return qobject_cast<const QCheckBox*>(control) != nullptr;
}

} // namespace

const BindingDescription* FindBinding(const BindingScope& scope, const std::string& name)
{
    const auto& byPath = BindingsByPath();
    for (const std::string& prefix : scope) {
        const auto it = byPath.find(prefix + name);
        if (it != byPath.end())
            return it->second;
    }
    return nullptr;
}

std::string BindingName(const BindingScope& scope, const std::string& name)
{
    const BindingDescription* binding = FindBinding(scope, name);
    return binding != nullptr ? binding->Name : std::string();
}

void PlaceCells(QGridLayout* grid, std::span<const GridCell> cells, const BindingScope& scope, QWidget* parent)
{
    for (const GridCell& cell : cells) {
        const QString name = QString::fromUtf8(cell.Name);
        if (cell.Label != nullptr) {
            auto* label = new QLabel(QString::fromUtf8(cell.Label), parent);
            label->setObjectName(name);
            grid->addWidget(label, cell.Row, cell.Column);
            continue;
        }
        const BindingDescription* binding = FindBinding(scope, cell.Name);
        if (binding == nullptr)
            throw platform::Exception("no binding reaches the page control " + name.toStdString());
        grid->addWidget(MakeBoundWidget(*binding, name, parent), cell.Row, cell.Column, Qt::AlignLeft);
    }
}

void StackOn(QWidget* control, QWidget* partner)
{
    auto* grid = qobject_cast<QGridLayout*>(partner->parentWidget()->layout());
    const int index = grid != nullptr ? grid->indexOf(partner) : -1;
    if (index < 0)
        return;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(control);
    grid->addWidget(control, row, column, rowSpan, columnSpan, Qt::AlignLeft);
}

QGroupBox* MakeOuterBox(QWidget* frame, const QString& name, const QString& caption)
{
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* outer = new QGroupBox(caption, frame);
    outer->setObjectName(name);
    layout->addWidget(outer, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch();
    return outer;
}

int FirstPlaceTop(const QGroupBox* outer)
{
    return QFontMetrics(outer->font()).height() + kDesignGap;
}

int PlaceInRows(std::span<QGroupBox* const> boxes, int left, int top, int perRow)
{
    QSize place;
    for (const QGroupBox* box : boxes)
        place = place.expandedTo(box->sizeHint());
    place.rwidth() += kCaptionSlack;
    const int count = static_cast<int>(boxes.size());
    for (int n = 0; n < count; ++n)
        boxes[n]->setGeometry(left + n % perRow * (place.width() + kDesignGap),
                              top + n / perRow * (place.height() + kDesignGap), place.width(), place.height());
    return top + (count + perRow - 1) / perRow * (place.height() + kDesignGap);
}

void FitAroundBoxes(QGroupBox* outer, int margin)
{
    int right = 0;
    int bottom = 0;
    for (const QGroupBox* box : outer->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        if (box->isHidden())
            continue;
        right = std::max(right, box->geometry().right());
        bottom = std::max(bottom, box->geometry().bottom());
    }
    // Never narrower than its own title (with no box shown inside, only the title is left).
    const int titled = outer->minimumSizeHint().width();
    outer->setFixedSize(std::max(right + 1 + margin, titled), bottom + 1 + margin);
}

void KeepRowsAtTop(QGroupBox* box)
{
    if (auto* layout = qobject_cast<QBoxLayout*>(box->layout()))
        layout->addStretch(1);
}

void SetRowVisible(const QWidget* frame, const QString& name, bool visible)
{
    for (const QString& part : {name, name + QStringLiteral("Label")})
        if (auto* widget = frame->findChild<QWidget*>(part))
            widget->setVisible(visible);
}

QRect PlaceAt(QWidget* widget, int x, int y, int slack)
{
    const QSize hint = widget->sizeHint();
    const QRect place(x, y, hint.width() + slack, hint.height());
    widget->setGeometry(place);
    return place;
}

void ReserveLabelWidth(QWidget* label, std::initializer_list<QString> texts)
{
    const QFontMetrics metrics(label->font());
    int width = 0;
    for (const QString& text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    label->setMinimumWidth(width);
}

QStringList ItemTexts(std::span<const char* const> items)
{
    QStringList texts;
    for (const char* item : items)
        texts.push_back(QString::fromUtf8(item));
    return texts;
}

void FillItems(QWidget* control, std::span<const char* const> items)
{
    // Filling is the page's set-up, not a user's choice: no change handler runs.
    const QSignalBlocker blocker(control);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        SetComboItems(combo, ItemTexts(items));
        combo->updateGeometry();
    } else if (auto* bits = qobject_cast<TCustomBitEdit*>(control)) {
        bits->SetItems(ItemTexts(items));
    }
}

QString MemberName(const char* pattern, int member)
{
    QString name = QString::fromUtf8(pattern != nullptr ? pattern : "");
    return name.replace(QLatin1Char('#'), QString::number(member));
}

QWidget* MakeBoundWidget(const BindingDescription& binding, const QString& name, QWidget* parent)
{
    QWidget* widget = nullptr;
    switch (binding.Class) {
    case ControlClass::TEdit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(IsShownOnly(binding));
        SetDigitWidth(edit, DigitsOf(binding));
        widget = edit;
        break;
    }
    case ControlClass::TComboBox: {
        auto* combo = IsShownOnly(binding) ? new ShownComboBox(parent) : new QComboBox(parent);
        // A number typed over proposals (the pulse weights): the binding reads the text.
        combo->setEditable(binding.Kind == BindingKind::Float);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        widget = combo;
        break;
    }
    case ControlClass::TBitEditComboBox: widget = MakeBitEdit(binding, parent); break;
    case ControlClass::TCheckBox: widget = new QCheckBox(parent); break;
    case ControlClass::TCSpinEdit: widget = MakeSpinEdit(binding, parent); break;
    case ControlClass::TProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        widget = bar;
        break;
    }
    case ControlClass::TDateTimePicker: widget = MakePicker(binding, parent); break;
    case ControlClass::Other: widget = new QWidget(parent); break;
    }
    widget->setObjectName(name);
    return widget;
}

int AddFields(QGridLayout* grid, std::span<const FormRow> rows, const BindingScope& scope, QWidget* parent,
              int firstRow, int firstColumn, int member)
{
    int row = firstRow;
    for (const FormRow& r : rows) {
        if (r.Kind != RowKind::Field)
            continue;
        const RowTexts texts = TextsOf(r, member);
        QWidget* control = MakeControl(r, texts.Name, texts.Text, scope, parent);
        if (CarriesCaption(control)) {
            grid->addWidget(control, row, firstColumn, 1, 2);
        } else {
            grid->addWidget(MakeLabel(texts, texts.Name, scope, parent), row, firstColumn);
            grid->addWidget(control, row, firstColumn + 1, Qt::AlignLeft);
        }
        ++row;
    }
    return row;
}

QGroupBox* BuildBox(std::span<const FormRow> rows, const BindingScope& scope, QWidget* parent,
                    const EmbedFactory& embed, int member)
{
    const FormRow& head = rows.front();
    const RowTexts headTexts = TextsOf(head, member);
    auto* box = new QGroupBox(headTexts.Text.value_or(QString()), parent);
    box->setObjectName(headTexts.Name);
    auto* outer = new QVBoxLayout(box);
    // Members one below the other stand in columns of a value each, which sit closer than the
    // label and control pairs of other boxes: a page of two such tables side by side fits the
    // window.
    const bool table = head.Kind == RowKind::Table;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(table ? kTableColumnSpacing : kFieldSpacing);
    grid->setVerticalSpacing(4);
    // The controls keep to the left; a wider box gives its room to the right.
    auto* content = new QHBoxLayout;
    content->addLayout(grid);
    content->addStretch();
    outer->addLayout(content);
    QHBoxLayout* buttons = nullptr;

    // Members of a Matrix run across (a grid row per value), those of a Table down (a grid
    // column per value); row 0 and column 0 hold the captions.
    const bool matrix = head.Kind == RowKind::Matrix;
    for (int m = 1; (matrix || table) && m <= head.Count; ++m) {
        auto* header = new QLabel(MemberName(head.LabelName, m), box);
        header->setAlignment(Qt::AlignCenter);
        grid->addWidget(header, matrix ? 0 : m, matrix ? m : 0);
    }
    int column = 0;                      // field column of a Box (two grid columns and a gap each)
    int row = matrix || table ? 1 : 0;   // next grid row (of a Table: next grid column)
    for (const FormRow& r : rows.subspan(1)) {
        if (EndsBox(r))
            break;
        const int gridColumn = 3 * column;
        switch (r.Kind) {
        case RowKind::Split:
            ++column;
            row = 0;
            grid->setColumnMinimumWidth(3 * column - 1, 12);
            break;
        case RowKind::Field:
            AddFields(grid, std::span(&r, 1), scope, box, row++, gridColumn, member);
            break;
        case RowKind::Cells: {
            QLabel* caption = MakeLabel(TextsOf(r, 0), MemberName(r.Name, 1), scope, box);
            std::vector<QWidget*> controls;
            for (int m = 1; m <= head.Count; ++m) {
                QWidget* control = MakeControl(r, MemberName(r.Name, m), std::nullopt, scope, box);
                if (auto* check = qobject_cast<QCheckBox*>(control))
                    check->setText(QString());
                grid->addWidget(control, table ? m : row, table ? row : m, Qt::AlignCenter);
                controls.push_back(control);
            }
            if (table) {
                if (const std::optional<int> width = FixedColumnWidth(controls)) {
                    auto* wrapped = new ColumnCaption(caption->text(), *width, box);
                    wrapped->setObjectName(caption->objectName());
                    delete caption;
                    caption = wrapped;
                } else {
                    caption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
                }
                grid->addWidget(caption, 0, row, Qt::AlignHCenter | Qt::AlignBottom);
            } else {
                grid->addWidget(caption, row, 0);
            }
            ++row;
            break;
        }
        case RowKind::Note: {
            const RowTexts texts = TextsOf(r, member);
            auto* note = new QLabel(texts.Text.value_or(QString()), box);
            note->setObjectName(texts.Name);
            grid->addWidget(note, row++, gridColumn, 1, 2);
            break;
        }
        case RowKind::Embed: {
            QWidget* widget = embed ? embed(r.Name, box) : nullptr;
            if (widget == nullptr)
                throw platform::Exception(std::string("no widget for the page's place ") + r.Name);
            grid->addWidget(widget, row++, gridColumn, 1, 2);
            break;
        }
        case RowKind::Button: {
            if (buttons == nullptr) {
                buttons = new QHBoxLayout;
                buttons->addStretch();
                outer->addLayout(buttons);
            }
            const RowTexts texts = TextsOf(r, member);
            auto* button = new QPushButton(texts.Text.value_or(QString()), box);
            button->setObjectName(texts.Name);
            buttons->addWidget(button);
            break;
        }
        case RowKind::Box:
        case RowKind::Matrix:
        case RowKind::Table:
        case RowKind::Column: break;
        }
    }
    return box;
}

QWidget* BuildColumns(std::span<const FormRow> rows, const BindingScope& scope, QWidget* parent,
                      const EmbedFactory& embed)
{
    auto* body = new QWidget(parent);
    auto* columns = new QHBoxLayout(body);
    columns->setContentsMargins(0, 0, 0, 0);
    QVBoxLayout* column = nullptr;
    bool inBox = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        const FormRow& r = rows[i];
        if (column == nullptr || r.Kind == RowKind::Column) {
            if (column != nullptr)
                column->addStretch();
            column = new QVBoxLayout;
            columns->addLayout(column);
            inBox = false;
        }
        if (r.Kind == RowKind::Box || r.Kind == RowKind::Matrix || r.Kind == RowKind::Table) {
            column->addWidget(BuildBox(rows.subspan(i), scope, body, embed));
            inBox = true;
        } else if (r.Kind == RowKind::Embed && !inBox) {
            QWidget* widget = embed ? embed(r.Name, body) : nullptr;
            if (widget == nullptr)
                throw platform::Exception(std::string("no widget for the page's place ") + r.Name);
            column->addWidget(widget);
        }
    }
    if (column != nullptr)
        column->addStretch();
    columns->addStretch();
    return body;
}

QString UnitCaption(const QString& name, const char* unit, bool perHour)
{
    return name + QStringLiteral(" (") + QString::fromUtf8(unit) + (perHour ? QStringLiteral("/ч)") : QStringLiteral(")"));
}

void SetLabelText(const QWidget* root, const QString& labelName, const QString& text)
{
    if (auto* label = root->findChild<QLabel*>(labelName))
        label->setText(text);
}

} // namespace daxform
