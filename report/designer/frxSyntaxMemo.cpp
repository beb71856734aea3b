#include "frxSyntaxMemo.h"

#include "Clipbrd.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Windows.h"
#include "fs_iparser.h"
#include "frxCodeUtils.h"

#include <algorithm>
#include <cwctype>

QZ_CLASS_IMPL(TfrxSyntaxMemo, TfrxScrollWin)

namespace {

// Text as code points (a character per element) and back.
std::u32string ToU32(std::string_view s)
{
    std::u16string u = Utf8ToUtf16(s);
    std::u32string r;
    r.reserve(u.size());
    for (size_t i = 0; i < u.size(); ++i) {
        char32_t c = u[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
            ++i;
        }
        r.push_back(c);
    }
    return r;
}

std::string ToU8(std::u32string_view s)
{
    std::u16string u;
    u.reserve(s.size());
    for (char32_t c : s) {
        if (c >= 0x10000) {
            u.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            u.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            u.push_back(char16_t(c));
        }
    }
    return Utf16ToUtf8(u);
}

bool IsWordChar(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; }

// Leading blanks of a line, or -1 for a blank line.
int Indentation(const std::u32string& s)
{
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != ' ') return int(i);
    return -1;
}

std::u32string TrimRight32(std::u32string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Line breaks of any kind become CR LF, so that offsets count two for each.
std::u32string NormalizeBreaks(const std::u32string& s)
{
    std::u32string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            r += U"\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else if (s[i] == '\n') {
            r += U"\r\n";
        } else {
            r += s[i];
        }
    }
    return r;
}

const char* const SqlKeywords =
    "active,after,all,alter,and,any,as,asc,ascending,at,auto,base_name,before,begin,between,by,cache,call,cast,"
    "check,column,commit,committed,computed,conditional,constraint,containing,count,create,current,cursor,"
    "database,debug,declare,default,delete,desc,descending,distinct,do,domain,drop,else,end,entry_point,escape,"
    "exception,execute,exists,exit,external,extract,filter,for,foreign,from,full,function,generator,grant,group,"
    "having,if,in,inactive,index,inner,insert,into,is,isolation,join,key,left,level,like,merge,names,no,not,null,"
    "of,on,only,or,order,outer,parameter,password,plan,position,primary,privileges,procedure,protected,read,"
    "retain,returns,revoke,right,rollback,schema,select,set,shadow,shared,snapshot,some,suspend,table,then,to,"
    "transaction,trigger,uncommitted,union,unique,update,user,using,values,view,wait,when,where,while,with,work";

}  // namespace

// ==== the editing model =========================================================================

TfrxSyntaxText::TfrxSyntaxText() : FLines(std::make_unique<TStringList>()), FParser(std::make_unique<TfsParser>())
{
    FBookmarks.fill(-1);
    FLines->Add("");
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
    ReadClipboard = [] { return Clipboard()->AsText(); };
    WriteClipboard = [](const std::string& s) { Clipboard()->SetAsText(s); };
    UpdateView();
}

TfrxSyntaxText::~TfrxSyntaxText() { FLines->OnChange = nullptr; }

std::u32string TfrxSyntaxText::Line(int y) const
{
    if (y < 1 || y > FLines->Count()) return std::u32string();
    return ToU32((*FLines)[y - 1]);
}

int TfrxSyntaxText::LineLength(int y) const { return int(Line(y).size()); }

std::string TfrxSyntaxText::Text() const
{
    std::string r;
    for (int i = 0; i < FLines->Count(); ++i) {
        if (i) r += "\r\n";
        r += (*FLines)[i];
    }
    return r;
}

std::u32string TfrxSyntaxText::AllText() const { return ToU32(Text()); }

void TfrxSyntaxText::SetAllText(const std::u32string& text)
{
    // An empty text is one empty line; a final line break leaves an empty last line.
    std::string u8 = ToU8(text);
    std::vector<std::string> lines;
    size_t from = 0;
    for (;;) {
        size_t at = u8.find("\r\n", from);
        lines.push_back(u8.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) break;
        from = at + 2;
    }
    FLines->BeginUpdate();
    FLines->Clear();
    for (const std::string& l : lines) FLines->Add(l);
    FLines->EndUpdate();
    FExecutable.clear();
}

void TfrxSyntaxText::PutLine(int y, const std::u32string& s) { FLines->SetStrings(y - 1, ToU8(s)); }

void TfrxSyntaxText::LinesChanged()
{
    if (FExternalChange && !FResetting) Reset();
}

void TfrxSyntaxText::Reset()
{
    FResetting = true;
    FExternalChange = false;
    if (FLines->Count() == 0) FLines->Add("");
    FExecutable.clear();
    UpdateView();
    FUndoArmed = true;
    FUndo.clear();
    FCaretX = FCaretY = 1;
    FOffsetX = FOffsetY = 0;
    FSelStartX = 0;
    FResetting = false;
    SetCaretPos(1, 1);
}

void TfrxSyntaxText::SetLines(TStrings* lines)
{
    FExternalChange = true;
    FLines->Assign(lines);
    if (FExternalChange) Reset();   // an identical text tells no change
}

void TfrxSyntaxText::SetText(const std::string& text)
{
    TStringList l;
    l.SetText(text);
    SetLines(&l);
}

TStrings* TfrxSyntaxText::GetLines()
{
    FExternalChange = false;
    for (int i = 0; i < FLines->Count(); ++i) {
        std::string s = (*FLines)[i];
        size_t end = s.find_last_not_of(' ');
        std::string t = end == std::string::npos ? std::string() : s.substr(0, end + 1);
        if (t != s) FLines->SetStrings(i, t);
    }
    FExternalChange = true;
    return FLines.get();
}

