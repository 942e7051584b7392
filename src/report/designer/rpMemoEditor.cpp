#include "rpMemoEditor.h"

#include "DesignerRuntime.h"
#include "rpDsgnImages.h"
#include "rpFormatEditor.h"
#include "rpHighlightEditor.h"
#include "rpSysMemoEditor.h"
#include "rpUnicodeCtrls.h"

#include "report/core/Services.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpFont.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaxDelimiter = 255;

QToolButton* ToolButton(QToolBar* bar, const char* name, int image, const QString& hint)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    const auto& images = MainButtonImages();
    if (image < static_cast<int>(images.size()))
        button->setIcon(QIcon(QPixmap::fromImage(images[image])));
    button->setToolTip(hint);
    bar->addWidget(button);
    return button;
}

} // namespace

TrpMemoEditorForm::TrpMemoEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpMemoEditorForm"))
{
    setWindowTitle(QString());
    setSizeGripEnabled(true);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setMinimumSize(324, 252);
    TextTS = new QWidget;
    TextTS->setObjectName(QStringLiteral("TextTS"));
    FormatTS = new QWidget;
    FormatTS->setObjectName(QStringLiteral("FormatTS"));
    HighlightTS = new QWidget;
    HighlightTS->setObjectName(QStringLiteral("HighlightTS"));
    PageControl1->addTab(TextTS, QString());
    PageControl1->addTab(FormatTS, QString());
    PageControl1->addTab(HighlightTS, QString());

    ToolBar = new QToolBar(TextTS);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ExprB = ToolButton(ToolBar, "ExprB", 70, QString());
    AggregateB = ToolButton(ToolBar, "AggregateB", 85, QString());
    LocalFormatB = ToolButton(ToolBar, "LocalFormatB", 86, QString());
    WordWrapB = ToolButton(ToolBar, "WordWrapB", 25, QString());
    WordWrapB->setCheckable(true);
    auto* textLayout = new QVBoxLayout(TextTS);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(0);
    textLayout->addWidget(ToolBar);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    OkB->setAutoDefault(false);
    CancelB->setAutoDefault(false);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    resize(338, 372);

    DesignerDialogs::Caption(this, 3900);
    DesignerDialogs::Hint(ExprB, 3901);
    DesignerDialogs::Hint(AggregateB, 3902);
    DesignerDialogs::Hint(LocalFormatB, 3903);
    DesignerDialogs::Hint(WordWrapB, 3904);
    const QString tabs[] = {QString::number(3905), QString::number(3906), QString::number(3907)};
    for (int i = 0; i < 3; ++i)
        PageControl1->setTabText(i, DesignerDialogs::Text(tabs[i]));

    connect(ExprB, &QToolButton::clicked, this, [this] { Guard([this] { ExprBClick(); }); });
    connect(AggregateB, &QToolButton::clicked, this, [this] { Guard([this] { AggregateBClick(); }); });
    connect(LocalFormatB, &QToolButton::clicked, this, [this] { Guard([this] { LocalFormatBClick(); }); });
    connect(WordWrapB, &QToolButton::clicked, this, [this] { Guard([this] { WordWrapBClick(); }); });
}

TrpMemoEditorForm::~TrpMemoEditorForm() = default;

void TrpMemoEditorForm::Showing()
{
    FIsUnicode = FMemoView == nullptr || FMemoView->Font().Charset() == kDefaultCharset ||
                 FMemoView->UseDefaultCharset;
    // Both are UTF-16 here; the Unicode memo is the one the rest of the designer types into.
    Memo = FIsUnicode ? new TUnicodeMemo(TextTS) : new QPlainTextEdit(TextTS);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo->installEventFilter(this);
    TextTS->layout()->addWidget(Memo);

    FFormat = new TrpFormatEditorForm(this, Designer());
    if (FMemoView != nullptr)
        FFormat->SetFormat(FMemoView->DisplayFormat());
    FFormat->HostControls(FormatTS);
    FHighlight = new TrpHighlightEditorForm(this, Designer());
    FHighlight->SetMemoView(FMemoView);
    FHighlight->HostControls(HighlightTS);

    RestorePlacement();
    if (std::unique_ptr<TrpIniFile> settings = Settings())
        WordWrapB->setChecked(settings->ReadBool(Section(), QStringLiteral("WordWrap"), false));
    WordWrapBClick();

    QFont font;
    if (Designer() != nullptr && Designer()->UseObjectFont && FMemoView != nullptr) {
        const TrpFont& memoFont = FMemoView->Font();
        font.setFamily(memoFont.Name());
        font.setPixelSize(std::max(1, std::abs(memoFont.Height())));
        font.setBold((memoFont.Style() & kFontStyleBold) != 0);
        font.setItalic((memoFont.Style() & kFontStyleItalic) != 0);
        font.setUnderline((memoFont.Style() & kFontStyleUnderline) != 0);
        font.setStrikeOut((memoFont.Style() & kFontStyleStrikeOut) != 0);
        QPalette palette = Memo->palette();
        palette.setColor(QPalette::Text, Qt::black);
        Memo->setPalette(palette);
    } else if (Designer() != nullptr && !Designer()->MemoFontName.isEmpty()) {
        font.setFamily(Designer()->MemoFontName);
        if (Designer()->MemoFontSize > 0)
            font.setPointSize(Designer()->MemoFontSize);
    }
    Memo->setFont(font);

    // A memo's lines end with CR LF; the editor holds them with LF, and gives CR LF back.
    QString text = FMemoView != nullptr ? FMemoView->Text() : QString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo->setPlainText(text);
    QTextCursor cursor = Memo->textCursor();
    cursor.movePosition(QTextCursor::Start);
    Memo->setTextCursor(cursor);
    Memo->ensureCursorVisible();
    Memo->setFocus();
}

