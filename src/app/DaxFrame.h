#pragma once

#include "comm/ChanelHelper.h"
#include "device/Daxhelper.h"
#include "device/ProcessThread.h"
#include "presentation/DisplayOptions.h"
#include "presentation/ExchangeInfoContainer.h"
#include "presentation/FrameBindings.h"
#include "platform/Clock.h"

#include "ReportFeature.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct FrameWriteRow;
class QtControlResolver;
class TDaxInteractForm;
class TDaxReadAllForm;
class TDaxWriteAllForm;
class UserPrompts;
class TGoodTable;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The device editor in the main window's work panel: the page tree on the left and, on the
// right, the pages of current values, archives, journals and settings. The frame owns the
// instrument object with its register images, the bindings that move the images' fields to and
// from the pages' controls, the report state and the progress windows of read all and write
// all; the channel, the process pool, the log and the display options are the main window's
// and are handed in.
class TDax_Frame : public QWidget {
    Q_OBJECT

public:
    using LogCallback = TChanelHelperBase::LogCallback;
    // The page id a tree node carries.
    static constexpr int kPageIdRole = Qt::UserRole + 1;

    explicit TDax_Frame(QWidget* parent = nullptr);
    ~TDax_Frame() override;

    // Sets the sub-frames up, fills every item list, builds the tree, shows page 4 and hides
    // the service boxes for good; called once, right after construction. The automatic read
    // stays off until the main window sets it.
    void BuildPageTree();

    // The channel of the frame and of its instrument object; not owned.
    void SetChannel(TChanelHelperBase* channel);
    TChanelHelperBase* Channel() const { return channel_; }
    void SetPool(ProcessPool* pool) { pool_ = pool; }
    ProcessPool* Pool() const { return pool_; }
    // Where the frame's texts go, and the instrument object's (identification warnings).
    void SetLogCallback(LogCallback callback);
    // Keeps the options (not owned) and applies them.
    void SetOptions(DisplayOptions* options);
    const DisplayOptions* Options() const { return options_; }
    // Brings the bindings in line with the display options (values already shown take them
    // at their next show) and refills every table at once, under the image lock.
    void ApplyOptions();

    // The frame's side of the data and configuration files (DaxFrame_files.cpp).
    // Replaces the identification, the images and the records with those of a data file,
    // which is checked whole first (a bad one throws its text and changes nothing), then
    // refreshes every page and table as the end of a read all does.
    void LoadDataFile(std::span<const uint8_t> bytes);
    // Saves the instrument object's state as a data file; atomic, a failure throws its text.
    void SaveDataFile(const std::string& fileName) const;
    // The proposed data file name: model, serial number, date and time.
    std::string DataFileName() const;
    // True from the start of a read all until one ends whole or a data file is loaded: a read
    // all that failed or was stopped has replaced the register images but not the records, a
    // state no data file may hold.
    bool ReadAllUnfinished() const { return readAllUnfinished_; }
    // Lets the write-all dialog choose the groups and their order, validates and stores them
    // into the setup image and saves their configuration file; atomic. False, with nothing
    // stored or written, when the choice is cancelled; a validation failure throws its text
    // with the focus on its field, and nothing is written.
    bool SaveConfigFile(const std::string& fileName);

    // Archive and journal tables (DaxFrame_archives.cpp).
    // Refills all 22 grids from the instrument object's record vectors with the display
    // options in force; the caller holds the image lock.
    void FillArchiveTables();
    // The decimal separator of the system's locale, which separator mode 0 shows.
    static char SystemDecimalSeparator();
    // The grid of an archive part (ArchivePart) and kind (ArchiveKind); none beyond them.
    TGoodTable* ArchiveGrid(uint32_t part, int32_t kind) const;
    // One archive page changed its sub-tab: the other three show the same one.
    void ArchivePageControlChange(QTabWidget* sender);
    // The averaging switch and reset of the measuring channels (binding group 0); both
    // controls stay hidden.
    void AveragingEnableClick();
    void AveragingResetClick();

    // While set, choosing a page reads it and the poll reads the shown current-value page.
    void SetAutoRequestFlag(bool on) { autoRequest_ = on; }
    bool AutoRequestFlag() const { return autoRequest_; }
    // The 3-second poll: reads the shown page when the flag is set and the page shows current values.
    void AutoRequest();
    // The one entry of every page read (choosing a page, the poll, the pages' read buttons):
    // starts the read of the page's register blocks as a page process, when the channel is
    // open. A poll (the 3-second read of current values) leaves out the settings blocks, is
    // skipped while the previous poll still runs, and is dropped silently when the pool is full.
    void ReadPage(int32_t pageId, int32_t subIndex, bool poll);