int TfrxSyntaxText::Offset(int x, int y) const
{
    int off = 0;
    for (int i = 1; i < y && i <= FLines->Count(); ++i) off += LineLength(i) + 2;
    return off + x;
}

TPoint TfrxSyntaxText::PosOf(int offset) const
{
    int y = 1;
    int rest = offset;
    const int count = FLines->Count();
    while (y < count) {
        int len = LineLength(y);
        if (rest <= len + 1) break;
        rest -= len + 2;
        ++y;
    }
    return ::Point(std::max(rest, 1), y);
}

int TfrxSyntaxText::GetCaretOffset() const { return Offset(FCaretX, FCaretY); }

void TfrxSyntaxText::SetVisible(int cols, int rows)
{
    FVisibleCols = std::max(0, cols);
    FVisibleRows = std::max(0, rows);
}

void TfrxSyntaxText::SetOffsets(int offsetX, int offsetY)
{
    FOffsetX = std::clamp(offsetX, 0, MaxLineLength);
    FOffsetY = std::clamp(offsetY, 0, FLines->Count());
    Repaint();
}

void TfrxSyntaxText::Repaint()
{
    if (OnRepaint) OnRepaint();
}

void TfrxSyntaxText::SetMessage(const std::string& m)
{
    FMessage = m;
    Repaint();
}

void TfrxSyntaxText::SetCaretPos(int x, int y)
{
    if (!FMessage.empty()) SetMessage("");
    FCaretX = std::clamp(x, 1, MaxLineLength);
    FCaretY = std::clamp(y, 1, std::max(1, FLines->Count()));
    if (FVisibleCols > 0 && FVisibleRows > 0) {
        const int count = FLines->Count();
        if (FOffsetY > count - 1) FOffsetY = std::max(0, count - 1);
        if (FCaretX > FOffsetX + FVisibleCols) FOffsetX += FCaretX - (FOffsetX + FVisibleCols);
        else if (FCaretX <= FOffsetX) FOffsetX = FCaretX - 1;
        // The line is brought into view in the same placement.
        if (FCaretY > FOffsetY + FVisibleRows) FOffsetY += FCaretY - (FOffsetY + FVisibleRows);
        else if (FCaretY <= FOffsetY) FOffsetY = FCaretY - 1;
    }
    Repaint();
    if (OnChangePos) OnChangePos(nullptr);
}

void TfrxSyntaxText::SetSelection(int startX, int startY, int endX, int endY)
{
    FSelStartX = startX;
    FSelStartY = startY;
    FSelEndX = endX;
    FSelEndY = endY;
    Repaint();
}

void TfrxSyntaxText::ClearSelection()
{
    FSelStartX = 0;
    Repaint();
}

namespace {
struct TRange {
    int X1, Y1, X2, Y2;
};
TRange Ordered(int sx, int sy, int ex, int ey)
{
    if (long(sy) * 1024 + sx > long(ey) * 1024 + ex) return {ex, ey, sx, sy};
    return {sx, sy, ex, ey};
}
}  // namespace

bool TfrxSyntaxText::InSelection(int x, int y) const
{
    if (!HasSelection()) return false;
    TRange r = Ordered(FSelStartX, FSelStartY, FSelEndX, FSelEndY);
    long p = long(y) * 1024 + x;
    return p >= long(r.Y1) * 1024 + r.X1 && p < long(r.Y2) * 1024 + r.X2;
}

std::string TfrxSyntaxText::GetSelText() const
{
    if (!HasSelection()) return std::string();
    TRange r = Ordered(FSelStartX, FSelStartY, FSelEndX, FSelEndY);
    if (r.X1 > LineLength(r.Y1) + 1 && r.Y1 < FLines->Count()) {
        r.X1 = 1;
        ++r.Y1;
    }
    r.X1 = std::min(r.X1, LineLength(r.Y1) + 1);
    r.X2 = std::min(r.X2, LineLength(r.Y2) + 1);
    int a = Offset(r.X1, r.Y1), b = Offset(r.X2, r.Y2);
    if (b <= a) return std::string();
    std::u32string all = AllText();
    return ToU8(all.substr(size_t(a - 1), size_t(b - a)));
}

void TfrxSyntaxText::StoreUndo()
{
    FUndo.push_back(Format("%5d%5d", {FCaretX, FCaretY}) + Text());
    if (int(FUndo.size()) > UndoDepth) FUndo.erase(FUndo.begin());
    FUndoArmed = false;
}

void TfrxSyntaxText::Undo()
{
    FUndoArmed = true;
    if (FUndo.empty()) return;
    FExternalChange = false;
    std::string snap = FUndo.back();
    FUndo.pop_back();
    int x = StrToIntDef(Trim(snap.substr(0, 5)), 1), y = StrToIntDef(Trim(snap.substr(5, 5)), 1);
    SetAllText(ToU32(snap.substr(10)));
    FSelStartX = 0;
    SetCaretPos(x, y);
    UpdateView();
    if (OnChange) OnChange(nullptr);
}

void TfrxSyntaxText::Changed()
{
    Modified = true;
    if (OnChange) OnChange(nullptr);
    UpdateView();
}

