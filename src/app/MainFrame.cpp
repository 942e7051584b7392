#include "MainFrame.h"

#include "AppIcons.h"
#include "DaxReadAllFrame.h"
#include "DaxWriteAllFrame.h"
#include "OptionsFrame.h"
#include "UserPrompts.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

const QColor TMainForm::kIdleLightColor(0x80, 0x80, 0x00);
const QColor TMainForm::kLitLightColor(0xff, 0xff, 0x00);

namespace {

constexpr int kLightSize = 32;

// The hint of an action: "short|long" gives the tool tip and the status tip; without the bar
// both are the whole text.
void ApplyHint(QAction* action, const QString& hint)
{
    if (hint.isEmpty())
        return;
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

} // namespace

TMainForm::TMainForm(std::vector<ChanelKindEntry> kinds, QWidget* parent)
    : QMainWindow(parent), pool_(std::make_unique<ProcessPool>()), prompts_(&UserPrompts::System())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Dax Конфигуратор"));
    // Where Tahoma is not installed, Liberation Sans is near its widths; the system's default
    // face is wider, and the device pages would overflow the window.
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    setFont(font);

    BuildActions();
    BuildWindow();

    auto store = platform::RegistryStore::CurrentUser();
    options_.Load(store);

    FormCreate(std::move(kinds));
}

void TMainForm::BuildActions()
{
    FileOpen = MakeAction("FileOpen", QStringLiteral("&Открыть..."), QStringLiteral("Открыть файл данных"));
    FileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SetActionImage(FileOpen, ActionImage::FileOpen);
    FileSaveAs = MakeAction("FileSaveAs", QStringLiteral("Сохранить Как..."),
                            QStringLiteral("Сохранить как..|Сохранить данные в файл с новым именем"));
    FileSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SetActionImage(FileSaveAs, ActionImage::FileSave);
    AutoRequestAction =
        MakeAction("AutoRequestAction", QStringLiteral("Автозапрос"), QStringLiteral("Автозапрос параметров"));
    AutoRequestAction->setCheckable(true);
    SetActionImage(AutoRequestAction, ActionImage::AutoRequestOn);
    ReadDataAction =
        MakeAction("ReadDataAction", QStringLiteral("Считать параметры"), QStringLiteral("Считать параметры"));
    SetActionImage(ReadDataAction, ActionImage::ReadData);
    WriteDataAction =
        MakeAction("WriteDataAction", QStringLiteral("Записать параметры"), QStringLiteral("Записать параметры"));
    SetActionImage(WriteDataAction, ActionImage::WriteData);
    ChanelLogAction = MakeAction("ChanelLogAction", QStringLiteral("Лог обмена даных"), QString());
    ChanelLogAction->setCheckable(true);
    OptionAction = MakeAction("OptionAction", QStringLiteral("Опции"), QString());
    ReportAction = MakeAction("ReportAction", QStringLiteral("Отчет"), QStringLiteral("Сформировать отчет"));
    ReportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    SetActionImage(ReportAction, ActionImage::Report);
    HelpAction = MakeAction("HelpAction", QStringLiteral("Справка"), QString());
    AboutAction = MakeAction("AboutAction", QStringLiteral("О программе"), QString());
    OnTopAction = MakeAction("OnTopAction", QStringLiteral("Поверх всех окон"), QString());
    OnTopAction->setCheckable(true);
    SaveConfigurationAction = MakeAction(
        "SaveConfigurationAction", QStringLiteral("Сохранить конфигурацию"),
        QStringLiteral("Сохранить конфигурацию|Сохранить файл конфигурации для последующей записи в вычислитель"));
    SaveConfigurationAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    SetActionImage(SaveConfigurationAction, ActionImage::SaveConfiguration);

    // The report command waits for a report feature, help for a help folder.
    ReportAction->setEnabled(false);
    HelpAction->setEnabled(false);

    connect(FileOpen, &QAction::triggered, this, GuardedSlot([this] { FileOpenExecute(); }));
    connect(FileSaveAs, &QAction::triggered, this, GuardedSlot([this] { FileSaveAsExecute(); }));
    connect(SaveConfigurationAction, &QAction::triggered, this,
            GuardedSlot([this] { SaveConfigurationActionExecute(); }));
    connect(AutoRequestAction, &QAction::triggered, this, GuardedSlot([this] { AutoRequestActionExecute(); }));
    connect(ChanelLogAction, &QAction::triggered, this, GuardedSlot([this] { ChanelLogActionExecute(); }));
    connect(OnTopAction, &QAction::triggered, this, GuardedSlot([this] { OnTopActionExecute(); }));
    connect(OptionAction, &QAction::triggered, this, GuardedSlot([this] { OptionActionExecute(); }));
    connect(ReportAction, &QAction::triggered, this, GuardedSlot([this] { ReportActionExecute(); }));
    connect(ReadDataAction, &QAction::triggered, this, GuardedSlot([this] { ReadDataActionExecute(); }));
    connect(WriteDataAction, &QAction::triggered, this, GuardedSlot([this] { WriteDataActionExecute(); }));
    connect(HelpAction, &QAction::triggered, this, GuardedSlot([this] { HelpActionExecute(); }));
    connect(AboutAction, &QAction::triggered, this, GuardedSlot([this] { AboutActionExecute(); }));

    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("Файл"));
    fileMenu->setObjectName(QStringLiteral("FileMenu"));
    fileMenu->addActions({FileOpen, FileSaveAs, ReportAction, SaveConfigurationAction});
    QMenu* settingsMenu = menuBar()->addMenu(QStringLiteral("Настройки"));
    settingsMenu->setObjectName(QStringLiteral("SettingsMenu"));
    settingsMenu->addActions({OptionAction, ChanelLogAction, OnTopAction});
    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("Помощь"));
    helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    helpMenu->addActions({HelpAction, AboutAction});
}