void TrpMemoEditorForm::Hiding(int result)
{
    SavePlacement();
    if (std::unique_ptr<TrpIniFile> settings = Settings())
        settings->WriteBool(Section(), QStringLiteral("WordWrap"), WordWrapB->isChecked());
    FText = Memo != nullptr ? Memo->toPlainText() : QString();
    FText.replace(u'\n', QStringLiteral("\r\n"));
    if (FFormat != nullptr) {
        FFormat->UnhostControls();
        if (result == mrOk && FMemoView != nullptr)
            FMemoView->SetDisplayFormat(FFormat->Format());
    }
    if (FHighlight != nullptr)
        FHighlight->UnhostControls(result);
    delete FFormat;
    FFormat = nullptr;
    delete FHighlight;
    FHighlight = nullptr;
}

void TrpMemoEditorForm::WordWrapBClick()
{
    if (Memo == nullptr)
        return;
    const bool wrap = WordWrapB->isChecked();
    Memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    Memo->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void TrpMemoEditorForm::ReplaceSelection(const QString& text)
{
    if (Memo != nullptr)
        Memo->textCursor().insertText(text);
}

void TrpMemoEditorForm::ExprBClick()
{
    if (Designer() == nullptr)
        return;
    QString expression = Designer()->InsertExpression(QString());
    if (expression.isEmpty())
        return;
    const QString delimiters = FMemoView != nullptr ? FMemoView->ExpressionDelimiters : QStringLiteral("[,]");
    const qsizetype comma = delimiters.indexOf(u',');
    const QString open = comma < 0 ? delimiters : delimiters.left(comma);
    const QString close = comma < 0 ? QString() : delimiters.mid(comma + 1, kMaxDelimiter);
    if (expression.startsWith(u'<') && expression.endsWith(u'>') && expression.count(u'<') == 1)
        expression = expression.mid(1, expression.size() - 2);
    ReplaceSelection(open + expression + close);
}

void TrpMemoEditorForm::AggregateBClick()
{
    TrpSysMemoEditorForm editor(this, Designer());
    editor.SetAggregateOnly(true);
    if (editor.Execute() == mrOk)
        ReplaceSelection(editor.Text());
}

QString TrpMemoEditorForm::FormatSuffix(const TrpFormat& format, const QString& systemSeparator)
{
    switch (format.Kind) {
    case fkNumeric: {
        const QString separator = format.DecimalSeparator.isEmpty() ? systemSeparator : format.DecimalSeparator;
        QString text = format.FormatStr;
        for (QChar& c : text)
            if (c == u',' || c == u'-' || c == u'.')
                c = separator.isEmpty() ? c : separator.at(0);
        return QStringLiteral(" #n") + text;
    }
    case fkDateTime:
        return QStringLiteral(" #d") + format.FormatStr;
    case fkBoolean:
        return QStringLiteral(" #b") + format.FormatStr;
    default:
        return QString();
    }
}

void TrpMemoEditorForm::LocalFormatBClick()
{
    TrpFormatEditorForm editor(this, Designer());
    if (editor.Execute() != mrOk || Memo == nullptr)
        return;
    const QString suffix = FormatSuffix(editor.Format(), QString(DesignerRuntime::Formats().DecimalSeparator));
    if (suffix.isEmpty())
        return;
    QTextCursor cursor = Memo->textCursor();
    if (!cursor.hasSelection() && cursor.position() > 0 &&
        Memo->document()->characterAt(cursor.position() - 1) == u']') {
        cursor.movePosition(QTextCursor::PreviousCharacter);
        Memo->setTextCursor(cursor);
    }
    ReplaceSelection(suffix);
}

bool TrpMemoEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (modifiers & Qt::ControlModifier)) {
            accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (key->key() == Qt::Key_A && modifiers == Qt::ControlModifier) {
            Memo->selectAll();
            return true;
        }
    }
    return TrpDesignerDialog::eventFilter(watched, event);
}
