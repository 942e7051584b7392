// The script editor's looks: the lazy syntax colouring of its lines and the painting of the text,
// the gutter with its marks, the selection, the caret and the message bar.

#include "report/designer/rpSynMemo.h"
#include "report/designer/rpSynMemo_internal.h"

#include "report/model/rpXML.h"
#include "report/script/sc_itools.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>

namespace {

const char kSqlKeywords[] =
    "active,after,all,alter,and,any,as,asc,ascending,at,auto,base_name,before,begin,between,by,cache,call,cast,"
    "check,column,commit,committed,computed,conditional,constraint,containing,count,create,current,cursor,"
    "database,debug,declare,default,delete,desc,descending,distinct,do,domain,drop,else,end,entry_point,escape,"
    "exception,execute,exists,exit,external,extract,filter,for,foreign,from,full,function,generator,grant,group,"
    "having,if,in,inactive,index,inner,insert,into,is,isolation,join,key,left,level,like,merge,names,no,not,null,"
    "of,on,only,or,order,outer,parameter,password,plan,position,primary,privileges,procedure,protected,read,"
    "retain,returns,revoke,right,rollback,schema,select,set,shadow,shared,snapshot,some,suspend,table,then,to,"
    "transaction,trigger,uncommitted,union,unique,update,user,using,values,view,wait,when,where,while,with,work";

} // namespace

using SynMemoText::kCrLf;
using SynMemoText::SplitLines;

// ---- syntax ----------------------------------------------------------------------------------

void TrpSyntaxMemo::SetSyntax(const QString& name)
{
    FSyntax = name;
    FParser.SetKeywords(QStringList());
    if (name.compare(QLatin1String("SQL"), Qt::CaseInsensitive) == 0) {
        FParser.SetKeywords(QString::fromLatin1(kSqlKeywords).split(u','));
        FParser.SetCommentLine1(QStringLiteral("--"));
        FParser.SetCommentLine2(QString());
        FParser.SetCommentBlock1(QStringLiteral("/*,*/"));
        FParser.SetCommentBlock2(QString());
        FParser.SetStringQuotes(QStringLiteral("\""));
        FParser.SetHexSequence(QStringLiteral("0x"));
    } else {
        QStringList languages;
        GetLanguageList(languages);
        bool known = false;
        for (const QString& language : languages)
            known = known || language.compare(name, Qt::CaseInsensitive) == 0;
        if (known) {
            QByteArray bytes = GetLanguageGrammar(name).toUtf8();
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            TrpXMLDocument document;
            document.LoadFromStream(buffer);
            TrpXMLItem* parser = document.Root()->FindItem(QStringLiteral("parser"));
            for (int i = 0; parser && i < parser->Count(); ++i) {
                TrpXMLItem* item = parser->Items(i);
                const QString tag = item->Name().toLower();
                const QString value = item->Prop(u"text");
                if (tag == QLatin1String("keywords")) {
                    for (int k = 0; k < item->Count(); ++k)
                        FParser.AddKeyword(item->Items(k)->Name());
                } else if (tag == QLatin1String("identchars")) {
                    FParser.ConstructCharset(value);
                } else if (tag == QLatin1String("commentline1")) {
                    FParser.SetCommentLine1(value);
                } else if (tag == QLatin1String("commentline2")) {
                    FParser.SetCommentLine2(value);
                } else if (tag == QLatin1String("commentblock1")) {
                    FParser.SetCommentBlock1(value);
                } else if (tag == QLatin1String("commentblock2")) {
                    FParser.SetCommentBlock2(value);
                } else if (tag == QLatin1String("stringquotes")) {
                    FParser.SetStringQuotes(value);
                } else if (tag == QLatin1String("hexsequence")) {
                    FParser.SetHexSequence(value);
                }
            }
        }
    }
    RestartColouring(1);
}

void TrpSyntaxMemo::RestartColouring(int line)
{
    FUpdatingSyntax = true;
    const int keep = line < 2 ? 0 : line - 2;
    while (FSynStrings.size() > keep)
        FSynStrings.removeLast();
    FUpdatingSyntax = false;
    viewport()->update();
}