QAction* TMainForm::MakeAction(const char* name, const QString& caption, const QString& hint)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromUtf8(name));
    ApplyHint(action, hint);
    return action;
}

void TMainForm::BuildWindow()
{
    WorkPanel = new QWidget(this);
    WorkPanel->setObjectName(QStringLiteral("WorkPanel"));

    SysToolBar = new QToolBar(WorkPanel);
    SysToolBar->setObjectName(QStringLiteral("SysToolBar"));
    SysToolBar->setIconSize(QSize(24, 24));
    SysToolBar->addActions({FileOpen, FileSaveAs, ReportAction, SaveConfigurationAction});

    PortPanel = new QWidget(WorkPanel);
    PortPanel->setObjectName(QStringLiteral("PortPanel"));
    ChanelParams = new QPushButton(QStringLiteral("Канал связи"), PortPanel);
    ChanelParams->setObjectName(QStringLiteral("ChanelParams"));
    OpenPort = new QPushButton(QStringLiteral("Открыть"), PortPanel);
    OpenPort->setObjectName(QStringLiteral("OpenPort"));
    auto makeLight = [this](const char* name, const QString& text) {
        auto* light = new QLabel(text, PortPanel);
        light->setObjectName(QString::fromUtf8(name));
        light->setFixedSize(kLightSize, kLightSize);
        light->setAlignment(Qt::AlignCenter);
        light->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        light->setAutoFillBackground(true);
        SetLight(light, kIdleLightColor);
        return light;
    };
    TxPanel = makeLight("TxPanel", QStringLiteral("TX"));
    RxPanel = makeLight("RxPanel", QStringLiteral("RX"));
    auto* portLayout = new QHBoxLayout(PortPanel);
    portLayout->setContentsMargins(4, 2, 4, 2);
    portLayout->addWidget(ChanelParams);
    portLayout->addWidget(OpenPort);
    portLayout->addWidget(TxPanel);
    portLayout->addWidget(RxPanel);

    CommandToolBar = new QToolBar(WorkPanel);
    CommandToolBar->setObjectName(QStringLiteral("CommandToolBar"));
    CommandToolBar->setIconSize(QSize(24, 24));
    CommandToolBar->addActions({AutoRequestAction, ReadDataAction, WriteDataAction});

    auto* coolBar = new QWidget(WorkPanel);
    coolBar->setObjectName(QStringLiteral("CoolBar"));
    auto* bands = new QHBoxLayout(coolBar);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->addWidget(SysToolBar);
    bands->addWidget(PortPanel);
    bands->addWidget(CommandToolBar);
    bands->addStretch(1);

    auto* workLayout = new QVBoxLayout(WorkPanel);
    workLayout->setContentsMargins(0, 0, 0, 0);
    workLayout->setSpacing(0);
    workLayout->addWidget(coolBar);

    ConsoleMemo = new QPlainTextEdit(this);
    ConsoleMemo->setObjectName(QStringLiteral("ConsoleMemo"));
    ConsoleMemo->setReadOnly(true);
    ConsoleMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ConsoleMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont consoleFont(QStringLiteral("Courier New"), 8);
    consoleFont.setStyleHint(QFont::TypeWriter);
    consoleFont.setFixedPitch(true);
    ConsoleMemo->setFont(consoleFont);
    QPalette consolePalette = ConsoleMemo->palette();
    consolePalette.setColor(QPalette::Base, consolePalette.color(QPalette::Button));
    ConsoleMemo->setPalette(consolePalette);
    ConsoleMemo->installEventFilter(this);
    ConsoleMemo->viewport()->installEventFilter(this);

    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(WorkPanel);
    Splitter1->addWidget(ConsoleMemo);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setCollapsible(0, false);
    Splitter1->setSizes({kClientHeight - kConsoleHeight, kConsoleHeight});
    setCentralWidget(Splitter1);


    connect(OpenPort, &QPushButton::clicked, this, GuardedSlot([this] { OpenPortClick(); }));
    connect(ChanelParams, &QPushButton::clicked, this, GuardedSlot([this] { ChanelParamsClick(); }));

    RxTxTimer = new QTimer(this);
    RxTxTimer->setObjectName(QStringLiteral("RxTxTimer"));
    RxTxTimer->setTimerType(Qt::PreciseTimer);
    RxTxTimer->setInterval(10);
    InteractTimer = new QTimer(this);
    InteractTimer->setObjectName(QStringLiteral("InteractTimer"));
    InteractTimer->setInterval(100);
    PollTimer = new QTimer(this);
    PollTimer->setObjectName(QStringLiteral("PollTimer"));
    PollTimer->setInterval(3000);
    connect(RxTxTimer, &QTimer::timeout, this, GuardedSlot([this] { RxTxTimerTimer(); }));
    connect(InteractTimer, &QTimer::timeout, this, GuardedSlot([this] { InteractTimerTimer(); }));
    connect(PollTimer, &QTimer::timeout, this, GuardedSlot([this] { PollTimerTimer(); }));
    RxTxTimer->start();
    InteractTimer->start();
    PollTimer->start();
}