void TfrxSyntaxText::SetSelText(const std::string& text)
{
    if (FUndoArmed) StoreUndo();
    TRange r = HasSelection() ? Ordered(FSelStartX, FSelStartY, FSelEndX, FSelEndY)
                              : TRange{FCaretX, FCaretY, FCaretX, FCaretY};
    const bool replacingFound = HasSelection() && FFoundLength > 0 && Offset(r.X1, r.Y1) == FFoundAt &&
                                Offset(r.X2, r.Y2) == FFoundAt + FFoundLength;
    r.X2 -= 1;   // the end is exclusive
    std::u32string startLine = Line(r.Y1);
    if (int(startLine.size()) < r.X1 - 1) {
        startLine.append(size_t(r.X1 - 1) - startLine.size(), U' ');
        PutLine(r.Y1, startLine);
    }
    r.X2 = std::min(r.X2, LineLength(r.Y2));
    const int oldCaretY = FCaretY;
    std::u32string all = AllText();
    const int so = Offset(r.X1, r.Y1), eo = Offset(r.X2, r.Y2);
    if (eo >= so) all.erase(size_t(so - 1), size_t(eo - so + 1));
    std::u32string ins = NormalizeBreaks(ToU32(text));
    all.insert(size_t(so - 1), ins);
    SetAllText(all);
    TPoint p = PosOf(so + int(ins.size()));
    CorrectBookmarks(oldCaretY, p.Y - oldCaretY);
    FSelStartX = 0;
    if (replacingFound) FResumeAt = so + int(ins.size());
    FFoundLength = 0;
    SetCaretPos(p.X, p.Y);
    Changed();
}

// ---- colouring ---------------------------------------------------------------------------------

void TfrxSyntaxText::SetSyntaxType(const std::string& name)
{
    FSyntaxType = name;
    // Only the keywords are emptied; the other settings stay until named again.
    TfsParser keep = *FParser;
    FParser->Reset();
    FParser->CommentLine1 = keep.CommentLine1;
    FParser->CommentLine2 = keep.CommentLine2;
    FParser->CommentBlock1Open = keep.CommentBlock1Open;
    FParser->CommentBlock1Close = keep.CommentBlock1Close;
    FParser->CommentBlock2Open = keep.CommentBlock2Open;
    FParser->CommentBlock2Close = keep.CommentBlock2Close;
    FParser->StringQuotes = keep.StringQuotes;
    FParser->HexSequence = keep.HexSequence;
    if (SameText(name, "SQL")) {
        std::string words = SqlKeywords;
        for (size_t from = 0;;) {
            size_t comma = words.find(',', from);
            FParser->AddKeyword(words.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
        FParser->CommentLine1 = "--";
        FParser->CommentLine2 = "";
        FParser->SetCommentBlock1("/*,*/");
        FParser->SetCommentBlock2("");
        FParser->StringQuotes = "\"";
        FParser->HexSequence = "0x";
    } else {
        frxCodeUtils::ApplyGrammar(*FParser, name);
    }
    UpdateView();
}

void TfrxSyntaxText::UpdateView()
{
    FExternalChange = false;
    const std::string text = Text();
    // Attributes per byte first; a character takes the attribute of its first byte.
    std::string attr(text.size(), '1');
    TfsParser& p = *FParser;
    p.SetText(text);
    const int size = p.Size();
    int pos = 1;
    auto mark = [&](int from, int to, char a) {
        for (int i = from; i < to && i <= size; ++i)
            if ((unsigned char)text[size_t(i - 1)] > 31) attr[size_t(i - 1)] = a;
    };
    while (pos <= size) {
        p.SetPosition(pos);
        p.SkipSpaces();
        mark(pos, p.Position(), '3');
        pos = p.Position();
        if (pos > size) break;
        char a;
        if (!p.GetWord().empty()) {
            a = '4';
            std::string w = text.substr(size_t(pos - 1), size_t(p.Position() - pos));
            if (!p.IsKeyword(w)) a = '1';
        } else {
            p.SetPosition(pos);
            if (!p.GetNumber().empty()) {
                a = '6';
            } else {
                p.SetPosition(pos);
                std::string s = p.GetString();
                if (p.Position() > pos && (!s.empty() || text[size_t(pos - 1)] == (p.StringQuotes.empty() ? '\'' : p.StringQuotes[0]))) {
                    a = '5';
                } else {
                    // One character of text (all its bytes).
                    int n = 1;
                    unsigned char c = (unsigned char)text[size_t(pos - 1)];
                    if (c >= 0xF0) n = 4;
                    else if (c >= 0xE0) n = 3;
                    else if (c >= 0xC0) n = 2;
                    p.SetPosition(pos + n);
                    a = '1';
                }
            }
        }
        int next = std::max(p.Position(), pos + 1);
        mark(pos, next, a);
        pos = next;
    }
    // Per line, one digit per character.
    FColorMap.clear();
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            FColorMap.push_back(cur);
            cur.clear();
            ++i;
            continue;
        }
        if ((c & 0xC0) == 0x80) continue;   // a continuation byte
        cur += attr[i];
    }
    FColorMap.push_back(cur);
    FColorMap.push_back(" ");
    Repaint();
}

char TfrxSyntaxText::Attribute(int x, int y) const
{
    if (y < 1 || y > int(FColorMap.size())) return '1';
    const std::string& l = FColorMap[size_t(y - 1)];
    return x >= 1 && x <= int(l.size()) ? l[size_t(x - 1)] : '1';
}

// ---- keys ----------------------------------------------------------------------------------------

void TfrxSyntaxText::AfterNavigation(bool shift)
{
    if (shift) {
        if (!HasSelection()) {
            FSelStartX = FPrevX;
            FSelStartY = FPrevY;
        }
        FSelEndX = FCaretX;
        FSelEndY = FCaretY;
    } else {
        FSelStartX = 0;
    }
    Repaint();
}