void TrpSyntaxMemo::ClassifyUpTo(int n)
{
    n = std::min(n, FText.Count() - 1);
    if (n < FSynStrings.size())
        return;
    FUpdatingSyntax = true;
    for (int i = FSynStrings.size(); i <= n; ++i)
        FSynStrings.append(FText[i]);
    QString p = FSynStrings.join(kCrLf);
    FParser.SetText(FText.Text());
    int start = 1;
    const int last = p.lastIndexOf(QChar(1));
    if (last >= 0) {
        int first = last;
        while (first > 0 && p[first - 1] == QChar(1))
            --first;
        start = first + 1;
    }
    FParser.SetPosition(start);
    const int end = p.size();
    auto mark = [&p](int from, int to, ushort code) { // 1-based, to exclusive
        for (int i = from; i < to && i <= p.size(); ++i) {
            if (p[i - 1].unicode() > 31)
                p[i - 1] = QChar(code);
        }
    };
    while (FParser.Position() <= end) {
        int from = FParser.Position();
        FParser.SkipSpaces();
        mark(from, FParser.Position(), 3);
        from = FParser.Position();
        if (from > end)
            break;
        const QString word = FParser.GetWord();
        if (!word.isEmpty()) {
            mark(from, FParser.Position(), FParser.IsKeyWord(word) ? 4 : 1);
        } else if (FParser.SetPosition(from), !FParser.GetNumber().isEmpty()) {
            mark(from, FParser.Position(), 6);
        } else if (FParser.SetPosition(from), !FParser.GetString().isEmpty()) {
            mark(from, FParser.Position(), 5);
        } else {
            FParser.SetPosition(from + 1);
            mark(from, from + 1, 1);
        }
        if (FParser.Position() <= from)
            FParser.SetPosition(from + 1);
    }
    FSynStrings = SplitLines(p);
    while (FSynStrings.size() > n + 1)
        FSynStrings.removeLast();
    FUpdatingSyntax = false;
}

QString TrpSyntaxMemo::ClassLine(int y)
{
    ClassifyUpTo(y - 1);
    return y - 1 < FSynStrings.size() ? FSynStrings[y - 1] : QString();
}

// ---- painting --------------------------------------------------------------------------------

void TrpSyntaxMemo::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PaintTo(painter);
}

