#pragma once

// The designer's docking furniture: dock sites (the edges of a main window into which the
// designer's tool windows dock), the small panel used inside tool bars, and the procedures that
// write and read the placement of tool bars, dock sites and windows to and from a settings
// store.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class QDockWidget;
class QMainWindow;
class QToolBar;
class TrpIniFile;

// One edge of a main window where tool windows dock. Several sites may share an edge (two
// columns on the left): a site knows its own docked windows. Collapsing hides them and keeps
// their size in SavedSize; restoring shows them at that size again.
class TrpDockSite : public QObject {
    Q_OBJECT
public:
    // `host` is the main window whose dock area `area` the site stands for; `owner` holds the
    // site (the designer window), which is where placements look sites up by name.
    TrpDockSite(QObject* owner, const QString& name, QMainWindow* host, Qt::DockWidgetArea area);

    QMainWindow* Host() const { return host_; }
    Qt::DockWidgetArea Area() const { return area_; }
    // Left and right sites are sized by their width, top and bottom ones by their height.
    bool IsVertical() const { return area_ == Qt::LeftDockWidgetArea || area_ == Qt::RightDockWidgetArea; }
    int SavedSize() const { return savedSize_; }
    void SetSavedSize(int size) { savedSize_ = size; }
    // The window whose tool windows may dock here; none lets any tool window dock.
    QWidget* TopParentWin() const { return topParentWin_; }
    void SetTopParentWin(QWidget* window) { topParentWin_ = window; }

    // Whether a tool window may dock here: with a TopParentWin the tool window's owner must
    // carry its name.
    bool AcceptsDock(const QDockWidget& dock) const;
    // Docks the tool window here (stacked under the windows already docked in this site);
    // false when the site does not accept it.
    bool Dock(QDockWidget* dock);
    // The tool windows docked here now, in docking order.
    std::vector<QDockWidget*> DockedClients() const;
    // The site's size: the width (vertical site) or height of its first visible docked window;
    // 0 when it shows none.
    int Size() const;
    void SetSize(int size);
    bool Collapsed() const { return collapsed_; }
    // A click on the grip: an open site remembers its size in SavedSize and closes, a closed one
    // opens at SavedSize.
    void ToggleCollapsed();

private:
    QMainWindow* host_;
    Qt::DockWidgetArea area_;
    QPointer<QWidget> topParentWin_;
    std::vector<QPointer<QDockWidget>> clients_;
    int savedSize_ = 100;
    bool collapsed_ = false;
};

// A small opaque panel inside a tool bar: it lies along the bar (on top in a vertical bar).
class TrpTBPanel : public QWidget {
    Q_OBJECT
public:
    explicit TrpTBPanel(QWidget* parent = nullptr);
    // Lies on top in a vertical tool bar, else to the left.
    void FollowOrientation(Qt::Orientation barOrientation);
};

// The site a tool window is docked in, none when it floats or is not docked.
TrpDockSite* HostDockSite(const QDockWidget& dock, const QObject& owner);
// The class name a placement section names a window by: the "formClass" property when set
// (tool windows in dock widgets carry their content's class), else its meta-object class name.
QString FormClassName(const QWidget& form);

// Sections "ToolBar4." + tool bar name. Float, Visible, Left, Top, Width, Height and Dock4 (the
// bar row's name: "DockTop" or "DockBottom").
void SaveToolbarPlacement(TrpIniFile& store, QToolBar& toolBar, QMainWindow& window);
void RestoreToolbarPlacement(TrpIniFile& store, QToolBar& toolBar, QMainWindow& window);
// Sections "Dock4." + site name: Data2005 (the host window's dock layout as hexadecimal text),
// Width, Height and Size (SavedSize).
void SaveDockSitePlacement(TrpIniFile& store, TrpDockSite& site);
void RestoreDockSitePlacement(TrpIniFile& store, TrpDockSite& site);
// Sections "Form4." + class name: Left, Top, Width, Height, Maximized, Visible and Dock4 (the
// site hosting a tool window, empty when it floats). `owner` holds the dock sites.
void SaveFormPlacement(TrpIniFile& store, QWidget& form, const QObject& owner);
void RestoreFormPlacement(TrpIniFile& store, QWidget& form, QObject& owner);
