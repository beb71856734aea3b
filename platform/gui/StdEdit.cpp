// The edit and the memo: our own text engine over the layer's window, caret
// and painting. The text is a string of characters (code points); a line
// break is CR LF. Everything runs synchronously through the edit messages,
// so what an owner sends (keys, characters, EM_ requests) behaves exactly
// as typing does, with or without a screen.
#include "StdCtrls.h"
#include "QzPropsPrivate.h"
#include "Clipbrd.h"
#include "Forms.h"
#include "QzGuiPrivate.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <unordered_map>

using namespace qzgui;

QZ_CLASS_IMPL_PROPS(TCustomEdit, TWinControl, qzgui::DefineCustomEditProps)
QZ_CLASS_IMPL(TEdit, TCustomEdit)
QZ_CLASS_IMPL(TMemoStrings, TStrings)
QZ_CLASS_IMPL_PROPS(TCustomMemo, TCustomEdit, qzgui::DefineCustomMemoProps)
QZ_CLASS_IMPL(TMemo, TCustomMemo)

namespace {

TEditMenuHandler& EditMenuHandler()
{
    static TEditMenuHandler h;
    return h;
}

std::u32string ToU32(const std::string& s)
{
    QString q = QString::fromUtf8(s.data(), qsizetype(s.size()));
    QList<uint> u = q.toUcs4();
    std::u32string r;
    r.reserve(size_t(u.size()));
    for (uint c : u) r.push_back(char32_t(c));
    return r;
}

std::string ToU8(std::u32string_view s)
{
    return US(QString::fromUcs4(s.data(), qsizetype(s.size())));
}

char32_t CaseOf(char32_t c, TEditCharCase cc)
{
    if (cc == ecNormal) return c;
    QString q = QString::fromUcs4(&c, 1);
    q = cc == ecUpperCase ? q.toUpper() : q.toLower();
    QList<uint> u = q.toUcs4();
    return u.size() == 1 ? char32_t(u[0]) : c;
}

// Word, blank or other, for moving by words and selecting a word.
int CharClass(char32_t c)
{
    if (c == U' ' || c == U'\t' || c == U'\r' || c == U'\n') return 0;
    if (c >= 0x2E80) return 1;   // CJK characters are word characters
    QChar q = c < 0x10000 ? QChar(char16_t(c)) : QChar();
    if (q.isLetterOrNumber() || c == U'_') return 1;
    return 2;
}

} // namespace

void SetEditMenuHandler(TEditMenuHandler h) { EditMenuHandler() = std::move(h); }

namespace {
std::vector<std::pair<int, int>> Paragraphs(const std::u32string& t);
}

// ---- the engine ------------------------------------------------------------------------

struct TCustomEdit::TImpl {
    struct TLine {
        int Start = 0;
        int Len = 0;        // without the line break
        bool Hard = false;  // ends in CR LF
    };

    explicit TImpl(TCustomEdit* e) : E(e) {}
    TCustomEdit* E;
    std::u32string Text;
    int Anchor = 0, Caret = 0;
    bool Modified = false;
    int Limit = 0;                      // EM_LIMITTEXT; 0: none
    int LeftMargin = 1, RightMargin = 1;
    // EM_SETRECT/EM_SETRECTNP: where the text goes, when a program said so
    // (a grid's editor leaves room for its buttons); the client area otherwise.
    bool HasFormatRect = false;
    TRect FormatRect;
    int ScrollX = 0;                    // pixels the text is scrolled left
    int TopLine = 0;                    // the first line shown (memo)
    int GoalX = -1;                     // the x Up and Down keep to
    bool HasFocus = false;
    bool MouseSelecting = false;
    char16_t PendingHigh = 0;           // first half of a character sent as two WM_CHAR
    std::vector<TLine> Lines;
    int LineHeight = 16;
    int AvgCharWidth = 7;
    QFont Font;
    QString FontKey;
    std::unordered_map<char32_t, int> Widths;

    // The paragraphs ([start, end) of each line of Lines), kept until the text changes.
    uint64_t Version = 1, ParasVersion = 0;
    std::vector<std::pair<int, int>> ParasCache;
    const std::vector<std::pair<int, int>>& Paras()
    {
        if (ParasVersion != Version) {
            ParasCache = Paragraphs(Text);
            ParasVersion = Version;
        }
        return ParasCache;
    }

    // A memo, or an edit whose window a descendant made multi-line in
    // CreateParams (a grid's editor that wraps its words).
    bool Multi() const { return E->IsMultiLine() || (Style() & ES_MULTILINE); }
    DWORD Style() const { return E->HandleAllocated() ? E->Window()->Params.Style : 0; }
    // The window's style decides, as it does for the platform's edit: a
    // descendant may add ES_ bits of its own in CreateParams.
    TAlignment Align() const
    {
        if (!E->HandleAllocated()) return E->FAlignment;
        DWORD st = Style();
        return (st & ES_RIGHT) ? taRightJustify : (st & ES_CENTER) ? taCenter : taLeftJustify;
    }
    TEditCharCase Case() const
    {
        if (!E->HandleAllocated()) return E->FCharCase;
        DWORD st = Style();
        return (st & ES_UPPERCASE) ? ecUpperCase : (st & ES_LOWERCASE) ? ecLowerCase : ecNormal;
    }
    bool ReadOnly() const { return E->FReadOnly || (Style() & ES_READONLY); }
    bool HideSel() const { return E->HandleAllocated() ? !(Style() & ES_NOHIDESEL) : E->FHideSelection; }
    int Len() const { return int(Text.size()); }
    int SelStart() const { return std::min(Anchor, Caret); }
    int SelEnd() const { return std::max(Anchor, Caret); }
    bool WordWrap() const
    {
        if (auto* m = DynamicCast<TCustomMemo>(E))
            return m->WordWrap() && m->ScrollBars() != ssHorizontal && m->ScrollBars() != ssBoth;
        // Other multi-line windows wrap unless they scroll sideways.
        return Multi() && !(Style() & ES_AUTOHSCROLL);
    }

    // ---- measuring

    void UpdateFont()
    {
        QFont f = MakeQFont(E->Font());
        f.setKerning(false);   // each character's advance adds up to the text's width
        if (f.key() != FontKey) {
            Font = f;
            FontKey = f.key();
            Widths.clear();
            QFontMetrics fm(Font);
            LineHeight = std::max(1, fm.height());
            AvgCharWidth = std::max(1, fm.averageCharWidth());
        }
    }
    char32_t Shown(char32_t c) const
    {
        return E->FPasswordChar ? char32_t(uint8_t(E->FPasswordChar)) : c;
    }
    int CharW(char32_t c)
    {
        auto it = Widths.find(c);
        if (it != Widths.end()) return it->second;
        QFontMetrics fm(Font);
        int w = fm.horizontalAdvance(QString::fromUcs4(&c, 1));
        Widths.emplace(c, w);
        return w;
    }
    int TabW() const { return AvgCharWidth * 8; }
    // The x of a column of a line, from the line's start.
    int LineX(const TLine& l, int col)
    {
        int x = 0;
        for (int i = 0; i < col && i < l.Len; ++i) {
            char32_t c = Text[size_t(l.Start + i)];
            if (c == U'\t' && !E->FPasswordChar) x = (x / TabW() + 1) * TabW();
            else x += CharW(Shown(c));
        }
        return x;
    }
    int LineWidth(const TLine& l) { return LineX(l, l.Len); }

