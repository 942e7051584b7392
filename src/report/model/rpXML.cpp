// The element tree and the text helpers of the report XML dialect. Reading, writing and the
// document are in rpXML_streams.cpp.

#include "rpXML.h"

#include "rpRes.h"

#include "report/core/Conversions.h"
#include "report/core/NumberText.h"
#include "report/core/TextCodes.h"
#include "report/core/Variant.h"
#include "report/script/sc_iconsts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

TrpInvalidXMLException::TrpInvalidXMLException()
    : platform::Exception(FormatScMessage(TscMessage::SInvalidFileFormat, QStringList()).toStdString())
{
}

// ---------------------------------------------------------------------------------------------
// TrpXMLItem

TrpXMLItem::TrpXMLItem() = default;

TrpXMLItem::~TrpXMLItem()
{
    Clear();
    if (parent_)
        parent_->Detach(this);
}

void TrpXMLItem::Clear()
{
    // The children must not detach themselves from a list that is being dropped.
    std::vector<TrpXMLItem*> children;
    children.swap(items_);
    for (TrpXMLItem* child : children) {
        child->parent_ = nullptr;
        delete child;
    }
    if (unloadable_)
        loaded_ = false;
}

TrpXMLItem* TrpXMLItem::Add()
{
    auto child = std::make_unique<TrpXMLItem>();
    child->parent_ = this;
    items_.push_back(child.get());
    return child.release();
}

TrpXMLItem* TrpXMLItem::Add(const QString& name)
{
    TrpXMLItem* child = Add();
    child->name_ = name;
    return child;
}

void TrpXMLItem::AddItem(TrpXMLItem* item)
{
    if (!item)
        return;
    for (const TrpXMLItem* ancestor = this; ancestor; ancestor = ancestor->parent_)
        if (ancestor == item)
            throw std::logic_error(ResourceText(u"xrItemInItself").toStdString());
    if (item->parent_)
        item->parent_->Detach(item);
    items_.push_back(item);
    item->parent_ = this;
}

void TrpXMLItem::InsertItem(int index, TrpXMLItem* item)
{
    AddItem(item);
    if (!item)
        return;
    const int last = Count() - 1;
    const int to = std::clamp(index, 0, last);
    std::rotate(items_.begin() + to, items_.begin() + last, items_.end());
}

void TrpXMLItem::Detach(TrpXMLItem* child)
{
    const auto found = std::find(items_.begin(), items_.end(), child);
    if (found != items_.end())
        items_.erase(found);
    child->parent_ = nullptr;
}

int TrpXMLItem::Find(QStringView name) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (QStringView(items_[i]->name_).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

TrpXMLItem* TrpXMLItem::FindItem(const QString& name)
{
    const int index = Find(name);
    return index >= 0 ? items_[static_cast<size_t>(index)] : Add(name);
}

int TrpXMLItem::IndexOf(const TrpXMLItem* item) const
{
    const auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

TrpXMLItem* TrpXMLItem::Root()
{
    TrpXMLItem* item = this;
    while (item->parent_)
        item = item->parent_;
    return item;
}

TrpXMLItem* TrpXMLItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    return items_[static_cast<size_t>(index)];
}

int TrpXMLItem::Depth() const
{
    int depth = 1;
    for (const TrpXMLItem* ancestor = parent_; ancestor; ancestor = ancestor->parent_)
        ++depth;
    return depth;
}

qsizetype TrpXMLItem::FindProp(QStringView name) const
{
    if (name.isEmpty())
        return -1;
    const QString pattern = name.toString() + QStringLiteral("=\"");
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text_.indexOf(pattern, from, Qt::CaseInsensitive);
        if (at < 0)
            return -1;
        if (at == 0 || text_[at - 1] == u' ')
            return at;
        from = at + 1;
    }
}

QString TrpXMLItem::Prop(QStringView name) const
{
    const qsizetype at = FindProp(name);
    if (at < 0)
        return {};
    const qsizetype start = at + name.size() + 2;
    qsizetype end = text_.indexOf(u'"', start);
    if (end < 0)
        end = text_.size();
    return UnescapeXMLText(QStringView(text_).mid(start, end - start));
}

void TrpXMLItem::SetProp(QStringView name, const QString& value)
{
    if (name.isEmpty())
        return;
    qsizetype at = FindProp(name);
    if (at >= 0) {
        const qsizetype close = text_.indexOf(u'"', at + name.size() + 2);
        const qsizetype end = close < 0 ? text_.size() : close + 1;
        text_.remove(at, end - at);
    } else {
        at = text_.size();
    }
    QString pair;
    pair.reserve(name.size() + value.size() + 4);
    if (at > 0 && text_[at - 1] != u' ')
        pair += u' ';
    pair += name;
    pair += u"=\"";
    pair += EscapeXMLText(value);
    pair += u'"';
    text_.insert(at, pair);
}

bool TrpXMLItem::PropExists(QStringView name) const
{
    return FindProp(name) >= 0;
}

void TrpXMLItem::DeleteProp(QStringView name)
{
    const qsizetype at = FindProp(name);
    if (at < 0)
        return;
    SetProp(name, QString());
    // The name, '=', the two quotes and the separating blank after them.
    text_.remove(at, name.size() + 4);
}

// ---------------------------------------------------------------------------------------------
// Text helpers

QString EscapeXMLText(QStringView text)
{
    const auto special = [](QChar c) {
        return c == u'\r' || c == u'\n' || c == u'"' || c == u'&' || c == u'<' || c == u'>';
    };
    if (std::none_of(text.begin(), text.end(), special))
        return text.toString();
    QString out;
    out.reserve(text.size() + 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\r':
            out += u"&#13;";
            break;
        case u'\n':
            out += u"&#10;";
            break;
        case u'"':
            out += u"&#34;";
            break;
        case u'<':
            out += u"&#60;";
            break;
        case u'>':
            out += u"&#62;";
            break;
        case u'&':
            if (text.mid(i, 6) == u"&quot;") {
                out += u"&#34;";
                i += 5;
            } else {
                out += u"&#38;";
            }
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

QString UnescapeXMLText(QStringView text)
{
    static constexpr XMLReferenceRules kReportRules{3, true, [](QStringView digits) { RaiseInvalidInteger(digits); }};
    return UnescapeXMLReferences(text, kReportRules);
}

QString VariantToXMLText(const Variant& value, const FormatSettings& settings)
{
    switch (value.Kind()) {
    case VariantKind::Int32:
        return QString::number(value.AsInt32());
    case VariantKind::Int64:
        // The 64-bit kind has no text in the old table; an empty text would lose the value.
        return QString::number(value.AsInt64());
    case VariantKind::Double:
        return FloatToGeneralText(value.AsDouble(), 15, settings);
    case VariantKind::DateTime:
        return DateToStr(std::trunc(value.AsDouble()), settings);
    case VariantKind::String:
        return EscapeXMLText(value.AsString());
    case VariantKind::Boolean:
        return value.AsBoolean() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return {};
    }
}