void TrpSyntaxMemo::PaintTo(QPainter& painter)
{
    const QSize client = viewport()->size();
    const QPalette pal = palette();
    painter.fillRect(QRect(QPoint(0, 0), client), pal.color(QPalette::Base));
    if (FGutterWidth > 0) {
        painter.fillRect(QRect(0, 0, FGutterWidth - 1, client.height()), pal.color(QPalette::Button));
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(FGutterWidth - 4, 0, FGutterWidth - 4, client.height());
    }
    if (FUpdatingSyntax)
        return;
    const int lines = client.height() / FCharHeight + 1;
    const int columns = (client.width() - FGutterWidth) / FCharWidth + 1;
    const int lastLine = std::min(FText.Count(), FOffset.y() + lines);
    ClassifyUpTo(lastLine - 1);
    QPoint selA, selB;
    OrderedSelection(selA, selB);
    auto selected = [&](int x, int y) {
        if (!HasSelection())
            return false;
        const int v = y * kMaxLength + x;
        return v >= Compare(selA) && v < Compare(selB);
    };
    const QFont* fonts[7] = {&TextAttr, &TextAttr, &TextAttr, &CommentAttr, &KeywordAttr, &StringAttr, &NumberAttr};
    const QColor fontColours[7] = {pal.color(QPalette::Text), pal.color(QPalette::Text), pal.color(QPalette::Text),
                                   QColor(0, 0, 128), pal.color(QPalette::Text), QColor(0, 0, 128),
                                   QColor(0, 128, 0)};
    for (int y = FOffset.y() + 1; y <= lastLine; ++y) {
        const QString line = FText[y - 1];
        const QString classes = y - 1 < FSynStrings.size() ? FSynStrings[y - 1] : QString();
        const int top = (y - FOffset.y() - 1) * FCharHeight;
        const bool active = y == FActiveLine;
        int x = FGutterWidth;
        auto drawRun = [&](const QString& run, int cls, bool block) {
            if (run.isEmpty())
                return;
            const int width = run.size() * FCharWidth;
            const QRect rect(x, top, width, FCharHeight);
            painter.fillRect(rect, block ? BlockColor : pal.color(QPalette::Base));
            const int style = cls >= 1 && cls <= 6 ? cls : 1;
            painter.setFont(*fonts[style]);
            painter.setPen(block ? BlockFontColor : fontColours[style]);
            const int baseline = top + QFontMetrics(*fonts[style]).ascent();
            if (FIsMonoType) {
                painter.drawText(x, baseline, run);
            } else {
                for (int i = 0; i < run.size(); ++i)
                    painter.drawText(x + i * FCharWidth, baseline, QString(run[i]));
            }
            x += width;
        };
        QString run;
        int runClass = -1;
        bool runBlock = false;
        for (int col = FOffset.x() + 1; col <= line.size() && col <= FOffset.x() + columns; ++col) {
            const int cls = col - 1 < classes.size() ? classes[col - 1].unicode() : 1;
            const bool block = active || selected(col, y);
            if (!run.isEmpty() && (cls != runClass || block != runBlock)) {
                drawRun(run, runClass, runBlock);
                run.clear();
            }
            runClass = cls;
            runBlock = block;
            run.append(line[col - 1].unicode() < 32 ? QChar(u' ') : line[col - 1]);
        }
        drawRun(run, runClass, runBlock);
        if (active || selected(1, y) || (HasSelection() && Compare(QPoint(line.size() + 1, y)) >= Compare(selA)
                                         && Compare(QPoint(line.size() + 1, y)) < Compare(selB))) {
            const int blanks = columns - line.size() + FOffset.x() + 3;
            if (blanks > 0)
                painter.fillRect(QRect(x, top, blanks * FCharWidth, FCharHeight), BlockColor);
        }
        if (FGutterWidth > 0) {
            const int bookmark = IsBookmark(y - 1);
            if (bookmark >= 0) {
                painter.fillRect(QRect(13, top + 3, 10, 11), Qt::black);
                painter.fillRect(QRect(12, top + 4, 10, 11), QColor(0, 128, 0));
                QFont small(QStringLiteral("Tahoma"), 7);
                small.setBold(true);
                painter.setFont(small);
                painter.setPen(Qt::white);
                painter.drawText(QRect(12, top + 4, 10, 11), Qt::AlignCenter, QString::number(bookmark));
            }
            if (FText.Object(y - 1) == 1) {
                painter.setPen(Qt::black);
                painter.setBrush(Qt::blue);
                painter.drawEllipse(QRect(4, top + 7, 4, 4));
                painter.setPen(Qt::cyan);
                painter.drawPoint(5, top + 7);
                painter.drawPoint(4, top + 8);
                painter.setBrush(Qt::NoBrush);
            }
            if (IsBreakPoint(y)) {
                painter.setPen(Qt::red);
                painter.setBrush(Qt::red);
                painter.drawEllipse(QRect(2, top + 4, 11, 11));
                painter.setBrush(Qt::NoBrush);
            }
        }
    }
    // The text being composed, underlined at the caret.
    if (!FPreedit.isEmpty() && FPos.x() > FOffset.x()) {
        const QRect rect(FGutterWidth + (FPos.x() - FOffset.x() - 1) * FCharWidth,
                         (FPos.y() - FOffset.y() - 1) * FCharHeight, FPreedit.size() * FCharWidth, FCharHeight);
        painter.fillRect(rect, pal.color(QPalette::Base));
        painter.setFont(TextAttr);
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(rect.left(), rect.top() + QFontMetrics(TextAttr).ascent(), FPreedit);
        painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    }
    // The caret: a 2-pixel bar one cell high.
    if (hasFocus() && FPos.x() > FOffset.x()) {
        const QString line = FText[FPos.y() - 1];
        const int cx = FGutterWidth + (FPos.x() - FOffset.x() - 1) * FCharWidth;
        const int cy = (FPos.y() - FOffset.y() - 1) * FCharHeight;
        Q_UNUSED(line);
        painter.fillRect(QRect(cx, cy, 2, FCharHeight), pal.color(QPalette::Text));
    }
    if (!FMessage.isEmpty()) {
        QFont bar(QStringLiteral("Tahoma"), 8);
        bar.setBold(true);
        const int h = QFontMetrics(bar).height() + 6;
        painter.fillRect(QRect(0, client.height() - h, client.width(), h), QColor(128, 0, 0));
        painter.setFont(bar);
        painter.setPen(Qt::white);
        painter.drawText(6, client.height() - h + 3 + QFontMetrics(bar).ascent(), FMessage);
    }
}