void TMainForm::FormCreate(std::vector<ChanelKindEntry> kinds)
{
    // Auto request: on unless the settings say 0; off when the settings cannot be kept at all.
    auto store = platform::RegistryStore::CurrentUser();
    registryOpen_ = store.KeyExists(kRegistryKey) || store.CreateKey(kRegistryKey);
    AutoRequestAction->setChecked(registryOpen_ && store.ReadInteger(kRegistryKey, kAutoRequestValue, 1) != 0);

    chanelDialog_ = std::make_unique<TChanelSetupFrame>(std::move(kinds), this);
    // While a worker or the channel job may use the channel, no kind change may delete it.
    chanelDialog_->SetBusyCheck([this] { return pool_->Count() > 0 || job_ != nullptr; });
    chanel_ = chanelDialog_->Chanel();
    WireChanel(chanel_);

    frame_ = new TDax_Frame(WorkPanel);
    frame_->BuildPageTree();
    frame_->SetLogCallback([this](const std::string& text, TInteractContainer* target) { Log(text, target); });
    frame_->SetChannel(chanel_);
    frame_->SetPool(pool_.get());
    frame_->SetOptions(&options_);
    frame_->SetAutoRequestFlag(AutoRequestAction->isChecked());
    connect(frame_, &TDax_Frame::HelpRequested, this, [this](const QString& keyword) {
        Guarded([this, keyword] {
            if (!keyword.isEmpty())
                ShowHelpTopic(keyword);
        });
    });

    optionsDialog_ = std::make_unique<TOptionsForm>(&options_, this);
    readAllForm_ = std::make_unique<TDaxReadAllForm>(this);
    writeAllForm_ = std::make_unique<TDaxWriteAllForm>(this);
    frame_->SetChoiceDialogs(readAllForm_.get(), writeAllForm_.get());
    frame_->SetPrompts(prompts_);

    static_cast<QVBoxLayout*>(WorkPanel->layout())->addWidget(frame_, 1);

    AutoRequestActionExecute();
    UpdateChanelControls();
    PlaceFirstTime();
}