    TRect Client() const { return E->ClientRect(); }
    TRect TextArea() const { return HasFormatRect ? FormatRect : Client(); }
    int TextLeft() const { return TextArea().Left + LeftMargin; }
    int TextRight() const { return TextArea().Right - RightMargin; }
    int Avail() const { return std::max(0, TextRight() - TextLeft()); }
    int TextTop() const { return TextArea().Top + (Multi() ? 0 : 1); }
    int VisibleLines() const { return std::max(1, (TextArea().Bottom - TextTop()) / LineHeight); }

    // ---- lines

    void Relayout()
    {
        UpdateFont();
        Lines.clear();
        const int n = Len();
        if (!Multi()) {
            Lines.push_back({0, n, false});
            return;
        }
        const bool wrap = WordWrap() && Avail() > 0;
        const int avail = Avail();
        int start = 0;
        while (true) {
            int end = start;
            while (end < n && Text[size_t(end)] != U'\r' && Text[size_t(end)] != U'\n') ++end;
            bool hard = end < n;
            // One paragraph: [start, end), cut where it no longer fits.
            int s = start;
            while (true) {
                if (!wrap) {
                    Lines.push_back({s, end - s, hard});
                    break;
                }
                int x = 0, i = s, lastBreak = -1;
                for (; i < end; ++i) {
                    char32_t c = Text[size_t(i)];
                    int w = c == U'\t' ? (x / TabW() + 1) * TabW() - x : CharW(Shown(c));
                    if (x + w > avail && i > s && c != U' ') break;
                    x += w;
                    if (c == U' ' || (i + 1 < end && (CharClass(c) != 1 || c >= 0x2E80 || Text[size_t(i + 1)] >= 0x2E80)))
                        lastBreak = i + 1;
                }
                if (i >= end) {
                    Lines.push_back({s, end - s, hard});
                    break;
                }
                int cut = lastBreak > s ? lastBreak : i;
                Lines.push_back({s, cut - s, false});
                s = cut;
            }
            if (!hard) break;
            // CR LF, or a lone CR or LF from outside, ends the paragraph.
            start = end + ((Text[size_t(end)] == U'\r' && end + 1 < n && Text[size_t(end + 1)] == U'\n') ? 2 : 1);
        }
    }

    int LineOf(int idx) const
    {
        // The last line starting at or before idx (a soft break's index belongs to the next line).
        auto it = std::upper_bound(Lines.begin(), Lines.end(), idx,
                                   [](int v, const TLine& l) { return v < l.Start; });
        if (it == Lines.begin()) return 0;
        return int(it - Lines.begin()) - 1;
    }

    // Never between CR and LF.
    int Clamp(int idx) const
    {
        idx = std::clamp(idx, 0, Len());
        if (idx > 0 && idx < Len() && Text[size_t(idx - 1)] == U'\r' && Text[size_t(idx)] == U'\n') --idx;
        return idx;
    }

    int OriginX(const TLine& l)
    {
        int w = LineWidth(l);
        int avail = Avail();
        const TAlignment al = Align();
        if (w >= avail || al == taLeftJustify) return TextLeft() - ScrollX;
        if (al == taRightJustify) return TextRight() - w - ScrollX;
        return TextLeft() + (avail - w) / 2 - ScrollX;
    }

    TPoint PosFromChar(int idx)
    {
        idx = Clamp(idx);
        int li = LineOf(idx);
        const TLine& l = Lines[size_t(li)];
        int col = std::min(idx - l.Start, l.Len);
        return Point(OriginX(l) + LineX(l, col), TextTop() + (li - TopLine) * LineHeight);
    }

    int ColFromX(const TLine& l, int x)
    {
        // x is from the line's origin: the nearer edge of the character under it.
        int cx = 0;
        for (int i = 0; i < l.Len; ++i) {
            char32_t c = Text[size_t(l.Start + i)];
            int w = c == U'\t' && !E->FPasswordChar ? (cx / TabW() + 1) * TabW() - cx : CharW(Shown(c));
            if (x < cx + (w + 1) / 2) return i;
            cx += w;
        }
        return l.Len;
    }

    int CharFromPos(TPoint p)
    {
        int li = Multi() ? std::clamp(TopLine + (p.Y - TextTop()) / LineHeight - (p.Y < TextTop() ? 1 : 0), 0,
                                      int(Lines.size()) - 1)
                         : 0;
        const TLine& l = Lines[size_t(li)];
        return l.Start + ColFromX(l, p.X - OriginX(l));
    }

    // ---- scrolling and the caret

    int MaxWidth()
    {
        int w = 0;
        for (const TLine& l : Lines) w = std::max(w, LineWidth(l));
        return w;
    }
    int MaxTopLine() const { return std::max(0, int(Lines.size()) - VisibleLines()); }

    void SetScroll(int x, int top)
    {
        x = std::max(0, x);
        top = std::clamp(top, 0, std::max(0, int(Lines.size()) - 1));
        bool hChanged = x != ScrollX, vChanged = top != TopLine;
        if (!hChanged && !vChanged) return;
        ScrollX = x;
        TopLine = top;
        E->Invalidate();
        UpdateScrollBars();
        PlaceCaret();
        if (vChanged) Notify(EN_VSCROLL);
        if (hChanged) Notify(EN_HSCROLL);
    }

    void EnsureCaretVisible()
    {
        int x = ScrollX, top = TopLine;
        const int li = LineOf(Caret);
        if (Multi()) {
            if (li < top) top = li;
            else if (li >= top + VisibleLines()) top = li - VisibleLines() + 1;
        }
        if (!WordWrap()) {
            const TLine& l = Lines[size_t(li)];
            const int avail = Avail();
            const int cx = LineX(l, Caret - l.Start);
            const int widest = Multi() ? MaxWidth() : LineWidth(l);
            if (widest < avail) x = 0;
            else {
                if (cx < x) x = std::max(0, cx - avail / 4);
                else if (cx > x + avail - 1) x = cx - avail + 1 + std::min(avail / 4, widest - cx);
                x = std::min(x, std::max(0, widest - avail + 1));
            }
        } else {
            x = 0;
        }
        SetScroll(x, top);
    }