    // Process kinds of the pool and the operation ids of read all and write all.
    static constexpr int32_t kPageProcess = 0;
    static constexpr int32_t kReadAllProcess = 2;
    static constexpr int32_t kWriteAllProcess = 3;
    static constexpr int32_t kReadAllId = 104;
    static constexpr int32_t kWriteAllId = 105;
    static constexpr int32_t kNoPageId = -1; // the id of writes whose completion shows nothing

    // Where the modal dialogs run, and the read-all and write-all dialogs (not owned; without
    // them "Считать параметры" and "Записать параметры" do nothing).
    void SetPrompts(UserPrompts* prompts);
    void SetChoiceDialogs(TDaxReadAllForm* readAll, TDaxWriteAllForm* writeAll);
    // The computer's clock for "Время с ПК" (tests fix one); the machine's by default.
    void SetClock(const platform::Clock* clock) { clock_ = clock; }

    // Starts a process of the pool over the frame's instrument object with the frame's done
    // and error handlers; false when the pool refused it (it is full), which is printed.
    bool StartProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id, std::string finalMessage);
    bool StartProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id);
    bool StartProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, std::string finalMessage);
    // The handlers of the frame's processes. Done shows what the operation read (or, for 104,
    // everything, also after a data file was loaded); error hides the progress window of read
    // all or write all, whose failure text has already reached the console.
    void OnProcessDone(int32_t id);
    void OnProcessError(int32_t id, int32_t error);

    // The pages' "Считать" buttons: read the shown page.
    void ReadPageParamsClick();
    // "Считать параметры" and "Записать параметры".
    void ReadAll();
    void WriteAll();
    // Validates and stores the binding groups of the chosen write-all items, item by item in
    // the order; a validation failure stops there (earlier items stay stored) and goes on to
    // the caller. The caller holds the image lock.
    void StoreWriteAllGroups(const std::vector<uint32_t>& order, uint32_t mask);
    // The write buttons: "Установить" of the shown setting page, and the page's other buttons
    // by the button pressed. Each validates and stores its group and writes its block.
    void WritePageParamsClick();
    void WriteParamsClick(QObject* sender);

    // The unit of every pressure binding: 0 MPa, otherwise kgf/cm².
    void SetPressureUnits(uint8_t unit);
    // Every energy and pressure caption of the pages after the units the instrument is set to
    // (energy 0 Gcal, otherwise GJ; pressure 0 MPa, otherwise kgf/cm²), and the pressure bindings.
    void ApplyPressureUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit);

    // Page selection: the tree's change handler.
    void SelectTreeChange(QTreeWidgetItem* node);

    // The "Очистить" buttons of the signal and event pages (25 to 28): clear the page's
    // editors; nothing is written until the page's write button.
    void ClearSignal_0Click();
    void ClearSignal_1Click();
    void ClearSignal_2Click();
    void ClearEventsClick();

    // The tree's width the pages were designed beside; the tree is made wider when its items
    // need it.
    static constexpr int kDesignTreeWidth = 200;
    // The room the frame needs to show its tree and its largest page without scrolling.
    QSize PagesSizeHint() const;
    // The width of the page tree that shows its longest item whole, all nodes expanded.
    int TreeWidthHint() const;

    int32_t CurrentPageId() const { return currentPageId_; }
    // The help topic of the shown page; empty for every page but the general current values.
    const QString& HelpKeyword() const { return helpKeyword_; }
    // The widget of a page ("Page<id>"), or none for an id that names no built page.
    QWidget* Page(int32_t id) const;
    DaxHelper& Helper() { return daxHelper_; }

    // The bindings of every page, under their binding groups; their passes run under the
    // image lock of the instrument object.
    ExchangeInfoContainer& Bindings() { return bindings_; }
    // The frame's own fields the bindings show: the identification texts and the air-channel
    // words of both heat systems.
    FrameOwnFields& OwnFields() { return ownFields_; }
    // Copies the instrument object's identification texts (firmware version, model,
    // modification) into the frame's fields, under the image lock. Called before the
    // identification is shown.
    void CopyIdentification();

    // The progress windows of read all and write all (owned).
    TDaxInteractForm* ReadAllWindow() const { return readAllWindow_.get(); }
    TDaxInteractForm* WriteAllWindow() const { return writeAllWindow_.get(); }
    // What the report subsystems keep with the frame; none until they provide it.
    FrameReportState* ReportState() const { return reportState_.get(); }
    void SetReportState(std::unique_ptr<FrameReportState> state) { reportState_ = std::move(state); }

    // Passes a text to the log callback with no log target (it reaches the console).
    void Log(const std::string& text) const;