QSize TMainForm::FirstSize(const QSize& wanted, const QRect& available)
{
    // Room for the window's frame and title, which are not known before it is shown.
    const QSize usable = available.size() - QSize(kDecorationWidth, kDecorationHeight);
    return wanted.boundedTo(usable).expandedTo(QSize(1, 1));
}

void TMainForm::PlaceFirstTime()
{
    // The widest page whole, or at least the designed size (widened by what the tree needs
    // beyond its designed width), within the screen.
    const QSize pages = frame_->PagesSizeHint();
    const int workHeight = WorkPanel->layout()->itemAt(0)->sizeHint().height() + pages.height();
    const int treeGrowth = std::max(0, frame_->TreeWidthHint() - TDax_Frame::kDesignTreeWidth);
    const QSize wanted(std::max(kClientWidth + treeGrowth, pages.width()),
                       std::max(kClientHeight, workHeight + Splitter1->handleWidth() + kConsoleHeight) +
                           menuBar()->sizeHint().height());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), wanted);
    resize(FirstSize(wanted, available));
    const int menu = menuBar()->sizeHint().height();
    Splitter1->setSizes({height() - menu - kConsoleHeight, kConsoleHeight});
    QRect frame(QPoint(), size());
    frame.moveCenter(available.center());
    move(frame.topLeft());
}

TMainForm::~TMainForm()
{
    RxTxTimer->stop();
    InteractTimer->stop();
    PollTimer->stop();
    // Workers and the channel job first: they use the frame's instrument object and the
    // channel, which go afterwards.
    JoinChanelJob();
    pool_.reset();
    if (frame_) {
        frame_->SetPool(nullptr);
        frame_->SetChoiceDialogs(nullptr, nullptr);
    }
    ReleaseChanel();
}

void TMainForm::SetPrompts(UserPrompts* prompts)
{
    prompts_ = prompts ? prompts : &UserPrompts::System();
    frame_->SetPrompts(prompts_);
}

void TMainForm::Guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        prompts_->ErrorBox(this, QString::fromStdString(platform::CurrentExceptionMessage()));
    }
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        closing_ = true;
        pool_->AbortAll();
        PollTimer->stop();
        for (QAction* action : findChildren<QAction*>())
            action->setEnabled(false);
        UpdateChanelControls();
    }
    // The 100 ms pass goes on handling the processes as they end, and closes again once the
    // last one has gone; the event loop keeps running meanwhile.
    if (!ReadyToFinishClosing()) {
        event->ignore();
        return;
    }
    FinishClosing();
    QMainWindow::closeEvent(event);
}

bool TMainForm::ReadyToFinishClosing() const
{
    return pool_->Count() == 0 && !job_;
}

void TMainForm::FinishClosing()
{
    if (closed_)
        return;
    closed_ = true;
    RxTxTimer->stop();
    InteractTimer->stop();
    if (registryOpen_) {
        auto store = platform::RegistryStore::CurrentUser();
        store.WriteInteger(kRegistryKey, kAutoRequestValue, AutoRequestAction->isChecked() ? 1 : 0);
    }
    ReleaseChanel();
}

void TMainForm::ReleaseChanel()
{
    optionsDialog_.reset();
    // The channel goes with its dialog; nothing may refer to it afterwards.
    if (frame_)
        frame_->SetChannel(nullptr);
    if (chanel_) {
        chanel_->SetNotifier(nullptr);
        chanel_->SetLogCallback(nullptr);
        chanel_ = nullptr;
    }
    chanelDialog_.reset();
}