    void UpdateScrollBars()
    {
        if (!E->HandleAllocated()) return;
        DWORD st = Style();
        HWND h = E->Handle();
        if (st & WS_VSCROLL) {
            TScrollInfo si;
            si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
            si.nMin = 0;
            si.nMax = std::max(0, int(Lines.size()) - 1);
            si.nPage = UINT(VisibleLines());
            si.nPos = TopLine;
            SetScrollInfo(h, SB_VERT, &si, 1);
        }
        if (st & WS_HSCROLL) {
            TScrollInfo si;
            si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
            si.nMin = 0;
            si.nMax = std::max(0, MaxWidth());
            si.nPage = UINT(Avail() + 1);
            si.nPos = ScrollX;
            SetScrollInfo(h, SB_HORZ, &si, 1);
        }
    }

    void PlaceCaret()
    {
        if (!HasFocus || !E->HandleAllocated()) return;
        TPoint p = PosFromChar(Caret);
        SetCaretPos(p.X, p.Y);
    }

    // ---- changing the text

    void Notify(WORD code)
    {
        if (!E->HandleAllocated()) {
            E->Perform(CN_COMMAND, MAKEWPARAM(0, code), 0);
            return;
        }
        HWND self = E->Handle();
        if (TWinControl* p = E->Parent(); p && p->HandleAllocated())
            SendMessage(p->Handle(), WM_COMMAND, MAKEWPARAM(0, code), LPARAM(self));
        else
            E->Perform(CN_COMMAND, MAKEWPARAM(0, code), LPARAM(self));
    }

    void Changed(bool byUser)
    {
        ++Version;
        if (byUser) Modified = true;
        Relayout();
        GoalX = -1;
        EnsureCaretVisible();
        UpdateScrollBars();
        PlaceCaret();
        E->Invalidate();
        TWeakRef<TCustomEdit> guard(E);
        Notify(EN_UPDATE);
        if (guard) Notify(EN_CHANGE);
    }

