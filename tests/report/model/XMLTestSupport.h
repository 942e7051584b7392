#pragma once

#include "report/model/rpXML.h"

#include "platform/Exceptions.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <memory>
#include <string>

namespace xmltest {

inline const QByteArray kHeader = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";

// The tree in one line: name, [attribute text] when there is one, '+' for a loaded and '-'
// for an unloaded unloadable element, {children}.
inline std::string Dump(const TrpXMLItem& item)
{
    std::string out = item.Name().toStdString();
    if (!item.Text().isEmpty())
        out += "[" + item.Text().toStdString() + "]";
    if (item.Unloadable())
        out += item.Loaded() ? "+" : "-";
    if (item.Count() > 0) {
        out += "{";
        for (int i = 0; i < item.Count(); ++i)
            out += (i ? "," : "") + Dump(*item.Items(i));
        out += "}";
    }
    return out;
}

inline std::unique_ptr<QBuffer> Stream(const QByteArray& bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

// Loads the bytes: the dump of the tree, or "error: <message>".
inline std::string Load(TrpXMLDocument& document, const QByteArray& bytes, bool partial = false)
{
    try {
        if (partial) {
            document.LoadFromStream(Stream(bytes), true);
        } else {
            auto stream = Stream(bytes);
            document.LoadFromStream(*stream);
        }
    } catch (const platform::Exception& failure) {
        return "error: " + failure.Message();
    }
    return Dump(*document.Root());
}

inline std::string Load(const QByteArray& bytes, bool partial = false)
{
    TrpXMLDocument document;
    return Load(document, bytes, partial);
}

inline QByteArray Save(TrpXMLDocument& document, bool autoIndent = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.SetAutoIndent(autoIndent);
    document.SaveToStream(buffer);
    return buffer.data();
}

} // namespace xmltest
