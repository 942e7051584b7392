#pragma once

// A small reader of 8-bit RTF text: a tree of groups, control words, hexadecimal character
// escapes, control symbols and plain text, the document's font and colour tables, and the
// operations the RTF export needs to move the content of a rich-text cell into a document of
// its own (find, remove, regroup, re-number, write back). Nodes refer into the source text by
// position and length, so the text lives as long as the tree.
//
// Ownership follows the tree: a node's children are freed by DestroyTree, never by the node's
// destructor, so that a caller may build a group from borrowed nodes and free only the group.
// Every failure is a platform::Exception with one of the texts of ExportTexts.h.

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <vector>

class TGmlRtf;

// The deepest nesting of groups the reader follows, and the largest text it reads: both keep
// the recursive parse and the tree's walks within the stack and within memory.
inline constexpr int kMaxGmlRtfDepth = 256;
inline constexpr int64_t kMaxGmlRtfTextBytes = int64_t{16} * 1024 * 1024;

// A piece of text: Data when set (HasData), else the source range (Pos, Len).
struct TGmlStr {
    int32_t Pos = 0; // 0-based offset into the source text
    int32_t Len = 0;
    QByteArray Data;
    bool HasData = false;
};

class TGmlNode;
using TGmlNodes = std::vector<TGmlNode*>;

class TGmlNode {
public:
    virtual ~TGmlNode() = default;
    TGmlNode(const TGmlNode&) = delete;
    TGmlNode& operator=(const TGmlNode&) = delete;

    const TGmlStr& Header() const { return FHeader; }
    const TGmlStr& Body() const { return FBody; }
    TGmlNode* Parent() const { return FParent; }
    void SetParent(TGmlNode* parent) { FParent = parent; }

    // The header (the control word's name) and the body as text.
    virtual QByteArray HeaderText() const { return FHeader.Data; }
    virtual QByteArray BodyText() const { return FBody.Data; }
    virtual void Serialize(QByteArray& out) const;

    int NodesCount() const { return FSubNodes ? static_cast<int>(FSubNodes->size()) : 0; }
    bool Empty() const { return NodesCount() == 0; }
    // The child at Index, nullptr outside the list.
    TGmlNode* Node(int index) const;
    // Appends a child (not taking it from another parent; the caller sets parents).
    void AddNode(TGmlNode* node);
    // Sets the parent of every descendant.
    void UpdateParent();
    // The index in the parent's children; -1 without a parent.
    int SelfSubIndex() const;
    // The children First..Last (Last -1: the last child) as a new list of borrowed nodes.
    TGmlNodes Select(int first, int last) const;
    // Takes the node out of its parent's children; with destroyItself also frees its subtree
    // and the node itself.
    void Remove(bool destroyItself);
    // Frees every descendant.
    void DestroyTree();
    // The first descendant (pre-order) whose header equals hdr, nullptr when none.
    TGmlNode* Find(const QByteArray& hdr) const;
    // The node itself and its descendants (pre-order) whose header equals hdr (all with an
    // empty hdr), at most maxCount of them when maxCount is above 0.
    TGmlNodes FindAll(const QByteArray& hdr, int maxCount = 0);
    // The children First..Last (Last -1: the last child), one space after a control word that
    // a text node follows; nothing for a node without children.
    void SerializeSubNodes(QByteArray& out, int first, int last) const;

protected:
    TGmlNode() = default;

    TGmlStr FHeader;
    TGmlStr FBody;
    TGmlNode* FParent = nullptr;
    std::unique_ptr<TGmlNodes> FSubNodes; // nullptr when there are none

private:
    void FindAllInto(const QByteArray& hdr, int maxCount, TGmlNodes& found);
};

class TGmlRtfNode : public TGmlNode {
public:
    explicit TGmlRtfNode(TGmlRtf* doc) : FDoc(doc) {}

    TGmlRtf* Doc() const { return FDoc; }
    void SetDoc(TGmlRtf* doc) { FDoc = doc; }

    QByteArray HeaderText() const override;
    QByteArray BodyText() const override;
    void Serialize(QByteArray& out) const override;

    // For the reader: the ranges the node stands for.
    void SetHeader(int32_t pos, int32_t len) { FHeader.Pos = pos, FHeader.Len = len; }
    void SetBody(int32_t pos, int32_t len) { FBody.Pos = pos, FBody.Len = len; }

protected:
    TGmlRtf* FDoc;
};