    // What inserted text becomes: the case asked for, and line breaks as the kind of edit takes them.
    std::u32string Prepare(std::u32string s) const
    {
        const TEditCharCase cc = Case();
        for (char32_t& c : s) c = CaseOf(c, cc);
        if (!Multi()) {
            // One line only: a pasted text stops at its first line break.
            size_t br = s.find_first_of(U"\r\n");
            if (br != std::u32string::npos) s.resize(br);
            return s;
        }
        std::u32string r;
        r.reserve(s.size());
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == U'\r' || s[i] == U'\n') {
                r += U"\r\n";
                if (s[i] == U'\r' && i + 1 < s.size() && s[i + 1] == U'\n') ++i;
            } else {
                r.push_back(s[i]);
            }
        }
        return r;
    }

    // Replaces the selection as typing does: within the limit (what does not
    // fit is cut; nothing fits: refused). Returns whether anything changed.
    bool ReplaceSel(std::u32string s, bool byUser)
    {
        s = Prepare(std::move(s));
        const int a = SelStart(), b = SelEnd();
        if (Limit > 0) {
            int room = Limit - (Len() - (b - a));
            if (int(s.size()) > room) {
                s.resize(size_t(std::max(0, room)));
                // A line break is never cut in half.
                if (!s.empty() && s.back() == U'\r') s.pop_back();
                Notify(EN_MAXTEXT);
                if (s.empty() && a == b) return false;
            }
        }
        if (s.empty() && a == b) return false;
        Text.replace(size_t(a), size_t(b - a), s);
        Anchor = Caret = a + int(s.size());
        Changed(byUser);
        return true;
    }

    void DeleteRange(int a, int b)
    {
        if (a >= b) return;
        Text.erase(size_t(a), size_t(b - a));
        Anchor = Caret = a;
        Changed(true);
    }

    void SetAll(const std::u32string& s)
    {
        Text = Multi() ? Prepare(s) : s;
        if (const TEditCharCase cc = Case(); cc != ecNormal)
            for (char32_t& c : Text) c = CaseOf(c, cc);
        Anchor = Caret = 0;
        ScrollX = 0;
        TopLine = 0;
        Modified = false;
        Changed(false);
    }

    void Select(int anchor, int caret)
    {
        anchor = Clamp(anchor);
        caret = Clamp(caret);
        if (anchor == Anchor && caret == Caret) return;
        Anchor = anchor;
        Caret = caret;
        EnsureCaretVisible();
        PlaceCaret();
        E->Invalidate();
    }

    void MoveCaret(int idx, bool extend)
    {
        idx = Clamp(idx);
        Select(extend ? Anchor : idx, idx);
    }

    // ---- words and characters

    int NextChar(int i) const
    {
        if (i >= Len()) return Len();
        if (Text[size_t(i)] == U'\r' && i + 1 < Len() && Text[size_t(i + 1)] == U'\n') return i + 2;
        return i + 1;
    }
    int PrevChar(int i) const
    {
        if (i <= 0) return 0;
        if (i >= 2 && Text[size_t(i - 1)] == U'\n' && Text[size_t(i - 2)] == U'\r') return i - 2;
        return i - 1;
    }
    int WordRight(int i) const
    {
        const int n = Len();
        if (i >= n) return n;
        int cls = CharClass(Text[size_t(i)]);
        if (cls != 0)
            while (i < n && CharClass(Text[size_t(i)]) == cls) ++i;
        while (i < n && CharClass(Text[size_t(i)]) == 0) {
            // A line break ends the move.
            if (Text[size_t(i)] == U'\r' || Text[size_t(i)] == U'\n') {
                if (i > 0 && CharClass(Text[size_t(i - 1)]) != 0) break;
                return NextChar(i);
            }
            ++i;
        }
        return i;
    }
    int WordLeft(int i) const
    {
        if (i <= 0) return 0;
        while (i > 0 && CharClass(Text[size_t(i - 1)]) == 0) {
            if (Text[size_t(i - 1)] == U'\n' || Text[size_t(i - 1)] == U'\r') return PrevChar(i);
            --i;
        }
        if (i <= 0) return 0;
        int cls = CharClass(Text[size_t(i - 1)]);
        while (i > 0 && CharClass(Text[size_t(i - 1)]) == cls) --i;
        return i;
    }

    bool Refuse()
    {
        MessageBeep(0);
        return false;
    }

    // ---- keys

    void KeyDown(int vk)
    {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        const int li = LineOf(Caret);
        const TLine& l = Lines[size_t(li)];
        switch (vk) {
        case VK_LEFT:
            if (!shift && Anchor != Caret) MoveCaret(SelStart(), false);
            else MoveCaret(ctrl ? WordLeft(Caret) : PrevChar(Caret), shift);
            GoalX = -1;
            break;
        case VK_RIGHT:
            if (!shift && Anchor != Caret) MoveCaret(SelEnd(), false);
            else MoveCaret(ctrl ? WordRight(Caret) : NextChar(Caret), shift);
            GoalX = -1;
            break;
        case VK_HOME:
            MoveCaret(ctrl || !Multi() ? 0 : l.Start, shift);
            GoalX = -1;
            break;
        case VK_END:
            MoveCaret(ctrl || !Multi() ? Len() : l.Start + l.Len, shift);
            GoalX = -1;
            break;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: {
            if (!Multi()) {
                // A single line: Up and Down move like Left and Right.
                if (vk == VK_UP) KeyDown(VK_LEFT);
                else if (vk == VK_DOWN) KeyDown(VK_RIGHT);
                break;
            }
            int step = vk == VK_UP ? -1 : vk == VK_DOWN ? 1 : vk == VK_PRIOR ? -VisibleLines() : VisibleLines();
            int target = std::clamp(li + step, 0, int(Lines.size()) - 1);
            if (GoalX < 0) GoalX = LineX(l, Caret - l.Start);
            int keep = GoalX;
            if (vk == VK_PRIOR || vk == VK_NEXT) SetScroll(ScrollX, TopLine + (target - li));
            const TLine& t = Lines[size_t(target)];
            MoveCaret(t.Start + ColFromX(t, GoalX), shift);
            GoalX = keep;
            break;
        }
        case VK_DELETE:
            if (shift) {
                E->Perform(WM_CUT);
                break;
            }
            if (ReadOnly()) {
                Refuse();
                break;
            }
            if (Anchor != Caret) DeleteRange(SelStart(), SelEnd());
            else if (Caret < Len()) DeleteRange(Caret, ctrl ? WordRight(Caret) : NextChar(Caret));
            break;
        case VK_INSERT:
            if (shift) E->Perform(WM_PASTE);
            else if (ctrl) E->Perform(WM_COPY);
            break;
        default: break;
        }
    }

    void Char(char16_t unit)
    {
        char32_t c = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            PendingHigh = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (!PendingHigh) return;
            c = 0x10000 + ((char32_t(PendingHigh) - 0xD800) << 10) + (char32_t(unit) - 0xDC00);
        }
        PendingHigh = 0;
        switch (c) {
        case 0x03: E->Perform(WM_COPY); return;
        case 0x16: E->Perform(WM_PASTE); return;
        case 0x18: E->Perform(WM_CUT); return;
        case 0x08:
            if (ReadOnly()) {
                Refuse();
                return;
            }
            if (Anchor != Caret) DeleteRange(SelStart(), SelEnd());
            else if (Caret > 0) DeleteRange(PrevChar(Caret), Caret);
            return;
        case U'\r':
        case U'\n':
            if (!Multi()) {
                // A single line takes no line break.
                Refuse();
                return;
            }
            break;
        case U'\t':
            if (!Multi()) return;
            break;
        default:
            if (c < 0x20 || c == 0x7F) return;
            break;
        }
        if (ReadOnly()) {
            Refuse();
            return;
        }
        if (!ReplaceSel(std::u32string(1, c == U'\n' ? U'\r' : c), true)) Refuse();
    }

    // ---- the clipboard

    void Copy()
    {
        if (E->FPasswordChar || Anchor == Caret) return;
        Clipboard()->SetAsText(ToU8(std::u32string_view(Text).substr(size_t(SelStart()), size_t(SelEnd() - SelStart()))));
    }
    void Cut()
    {
        if (E->FPasswordChar || Anchor == Caret) return;
        if (ReadOnly()) {
            Refuse();
            return;
        }
        Copy();
        DeleteRange(SelStart(), SelEnd());
    }
    void Paste()
    {
        if (ReadOnly()) {
            Refuse();
            return;
        }
        std::string t = Clipboard()->AsText();
        if (t.empty()) return;
        if (!ReplaceSel(ToU32(t), true)) Refuse();
    }
    void ClearSel()
    {
        if (ReadOnly()) {
            Refuse();
            return;
        }
        if (Anchor != Caret) DeleteRange(SelStart(), SelEnd());
    }

    // ---- painting

    void Paint(HDC dc)
    {
        QPainter* p = dc->P();
        if (!p) return;
        UpdateFont();
        p->save();
        const TRect cr = Client();
        QColor back = E->Enabled() ? QCol(E->Color()) : QCol(ReadOnly() ? E->Color() : clBtnFace);
        if (!E->Enabled()) back = QCol(clBtnFace);
        p->fillRect(QR(cr), back);
        p->setFont(Font);
        QFontMetrics fm(Font);
        const QColor fore = E->Enabled() ? QCol(E->Font()->Color()) : QCol(clGrayText);
        const bool showSel = Anchor != Caret && (HasFocus || !HideSel());
        const int a = SelStart(), b = SelEnd();
        TRect clip;
        IntersectRect(clip, cr, TextArea());
        p->setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()), Qt::IntersectClip);
        const int first = Multi() ? TopLine : 0;
        const int last = Multi() ? std::min(int(Lines.size()), TopLine + VisibleLines() + 1) : 1;
        for (int li = first; li < last; ++li) {
            const TLine& l = Lines[size_t(li)];
            const int y = TextTop() + (li - TopLine) * LineHeight;
            const int ox = OriginX(l);
            // The line in runs: before the selection, in it, after it; tabs split runs too.
            int col = 0;
            while (col < l.Len) {
                const int idx = l.Start + col;
                const bool inSel = showSel && idx >= a && idx < b;
                int end = col;
                while (end < l.Len) {
                    const int j = l.Start + end;
                    if ((showSel && j >= a && j < b) != inSel) break;
                    if (Text[size_t(j)] == U'\t' && !E->FPasswordChar) {
                        if (end == col) ++end;
                        break;
                    }
                    ++end;
                }
                const int x0 = ox + LineX(l, col), x1 = ox + LineX(l, end);
                if (inSel) p->fillRect(QRect(x0, y, x1 - x0, LineHeight), QCol(clHighlight));
                QString run;
                for (int i = col; i < end; ++i) {
                    char32_t c = Text[size_t(l.Start + i)];
                    if (c == U'\t' && !E->FPasswordChar) continue;
                    c = Shown(c);
                    run += QString::fromUcs4(&c, 1);
                }
                if (!run.isEmpty()) {
                    p->setPen(inSel ? QCol(clHighlightText) : fore);
                    p->drawText(QPoint(x0, y + fm.ascent()), run);
                }
                col = end;
            }
            // A selected line break shows as a little selected space.
            if (showSel && l.Hard && l.Start + l.Len >= a && l.Start + l.Len < b) {
                int x = ox + LineWidth(l);
                p->fillRect(QRect(x, y, AvgCharWidth / 2 + 1, LineHeight), QCol(clHighlight));
            }
        }
        p->restore();
        dc->Dirty = true;
    }
};

