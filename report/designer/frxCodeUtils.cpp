#include "frxCodeUtils.h"

#include "Exceptions.h"
#include "StringLists.h"
#include "TextUtils.h"
#include "fs_iparser.h"
#include "fs_itools.h"
#include "fs_xml.h"
#include "frxRes.h"

#include <algorithm>
#include <vector>

namespace frxCodeUtils {

void Initialize()
{
    TfrxResources& r = frxRes::Resources();
    r.Add("PascalScript", "proc=\"procedure\" begin=\"begin\" end=\"end;\" lastend=\"end.\"");
    r.Add("C++Script", "proc=\"void\" begin=\"{\" end=\"}\" lastend=\"}\"");
    r.Add("BasicScript", "proc=\"sub\" begin=\"\" end=\"end sub\" lastend=\"\"");
    r.Add("JScript", "proc=\"function\" begin=\"{\" end=\"}\" lastend=\"\"");
    auto params = [&r](const char* type, const char* pas, const char* cpp, const char* bas, const char* js) {
        r.Add(type, std::string("PascalScript=") + pas + "\r\nC++Script=" + cpp + "\r\nBasicScript=" + bas +
                        "\r\nJScript=" + js);
    };
    params("TfrxNotifyEvent", "(Sender: TfrxComponent);", "(TfrxComponent Sender)", "(Sender)", "(Sender)");
    params("TfrxCloseQueryEvent", "(Sender: TfrxComponent; var CanClose: Boolean);",
           "(TfrxComponent Sender, bool &CanClose)", "(Sender, byref CanClose)", "(Sender, &CanClose)");
    params("TfrxKeyEvent", "(Sender: TfrxComponent; var Key: Word; Shift: Integer);",
           "(TfrxComponent Sender, word &Key, int Shift)", "(Sender, byref Key, Shift)", "(Sender, &Key, Shift)");
    params("TfrxKeyPressEvent", "(Sender: TfrxComponent; var Key: Char);", "(TfrxComponent Sender, char &Key)",
           "(Sender, byref Key)", "(Sender, &Key)");
    params("TfrxMouseEvent", "(Sender: TfrxComponent; Button: TMouseButton; Shift: Integer; X, Y: Integer);",
           "(TfrxComponent Sender, TMouseButton Button, int Shift, int X, int Y)", "(Sender, Button, Shift, X, Y)",
           "(Sender, Button, Shift, X, Y)");
    params("TfrxMouseMoveEvent", "(Sender: TfrxComponent; Shift: Integer; X, Y: Integer);",
           "(TfrxComponent Sender, int Shift, int X, int Y)", "(Sender, Shift, X, Y)", "(Sender, Shift, X, Y)");
    params("TfrxPreviewClickEvent", "(Sender: TfrxView; Button: TMouseButton; Shift: Integer; var Modified: Boolean);",
           "(TfrxView Sender, TMouseButton Button, int Shift, bool &Modified)",
           "(Sender, Button, Shift, byref Modified)", "(Sender, Button, Shift, &Modified)");
}

std::string GetLanguageAttribute(const std::string& language, const std::string& name)
{
    std::string tmpl = frxRes::Resources().Get(language);
    if (tmpl == language) return std::string();   // no template stored
    const std::string upper = UpperCase(tmpl);
    const std::string key = UpperCase(name) + "=\"";
    for (size_t at = upper.find(key); at != std::string::npos; at = upper.find(key, at + 1)) {
        if (at != 0 && upper[at - 1] != ' ') continue;
        size_t from = at + key.size();
        size_t to = tmpl.find('"', from);
        return tmpl.substr(from, to == std::string::npos ? std::string::npos : to - from);
    }
    return std::string();
}

std::string GetEventParams(const std::string& eventType, const std::string& language)
{
    TStringList lines;
    lines.SetText(frxRes::Resources().Get(eventType));
    for (int i = 0; i < lines.Count(); ++i) {
        std::string l = lines[i];
        size_t eq = l.find('=');
        if (eq != std::string::npos && SameText(l.substr(0, eq), language)) return l.substr(eq + 1);
    }
    return std::string();
}

void GetEventHandlers(TStrings* code, const std::string& language, const std::string& eventType, TStrings* list)
{
    list->Clear();
    const std::string proc = UpperCase(GetLanguageAttribute(language, "proc"));
    if (proc.empty()) return;
    const std::string params = GetEventParams(eventType, language);
    for (int i = 0; i < code->Count(); ++i) {
        std::string line = code->Strings(i);
        if (AnsiUpperCase(line).rfind(proc, 0) != 0) continue;
        std::string rest = line.substr(proc.size());
        size_t open = rest.find('(');
        std::string name = Trim(rest.substr(0, open));
        std::string part = open == std::string::npos ? std::string() : Trim(rest.substr(open)).substr(0, 255);
        if (AnsiCompareText(part, params) == 0) list->Add(name);
    }
}

int FindHandler(TStrings* code, const std::string& language, const std::string& name)
{
    const std::string head = UpperCase(GetLanguageAttribute(language, "proc") + " " + name + "(");
    for (int i = 0; i < code->Count(); ++i)
        if (UpperCase(code->Strings(i)).rfind(head, 0) == 0) return i;
    return -1;
}

bool ApplyGrammar(TfsParser& parser, const std::string& language)
{
    std::string grammar;
    try {
        grammar = fs_itools::GetLanguageGrammar(language);
    } catch (const std::exception&) {
        return false;   // no such language registered
    }
    TfsXMLDocument doc;
    doc.LoadFromString(grammar);
    TfsXMLItem* settings = doc.Root()->FindItem("parser");
    TfsXMLItem* keywords = settings->FindItem("keywords");
    for (int i = 0; i < keywords->Count(); ++i) parser.AddKeyword(keywords->Items(i)->Name());
    for (int i = 0; i < settings->Count(); ++i) {
        TfsXMLItem* x = settings->Items(i);
        std::string nm = LowerCase(x->Name());
        std::string v = x->Prop("text");
        if (nm == "identchars") parser.SetIdentifierCharset(v);
        else if (nm == "commentline1") parser.CommentLine1 = v;
        else if (nm == "commentline2") parser.CommentLine2 = v;
        else if (nm == "commentblock1") parser.SetCommentBlock1(v);
        else if (nm == "commentblock2") parser.SetCommentBlock2(v);
        else if (nm == "stringquotes") parser.StringQuotes = v;
        else if (nm == "hexsequence") parser.HexSequence = v;
    }
    return true;
}

namespace {

struct TToken {
    std::string Text;   // upper case
    int Line;           // 0-based
};

// The script's tokens with the lexical settings of the language's grammar
// (comments and strings are skipped), each with its line.
std::vector<TToken> Tokens(TStrings* code, const std::string& language)
{
    TfsParser p;
    ApplyGrammar(p, language);
    std::string text;
    std::vector<int> lineStarts;
    for (int i = 0; i < code->Count(); ++i) {
        lineStarts.push_back(int(text.size()) + 1);
        text += code->Strings(i);
        text += "\r\n";
    }
    p.SetText(text);
    std::vector<TToken> tokens;
    const int size = p.Size();
    for (;;) {
        p.SkipSpaces();
        int start = p.Position();
        if (start > size) break;
        std::string t = p.GetWord();
        if (t.empty()) t = p.GetNumber();
        if (t.empty() && !p.GetString().empty()) continue;
        if (t.empty()) t = p.GetChar();
        if (t.empty()) {
            p.SetPosition(start + 1);   // a byte that starts no token
            continue;
        }
        int line = int(std::upper_bound(lineStarts.begin(), lineStarts.end(), start) - lineStarts.begin()) - 1;
        tokens.push_back({UpperCase(t), std::max(line, 0)});
    }
    return tokens;
}

// A template line ("end.", "end;", "{") as the tokens it is made of.
std::vector<std::string> Words(const std::string& s)
{
    std::vector<std::string> r;
    std::string w;
    auto flush = [&] {
        if (!w.empty()) r.push_back(UpperCase(w));
        w.clear();
    };
    for (char c : s) {
        if (std::isalnum((unsigned char)c) || c == '_') {
            w += c;
        } else {
            flush();
            if (c != ' ') r.push_back(std::string(1, c));
        }
    }
    flush();
    return r;
}

}  // namespace

int FindMainBlockLine(TStrings* code, const std::string& language)
{
    const std::string lastEnd = GetLanguageAttribute(language, "lastend");
    // A language without a main block takes handlers before its last line
    // (at the top of an empty script).
    if (lastEnd.empty()) return std::max(code->Count() - 1, 0);
    std::vector<std::string> closing = Words(lastEnd);
    std::vector<std::string> endWords = Words(GetLanguageAttribute(language, "end"));
    std::vector<std::string> beginWords = Words(GetLanguageAttribute(language, "begin"));
    if (closing.empty() || endWords.empty() || beginWords.empty()) return -1;
    const std::string endWord = endWords.front();
    std::vector<std::string> openers{beginWords.front()};
    // Every statement that an "end" closes opens a level, not only "begin".
    if (endWord == "END") openers.insert(openers.end(), {"CASE", "TRY", "ASM"});

    std::vector<TToken> t = Tokens(code, language);
    int last = -1;
    for (int i = int(t.size()) - int(closing.size()); i >= 0; --i) {
        bool match = true;
        for (size_t k = 0; k < closing.size() && match; ++k) match = t[size_t(i) + k].Text == closing[k];
        if (match) {
            last = i;
            break;
        }
    }
    if (last < 0 || t[size_t(last)].Line == 0) return -1;
    int depth = 1;
    for (int i = last - 1; i >= 0; --i) {
        const std::string& w = t[size_t(i)].Text;
        if (w == endWord) ++depth;
        else if (std::find(openers.begin(), openers.end(), w) != openers.end()) --depth;
        if (depth == 0) return t[size_t(i)].Line;
    }
    return 0;
}

int InsertHandler(TStrings* code, const std::string& language, const std::string& eventType, const std::string& name)
{
    int a = FindMainBlockLine(code, language);
    if (a < 0) throw Exception(frxRes::Resources().Get("dsCantFindProc"));
    const std::string lines[] = {
        GetLanguageAttribute(language, "proc") + " " + name + GetEventParams(eventType, language),
        GetLanguageAttribute(language, "begin"),
        "",
        GetLanguageAttribute(language, "end"),
        "",
    };
    for (int i = 0; i < 5; ++i) code->Insert(a + i, lines[i]);
    return a + 3;
}

void GetEmptyScript(TStrings* list, const std::string& language)
{
    list->Clear();
    std::string lastEnd = GetLanguageAttribute(language, "lastend");
    if (lastEnd.empty()) return;
    list->Add(GetLanguageAttribute(language, "begin"));
    list->Add("");
    list->Add(lastEnd);
}

}  // namespace frxCodeUtils
