#include "rpDock.h"

#include "platform/Exceptions.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpUtils.h"

#include <QBuffer>
#include <QDockWidget>
#include <QMainWindow>
#include <QToolBar>

namespace {

const QString kFormSection = QStringLiteral("Form4.");
const QString kToolBarSection = QStringLiteral("ToolBar4.");
const QString kDockSection = QStringLiteral("Dock4.");

// The name of the window that owns a tool window: the designer window it belongs to.
QString OwnerName(const QDockWidget& dock)
{
    for (const QObject* object = dock.parent(); object != nullptr; object = object->parent()) {
        if (object->property("designerWindow").toBool())
            return object->objectName();
    }
    return QString();
}

QString BarRowName(Qt::ToolBarArea area)
{
    switch (area) {
    case Qt::TopToolBarArea:
        return QStringLiteral("DockTop");
    case Qt::BottomToolBarArea:
        return QStringLiteral("DockBottom");
    case Qt::LeftToolBarArea:
        return QStringLiteral("DockLeft");
    case Qt::RightToolBarArea:
        return QStringLiteral("DockRight");
    default:
        return QString();
    }
}

Qt::ToolBarArea BarRowArea(const QString& name)
{
    if (name == QLatin1String("DockTop"))
        return Qt::TopToolBarArea;
    if (name == QLatin1String("DockBottom"))
        return Qt::BottomToolBarArea;
    if (name == QLatin1String("DockLeft"))
        return Qt::LeftToolBarArea;
    if (name == QLatin1String("DockRight"))
        return Qt::RightToolBarArea;
    return Qt::NoToolBarArea;
}

} // namespace

TrpDockSite::TrpDockSite(QObject* owner, const QString& name, QMainWindow* host, Qt::DockWidgetArea area)
    : QObject(owner), host_(host), area_(area)
{
    setObjectName(name);
}

bool TrpDockSite::AcceptsDock(const QDockWidget& dock) const
{
    if (topParentWin_ == nullptr)
        return true;
    return OwnerName(dock) == topParentWin_->objectName();
}

bool TrpDockSite::Dock(QDockWidget* dock)
{
    if (dock == nullptr || !AcceptsDock(*dock))
        return false;
    // Leaves any other site of the owner first.
    if (parent() != nullptr) {
        for (TrpDockSite* site : parent()->findChildren<TrpDockSite*>(Qt::FindDirectChildrenOnly)) {
            if (site != this)
                std::erase_if(site->clients_, [dock](const QPointer<QDockWidget>& d) { return d == dock; });
        }
    }
    std::erase_if(clients_, [dock](const QPointer<QDockWidget>& d) { return d == nullptr || d == dock; });
    dock->setFloating(false);
    const std::vector<QDockWidget*> docked = DockedClients();
    if (!docked.empty()) {
        host_->addDockWidget(area_, dock);
        host_->splitDockWidget(docked.back(), dock, IsVertical() ? Qt::Vertical : Qt::Horizontal);
    } else {
        host_->addDockWidget(area_, dock, IsVertical() ? Qt::Vertical : Qt::Horizontal);
        // A second site on the same edge stands beside the windows of the first.
        if (parent() != nullptr) {
            for (TrpDockSite* site : parent()->findChildren<TrpDockSite*>(Qt::FindDirectChildrenOnly)) {
                if (site == this || site->host_ != host_ || site->area_ != area_)
                    continue;
                const std::vector<QDockWidget*> neighbours = site->DockedClients();
                if (!neighbours.empty()) {
                    host_->splitDockWidget(neighbours.front(), dock, IsVertical() ? Qt::Horizontal : Qt::Vertical);
                    break;
                }
            }
        }
    }
    clients_.push_back(dock);
    if (collapsed_)
        dock->hide();
    return true;
}