// ---- TCustomEdit ---------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner), FImpl(std::make_unique<TImpl>(this))
{
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FCursor = crIBeam;
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks};
    DoSetBounds(0, 0, 121, 21);
    FImpl->Relayout();
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    p.Style |= WS_TABSTOP | (IsMultiLine() ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL);
    if (FAlignment == taRightJustify) p.Style |= ES_RIGHT;
    else if (FAlignment == taCenter) p.Style |= ES_CENTER;
    if (FPasswordChar) p.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase) p.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) p.Style |= ES_LOWERCASE;
    if (!FHideSelection) p.Style |= ES_NOHIDESEL;
    if (FOEMConvert) p.Style |= ES_OEMCONVERT;
    if (FReadOnly) p.Style |= ES_READONLY;
    if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    FImpl->Relayout();
    FImpl->EnsureCaretVisible();
    FImpl->UpdateScrollBars();
}

void TCustomEdit::DestroyWnd()
{
    FImpl->HasFocus = false;
    TWinControl::DestroyWnd();
}

void TCustomEdit::PaintWindow(HDC dc) { FImpl->Paint(dc); }

void TCustomEdit::SetAlignment(TAlignment v)
{
    if (v == FAlignment) return;
    FAlignment = v;
    RecreateWnd();
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v)
{
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase v)
{
    if (v == FCharCase) return;
    FCharCase = v;
    if (v != ecNormal) {
        std::u32string t = FImpl->Text;
        for (char32_t& c : t) c = CaseOf(c, v);
        if (t != FImpl->Text) {
            int a = FImpl->Anchor, c = FImpl->Caret;
            FImpl->Text = t;
            FImpl->Anchor = a;
            FImpl->Caret = c;
            FImpl->Changed(false);
        }
    }
    if (HandleAllocated()) FWindow->Params.Style = (FWindow->Params.Style & ~(ES_UPPERCASE | ES_LOWERCASE)) |
                                                   (v == ecUpperCase ? ES_UPPERCASE : v == ecLowerCase ? ES_LOWERCASE : 0);
}

void TCustomEdit::SetHideSelection(bool v)
{
    if (v == FHideSelection) return;
    FHideSelection = v;
    if (HandleAllocated()) FWindow->Params.Style = (FWindow->Params.Style & ~ES_NOHIDESEL) | (v ? 0 : ES_NOHIDESEL);
    Invalidate();
}

void TCustomEdit::SetMaxLength(int v)
{
    FMaxLength = std::max(0, v);
    Perform(EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

bool TCustomEdit::Modified() const { return FImpl->Modified; }
void TCustomEdit::SetModified(bool v) { Perform(EM_SETMODIFY, WPARAM(v), 0); }

void TCustomEdit::SetPasswordChar(char v)
{
    if (v == FPasswordChar) return;
    Perform(EM_SETPASSWORDCHAR, WPARAM(uint8_t(v)), 0);
}

void TCustomEdit::SetReadOnly(bool v)
{
    if (v == FReadOnly) return;
    Perform(EM_SETREADONLY, WPARAM(v), 0);
}

int TCustomEdit::SelStart() const
{
    DWORD s = 0;
    const_cast<TCustomEdit*>(this)->Perform(EM_GETSEL, WPARAM(&s), 0);
    return int(s);
}

void TCustomEdit::SetSelStart(int v) { Perform(EM_SETSEL, WPARAM(v), LPARAM(v)); }

int TCustomEdit::SelLength() const
{
    DWORD s = 0, e = 0;
    const_cast<TCustomEdit*>(this)->Perform(EM_GETSEL, WPARAM(&s), LPARAM(&e));
    return int(e) - int(s);
}

void TCustomEdit::SetSelLength(int v)
{
    int s = SelStart();
    Perform(EM_SETSEL, WPARAM(s), LPARAM(s + v));
}

std::string TCustomEdit::SelText() const
{
    return ToU8(std::u32string_view(FImpl->Text).substr(size_t(FImpl->SelStart()),
                                                         size_t(FImpl->SelEnd() - FImpl->SelStart())));
}

void TCustomEdit::SetSelText(const std::string& v) { Perform(EM_REPLACESEL, 0, LPARAM(&v)); }

int TCustomEdit::SelAnchor() const { return FImpl->Anchor; }
int TCustomEdit::CaretIndex() const { return FImpl->Caret; }

void TCustomEdit::SelectAll() { Perform(EM_SETSEL, 0, LPARAM(-1)); }
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }
void TCustomEdit::Clear() { SetText(std::string()); }

int TCustomEdit::GetTextLen() const { return int(const_cast<TCustomEdit*>(this)->Perform(WM_GETTEXTLENGTH)); }

std::string TCustomEdit::GetText() const
{
    std::string s;
    const_cast<TCustomEdit*>(this)->Perform(WM_GETTEXT, 0, LPARAM(&s));
    return s;
}

void TCustomEdit::SetText(const std::string& v)
{
    if (v == GetText()) return;
    std::string copy = v;
    Perform(WM_SETTEXT, 0, LPARAM(&copy));
    Perform(CM_TEXTCHANGED);
}

void TCustomEdit::Change() { qzgui::Fire(OnChange, this); }

void TCustomEdit::CNCommand(TMessage& m)
{
    if (HIWORD(m.WParam) == EN_CHANGE) Change();
}

bool TCustomEdit::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    if (TWinControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    if (!FImpl->Multi()) return false;
    TImpl& d = *FImpl;
    const int lines = Mouse ? Mouse->WheelScrollLines() : 3;
    d.SetScroll(d.ScrollX, std::clamp(d.TopLine - wheelDelta * lines / WHEEL_DELTA, 0, d.MaxTopLine()));
    return true;
}

void TCustomEdit::DoEnter()
{
    // Coming in from elsewhere selects everything (a click then places the caret).
    if (FAutoSelect && !FImpl->Multi() && !FControlState.Contains(csLButtonDown)) SelectAll();
    TWinControl::DoEnter();
}

std::vector<TEditMenuItem> TCustomEdit::DefaultMenuItems()
{
    const bool sel = FImpl->Anchor != FImpl->Caret;
    const bool secret = FPasswordChar != 0;
    const bool readOnly = FImpl->ReadOnly();
    const bool canPaste = !readOnly && !Clipboard()->AsText().empty();
    return {
        {"剪切(&T)", WM_CUT, 0, 0, sel && !secret && !readOnly},
        {"复制(&C)", WM_COPY, 0, 0, sel && !secret},
        {"粘贴(&P)", WM_PASTE, 0, 0, canPaste},
        {"删除(&D)", WM_CLEAR, 0, 0, sel && !readOnly},
        {"-", 0, 0, 0, true},
        {"全选(&A)", EM_SETSEL, 0, LPARAM(-1), FImpl->Len() > 0 && !(FImpl->SelStart() == 0 && FImpl->SelEnd() == FImpl->Len())},
    };
}

void TCustomEdit::WMMouse(TMessage& m)
{
    TWeakRef<TCustomEdit> guard(this);
    TWinControl::Dispatch(m);
    if (!guard || !FEnabled) return;
    TImpl& d = *FImpl;
    TWMMouse mm(m);
    TPoint p = mm.Pos();
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
        if (!Focused() && CanFocus()) {
            FControlState.Include(csLButtonDown);
            SetFocus();
            if (!guard) return;
        }
        d.MoveCaret(d.CharFromPos(p), (mm.Keys() & MK_SHIFT) != 0);
        d.GoalX = -1;
        d.MouseSelecting = true;
        SetCapture(Handle());
        break;
    case WM_LBUTTONDBLCLK: {
        int i = d.CharFromPos(p);
        int a = i, b = i;
        if (i < d.Len()) {
            int cls = CharClass(d.Text[size_t(i)]);
            while (a > 0 && CharClass(d.Text[size_t(a - 1)]) == cls && d.Text[size_t(a - 1)] != U'\n') --a;
            while (b < d.Len() && CharClass(d.Text[size_t(b)]) == cls && d.Text[size_t(b)] != U'\r') ++b;
        }
        d.Select(a, b);
        break;
    }
    case WM_MOUSEMOVE:
        if (d.MouseSelecting && (mm.Keys() & MK_LBUTTON)) d.MoveCaret(d.CharFromPos(p), true);
        break;
    case WM_LBUTTONUP:
        if (d.MouseSelecting) {
            d.MouseSelecting = false;
            if (GetCapture() == Handle()) ReleaseCapture();
        }
        FControlState.Exclude(csLButtonDown);
        break;
    default: break;
    }
}