bool TfrxSyntaxText::KeyDown(int key, TShiftState shift)
{
    FExternalChange = false;
    FPrevX = FCaretX;
    FPrevY = FCaretY;
    const bool ctrl = shift.Contains(ssCtrl), sh = shift.Contains(ssShift), alt = shift.Contains(ssAlt);
    const bool onlyCtrl = ctrl && !sh && !alt, ctrlShift = ctrl && sh && !alt;
    const int count = FLines->Count();
    switch (key) {
    case VK_BACK:
        Backspace();
        FUndoArmed = true;
        return true;
    case VK_TAB:
        SmartTab();
        FUndoArmed = true;
        return true;
    case VK_RETURN:
        if (!sh && !ctrl && !alt) Enter();
        FUndoArmed = true;
        return true;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        int x = FCaretX, y = FCaretY;
        switch (key) {
        case VK_PRIOR:
            if (FOffsetY > FVisibleRows) {
                FOffsetY -= FVisibleRows - 1;
                y -= FVisibleRows - 1;
            } else if (FOffsetY < 1) {
                y = 1;
            } else {
                y -= FOffsetY;
                FOffsetY = 0;
            }
            break;
        case VK_NEXT:
            if (FOffsetY + FVisibleRows < count) {
                FOffsetY += FVisibleRows - 1;
                y += FVisibleRows - 1;
            } else {
                y = count;
                FOffsetY = std::max(0, count - 1);
            }
            break;
        case VK_END:
            if (ctrl) y = count;
            x = int(TrimRight32(Line(y)).size()) + 1;
            break;
        case VK_HOME:
            x = 1;
            if (ctrl) y = 1;
            break;
        case VK_LEFT:
            if (ctrl) {
                WordLeft();
                x = FCaretX;
                y = FCaretY;
            } else {
                x = std::max(1, x - 1);
            }
            break;
        case VK_RIGHT:
            if (ctrl) {
                WordRight();
                x = FCaretX;
                y = FCaretY;
            } else {
                x = std::min(MaxLineLength, x + 1);
            }
            break;
        case VK_UP: y = std::max(1, y - 1); break;
        case VK_DOWN: y = std::min(count, y + 1); break;
        }
        SetCaretPos(x, y);
        AfterNavigation(sh);
        FUndoArmed = true;
        return true;
    }
    case VK_INSERT:
        if (ctrl) CopyToClipboard();
        else if (sh) PasteFromClipboard();
        FUndoArmed = true;
        return true;
    case VK_DELETE:
        if (sh) CutToClipboard();
        else DeleteKey();
        FUndoArmed = true;
        return true;
    default: break;
    }
    if (onlyCtrl && key == 'A') {
        SelectAll();
    } else if (onlyCtrl && key == 'Y') {
        FUndoArmed = true;
        DeleteLine();
    } else if (onlyCtrl && key >= '0' && key <= '9') {
        GotoBookmark(key - '0');
    } else if (ctrlShift && key >= '0' && key <= '9') {
        ToggleBookmark(key - '0');
    }
    return false;
}

void TfrxSyntaxText::KeyChar(char32_t ch)
{
    switch (ch) {
    case 3: CopyToClipboard(); return;
    case 9: if (HasSelection()) IndentBlock(true); return;
    case 21: if (HasSelection()) IndentBlock(false); return;
    case 22: PasteFromClipboard(); return;
    case 24: CutToClipboard(); return;
    case 26: Undo(); return;
    default: break;
    }
    if (ch < 32 || ch == 127) return;
    SetSelText(ToU8(std::u32string(1, ch)));
    FUndoArmed = false;   // a run of typed characters is one undo step
}

void TfrxSyntaxText::DeleteSelectionOrChar(bool backwards)
{
    if (HasSelection()) {
        SetSelText("");
        return;
    }
    int x = backwards ? FCaretX - 1 : FCaretX;
    if (x < 1 || x > LineLength(FCaretY)) {
        if (backwards) SetCaretPos(std::max(1, FCaretX - 1), FCaretY);
        return;
    }
    FSelStartX = x;
    FSelStartY = FCaretY;
    FSelEndX = x + 1;
    FSelEndY = FCaretY;
    SetSelText("");
}

void TfrxSyntaxText::Backspace()
{
    if (HasSelection()) {
        SetSelText("");
        return;
    }
    const int y = FCaretY;
    if (FCaretX == 1) {
        if (y == 1) return;
        if (FUndoArmed) StoreUndo();
        std::u32string prev = TrimRight32(Line(y - 1));
        int joinAt = int(prev.size()) + 1;
        PutLine(y - 1, prev + Line(y));
        FLines->Delete(y - 1);
        FExecutable.clear();
        CorrectBookmarks(y, -1);
        SetCaretPos(joinAt, y - 1);
        Changed();
        return;
    }
    std::u32string line = Line(y);
    int ind = Indentation(line);
    const bool atIndent = ind < 0 || FCaretX - 1 <= ind;
    if (atIndent) {
        // Back to the indentation of the nearest earlier line indented less.
        int target = FCaretX - 1;
        for (int k = y - 1; k >= 1; --k) {
            int i = Indentation(Line(k));
            if (i >= 0 && i < FCaretX - 1) {
                target = i + 1;
                break;
            }
        }
        FSelStartX = target;
        FSelStartY = y;
        FSelEndX = FCaretX;
        FSelEndY = y;
        if (target - 1 >= int(line.size())) {
            // Only blank area right of the text: nothing to delete.
            FSelStartX = 0;
            SetCaretPos(target, y);
            return;
        }
        SetSelText("");
        return;
    }
    DeleteSelectionOrChar(true);
}

