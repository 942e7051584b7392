#include "rpGML.h"

#include "ExportTexts.h"

#include "platform/Exceptions.h"
#include "platform/Format.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

[[noreturn]] void Raise(const std::string& message)
{
    throw platform::Exception(message);
}

bool IsAsciiLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexDigit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// --- nodes

void TGmlNode::Serialize(QByteArray& out) const
{
    SerializeSubNodes(out, 0, -1);
}

TGmlNode* TGmlNode::Node(int index) const
{
    if (index < 0 || index >= NodesCount())
        return nullptr;
    return (*FSubNodes)[static_cast<size_t>(index)];
}

void TGmlNode::AddNode(TGmlNode* node)
{
    if (!FSubNodes)
        FSubNodes = std::make_unique<TGmlNodes>();
    FSubNodes->push_back(node);
}

void TGmlNode::UpdateParent()
{
    for (int i = 0; i < NodesCount(); ++i) {
        TGmlNode* child = Node(i);
        child->FParent = this;
        child->UpdateParent();
    }
}

int TGmlNode::SelfSubIndex() const
{
    if (FParent == nullptr)
        return -1;
    const int count = FParent->NodesCount();
    for (int i = 0; i < count; ++i)
        if (FParent->Node(i) == this)
            return i;
    Raise(exporttexts::kGmlNodeNotInParent);
}

TGmlNodes TGmlNode::Select(int first, int last) const
{
    const int count = NodesCount();
    const int to = last == -1 ? count - 1 : last;
    if (first < 0 || first > to || to >= count)
        Raise(platform::Format(exporttexts::kGmlInvalidSubnodeRangeFormat, first, last));
    return TGmlNodes(FSubNodes->begin() + first, FSubNodes->begin() + to + 1);
}

void TGmlNode::Remove(bool destroyItself)
{
    if (FParent != nullptr) {
        const int index = SelfSubIndex();
        FParent->FSubNodes->erase(FParent->FSubNodes->begin() + index);
        if (FParent->FSubNodes->empty())
            FParent->FSubNodes.reset();
        FParent = nullptr;
    }
    if (destroyItself) {
        DestroyTree();
        delete this;
    }
}

void TGmlNode::DestroyTree()
{
    if (!FSubNodes)
        return;
    std::unique_ptr<TGmlNodes> children = std::move(FSubNodes);
    for (TGmlNode* child : *children) {
        child->DestroyTree();
        delete child;
    }
}

TGmlNode* TGmlNode::Find(const QByteArray& hdr) const
{
    for (int i = 0; i < NodesCount(); ++i) {
        TGmlNode* child = Node(i);
        if (child->HeaderText() == hdr)
            return child;
        if (TGmlNode* found = child->Find(hdr))
            return found;
    }
    return nullptr;
}

TGmlNodes TGmlNode::FindAll(const QByteArray& hdr, int maxCount)
{
    TGmlNodes found;
    FindAllInto(hdr, maxCount, found);
    return found;
}

void TGmlNode::FindAllInto(const QByteArray& hdr, int maxCount, TGmlNodes& found)
{
    if (maxCount > 0 && static_cast<int>(found.size()) >= maxCount)
        return;
    if (hdr.isEmpty() || HeaderText() == hdr)
        found.push_back(this);
    for (int i = 0; i < NodesCount(); ++i) {
        if (maxCount > 0 && static_cast<int>(found.size()) >= maxCount)
            return;
        Node(i)->FindAllInto(hdr, maxCount, found);
    }
}

void TGmlNode::SerializeSubNodes(QByteArray& out, int first, int last) const
{
    const int count = NodesCount();
    if (count == 0)
        return;
    const int to = last == -1 ? count - 1 : last;
    if (first < 0 || first > to || to >= count)
        Raise(platform::Format(exporttexts::kGmlInvalidSerializeRangeFormat, first, last));
    for (int i = first; i <= to; ++i) {
        const TGmlNode* node = Node(i);
        node->Serialize(out);
        // A text right after a control word would otherwise read as its name or parameter;
        // a text of line ends only writes nothing and needs no delimiter.
        if (i < to && dynamic_cast<const TGmlRtfControl*>(node) != nullptr) {
            if (const auto* text = dynamic_cast<const TGmlRtfText*>(Node(i + 1))) {
                const QByteArray body = text->BodyText();
                if (std::any_of(body.begin(), body.end(), [](char c) { return c != '\r' && c != '\n'; }))
                    out += ' ';
            }
        }
    }
}