void TCustomEdit::DefaultHandler(TMessage& m)
{
    TImpl& d = *FImpl;
    switch (m.Msg) {
    case WM_GETTEXT: {
        if (auto* out = reinterpret_cast<std::string*>(m.LParam)) {
            std::u32string_view t(d.Text);
            if (m.WParam > 0) t = t.substr(0, size_t(m.WParam));
            *out = ToU8(t);
            m.Result = LRESULT(t.size());
        }
        break;
    }
    case WM_GETTEXTLENGTH: m.Result = d.Len(); break;
    case WM_SETTEXT: {
        auto* in = reinterpret_cast<const std::string*>(m.LParam);
        d.SetAll(in ? ToU32(*in) : std::u32string());
        m.Result = 1;
        break;
    }
    case WM_KEYDOWN:
        TWinControl::DefaultHandler(m);
        d.KeyDown(int(m.WParam));
        break;
    case WM_CHAR:
        TWinControl::DefaultHandler(m);
        d.Char(char16_t(m.WParam));
        break;
    case WM_IME_CHAR:
        // A character composed by the input method arrives whole.
        d.Char(char16_t(m.WParam));
        break;
    case WM_GETDLGCODE:
    {
        // LParam: the key message asked about, if any. Esc is never a memo's
        // own: it reaches the form's cancel button.
        auto* key = reinterpret_cast<const TMessage*>(m.LParam);
        const bool esc = key && (key->Msg == CN_KEYDOWN || key->Msg == WM_KEYDOWN) && key->WParam == WPARAM(VK_ESCAPE);
        m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL | (FImpl->Multi() && !esc ? DLGC_WANTALLKEYS : 0);
        break;
    }
    case WM_CUT: d.Cut(); break;
    case WM_COPY: d.Copy(); break;
    case WM_PASTE: d.Paste(); break;
    case WM_CLEAR: d.ClearSel(); break;
    case WM_UNDO:
    case EM_UNDO:
    case EM_CANUNDO: m.Result = 0; break;
    case EM_EMPTYUNDOBUFFER: break;
    case EM_GETSEL: {
        if (auto* s = reinterpret_cast<DWORD*>(m.WParam)) *s = DWORD(d.SelStart());
        if (auto* e = reinterpret_cast<DWORD*>(m.LParam)) *e = DWORD(d.SelEnd());
        m.Result = LRESULT(MAKELPARAM(std::min(d.SelStart(), 0xFFFF), std::min(d.SelEnd(), 0xFFFF)));
        break;
    }
    case EM_SETSEL: {
        int a = int(intptr_t(m.WParam)), c = int(intptr_t(m.LParam));
        if (a == -1) {
            // No selection: the caret stays where it is.
            d.Select(d.Caret, d.Caret);
            break;
        }
        if (c < 0 || c > d.Len()) c = d.Len();
        if (a > d.Len()) a = d.Len();
        d.Select(a, c);
        break;
    }
    case EM_REPLACESEL: {
        auto* in = reinterpret_cast<const std::string*>(m.LParam);
        d.ReplaceSel(in ? ToU32(*in) : std::u32string(), true);
        break;
    }
    case EM_LIMITTEXT: d.Limit = std::max(0, int(m.WParam)); break;
    case EM_GETLIMITTEXT: m.Result = d.Limit > 0 ? d.Limit : 0x7FFFFFFE; break;
    case EM_GETMODIFY: m.Result = d.Modified ? 1 : 0; break;
    case EM_SETMODIFY: d.Modified = m.WParam != 0; break;
    case EM_SETREADONLY:
        FReadOnly = m.WParam != 0;
        if (HandleAllocated()) FWindow->Params.Style = (FWindow->Params.Style & ~ES_READONLY) | (FReadOnly ? ES_READONLY : 0);
        Invalidate();
        m.Result = 1;
        break;
    case EM_SETPASSWORDCHAR:
        FPasswordChar = char(uint8_t(m.WParam));
        if (HandleAllocated()) FWindow->Params.Style = (FWindow->Params.Style & ~ES_PASSWORD) | (FPasswordChar ? ES_PASSWORD : 0);
        d.Relayout();
        d.EnsureCaretVisible();
        d.PlaceCaret();
        Invalidate();
        break;
    case EM_GETPASSWORDCHAR: m.Result = uint8_t(FPasswordChar); break;
    case EM_SETMARGINS: {
        const int lo = int16_t(LOWORD(uintptr_t(m.LParam))), hi = int16_t(HIWORD(uintptr_t(m.LParam)));
        const int fromFont = std::max(1, d.AvgCharWidth / 2);
        if (m.WParam == EC_USEFONTINFO) {
            d.LeftMargin = d.RightMargin = fromFont;
        } else {
            if (m.WParam & EC_LEFTMARGIN) d.LeftMargin = lo == int16_t(EC_USEFONTINFO) ? fromFont : std::max(0, lo);
            if (m.WParam & EC_RIGHTMARGIN) d.RightMargin = hi == int16_t(EC_USEFONTINFO) ? fromFont : std::max(0, hi);
        }
        d.Relayout();
        d.EnsureCaretVisible();
        d.PlaceCaret();
        Invalidate();
        break;
    }
    case EM_GETMARGINS: m.Result = LRESULT(MAKELPARAM(d.LeftMargin, d.RightMargin)); break;
    case EM_POSFROMCHAR: {
        int i = int(intptr_t(m.WParam));
        if (i < 0 || i >= d.Len()) {
            m.Result = -1;
            break;
        }
        TPoint p = d.PosFromChar(i);
        m.Result = LRESULT(uint32_t(MAKELPARAM(p.X, p.Y)));
        break;
    }
    case EM_CHARFROMPOS: {
        TPoint p = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        int i = d.CharFromPos(p);
        m.Result = LRESULT(uint32_t(MAKELPARAM(std::min(i, 0xFFFF), std::min(d.LineOf(i), 0xFFFF))));
        break;
    }
    case EM_GETRECT:
        if (auto* r = reinterpret_cast<TRect*>(m.LParam)) *r = Rect(d.TextLeft(), d.TextTop(), d.TextRight(), d.TextArea().Bottom);
        break;
    case EM_SETRECT:
    case EM_SETRECTNP:
        // The margins still apply inside the rectangle; none given: the client area again.
        if (auto* r = reinterpret_cast<const TRect*>(m.LParam)) {
            d.FormatRect = *r;
            if (d.FormatRect.Right < d.FormatRect.Left) d.FormatRect.Right = d.FormatRect.Left;
            if (d.FormatRect.Bottom < d.FormatRect.Top) d.FormatRect.Bottom = d.FormatRect.Top;
            d.HasFormatRect = true;
        } else {
            d.HasFormatRect = false;
        }
        d.Relayout();
        d.EnsureCaretVisible();
        d.UpdateScrollBars();
        d.PlaceCaret();
        Invalidate();
        break;
    case EM_GETLINECOUNT: m.Result = LRESULT(d.Lines.size()); break;
    case EM_GETFIRSTVISIBLELINE:
        m.Result = FImpl->Multi() ? d.TopLine : d.ColFromX(d.Lines[0], d.ScrollX);
        break;
    case EM_LINEINDEX: {
        int li = int(intptr_t(m.WParam));
        if (li == -1) li = d.LineOf(d.Caret);
        m.Result = li >= 0 && li < int(d.Lines.size()) ? d.Lines[size_t(li)].Start : -1;
        break;
    }
    case EM_LINELENGTH: {
        int i = int(intptr_t(m.WParam));
        if (i < 0) {
            // The characters of the selection's lines that are not selected.
            const auto& la = d.Lines[size_t(d.LineOf(d.SelStart()))];
            const auto& lb = d.Lines[size_t(d.LineOf(d.SelEnd()))];
            m.Result = (d.SelStart() - la.Start) + (lb.Start + lb.Len - d.SelEnd());
            break;
        }
        m.Result = d.Lines[size_t(d.LineOf(d.Clamp(i)))].Len;
        break;
    }
    case EM_LINEFROMCHAR: {
        int i = int(intptr_t(m.WParam));
        m.Result = d.LineOf(i < 0 ? d.SelStart() : d.Clamp(i));
        break;
    }
    case EM_GETLINE: {
        int li = int(intptr_t(m.WParam));
        auto* out = reinterpret_cast<std::string*>(m.LParam);
        if (!out || li < 0 || li >= int(d.Lines.size())) {
            m.Result = 0;
            break;
        }
        const auto& l = d.Lines[size_t(li)];
        *out = ToU8(std::u32string_view(d.Text).substr(size_t(l.Start), size_t(l.Len)));
        m.Result = l.Len;
        break;
    }
    case EM_LINESCROLL:
        if (FImpl->Multi()) d.SetScroll(d.WordWrap() ? 0 : d.ScrollX + int(intptr_t(m.WParam)) * d.AvgCharWidth,
                                       std::min(d.TopLine + int(intptr_t(m.LParam)), d.MaxTopLine()));
        m.Result = FImpl->Multi() ? 1 : 0;
        break;
    case EM_SCROLLCARET:
        d.EnsureCaretVisible();
        m.Result = 1;
        break;
    case EM_SCROLL: {
        if (!FImpl->Multi()) break;
        int before = d.TopLine;
        TMessage s{WM_VSCROLL, m.WParam, 0, 0};
        Perform(WM_VSCROLL, m.WParam, 0);
        m.Result = LRESULT(MAKELPARAM(d.TopLine - before, 1));
        (void)s;
        break;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const bool vert = m.Msg == WM_VSCROLL;
        const int code = int16_t(LOWORD(m.WParam));
        const int page = vert ? d.VisibleLines() : std::max(1, d.Avail());
        const int line = vert ? 1 : d.AvgCharWidth;
        const int maxPos = vert ? d.MaxTopLine() : std::max(0, d.MaxWidth() - d.Avail() + 1);
        int pos = vert ? d.TopLine : d.ScrollX;
        switch (code) {
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = int(HIWORD(m.WParam)); break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = maxPos; break;
        default: break;
        }
        pos = std::clamp(pos, 0, maxPos);
        if (vert) d.SetScroll(d.ScrollX, pos);
        else if (!d.WordWrap()) d.SetScroll(pos, d.TopLine);
        m.Result = 0;
        break;
    }
    case WM_SETFOCUS: {
        TWinControl::DefaultHandler(m);
        d.HasFocus = true;
        d.UpdateFont();
        CreateCaret(Handle(), nullptr, 1, d.LineHeight);
        d.PlaceCaret();
        ShowCaret(Handle());
        Invalidate();
        d.Notify(EN_SETFOCUS);
        break;
    }
    case WM_KILLFOCUS:
        TWinControl::DefaultHandler(m);
        d.HasFocus = false;
        d.MouseSelecting = false;
        if (CaretWindow() == Handle()) DestroyCaret();
        Invalidate();
        d.Notify(EN_KILLFOCUS);
        break;
    case WM_SIZE:
    case CM_FONTCHANGED:
        TWinControl::DefaultHandler(m);
        if (m.Msg == WM_SIZE) d.HasFormatRect = false;
        d.Relayout();
        d.EnsureCaretVisible();
        d.UpdateScrollBars();
        d.PlaceCaret();
        Invalidate();
        break;
    case WM_CONTEXTMENU: {
        // No menu of the owner's took it: the edit's own.
        if (m.Result != 0) break;
        TPoint pt = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        if (pt.X == -1 && pt.Y == -1) pt = ClientToScreen(d.PosFromChar(d.Caret));
        if (!EditMenuHandler()) break;
        if (!Focused() && CanFocus()) SetFocus();
        std::vector<TEditMenuItem> items = DefaultMenuItems();
        int chosen = EditMenuHandler()(this, items, pt);
        if (chosen >= 0 && chosen < int(items.size()) && items[size_t(chosen)].Enabled && items[size_t(chosen)].Msg)
            Perform(items[size_t(chosen)].Msg, items[size_t(chosen)].WParam, items[size_t(chosen)].LParam);
        m.Result = 1;
        break;
    }
    case CM_ENABLEDCHANGED:
        TWinControl::DefaultHandler(m);
        Invalidate();
        break;
    default: TWinControl::DefaultHandler(m); break;
    }
}

