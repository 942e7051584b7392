#include "ScriptedUi.h"
#include "sc_iconsts.h"

#include "report/core/Colors.h"
#include "report/core/InputFiles.h"
#include "report/core/NumberText.h"
#include "report/core/ScriptErrors.h"


namespace {

const char* const kModalResults[] = {"mrNone", "mrOk",    "mrCancel", "mrAbort",   "mrRetry",   "mrIgnore",
                                     "mrYes",  "mrNo",    "mrAll",    "mrNoToAll", "mrYesToAll"};

// Answers files are short; more is a mistake.
constexpr qint64 kMaxAnswersBytes = 1024 * 1024;

QString Named(const QString& kind, const QString& text)
{
    return text.isEmpty() ? kind : QStringLiteral("%1 \"%2\"").arg(kind, text);
}

} // namespace

ScriptedUi::ScriptedUi(QStringList answers) : FAnswers(std::move(answers)) {}

bool ScriptedUi::ReadAnswers(const QString& fileName, QStringList& answers, QString& reason)
{
    QByteArray bytes;
    if (!ReadInputFile(fileName, kMaxAnswersBytes, bytes, reason))
        return false;
    answers.clear();
    for (QString line : QString::fromUtf8(bytes).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            answers << line;
    }
    return true;
}

QString ScriptedUi::Next(const QString& prompt)
{
    if (FNext >= FAnswers.size())
        throw EScriptException(ScErrorText(TscMessage::SNoAnswerLeft, {prompt}));
    return FAnswers[FNext++].trimmed();
}

bool ScriptedUi::OkOrCancel(const QString& prompt, QString& text)
{
    const QString answer = Next(prompt);
    if (answer.compare(QLatin1String("cancel"), Qt::CaseInsensitive) == 0)
        return false;
    if (answer.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0) {
        text.clear();
        return true;
    }
    if (answer.left(3).compare(QLatin1String("ok "), Qt::CaseInsensitive) == 0) {
        text = answer.mid(3);
        return true;
    }
    throw EScriptException(ScErrorText(TscMessage::SAnswerDoesNotFit, {answer, prompt}));
}

int ScriptedUi::ModalResult(const QString& prompt)
{
    const QString answer = Next(prompt);
    for (int i = 0; i < static_cast<int>(std::size(kModalResults)); ++i) {
        if (answer.compare(QLatin1String(kModalResults[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    int64_t number = 0;
    if (TextToInt64(answer, number) && number >= INT32_MIN && number <= INT32_MAX)
        return static_cast<int>(number);
    throw EScriptException(ScErrorText(TscMessage::SAnswerDoesNotFit, {answer, prompt}));
}

void ScriptedUi::ShowMessage(const QString& text)
{
    Prompts.push_back({QStringLiteral("ShowMessage"), QString(), text});
    Messages << text;
    if (OnMessage)
        OnMessage(text);
}

void ScriptedUi::ShowHelp(const QString& file, const QString& topic)
{
    Prompts.push_back({QStringLiteral("ShowHelp"), file, topic});
}

int ScriptedUi::MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons)
{
    Prompts.push_back({QStringLiteral("MessageDlg"), caption, text, static_cast<int>(type), buttons});
    return ModalResult(Named(QStringLiteral("MessageDlg"), text));
}

bool ScriptedUi::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    Prompts.push_back({QStringLiteral("InputQuery"), caption, prompt});
    QString text;
    if (!OkOrCancel(Named(QStringLiteral("InputQuery"), prompt), text))
        return false;
    value = text;
    return true;
}

bool ScriptedUi::FileDialog(const QString& kind, UiFileDialog& dialog)
{
    Prompts.push_back({kind, dialog.Title, dialog.Filter});
    QString path;
    if (!OkOrCancel(Named(kind, dialog.Title), path))
        return false;
    dialog.FileName = path;
    dialog.Files = QStringList{path};
    return true;
}

bool ScriptedUi::OpenFileDialog(UiFileDialog& dialog)
{
    return FileDialog(QStringLiteral("OpenDialog"), dialog);
}

bool ScriptedUi::SaveFileDialog(UiFileDialog& dialog)
{
    return FileDialog(QStringLiteral("SaveDialog"), dialog);
}

bool ScriptedUi::SelectFolder(const QString& title, QString& folder)
{
    Prompts.push_back({QStringLiteral("SelectFolder"), title, folder});
    QString path;
    if (!OkOrCancel(Named(QStringLiteral("SelectFolder"), title), path))
        return false;
    folder = path;
    return true;
}

bool ScriptedUi::ColorDialog(uint32_t& rgb)
{
    Prompts.push_back({QStringLiteral("ColorDialog"), QString(), QString()});
    const QString prompt = QStringLiteral("ColorDialog");
    QString text;
    if (!OkOrCancel(prompt, text))
        return false;
    text = text.trimmed();
    int64_t number = 0;
    if (const ColorIdentifier* named = FindColorIdentifier(text))
        rgb = ColorToRgb(named->Color);
    else if (TextToInt64(text, number) && number >= INT32_MIN && number <= UINT32_MAX)
        rgb = ColorToRgb(static_cast<TColor>(static_cast<uint32_t>(number)));
    else
        throw EScriptException(ScErrorText(TscMessage::SOkAnswerDoesNotFit, {text, prompt}));
    return true;
}

bool ScriptedUi::FontDialog(UiFont& font)
{
    Prompts.push_back({QStringLiteral("FontDialog"), QString(), font.Name});
    const QString prompt = QStringLiteral("FontDialog");
    QString text;
    if (!OkOrCancel(prompt, text))
        return false;
    const QStringList parts = text.split(u',');
    if (!parts.value(0).trimmed().isEmpty())
        font.Name = parts[0].trimmed();
    if (parts.size() > 1) {
        int64_t size = 0;
        if (!TextToInt64(parts[1].trimmed(), size) || size <= 0 || size > 1638)
            throw EScriptException(ScErrorText(TscMessage::SOkAnswerDoesNotFit, {text, prompt}));
        font.Size = static_cast<int>(size);
    }
    return true;
}

bool ScriptedUi::PrintDialog(UiPrintDialog&)
{
    Prompts.push_back({QStringLiteral("PrintDialog"), QString(), QString()});
    QString text;
    return OkOrCancel(QStringLiteral("PrintDialog"), text);
}

bool ScriptedUi::PrinterSetupDialog()
{
    Prompts.push_back({QStringLiteral("PrinterSetupDialog"), QString(), QString()});
    QString text;
    return OkOrCancel(QStringLiteral("PrinterSetupDialog"), text);
}

int ScriptedUi::RunModal(QObject& dialog, const QString& caption)
{
    Prompts.push_back({QStringLiteral("ShowModal"), caption, QString()});
    if (OnModal)
        return OnModal(dialog, caption);
    return ModalResult(Named(QStringLiteral("ShowModal"), caption));
}

void ScriptedUi::ProcessEvents()
{
    ++ProcessEventsCalls;
}

void ScriptedUi::ProcessInputEvents()
{
    ++ProcessInputEventsCalls;
    if (OnInputEvents)
        OnInputEvents();
}

bool ScriptedUi::WaitInputEvents()
{
    ProcessInputEvents();
    return static_cast<bool>(OnInputEvents);
}