void TfrxSyntaxText::SmartTab()
{
    int n = 0;
    for (int k = FCaretY - 1; k >= 1; --k) {
        std::u32string l = TrimRight32(Line(k));
        if (int(l.size()) < FCaretX) continue;
        int i = FCaretX - 1;
        if (l[size_t(i)] == ' ') {
            while (i < int(l.size()) && l[size_t(i)] == ' ') ++i;
        } else {
            while (i < int(l.size()) && l[size_t(i)] != ' ') ++i;
            while (i < int(l.size()) && l[size_t(i)] == ' ') ++i;
        }
        n = i - (FCaretX - 1);
        break;
    }
    SetSelText(std::string(size_t(n), ' '));
}

void TfrxSyntaxText::Enter()
{
    if (HasSelection()) SetSelText("");
    if (FUndoArmed) StoreUndo();
    const int y = FCaretY, x = FCaretX;
    std::u32string line = Line(y);
    // The whole right part goes to the new line, however long.
    std::u32string left = x - 1 < int(line.size()) ? line.substr(0, size_t(x - 1)) : line;
    std::u32string right = x - 1 < int(line.size()) ? line.substr(size_t(x - 1)) : std::u32string();
    PutLine(y, left);
    FLines->Insert(y, ToU8(right));
    FExecutable.clear();
    CorrectBookmarks(x == 1 ? y - 1 : y, 1);
    SetCaretPos(1, y + 1);
    int ind = Indentation(left);
    int blanks = ind < 0 ? x - 1 : ind;
    Modified = true;
    if (blanks > 0) SetSelText(std::string(size_t(blanks), ' '));
    else Changed();
}

void TfrxSyntaxText::DeleteKey()
{
    if (HasSelection()) {
        SetSelText("");
        return;
    }
    const int y = FCaretY;
    std::u32string line = Line(y);
    bool textAhead = false;
    for (int i = FCaretX - 1; i < int(line.size()) && !textAhead; ++i) textAhead = line[size_t(i)] != ' ';
    if (textAhead) {
        DeleteSelectionOrChar(false);
        return;
    }
    if (y >= FLines->Count()) return;
    if (FUndoArmed) StoreUndo();
    if (int(line.size()) < FCaretX - 1) line.append(size_t(FCaretX - 1) - line.size(), U' ');
    PutLine(y, line + TrimRight32(Line(y + 1)));
    FLines->Delete(y);
    FExecutable.clear();
    CorrectBookmarks(y, -1);
    SetCaretPos(FCaretX, y);
    Changed();
}

void TfrxSyntaxText::DeleteLine()
{
    if (FUndoArmed) StoreUndo();
    const int y = FCaretY;
    if (y >= FLines->Count()) {
        PutLine(y, U"");
        SetCaretPos(1, y);
    } else {
        FLines->Delete(y - 1);
        FExecutable.clear();
        CorrectBookmarks(y, -1);
        SetCaretPos(FCaretX, y);
    }
    FSelStartX = 0;
    Changed();
}

void TfrxSyntaxText::SelectAll()
{
    const int last = FLines->Count();
    FSelStartX = 1;
    FSelStartY = 1;
    FSelEndX = int(TrimRight32(Line(last)).size()) + 1;
    FSelEndY = last;
    SetCaretPos(FSelEndX, last);
}

void TfrxSyntaxText::WordLeft()
{
    int y = FCaretY;
    std::u32string line = Line(y);
    int x = std::min(FCaretX, int(line.size()) + 1);
    while (x > 1 && !IsWordChar(line[size_t(x - 2)])) --x;
    if (x == 1) {
        if (y > 1) {
            --y;
            x = LineLength(y) + 1;
        }
    } else {
        while (x > 1 && IsWordChar(line[size_t(x - 2)])) --x;
    }
    FCaretX = x;
    FCaretY = y;
}

void TfrxSyntaxText::WordRight()
{
    int y = FCaretY, x = FCaretX;
    std::u32string line = Line(y);
    if (x > int(line.size())) {
        if (y < FLines->Count()) {
            ++y;
            line = Line(y);
            int i = 0;
            while (i < int(line.size()) && !IsWordChar(line[size_t(i)])) ++i;
            x = i + 1;
        } else {
            // Past the end of the last line the caret stays at its end.
            x = int(line.size()) + 1;
        }
    } else {
        int i = x - 1;
        while (i < int(line.size()) && IsWordChar(line[size_t(i)])) ++i;
        while (i < int(line.size()) && !IsWordChar(line[size_t(i)])) ++i;
        x = i + 1;
    }
    FCaretX = x;
    FCaretY = y;
}

void TfrxSyntaxText::IndentBlock(bool indent)
{
    TRange r = Ordered(FSelStartX, FSelStartY, FSelEndX, FSelEndY);
    int last = r.Y2;
    if (FSelEndX == 1 && last > r.Y1) --last;
    StoreUndo();
    int remove = 2;
    if (!indent)
        for (int y = r.Y1; y <= last; ++y) {
            int i = Indentation(Line(y));
            if (i >= 0) remove = std::min(remove, i);
        }
    for (int y = r.Y1; y <= last; ++y) {
        std::u32string l = Line(y);
        if (indent) {
            PutLine(y, U"  " + l);
        } else if (Indentation(l) >= 0) {
            PutLine(y, l.substr(size_t(remove)));
        }
    }
    FExecutable.clear();
    Changed();
}