// A brace group; its children are its content.
class TGmlRtfGroup : public TGmlRtfNode {
public:
    using TGmlRtfNode::TGmlRtfNode;
    void Serialize(QByteArray& out) const override;
};

// A run of plain text (Body).
class TGmlRtfText : public TGmlRtfNode {
public:
    using TGmlRtfNode::TGmlRtfNode;
    void Serialize(QByteArray& out) const override;
};

// A control word: Header is its name (letters only), with an optional signed parameter.
class TGmlRtfControl : public TGmlRtfNode {
public:
    using TGmlRtfNode::TGmlRtfNode;
    void Serialize(QByteArray& out) const override;

    bool HasValue() const { return FArg; }
    // The parameter; "RTF control word doesn't have a value" without one.
    int32_t Value() const;
    void SetValue(int32_t value)
    {
        FArgValue = value;
        FArg = true;
    }

private:
    bool FArg = false;     // a numeric parameter is present
    int32_t FArgValue = 0;
};

// A hexadecimal character escape ("\'hh").
class TGmlRtfNumber : public TGmlRtfNode {
public:
    TGmlRtfNumber(TGmlRtf* doc, uint8_t value) : TGmlRtfNode(doc), FValue(value) {}
    void Serialize(QByteArray& out) const override;
    uint8_t Value() const { return FValue; }

private:
    uint8_t FValue;
};

// A control symbol: a backslash and one character that is not a letter.
class TGmlRtfSymbol : public TGmlRtfNode {
public:
    TGmlRtfSymbol(TGmlRtf* doc, char symbol) : TGmlRtfNode(doc), Symbol(symbol) {}
    void Serialize(QByteArray& out) const override;
    char Symbol;
};

// A view of one font-table group (the group itself is a node of the tree).
class TGmlRtfFont {
public:
    explicit TGmlRtfFont(TGmlNode* group) : group_(group) {}
    TGmlNode* Group() const { return group_; }
    // The first "f" control word's value (-1 when none).
    int32_t Index() const;
    // The first "fcharset" control word's value (0 when none).
    int32_t Charset() const;
    // The first text child's body without one trailing ";" (empty when none).
    QByteArray Name() const;

private:
    TGmlNode* group_;
};

// One colour-table entry: the "red", "green" and "blue" control words of the tree.
class TGmlRtfColor {
public:
    TGmlRtfControl* R = nullptr;
    TGmlRtfControl* G = nullptr;
    TGmlRtfControl* B = nullptr;
    // "\red%d\green%d\blue%d".
    QByteArray Serialize() const;
};

class TGmlRtf {
public:
    // Reads the whole text; the tree, fonts and colours are ready afterwards. Raises on a text
    // past the size limit, groups nested past the depth limit and a broken colour table.
    explicit TGmlRtf(QByteArray text);
    ~TGmlRtf();
    TGmlRtf(const TGmlRtf&) = delete;
    TGmlRtf& operator=(const TGmlRtf&) = delete;

    TGmlRtfNode* Root() const { return FRoot.get(); }
    int32_t Length() const { return static_cast<int32_t>(FText.size()); }
    // The byte at a 0-based position; "The specified index ... is out of bounds" outside.
    char Char(int32_t pos) const;
    QByteArray Copy(int32_t pos, int32_t len) const;
    QByteArray Copy(const TGmlStr& str) const;
    // Copies up to len bytes from pos into dest (clipped at the text's end); the count copied.
    int32_t Copy(int32_t pos, int32_t len, char* dest) const;
    void Serialize(QByteArray& out) const;

    int FontsCount() const { return static_cast<int>(FFontList.size()); }
    const TGmlRtfFont* Font(int i) const;
    int ColorsCount() const { return static_cast<int>(FColorList.size()); }
    const TGmlRtfColor* Color(int i) const;

private:
    struct Parser;
    void BuildFontList();
    void BuildColorList();

    QByteArray FText;                    // the 8-bit source
    std::unique_ptr<TGmlRtfNode> FRoot;
    std::vector<TGmlRtfFont> FFontList;  // font-table groups; empty without a font table
    std::vector<TGmlRtfColor> FColorList;
};
