#pragma once

#include "presentation/ControlPort.h"
#include "presentation/FrameBindings.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

// Reaches the controls of a window by path: "Control" or "SubFrame/Control", each step the
// nearest widget of that object name below the previous one (the window for the first), so
// a window's own control wins over one of the same name inside a sub-frame. Every widget gets
// one port (makePort), made on first use and kept as long as the resolver: bindings hold
// their ports, so the resolver lives as long as they do.
class QtControlResolver {
public:
    explicit QtControlResolver(QWidget* root);
    ~QtControlResolver();
    QtControlResolver(const QtControlResolver&) = delete;
    QtControlResolver& operator=(const QtControlResolver&) = delete;

    // The port of the control at the path; none when there is no such control.
    ControlPort* Find(const std::string& path);
    // The port of the control at the path; throws platform::Exception naming the path when
    // there is no such control or when it is not of the expected class.
    ControlPort& Resolve(const std::string& path, ControlClass expected) const;
    // The same, as the device frame's bindings are built with it.
    const FrameControlResolver& FrameResolver() const { return frameResolver_; }

private:
    QWidget* FindWidget(const std::string& path) const;

    struct Entry {
        QPointer<QWidget> widget; // null once the widget was destroyed
        std::unique_ptr<ControlPort> port;
    };

    QPointer<QWidget> root_;
    std::map<const QWidget*, Entry> ports_;
    // Ports of destroyed widgets: a binding may still hold one (it then reads empty values).
    std::vector<std::unique_ptr<ControlPort>> retired_;
    FrameControlResolver frameResolver_;
};