void TfrxSyntaxText::ToggleBookmark(int n)
{
    const int line = FCaretY - 1;
    int has = GetBookmark(line);
    if (has < 0) SetBookmark(line, n);
    else if (has == n) DeleteBookmark(n);
    Repaint();
}

// ---- mouse -----------------------------------------------------------------------------------------

void TfrxSyntaxText::MousePress(int x, int y)
{
    FUndoArmed = true;
    FSelStartX = 0;
    SetCaretPos(x, y);
}

void TfrxSyntaxText::MouseDrag(int x, int y)
{
    FPrevX = FCaretX;
    FPrevY = FCaretY;
    SetCaretPos(x, y);
    AfterNavigation(true);
}

void TfrxSyntaxText::DoubleClick()
{
    // The word under the clicked cell: back to its start, then over it.
    std::u32string line = Line(FCaretY);
    int x = FCaretX;
    if (x < 1 || x > int(line.size()) || !IsWordChar(line[size_t(x - 1)])) return;
    while (x > 1 && IsWordChar(line[size_t(x - 2)])) --x;
    int e = x;
    while (e <= int(line.size()) && IsWordChar(line[size_t(e - 1)])) ++e;
    FSelStartX = x;
    FSelStartY = FCaretY;
    FSelEndX = e;
    FSelEndY = FCaretY;
    SetCaretPos(e, FCaretY);
}

// ---- clipboard -------------------------------------------------------------------------------------

void TfrxSyntaxText::CopyToClipboard()
{
    if (HasSelection() && WriteClipboard) WriteClipboard(GetSelText());
}

void TfrxSyntaxText::CutToClipboard()
{
    if (!HasSelection()) return;
    CopyToClipboard();
    SetSelText("");
}

void TfrxSyntaxText::PasteFromClipboard()
{
    std::string t = ReadClipboard ? ReadClipboard() : std::string();
    if (!t.empty() || HasSelection()) SetSelText(t);
}

// ---- find ------------------------------------------------------------------------------------------

bool TfrxSyntaxText::Find(const std::string& text, bool matchCase, int& position)
{
    if (text.empty()) return false;
    int from = std::max(position, 1);
    // After the found text was replaced, go on after its replacement, so
    // that a replacement holding the searched text is not found again.
    if (FResumeAt > 0 && position == FFoundReturned) from = FResumeAt;
    FResumeAt = 0;
    std::u32string all = AllText(), what = ToU32(text);
    if (!matchCase) {
        for (char32_t& c : all) c = char32_t(std::towupper(wint_t(c)));
        for (char32_t& c : what) c = char32_t(std::towupper(wint_t(c)));
    }
    if (from > int(all.size())) return false;
    size_t at = all.find(what, size_t(from - 1));
    if (at == std::u32string::npos) return false;
    const int start = int(at) + 1;
    position = start + 1;
    TPoint a = PosOf(start), b = PosOf(start + int(what.size()));
    FSelStartX = a.X;
    FSelStartY = a.Y;
    FSelEndX = b.X;
    FSelEndY = b.Y;
    SetCaretPos(a.X, a.Y);
    FFoundAt = start;
    FFoundLength = int(what.size());
    FFoundReturned = position;
    Repaint();
    return true;
}

// ---- marks -----------------------------------------------------------------------------------------

int TfrxSyntaxText::GetBookmark(int line) const
{
    for (int i = 0; i < 10; ++i)
        if (FBookmarks[size_t(i)] == line) return i;
    return -1;
}

void TfrxSyntaxText::SetBookmark(int line, int number)
{
    if (number < 0 || number > 9) return;
    FBookmarks[size_t(number)] = line;
    Repaint();
}

void TfrxSyntaxText::DeleteBookmark(int number)
{
    if (number < 0 || number > 9) return;
    FBookmarks[size_t(number)] = -1;
    Repaint();
}

void TfrxSyntaxText::GotoBookmark(int number)
{
    if (number < 0 || number > 9 || FBookmarks[size_t(number)] < 0) return;
    SetCaretPos(1, FBookmarks[size_t(number)] + 1);
}

void TfrxSyntaxText::CorrectBookmarks(int line, int delta)
{
    if (delta == 0) return;
    for (int& b : FBookmarks)
        if (b >= line) b += delta;
}

void TfrxSyntaxText::SetExecutableLine(int line, bool flag)
{
    if (line < 1 || line > FLines->Count()) return;
    if (int(FExecutable.size()) < FLines->Count()) FExecutable.resize(size_t(FLines->Count()), false);
    FExecutable[size_t(line - 1)] = flag;
}

bool TfrxSyntaxText::IsExecutableLine(int line) const
{
    return line >= 1 && line <= int(FExecutable.size()) && FExecutable[size_t(line - 1)];
}

// ==== the window ===============================================================================

namespace {
// Characters that take two cells on the screen.
bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}
}  // namespace

TfrxSyntaxMemo::TfrxSyntaxMemo(TComponent* owner)
    : TfrxScrollWin(owner), FText(std::make_unique<TfrxSyntaxText>()), FCommentFont(std::make_unique<TFont>()),
      FKeywordFont(std::make_unique<TFont>()), FStringFont(std::make_unique<TFont>()),
      FNumberFont(std::make_unique<TFont>())
{
    SetTabStop(true);
    SetCursor(crIBeam);
    Font()->SetName("Courier New");
    Font()->SetSize(10);
    SetColor(clWindow);
    FText->OnRepaint = [this] {
        UpdateScrollBars();
        Invalidate();
    };
    FText->OnChange = [this](TObject*) {
        if (OnChange) OnChange(this);
    };
    FText->OnChangePos = [this](TObject*) {
        if (OnChangePos) OnChangePos(this);
    };
    SetHorzScrollRange(TfrxSyntaxText::MaxLineLength);
    MeasureFont();
}

