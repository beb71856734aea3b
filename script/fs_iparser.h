// The tokenizer behind all four script languages. It has no grammar of its
// own: a grammar sets its lexical settings, and the grammar walker asks for
// one token kind at a time at the current position. Positions are 1-based
// byte indexes into the text.
#pragma once

#include <bitset>
#include <string>
#include <vector>

class TfsParser {
public:
    TfsParser();

    void Reset();
    void SetText(const std::string& text);
    const std::string& Text() const { return FSource; }
    int Size() const { return int(FSource.size()); }

    int Position() const { return FPosition; }
    void SetPosition(int pos) { FPosition = FTokenStart = pos; }
    int TokenStart() const { return FTokenStart; }

    void SkipSpaces();
    bool GetEOL();
    std::string GetWord();
    std::string GetIdent();
    bool IsKeyword(const std::string& s) const;
    std::string GetChar();
    std::string GetNumber();
    std::string GetString();
    std::string GetAngleText();
    std::string GetLineColumn() const { return GetLineColumn(FPosition); }
    std::string GetLineColumn(int position) const;
    int LineColumnToPosition(int column, int line) const;

    // settings
    std::string CommentLine1, CommentLine2;
    std::string CommentBlock1Open, CommentBlock1Close;
    std::string CommentBlock2Open, CommentBlock2Close;
    std::string HexSequence;
    std::string StringQuotes;
    std::string SkipChar;
    bool SkipEOL = true;
    bool SkipSpace = true;

    // "open,close" as the grammars write block comment markers.
    void SetCommentBlock1(const std::string& s);
    void SetCommentBlock2(const std::string& s);
    void SetIdentifierCharset(const std::string& chars);
    bool IsIdentChar(char c) const { return FIdentChars.test((unsigned char)c); }
    void AddKeyword(const std::string& word);
    const std::vector<std::string>& Keywords() const { return FKeywords; }

private:
    char At(int pos) const { return FText[size_t(pos - 1)]; }
    bool StartsAt(int pos, const std::string& s) const;
    bool LineCommentAt(int pos, const std::string& marker) const;
    bool ReadIntegerPart();
    std::string ReadWord();

    std::string FSource;
    std::string FText;   // FSource with a terminating zero
    int FPosition = 1;
    int FTokenStart = 1;
    std::vector<int> FLineStarts;
    std::bitset<256> FIdentChars;
    std::vector<std::string> FKeywords;   // upper case, sorted
};