QByteArray TGmlRtfNode::HeaderText() const
{
    if (FHeader.HasData || FDoc == nullptr)
        return FHeader.Data;
    return FDoc->Copy(FHeader);
}

QByteArray TGmlRtfNode::BodyText() const
{
    if (FBody.HasData || FDoc == nullptr)
        return FBody.Data;
    return FDoc->Copy(FBody);
}

void TGmlRtfNode::Serialize(QByteArray& out) const
{
    SerializeSubNodes(out, 0, -1);
}

void TGmlRtfGroup::Serialize(QByteArray& out) const
{
    out += '{';
    SerializeSubNodes(out, 0, -1);
    out += '}';
}

void TGmlRtfText::Serialize(QByteArray& out) const
{
    for (const char c : BodyText())
        if (c != '\r' && c != '\n')
            out += c;
}

void TGmlRtfControl::Serialize(QByteArray& out) const
{
    out += '\\';
    out += HeaderText();
    if (FArg)
        out += QByteArray::number(FArgValue);
}

int32_t TGmlRtfControl::Value() const
{
    if (!FArg)
        Raise(exporttexts::kGmlNoValue);
    return FArgValue;
}

void TGmlRtfNumber::Serialize(QByteArray& out) const
{
    out += "\\'";
    out += QByteArray::number(FValue, 16).rightJustified(2, '0');
}

void TGmlRtfSymbol::Serialize(QByteArray& out) const
{
    out += '\\';
    out += Symbol;
}

namespace {

const TGmlRtfControl* FindControl(const TGmlNode* group, const char* name)
{
    return dynamic_cast<const TGmlRtfControl*>(group->Find(name));
}

} // namespace

int32_t TGmlRtfFont::Index() const
{
    const TGmlRtfControl* f = FindControl(group_, "f");
    return f != nullptr ? f->Value() : -1;
}

int32_t TGmlRtfFont::Charset() const
{
    const TGmlRtfControl* charset = FindControl(group_, "fcharset");
    return charset != nullptr ? charset->Value() : 0;
}

QByteArray TGmlRtfFont::Name() const
{
    for (int i = 0; i < group_->NodesCount(); ++i) {
        if (const auto* text = dynamic_cast<const TGmlRtfText*>(group_->Node(i))) {
            QByteArray name = text->BodyText();
            if (name.endsWith(';'))
                name.chop(1);
            return name;
        }
    }
    return {};
}

QByteArray TGmlRtfColor::Serialize() const
{
    return "\\red" + QByteArray::number(R->Value()) + "\\green" + QByteArray::number(G->Value()) + "\\blue" +
           QByteArray::number(B->Value());
}

// --- the reader

// Reads the text into nodes. Unescaped backslashes and braces are tokens outside the byte
// range, so bytes of the text (Cyrillic letters included) never read as one.
struct TGmlRtf::Parser {
    static constexpr int kEnd = -1;
    static constexpr int kBackslash = 256;
    static constexpr int kOpen = 257;
    static constexpr int kClose = 258;

    TGmlRtf& doc;
    const QByteArray& text;
    int32_t pos;  // the next position to read
    int32_t last; // the last position of the range

    int Read()
    {
        if (pos > last)
            return kEnd;
        const auto c = static_cast<uint8_t>(text[pos]);
        if (c == '\\') {
            if (pos < last) {
                const char next = text[pos + 1];
                if (next == '\\' || next == '{' || next == '}') {
                    pos += 2;
                    return next;
                }
            }
            ++pos;
            return kBackslash;
        }
        ++pos;
        if (c == '{')
            return kOpen;
        if (c == '}')
            return kClose;
        return c;
    }

    // Parses nodes into parent until no kind matches.
    void ParseLevel(TGmlNode& parent, int depth)
    {
        while (pos <= last) {
            const int32_t start = pos;
            if (ParseControl(parent) || ParseGroup(parent, depth) || ParseNumber(parent) || ParseSymbol(parent) ||
                ParseText(parent))
                continue;
            pos = start;
            return;
        }
    }