TfrxSyntaxMemo::~TfrxSyntaxMemo()
{
    FText->OnRepaint = nullptr;
    FText->OnChange = nullptr;
    FText->OnChangePos = nullptr;
}

void TfrxSyntaxMemo::MeasureFont()
{
    auto copy = [this](TFont* f, TColor c, TFontStyles st) {
        f->SetName(Font()->Name());
        f->SetSize(Font()->Size());
        f->SetColor(c);
        f->SetStyle(st);
    };
    copy(FCommentFont.get(), clNavy, {fsItalic});
    copy(FKeywordFont.get(), clWindowText, {fsBold});
    copy(FStringFont.get(), clNavy, {});
    copy(FNumberFont.get(), clGreen, {});
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas()->Font()->Assign(FKeywordFont.get());
    FCharWidth = std::max(1, b.Canvas()->TextWidth("W"));
    FCharHeight = std::max(1, b.Canvas()->TextHeight("Wg") + 1);
    FIsMonospace = UpperCase(Font()->Name()).find("COURIER NEW") != std::string::npos;
    Resize();
}

void TfrxSyntaxMemo::CMFontChanged(TMessage& m)
{
    inherited::Dispatch(m);
    MeasureFont();
    Invalidate();
}

void TfrxSyntaxMemo::Resize()
{
    TfrxScrollWin::Resize();
    FText->SetVisible((ClientWidth() - FGutterWidth) / std::max(1, FCharWidth), ClientHeight() / std::max(1, FCharHeight));
    UpdateScrollBars();
}

void TfrxSyntaxMemo::UpdateScrollBars()
{
    if (FSyncingBars) return;
    FSyncingBars = true;
    SetVertScrollRange(FText->Lines()->Count());
    SetVertPageSize(FText->VisibleRows());
    SetHorzPageSize(FText->VisibleCols());
    SetVertScrollPos(FText->OffsetY());
    SetHorzScrollPos(FText->OffsetX());
    FSyncingBars = false;
}

void TfrxSyntaxMemo::HorzPositionChanged(int)
{
    if (FSyncingBars) return;
    FSyncingBars = true;
    FText->SetOffsets(HorzPosition(), FText->OffsetY());
    FSyncingBars = false;
    Invalidate();
}

void TfrxSyntaxMemo::VertPositionChanged(int)
{
    if (FSyncingBars) return;
    FSyncingBars = true;
    FText->SetOffsets(FText->OffsetX(), VertPosition());
    FSyncingBars = false;
    Invalidate();
}

void TfrxSyntaxMemo::WMMouseWheel(TMessage& m)
{
    int delta = int(int16_t(HIWORD(m.WParam)));
    FText->SetOffsets(FText->OffsetX(), FText->OffsetY() + (delta > 0 ? -1 : 1));
    m.Result = 1;
}

void TfrxSyntaxMemo::SetSyntaxType(const std::string& name) { FText->SetSyntaxType(name); }

void TfrxSyntaxMemo::SetActiveLine(int line)
{
    FText->ActiveLine = line;
    Invalidate();
}

void TfrxSyntaxMemo::SetRunToLine(int line)
{
    FText->RunToLine = line;
    Invalidate();
}

void TfrxSyntaxMemo::SetExecutableLine(int line, bool flag)
{
    FText->SetExecutableLine(line, flag);
    Invalidate();
}

void TfrxSyntaxMemo::SetShowGutter(bool v)
{
    FGutterWidth = v ? 30 : 0;
    Resize();
    Invalidate();
}

void TfrxSyntaxMemo::UpdateView() { FText->UpdateView(); }

void TfrxSyntaxMemo::Refresh()
{
    FText->UpdateView();
    Invalidate();
}

int TfrxSyntaxMemo::CellsBefore(const std::u32string& line, int fromCol, int toCol) const
{
    int cells = 0;
    for (int c = fromCol; c < toCol; ++c) cells += c >= 1 && c <= int(line.size()) && IsWide(line[size_t(c - 1)]) ? 2 : 1;
    return cells;
}

TPoint TfrxSyntaxMemo::CaretPixel() const
{
    if (FText->CaretX() <= FText->OffsetX()) return ::Point(-1, 0);
    std::u32string line = FText->Line(FText->CaretY());
    int x = FCharWidth * CellsBefore(line, FText->OffsetX() + 1, FText->CaretX()) + FGutterWidth;
    return ::Point(x, (FText->CaretY() - FText->OffsetY() - 1) * FCharHeight);
}

TPoint TfrxSyntaxMemo::CellAt(int x, int y) const
{
    int row = std::max(0, y) / std::max(1, FCharHeight) + FText->OffsetY() + 1;
    std::u32string line = FText->Line(row);
    int cell = std::max(0, x - FGutterWidth) / std::max(1, FCharWidth);
    int col = FText->OffsetX() + 1;
    while (cell > 0) {
        int w = col <= int(line.size()) && IsWide(line[size_t(col - 1)]) ? 2 : 1;
        if (cell < w) break;   // the right half of a wide character is that character
        cell -= w;
        ++col;
    }
    return ::Point(col, row);
}

void TfrxSyntaxMemo::KeyDown(WORD& key, TShiftState shift)
{
    if (FText->KeyDown(key, shift)) key = 0;
}

