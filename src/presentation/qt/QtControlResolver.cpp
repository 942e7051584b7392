#include "QtControlResolver.h"

#include "QtControlPort.h"

#include <deque>

QtControlResolver::QtControlResolver(QWidget* root)
    : root_(root), frameResolver_([this](const std::string& path, ControlClass) { return Find(path); })
{
}

QtControlResolver::~QtControlResolver() = default;

namespace {

// The widget of that name nearest below the owner (breadth first): the owner's own control
// comes before a control of the same name inside one of its sub-frames, which lies deeper.
QWidget* FindNearest(QWidget* owner, const QString& name)
{
    std::deque<QObject*> pending(owner->children().begin(), owner->children().end());
    while (!pending.empty()) {
        QObject* object = pending.front();
        pending.pop_front();
        if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->objectName() == name)
            return widget;
        pending.insert(pending.end(), object->children().begin(), object->children().end());
    }
    return nullptr;
}

} // namespace

QWidget* QtControlResolver::FindWidget(const std::string& path) const
{
    QWidget* current = root_.data();
    const QString full = QString::fromStdString(path);
    for (const QString& name : full.split(QLatin1Char('/'))) {
        if (current == nullptr || name.isEmpty())
            return nullptr;
        current = FindNearest(current, name);
    }
    return current;
}

ControlPort* QtControlResolver::Find(const std::string& path)
{
    QWidget* widget = FindWidget(path);
    if (widget == nullptr)
        return nullptr;
    Entry& entry = ports_[widget];
    if (entry.port && !entry.widget) {
        // Another widget now lives where a destroyed one was.
        retired_.push_back(std::move(entry.port));
    }
    if (!entry.port) {
        entry.widget = widget;
        entry.port = makePort(widget);
    }
    return entry.port.get();
}

ControlPort& QtControlResolver::Resolve(const std::string& path, ControlClass expected) const
{
    return frameResolver_.Resolve(path, expected);
}