    template <class N, class... Args>
    N& Add(TGmlNode& parent, Args&&... args)
    {
        auto node = std::make_unique<N>(&doc, std::forward<Args>(args)...);
        node->SetParent(&parent);
        parent.AddNode(node.get());
        return *node.release();
    }

    // "\" letters (at most 32) ["-"|"+"] digits (at most 10) [" "]
    bool ParseControl(TGmlNode& parent)
    {
        const int32_t start = pos;
        if (Read() != kBackslash) {
            pos = start;
            return false;
        }
        const int32_t nameStart = pos;
        int letters = 0;
        while (letters < 32) {
            const int32_t at = pos;
            if (!IsAsciiLetter(Read())) {
                pos = at;
                break;
            }
            ++letters;
        }
        if (letters == 0) {
            pos = start;
            return false;
        }
        const int32_t nameLength = pos - nameStart;
        bool negative = false;
        int32_t at = pos;
        const int sign = Read();
        if (sign == '-')
            negative = true;
        else if (sign != '+')
            pos = at;
        int64_t value = 0;
        int digits = 0;
        while (digits < 10) {
            at = pos;
            const int c = Read();
            if (c < '0' || c > '9') {
                pos = at;
                break;
            }
            value = value * 10 + (c - '0');
            ++digits;
        }
        at = pos;
        if (Read() != ' ')
            pos = at;
        auto& control = Add<TGmlRtfControl>(parent);
        control.SetHeader(nameStart, nameLength);
        if (digits > 0) {
            // Ten digits can pass the parameter's range: the nearest value it holds.
            const int64_t signedValue = negative ? -value : value;
            control.SetValue(static_cast<int32_t>(std::clamp<int64_t>(signedValue, std::numeric_limits<int32_t>::min(),
                                                                       std::numeric_limits<int32_t>::max())));
        }
        return true;
    }

    // "{" nodes "}"; an empty group is a group too.
    bool ParseGroup(TGmlNode& parent, int depth)
    {
        const int32_t start = pos;
        if (Read() != kOpen) {
            pos = start;
            return false;
        }
        if (depth >= kMaxGmlRtfDepth)
            Raise(platform::Format(exporttexts::kGmlTooDeepFormat, kMaxGmlRtfDepth));
        auto& group = Add<TGmlRtfGroup>(parent);
        const int32_t bodyStart = pos;
        ParseLevel(group, depth + 1);
        const int32_t bodyEnd = pos;
        if (Read() != kClose) {
            group.Remove(true);
            pos = start;
            return false;
        }
        group.SetBody(bodyStart, bodyEnd - bodyStart);
        return true;
    }

    // "\'" and two hexadecimal digits.
    bool ParseNumber(TGmlNode& parent)
    {
        const int32_t start = pos;
        if (Read() == kBackslash && Read() == '\'') {
            const int high = HexDigit(Read());
            const int low = HexDigit(Read());
            if (high >= 0 && low >= 0) {
                Add<TGmlRtfNumber>(parent, static_cast<uint8_t>(high * 16 + low));
                return true;
            }
        }
        pos = start;
        return false;
    }

    // "\" and a character that is not a letter.
    bool ParseSymbol(TGmlNode& parent)
    {
        const int32_t start = pos;
        if (Read() == kBackslash) {
            const int c = Read();
            if (c >= 0 && c < 256 && !IsAsciiLetter(c)) {
                Add<TGmlRtfSymbol>(parent, static_cast<char>(c));
                return true;
            }
        }
        pos = start;
        return false;
    }

    // The longest run up to the end, a backslash or a brace.
    bool ParseText(TGmlNode& parent)
    {
        const int32_t start = pos;
        for (;;) {
            const int32_t at = pos;
            const int c = Read();
            if (c < 0 || c > 255) {
                pos = at;
                break;
            }
        }
        if (pos == start)
            return false;
        Add<TGmlRtfText>(parent).SetBody(start, pos - start);
        return true;
    }
};