void TfrxSyntaxMemo::WMChar(TMessage& m)
{
    char16_t u = char16_t(m.WParam);
    if (u >= 0xD800 && u <= 0xDBFF) {
        FHighSurrogate = u;
        return;
    }
    char32_t ch = u;
    if (u >= 0xDC00 && u <= 0xDFFF && FHighSurrogate) ch = 0x10000 + ((char32_t(FHighSurrogate) - 0xD800) << 10) + (u - 0xDC00);
    FHighSurrogate = 0;
    FText->KeyChar(ch);
}

void TfrxSyntaxMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (CanFocus()) SetFocus();
    if (button != mbLeft) return;
    if (FDoubleClicked) {
        // The press that follows a double click is ignored.
        FDoubleClicked = false;
        return;
    }
    TPoint c = CellAt(x, y);
    FText->MousePress(c.X, c.Y);
    FMouseSelecting = true;
}

void TfrxSyntaxMemo::MouseMove(TShiftState shift, int x, int y)
{
    if (!FMouseSelecting || !shift.Contains(ssLeft)) return;
    TPoint c = CellAt(x, y);
    if (c.X != FText->CaretX() || c.Y != FText->CaretY()) FText->MouseDrag(c.X, c.Y);
}

void TfrxSyntaxMemo::MouseUp(TMouseButton, TShiftState, int, int) { FMouseSelecting = false; }

void TfrxSyntaxMemo::DblClick()
{
    FText->DoubleClick();
    FDoubleClicked = true;
    FMouseSelecting = false;
}

void TfrxSyntaxMemo::Paint()
{
    TCanvas* c = Canvas();
    const int w = ClientWidth(), h = ClientHeight();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(::Rect(FGutterWidth, 0, w, h));
    if (FGutterWidth > 0) {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(::Rect(0, 0, FGutterWidth - 2, h));
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(FGutterWidth - 4, 0);
        c->LineTo(FGutterWidth - 4, h);
    }
    TfrxSyntaxText& t = *FText;
    const int count = t.Lines()->Count();
    for (int row = 0; row < t.VisibleRows() + 1; ++row) {
        const int y = t.OffsetY() + row + 1;
        if (y > count) break;
        const int top = row * FCharHeight;
        std::u32string line = t.Line(y);
        const bool active = y == t.ActiveLine;
        int x = FGutterWidth;
        int col = t.OffsetX() + 1;
        // Past the text, the highlight of a selected line start or the
        // active line runs across the whole line.
        int last = int(line.size());
        if (t.InSelection(1, y) || active) last = std::max(last, t.OffsetX() + t.VisibleCols() + 3);
        for (; col <= last && x < w; ++col) {
            char32_t ch = col <= int(line.size()) ? line[size_t(col - 1)] : U' ';
            char a = t.Attribute(col, y);
            bool sel = t.InSelection(col, y) || active;
            TFont* f = a == '3' ? FCommentFont.get() : a == '4' ? FKeywordFont.get() : a == '5' ? FStringFont.get()
                     : a == '6' ? FNumberFont.get() : Font();
            c->Font()->Assign(f);
            if (a == '1' || a < '1' || a > '6') c->Font()->SetColor(clWindowText);
            int cw = FCharWidth * (IsWide(ch) ? 2 : 1);
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(sel ? clHighlight : Color());
            if (sel) c->Font()->SetColor(clHighlightText);
            c->FillRect(::Rect(x, top, x + cw, top + FCharHeight));
            if (ch != U' ') {
                c->Brush()->SetStyle(bsClear);
                c->TextOut(x, top, ToU8(std::u32string(1, ch)));
            }
            x += cw;
        }
        if (FGutterWidth > 0) {
            int bm = t.GetBookmark(y - 1);
            if (bm >= 0) {
                c->Brush()->SetStyle(bsSolid);
                c->Pen()->SetColor(clBlack);
                c->Brush()->SetColor(clBlack);
                c->Rectangle(13, top + 3, 23, top + 14);
                c->Brush()->SetColor(clGreen);
                c->Rectangle(12, top + 4, 22, top + 15);
                c->Font()->SetName("Tahoma");
                c->Font()->SetSize(7);
                c->Font()->SetStyle({fsBold});
                c->Font()->SetColor(clWhite);
                c->Brush()->SetStyle(bsClear);
                c->TextOut(14, top + 4, IntToStr(bm));
            }
            if (t.IsExecutableLine(y)) {
                c->Brush()->SetStyle(bsSolid);
                c->Pen()->SetColor(clBlack);
                c->Brush()->SetColor(clBlue);
                c->Ellipse(4, top + 7, 8, top + 11);
                c->SetPixels(5, top + 8, clAqua);
                c->SetPixels(6, top + 8, clAqua);
            }
            if (y == t.RunToLine) {
                c->Brush()->SetStyle(bsSolid);
                c->Pen()->SetColor(clRed);
                c->Brush()->SetColor(clRed);
                c->Ellipse(2, top + 4, 13, top + 15);
            }
        }
    }
    if (!t.Message().empty()) {
        c->Font()->SetName("Tahoma");
        c->Font()->SetSize(8);
        c->Font()->SetStyle({fsBold});
        int bh = c->TextHeight("|") + 6;
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clMaroon);
        c->FillRect(::Rect(0, h - bh, w, h));
        c->Font()->SetColor(clWhite);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(6, h - bh + 3, t.Message());
    }
    if (Focused()) {
        TPoint p = CaretPixel();
        if (p.X >= 0) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(clBlack);
            c->FillRect(::Rect(p.X, p.Y, p.X + 2, p.Y + FCharHeight));
        }
    }
}