std::vector<QDockWidget*> TrpDockSite::DockedClients() const
{
    std::vector<QDockWidget*> result;
    for (const QPointer<QDockWidget>& dock : clients_) {
        if (dock != nullptr && !dock->isFloating() && host_->dockWidgetArea(dock) == area_)
            result.push_back(dock);
    }
    return result;
}

int TrpDockSite::Size() const
{
    for (QDockWidget* dock : DockedClients()) {
        if (!dock->isHidden())
            return IsVertical() ? dock->width() : dock->height();
    }
    return 0;
}

void TrpDockSite::SetSize(int size)
{
    QList<QDockWidget*> docks;
    QList<int> sizes;
    for (QDockWidget* dock : DockedClients()) {
        if (!dock->isHidden()) {
            docks << dock;
            sizes << size;
        }
    }
    if (!docks.isEmpty())
        host_->resizeDocks(docks, sizes, IsVertical() ? Qt::Horizontal : Qt::Vertical);
}

void TrpDockSite::ToggleCollapsed()
{
    if (!collapsed_) {
        savedSize_ = Size();
        for (QDockWidget* dock : DockedClients())
            dock->hide();
        collapsed_ = true;
    } else {
        collapsed_ = false;
        for (QDockWidget* dock : DockedClients())
            dock->show();
        SetSize(savedSize_);
    }
}

TrpTBPanel::TrpTBPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setFixedSize(8, 8);
}

void TrpTBPanel::FollowOrientation(Qt::Orientation barOrientation)
{
    setSizePolicy(barOrientation == Qt::Vertical ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed)
                                                 : QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred));
}

TrpDockSite* HostDockSite(const QDockWidget& dock, const QObject& owner)
{
    if (dock.isFloating())
        return nullptr;
    for (TrpDockSite* site : owner.findChildren<TrpDockSite*>(Qt::FindDirectChildrenOnly)) {
        for (QDockWidget* client : site->DockedClients()) {
            if (client == &dock)
                return site;
        }
    }
    return nullptr;
}

QString FormClassName(const QWidget& form)
{
    const QVariant name = form.property("formClass");
    if (name.isValid() && !name.toString().isEmpty())
        return name.toString();
    return QString::fromLatin1(form.metaObject()->className());
}

void SaveToolbarPlacement(TrpIniFile& store, QToolBar& toolBar, QMainWindow& window)
{
    const QString section = kToolBarSection + toolBar.objectName();
    const bool floating = toolBar.isFloating();
    store.WriteBool(section, QStringLiteral("Float"), floating);
    store.WriteBool(section, QStringLiteral("Visible"), !toolBar.isHidden());
    const QRect bounds = floating ? toolBar.frameGeometry() : toolBar.geometry();
    store.WriteInteger(section, QStringLiteral("Left"), bounds.left());
    store.WriteInteger(section, QStringLiteral("Top"), bounds.top());
    store.WriteInteger(section, QStringLiteral("Width"), toolBar.width());
    store.WriteInteger(section, QStringLiteral("Height"), toolBar.height());
    const QString row = BarRowName(window.toolBarArea(&toolBar));
    if (!floating && !row.isEmpty())
        store.WriteString(section, QStringLiteral("Dock4"), row);
}

void RestoreToolbarPlacement(TrpIniFile& store, QToolBar& toolBar, QMainWindow& window)
{
    const QString section = kToolBarSection + toolBar.objectName();
    const int left = store.ReadInteger(section, QStringLiteral("Left"), toolBar.x());
    const int top = store.ReadInteger(section, QStringLiteral("Top"), toolBar.y());
    toolBar.hide();
    // A floating tool bar cannot be placed by the program here: it goes back onto its row.
    const QString row = store.ReadString(section, QStringLiteral("Dock4"), BarRowName(window.toolBarArea(&toolBar)));
    const Qt::ToolBarArea area = BarRowArea(row);
    if (area != Qt::NoToolBarArea && area != window.toolBarArea(&toolBar))
        window.addToolBar(area, &toolBar);
    toolBar.setProperty("placedLeft", left);
    toolBar.setProperty("placedTop", top);
    toolBar.setVisible(store.ReadBool(section, QStringLiteral("Visible"), true));
}