TGmlRtf::TGmlRtf(QByteArray text) : FText(std::move(text))
{
    if (FText.size() > kMaxGmlRtfTextBytes)
        Raise(platform::Format(exporttexts::kGmlTooLargeFormat, static_cast<long long>(FText.size()),
                               static_cast<long long>(kMaxGmlRtfTextBytes)));
    FRoot = std::make_unique<TGmlRtfNode>(this);
    FRoot->SetBody(0, Length());
    try {
        if (!FText.isEmpty()) {
            Parser parser{*this, FText, 0, Length() - 1};
            parser.ParseLevel(*FRoot, 0);
        }
        FRoot->UpdateParent();
        if (!FRoot->Empty()) {
            BuildFontList();
            BuildColorList();
        }
    } catch (...) {
        FRoot->DestroyTree();
        throw;
    }
}

TGmlRtf::~TGmlRtf()
{
    FRoot->DestroyTree();
}

char TGmlRtf::Char(int32_t pos) const
{
    if (pos < 0 || pos >= Length())
        Raise(platform::Format(exporttexts::kGmlIndexOutOfBoundsFormat, pos, 0, Length() - 1));
    return FText[pos];
}

QByteArray TGmlRtf::Copy(int32_t pos, int32_t len) const
{
    const int32_t from = std::clamp(pos, 0, Length());
    const int32_t count = std::clamp(len, 0, Length() - from);
    try {
        return FText.mid(from, count);
    } catch (const std::bad_alloc&) {
        Raise(platform::Format(exporttexts::kGmlAllocationFailedFormat, count));
    }
}

QByteArray TGmlRtf::Copy(const TGmlStr& str) const
{
    return str.HasData ? str.Data : Copy(str.Pos, str.Len);
}

int32_t TGmlRtf::Copy(int32_t pos, int32_t len, char* dest) const
{
    const int32_t from = std::clamp(pos, 0, Length());
    const int32_t count = std::clamp(len, 0, Length() - from);
    std::copy_n(FText.constData() + from, count, dest);
    return count;
}

void TGmlRtf::Serialize(QByteArray& out) const
{
    FRoot->Serialize(out);
}

const TGmlRtfFont* TGmlRtf::Font(int i) const
{
    return i >= 0 && i < FontsCount() ? &FFontList[static_cast<size_t>(i)] : nullptr;
}

const TGmlRtfColor* TGmlRtf::Color(int i) const
{
    return i >= 0 && i < ColorsCount() ? &FColorList[static_cast<size_t>(i)] : nullptr;
}

void TGmlRtf::BuildFontList()
{
    const TGmlNode* table = FRoot->Find("fonttbl");
    if (table == nullptr || table->Parent() == nullptr)
        return;
    const TGmlNode* parent = table->Parent();
    for (int i = table->SelfSubIndex() + 1; i < parent->NodesCount(); ++i)
        if (dynamic_cast<TGmlRtfGroup*>(parent->Node(i)) != nullptr)
            FFontList.emplace_back(parent->Node(i));
}

void TGmlRtf::BuildColorList()
{
    const TGmlNode* table = FRoot->Find("colortbl");
    if (table == nullptr || table->Parent() == nullptr)
        return;
    const TGmlNode* parent = table->Parent();
    TGmlRtfColor entry;
    for (int i = table->SelfSubIndex() + 1; i < parent->NodesCount(); ++i) {
        auto* control = dynamic_cast<TGmlRtfControl*>(parent->Node(i));
        if (control == nullptr)
            continue;
        const QByteArray name = control->HeaderText();
        TGmlRtfControl** slot = name == "red" ? &entry.R : name == "green" ? &entry.G : name == "blue" ? &entry.B : nullptr;
        if (slot == nullptr)
            continue;
        if (*slot != nullptr)
            Raise(exporttexts::kGmlInvalidColorTable);
        *slot = control;
        if (entry.R != nullptr && entry.G != nullptr && entry.B != nullptr) {
            FColorList.push_back(entry);
            entry = TGmlRtfColor{};
        }
    }
    if (entry.R != nullptr || entry.G != nullptr || entry.B != nullptr)
        Raise(exporttexts::kGmlInvalidColorTable);
}