signals:
    // A page read was asked for (ReadPage).
    void PageReadRequested(int pageId, int subIndex, bool poll);
    // F1 while the focus is in the frame, with the shown page's help topic.
    void HelpRequested(const QString& keyword);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildPages();
    void BuildBindings();
    void ConnectCommands();
    // Runs a button's handler; a failure that escapes it is printed.
    void Guarded(const std::function<void()>& handler);

    // Exchanges (DaxFrame_exchange.cpp).
    // currentOnly: a page read that leaves out the settings blocks.
    ProcessDesctiptionStruct* Start(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                                    std::string finalMessage, bool poll, bool currentOnly = false);
    // The completion of a read: post-processing, then the groups it read.
    void CompleteProcess(int32_t id, bool poll, bool currentOnly);
    // Whether the settings that the layout of the current-value page of a read id follows
    // have been read (ids 0, 2 and 4; any other id answers true).
    bool LayoutSettingsRead(int32_t readId) const;
    // What the bindings cannot do by themselves after the read of an id: schemes, diagnostics,
    // the archive-clear caption, unit captions. The image lock is held.
    void OnGroupRead(int32_t id, bool cycleCounterChanged);
    // Whether the ADC cycle counter (IR 30474) differs from the one last shown; remembers it.
    bool TakeCycleCounterChange(bool force);
    void ShowDiagnostics();
    void DetachWindow(TDaxInteractForm* window);
    // Shows the progress window of a running read all or write all (of that kind); false
    // when none runs.
    bool BringBackRunning(int32_t kind, TDaxInteractForm* window);
    // Shows a process's progress in the window under the caption.
    void FollowProcess(TDaxInteractForm* window, ProcessDesctiptionStruct* entry, const char* caption);
    // One row of the write tables: validate and store the group, put a direct value, start
    // the write.
    void Write(const FrameWriteRow& row);
    // Steps of the page tree builder.
    void SetUpSubFrames();
    void FillItemLists();
    void HideServiceControls();
    void ConnectClearButtons();
    // Wires the archive pages' sub-tabs and the averaging controls.
    void ConnectArchivePages();
    // Gives the tree its width hint (never less than its first width); the splitter keeps it
    // adjustable.
    void FitTreeWidth();

    // Declared in the order that makes destruction free the progress windows, the report
    // state, the bindings (and then the control ports they used) and the instrument object, in
    // that order, before the controls.
    DaxHelper daxHelper_;                     // goes before the controls that show its images
    FrameOwnFields ownFields_;                // identification texts and air-channel words
    std::unique_ptr<QtControlResolver> resolver_; // the controls' ports, which the bindings use
    ExchangeInfoContainer bindings_;
    std::unique_ptr<FrameReportState> reportState_;
    std::unique_ptr<TDaxInteractForm> writeAllWindow_;
    std::unique_ptr<TDaxInteractForm> readAllWindow_;
    int32_t currentPageId_ = -1;              // the shown page; -1 while "Сервис" is chosen
    int32_t previousPageId_ = -1;
    int32_t pageSubIndex_ = 0;                // always 0; carried along with page reads
    TChanelHelperBase* channel_ = nullptr;    // the main window's; not owned
    ProcessPool* pool_ = nullptr;             // the main window's; not owned
    LogCallback log_;
    DisplayOptions* options_ = nullptr;       // the main window's; not owned
    bool autoRequest_ = false;
    bool archiveTabsChanging_ = false;        // an archive sub-tab change is being passed on
    QString helpKeyword_;
    UserPrompts* prompts_ = nullptr;          // not owned; the desktop's by default
    TDaxReadAllForm* readAllForm_ = nullptr;  // not owned
    TDaxWriteAllForm* writeAllForm_ = nullptr; // not owned
    const platform::Clock* clock_ = &platform::Clock::System();
    std::weak_ptr<void> pollRunning_;         // alive while the last poll's process is in the pool
    bool pressuresInKgf_ = false;             // the unit the pressure bindings show (MPa until a read says)
    bool readAllUnfinished_ = false;          // a read all started and none ended whole since, nor a load
    uint16_t cycleCounter_ = 0;               // IR 30474 as last shown
    bool cycleCounterShown_ = false;          // false until the diagnostics were first shown
    // Per read id of the current-value pages (0, 2 and 4): whether the settings their layout
    // follows are in the setup image (a read of the page with its settings, read all, a data file).
    std::array<bool, 5> layoutSettingsRead_{};

    QTreeWidget* SelectTree = nullptr;
    QSplitter* Splitter = nullptr;
    QWidget* Panel = nullptr;
    QStackedWidget* PageControl = nullptr;
    QWidget* noPage_ = nullptr;               // shown while a node without a page is chosen
    std::map<int32_t, QWidget*> pages_;       // page id -> page
};
