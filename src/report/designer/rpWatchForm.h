#pragma once

// The debugger's watch list: script expressions, each enabled or disabled, shown with their
// current values while the script runs.

#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>

class QListWidget;
class QListWidgetItem;
class QToolButton;
class TscScript;

struct TrpWatch {
    QString expression;
    bool enabled = true;
};

class TrpWatchForm : public QWidget {
public:
    explicit TrpWatchForm(QWidget* parent = nullptr);

    TscScript* Script() const { return FScript; }
    void SetScript(TscScript* script) { FScript = script; }
    bool ScriptRunning() const { return FScriptRunning; }
    void SetScriptRunning(bool running) { FScriptRunning = running; }
    const QVector<TrpWatch>& Watches() const { return FWatches; }

    void AddWatch(const QString& expression);
    void EditWatch(int index, const QString& expression);
    void DeleteWatch(int index);
    void ToggleWatch(int index);
    // Refreshes the list; evaluation errors show as the watch's value.
    void UpdateWatches();
    // The text of one watch's value.
    QString WatchValue(const QString& expression) const;

    QListWidget* WatchLB = nullptr;
    QToolButton* AddB = nullptr;
    QToolButton* DeleteB = nullptr;
    QToolButton* EditB = nullptr;
    // Asks for an expression (the evaluate dialog in watch mode); empty: cancelled.
    std::function<QString(const QString& preset)> AskExpression;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    TscScript* FScript = nullptr;
    bool FScriptRunning = false;
    QVector<TrpWatch> FWatches;
    bool FFilling = false;
};
