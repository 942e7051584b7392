#pragma once

// The report tree: a tool window showing the report's object tree, its selection kept in step
// with the designer's both ways.

#include <QWidget>

#include <functional>
#include <vector>

class QKeyEvent;
class QTreeWidget;
class QTreeWidgetItem;
class TrpComponent;
class TrpCustomDesigner;
class TrpReport;

class TrpReportTreeForm : public QWidget {
    Q_OBJECT
public:
    TrpReportTreeForm(TrpCustomDesigner* designer, QWidget* parent = nullptr);

    // Leaves the data page and its data sets out (the designer's restriction against editing
    // the report's own data sets).
    void SetDontEditInternalDatasets(bool value) { dontEditInternalDatasets_ = value; }
    void UpdateItems();
    void UpdateSelection();
    void SetColor_(const QColor& color);

    // Called after the user selected a node.
    std::function<void(TrpReportTreeForm*)> OnSelectionChanged;
    // The design workspace's key handler: Delete in the tree goes there.
    std::function<void(QKeyEvent*)> OnWorkspaceKey;

    QTreeWidget* Tree() const { return tree_; }
    // The nodes' objects, in the order of the nodes.
    const std::vector<TrpComponent*>& Components() const { return components_; }
    const std::vector<QTreeWidgetItem*>& Nodes() const { return nodes_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddObject(TrpComponent* object, QTreeWidgetItem* parent);
    void TreeChange();

    TrpCustomDesigner* designer_;
    TrpReport* report_;
    QTreeWidget* tree_;
    std::vector<TrpComponent*> components_;
    std::vector<QTreeWidgetItem*> nodes_;
    bool updating_ = false;
    bool dontEditInternalDatasets_ = false;
};