// ---- the memo ------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), FLines(std::make_unique<TMemoStrings>(this))
{
    FAutoSelect = false;
    DoSetBounds(0, 0, 185, 89);
    FImpl->Relayout();
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p)
{
    TCustomEdit::CreateParams(p);
    p.Style &= ~ES_AUTOHSCROLL;
    if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth) p.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) p.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) p.Style |= WS_HSCROLL;
    if (FWantReturns) p.Style |= ES_WANTRETURN;
}

void TCustomMemo::SetScrollBars(TScrollStyle v)
{
    if (v == FScrollBars) return;
    FScrollBars = v;
    RecreateWnd();
    FImpl->Relayout();
    FImpl->EnsureCaretVisible();
    FImpl->UpdateScrollBars();
    Invalidate();
}

void TCustomMemo::SetWordWrap(bool v)
{
    if (v == FWordWrap) return;
    FWordWrap = v;
    RecreateWnd();
    FImpl->ScrollX = 0;
    FImpl->Relayout();
    FImpl->EnsureCaretVisible();
    FImpl->UpdateScrollBars();
    Invalidate();
}

void TCustomMemo::KeyPress(char& key)
{
    TCustomEdit::KeyPress(key);
    // Without WantReturns, Ctrl+Enter still makes a new line.
    if (key == '\r' && !FWantReturns && GetKeyState(VK_CONTROL) >= 0) key = 0;
    if (key == '\t' && !FWantTabs) key = 0;
}