void SaveDockSitePlacement(TrpIniFile& store, TrpDockSite& site)
{
    const QString section = kDockSection + site.objectName();
    store.WriteString(section, QStringLiteral("Data2005"), StreamToHexText(site.Host()->saveState()));
    const int size = site.Size();
    store.WriteInteger(section, QStringLiteral("Width"), site.IsVertical() ? size : site.Host()->width());
    store.WriteInteger(section, QStringLiteral("Height"), site.IsVertical() ? site.Host()->height() : size);
    store.WriteInteger(section, QStringLiteral("Size"), site.SavedSize());
}

void RestoreDockSitePlacement(TrpIniFile& store, TrpDockSite& site)
{
    const QString section = kDockSection + site.objectName();
    const QString text = store.ReadString(section, QStringLiteral("Data2005"), QString());
    if (!text.isEmpty()) {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        HexTextToStream(text, buffer);
        site.Host()->restoreState(buffer.data());
    }
    const int size = site.IsVertical() ? store.ReadInteger(section, QStringLiteral("Width"), site.Size())
                                       : store.ReadInteger(section, QStringLiteral("Height"), site.Size());
    if (size > 0)
        site.SetSize(size);
    site.SetSavedSize(store.ReadInteger(section, QStringLiteral("Size"), 100));
}

void SaveFormPlacement(TrpIniFile& store, QWidget& form, const QObject& owner)
{
    const QString section = kFormSection + FormClassName(form);
    const QRect bounds = form.isWindow() ? form.normalGeometry() : form.geometry();
    store.WriteInteger(section, QStringLiteral("Left"), bounds.left());
    store.WriteInteger(section, QStringLiteral("Top"), bounds.top());
    store.WriteInteger(section, QStringLiteral("Width"), bounds.width());
    store.WriteInteger(section, QStringLiteral("Height"), bounds.height());
    store.WriteBool(section, QStringLiteral("Maximized"), form.isMaximized());
    store.WriteBool(section, QStringLiteral("Visible"), !form.isHidden());
    QString host;
    if (auto* dock = qobject_cast<QDockWidget*>(&form)) {
        if (TrpDockSite* site = HostDockSite(*dock, owner))
            host = site->objectName();
    }
    store.WriteString(section, QStringLiteral("Dock4"), host);
}

void RestoreFormPlacement(TrpIniFile& store, QWidget& form, QObject& owner)
{
    const QString section = kFormSection + FormClassName(form);
    if (store.ReadBool(section, QStringLiteral("Maximized"), false)) {
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
    } else {
        const QRect current = form.geometry();
        const QRect bounds(store.ReadInteger(section, QStringLiteral("Left"), current.left()),
                           store.ReadInteger(section, QStringLiteral("Top"), current.top()),
                           store.ReadInteger(section, QStringLiteral("Width"), current.width()),
                           store.ReadInteger(section, QStringLiteral("Height"), current.height()));
        if (form.isWindow()) {
            form.setWindowState(form.windowState() & ~Qt::WindowMaximized);
            form.setGeometry(bounds);
        } else {
            form.resize(bounds.size());
        }
    }
    const QString dockName = store.ReadString(section, QStringLiteral("Dock4"), QString());
    auto* dock = qobject_cast<QDockWidget*>(&form);
    if (dock != nullptr && !dockName.isEmpty()) {
        QObject* found = owner.findChild<QObject*>(dockName);
        if (found != nullptr) {
            auto* site = qobject_cast<TrpDockSite*>(found);
            if (site == nullptr)
                throw platform::Exception("Invalid class typecast");
            site->Dock(dock);
        }
    }
    if (!form.property("designerWindow").toBool())
        form.setVisible(store.ReadBool(section, QStringLiteral("Visible"), true));
}
