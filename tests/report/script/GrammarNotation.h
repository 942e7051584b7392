#pragma once

// Reads a grammar written in the one-line rule notation and builds the grammar document it
// stands for, so the stored grammar XML can be checked against the rule lines.
//
//   language: NAME                 the root's text
//   setting: NAME VALUE            a lexer setting (the value is the rest of the line)
//   keywords: a, b, c              the reserved words, in stored order
//   type: NAME TYPE                a type alias
//   error: errN TEXT               a syntax error message
//   # ...                          a comment
//   name [attr=value ...]: child, child, ...   a rule
//
// A child is an element name, optionally followed by its text in double quotes, its other
// attributes in square brackets (values bare or in double quotes) and its own children in
// parentheses. Attributes are written in the order shown, text first.

#include "report/script/sc_xml.h"

#include <QString>
#include <QStringList>

#include <cstring>
#include <stdexcept>
#include <string>

namespace grammarnotation {

class Reader {
public:
    explicit Reader(const QString& line) : text_(line) {}

    void Items(TscXMLItem& parent, QChar end)
    {
        for (;;) {
            Blanks();
            if (AtEnd() || Peek() == end) {
                if (!end.isNull()) {
                    Expect(end);
                }
                return;
            }
            Item(*parent.Add());
            Blanks();
            if (!AtEnd() && Peek() == QLatin1Char(','))
                ++at_;
        }
    }

    void Item(TscXMLItem& item)
    {
        Blanks();
        item.SetName(Word());
        Blanks();
        QStringList attributes;
        if (!AtEnd() && Peek() == QLatin1Char('"'))
            attributes << Attribute(QStringLiteral("text"), Quoted());
        Blanks();
        if (!AtEnd() && Peek() == QLatin1Char('[')) {
            ++at_;
            for (;;) {
                Blanks();
                if (Peek() == QLatin1Char(']')) {
                    ++at_;
                    break;
                }
                const QString name = Word();
                Expect(QLatin1Char('='));
                QString value;
                if (Peek() == QLatin1Char('"')) {
                    value = Quoted();
                } else {
                    while (!AtEnd() && Peek() != QLatin1Char(' ') && Peek() != QLatin1Char(']'))
                        value += text_[at_++];
                }
                attributes << Attribute(name, value);
            }
        }
        item.SetText(attributes.join(QLatin1Char(' ')));
        Blanks();
        if (!AtEnd() && Peek() == QLatin1Char('(')) {
            ++at_;
            Items(item, QLatin1Char(')'));
        }
    }

    void Expect(QChar c)
    {
        if (AtEnd() || Peek() != c)
            throw std::runtime_error("expected '" + QString(c).toStdString() + "' at " + std::to_string(at_) + " in " +
                                     text_.toStdString());
        ++at_;
    }

    bool AtEnd() const { return at_ >= text_.size(); }

private:
    static QString Attribute(const QString& name, const QString& value)
    {
        return name + QLatin1String("=\"") + ScXMLEscape(value) + QLatin1Char('"');
    }
    QChar Peek() const { return text_[at_]; }
    void Blanks()
    {
        while (!AtEnd() && Peek() == QLatin1Char(' '))
            ++at_;
    }
    QString Word()
    {
        QString word;
        while (!AtEnd() && (Peek().isLetterOrNumber() || Peek() == QLatin1Char('_')))
            word += text_[at_++];
        if (word.isEmpty())
            throw std::runtime_error("name expected at " + std::to_string(at_) + " in " + text_.toStdString());
        return word;
    }
    QString Quoted()
    {
        Expect(QLatin1Char('"'));
        const qsizetype close = text_.indexOf(QLatin1Char('"'), at_);
        if (close < 0)
            throw std::runtime_error("unclosed text in " + text_.toStdString());
        const QString value = text_.mid(at_, close - at_);
        at_ = close + 1;
        return value;
    }

    QString text_;
    qsizetype at_ = 0;
};

// The grammar document for a notation text.
inline void Convert(const QString& notation, TscXMLDocument& document)
{
    TscXMLItem* root = document.Root();
    root->Clear();
    root->SetName(QStringLiteral("language"));
    root->SetText(QString());
    TscXMLItem* parser = root->Add(QStringLiteral("parser"));
    QList<TscXMLItem*> settings;
    TscXMLItem* keywords = nullptr;
    TscXMLItem* errors = nullptr;
    TscXMLItem* types = root->Add(QStringLiteral("types"));
    for (const QString& line : notation.split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        auto rest = [&](const char* prefix) { return line.mid(static_cast<qsizetype>(std::strlen(prefix))); };
        if (line.startsWith(QLatin1String("language: "))) {
            root->SetProp(QStringLiteral("text"), rest("language: "));
        } else if (line.startsWith(QLatin1String("setting: "))) {
            const QString body = rest("setting: ");
            const qsizetype blank = body.indexOf(QLatin1Char(' '));
            TscXMLItem* setting = parser->Add(body.left(blank));
            setting->SetProp(QStringLiteral("text"), body.mid(blank + 1));
        } else if (line.startsWith(QLatin1String("keywords: "))) {
            keywords = parser->Add(QStringLiteral("keywords"));
            for (const QString& word : rest("keywords: ").split(QLatin1Char(',')))
                keywords->Add(word.trimmed());
        } else if (line.startsWith(QLatin1String("type: "))) {
            const QStringList parts = rest("type: ").split(QLatin1Char(' '));
            types->Add(parts.value(0))->SetProp(QStringLiteral("type"), parts.value(1));
        } else if (line.startsWith(QLatin1String("error: "))) {
            if (!errors)
                errors = parser->Add(QStringLiteral("errors"));
            const QString body = rest("error: ");
            const qsizetype blank = body.indexOf(QLatin1Char(' '));
            errors->Add(body.left(blank))->SetProp(QStringLiteral("text"), body.mid(blank + 1));
        } else {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            Reader head(line.left(colon));
            TscXMLItem* rule = root->Add();
            head.Item(*rule);
            Reader body(line.mid(colon + 1));
            body.Items(*rule, QChar());
        }
    }
}

} // namespace grammarnotation