void TCustomMemo::WMGetDlgCode(TMessage& m)
{
    TCustomEdit::Dispatch(m);
    if (FWantTabs) m.Result |= DLGC_WANTTAB;
    else m.Result &= ~DLGC_WANTTAB;
    if (!FWantReturns) m.Result &= ~DLGC_WANTALLKEYS;
}

TPoint TCustomMemo::CaretPos() const
{
    int li = FImpl->LineOf(FImpl->Caret);
    return Point(FImpl->Caret - FImpl->Lines[size_t(li)].Start, li);
}

void TCustomMemo::SetCaretPos(TPoint p)
{
    int li = std::clamp(p.Y, 0, int(FImpl->Lines.size()) - 1);
    const auto& l = FImpl->Lines[size_t(li)];
    int i = l.Start + std::clamp(p.X, 0, l.Len);
    Perform(EM_SETSEL, WPARAM(i), LPARAM(i));
}

// ---- the memo's lines ------------------------------------------------------------------------

namespace {
// The paragraphs of a memo's text: [start, end) of each, line breaks left out.
std::vector<std::pair<int, int>> Paragraphs(const std::u32string& t)
{
    std::vector<std::pair<int, int>> r;
    int start = 0;
    const int n = int(t.size());
    for (int i = 0; i < n; ++i) {
        if (t[size_t(i)] == U'\r' || t[size_t(i)] == U'\n') {
            r.emplace_back(start, i);
            if (t[size_t(i)] == U'\r' && i + 1 < n && t[size_t(i + 1)] == U'\n') ++i;
            start = i + 1;
        }
    }
    // A text ending in a line break has no empty line after it.
    if (start < n) r.emplace_back(start, n);
    return r;
}
}

std::string TMemoStrings::Get(int index) const
{
    const auto& ps = FMemo->Impl()->Paras();
    if (index < 0 || index >= int(ps.size())) IndexError(index);
    auto [a, b] = ps[size_t(index)];
    return ToU8(std::u32string_view(FMemo->Impl()->Text).substr(size_t(a), size_t(b - a)));
}

int TMemoStrings::GetCount() const { return int(FMemo->Impl()->Paras().size()); }

void TMemoStrings::Put(int index, const std::string& s)
{
    const auto ps = FMemo->Impl()->Paras();
    if (index < 0 || index >= int(ps.size())) IndexError(index);
    FMemo->Perform(EM_SETSEL, WPARAM(ps[size_t(index)].first), LPARAM(ps[size_t(index)].second));
    FMemo->Perform(EM_REPLACESEL, 0, LPARAM(&s));
}

void TMemoStrings::Insert(int index, const std::string& s)
{
    const auto ps = FMemo->Impl()->Paras();
    if (index < 0 || index > int(ps.size())) IndexError(index);
    const auto& t = FMemo->Impl()->Text;
    std::string line;
    int at;
    if (index < int(ps.size())) {
        at = ps[size_t(index)].first;
        line = s + "\r\n";
    } else {
        at = int(t.size());
        // After the last line: a line break first unless the text ends in one.
        bool endsInBreak = t.empty() || t.back() == U'\n' || t.back() == U'\r';
        line = (endsInBreak ? "" : "\r\n") + s + "\r\n";
    }
    // Lines go in whatever the limit or the read-only state says: they are the program's, not typed.
    auto& d = *FMemo->Impl();
    d.Text.insert(size_t(at), d.Prepare(ToU32(line)));
    d.Anchor = d.Caret = 0;
    d.Changed(false);
}

void TMemoStrings::Delete(int index)
{
    const auto ps = FMemo->Impl()->Paras();
    if (index < 0 || index >= int(ps.size())) IndexError(index);
    auto& d = *FMemo->Impl();
    int a = ps[size_t(index)].first;
    int b = index + 1 < int(ps.size()) ? ps[size_t(index) + 1].first : int(d.Text.size());
    d.Text.erase(size_t(a), size_t(b - a));
    d.Anchor = d.Caret = std::min(d.Caret, int(d.Text.size()));
    d.Anchor = d.Caret = d.Clamp(d.Caret);
    d.Changed(false);
}

void TMemoStrings::Clear() { FMemo->SetText(std::string()); }

std::string TMemoStrings::GetText() const
{
    std::string t = FMemo->GetText();
    bool endsInBreak = !t.empty() && (t.back() == '\n' || t.back() == '\r');
    if (!t.empty() && !endsInBreak) t += "\r\n";
    return t;
}

void TMemoStrings::SetText(const std::string& text) { FMemo->SetText(text); }
