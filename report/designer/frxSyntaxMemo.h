// The designer's script editor: a self-drawn plain-text editor with syntax
// colouring for the registered script languages and for SQL, a gutter with
// bookmarks and debugger marks, a 32-step undo, block indentation, word
// moves, find and the clipboard.
//
// The editing model (TfrxSyntaxText) is kept apart from the window
// (TfrxSyntaxMemo), so that keys and edits can be driven and checked
// without painting. Text is counted in characters: a caret column is one
// character (a Chinese character is one step and is never split); on the
// screen a wide character takes two cells.
#pragma once

#include "frxCtrls.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TfsParser;
class TStringList;
class TStrings;

class TfrxSyntaxText {
public:
    static constexpr int MaxLineLength = 1024;
    static constexpr int UndoDepth = 32;

    TfrxSyntaxText();
    ~TfrxSyntaxText();
    TfrxSyntaxText(const TfrxSyntaxText&) = delete;
    TfrxSyntaxText& operator=(const TfrxSyntaxText&) = delete;

    // ---- text -----------------------------------------------------------
    // The text, one entry per line (never empty). A change of this list
    // while ExternalChange is set counts as a new text and resets the editor.
    TStringList* Lines() const { return FLines.get(); }
    // Replaces the whole text as a new text.
    void SetLines(TStrings* lines);
    void SetText(const std::string& text);
    // Trailing blanks removed from every line; a change the caller then
    // makes through the returned list counts as a new text.
    TStrings* GetLines();
    std::string Text() const;
    bool ExternalChange() const { return FExternalChange; }
    bool Modified = false;

    // ---- colouring ----------------------------------------------------------
    // "SQL", a registered script language, or anything else (no keywords).
    void SetSyntaxType(const std::string& name);
    const std::string& SyntaxType() const { return FSyntaxType; }
    // Rebuilds the colour map of the whole text.
    void UpdateView();
    // One attribute digit per character of each line ('1' text, '3'
    // comment, '4' keyword, '5' string, '6' number); one extra line " ".
    const std::vector<std::string>& ColorMap() const { return FColorMap; }
    // A character's attribute ('1' when the map has none for it).
    char Attribute(int x, int y) const;

    // ---- caret and selection ------------------------------------------------
    int CaretX() const { return FCaretX; }
    int CaretY() const { return FCaretY; }
    void SetCaretPos(int x, int y);
    int GetCaretOffset() const;
    bool HasSelection() const { return FSelStartX != 0; }
    TPoint SelStart() const { return ::Point(FSelStartX, FSelStartY); }
    TPoint SelEnd() const { return ::Point(FSelEndX, FSelEndY); }
    void SetSelection(int startX, int startY, int endX, int endY);
    void ClearSelection();
    bool InSelection(int x, int y) const;
    std::string GetSelText() const;
    // Replaces the selection (or inserts at the caret): the one edit behind
    // typing, deleting, pasting and the smart keys.
    void SetSelText(const std::string& text);

    // ---- view (the window tells its size; Page Up and Down use it) ----------
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsets(int offsetX, int offsetY);
    void SetVisible(int cols, int rows);
    int VisibleCols() const { return FVisibleCols; }
    int VisibleRows() const { return FVisibleRows; }

    // ---- keys ----------------------------------------------------------------
    // A key going down; true when the editor consumed it.
    bool KeyDown(int key, TShiftState shift);
    // A typed character (control characters: Ctrl+C, Tab, Ctrl+U, Ctrl+V,
    // Ctrl+X, Ctrl+Z).
    void KeyChar(char32_t ch);
    // Mouse: a press at a cell, a move with the button held, a double click.
    void MousePress(int x, int y);
    void MouseDrag(int x, int y);
    void DoubleClick();

    // ---- undo -----------------------------------------------------------------
    void Undo();
    int UndoCount() const { return int(FUndo.size()); }
    bool UndoArmed() const { return FUndoArmed; }

    // ---- clipboard (through the hooks, the system clipboard by default) ------
    std::function<std::string()> ReadClipboard;
    std::function<void(const std::string&)> WriteClipboard;
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // ---- find -----------------------------------------------------------------
    // Searches from position (1-based offset, line breaks counting two; 0
    // counts as 1); selects a match, puts the caret at its start and sets
    // position one past the match's start. After the found text was
    // replaced, the next search goes on after what was put in its place.
    bool Find(const std::string& text, bool matchCase, int& position);

    // ---- marks -------------------------------------------------------------------
    int GetBookmark(int line) const;
    void SetBookmark(int line, int number);
    void DeleteBookmark(int number);
    void GotoBookmark(int number);
    void CorrectBookmarks(int line, int delta);
    const std::array<int, 10>& Bookmarks() const { return FBookmarks; }
    int ActiveLine = -1;
    int RunToLine = 0;
    void SetExecutableLine(int line, bool flag);
    bool IsExecutableLine(int line) const;
    const std::string& Message() const { return FMessage; }
    void SetMessage(const std::string& m);

    // ---- events -------------------------------------------------------------------
    TNotifyEvent OnChange;      // after every edit
    TNotifyEvent OnChangePos;   // whenever the caret is placed
    std::function<void()> OnRepaint;

    // Helpers on one line's characters.
    std::u32string Line(int y) const;   // 1-based; empty outside
    int LineLength(int y) const;

private:
    void LinesChanged();
    void Reset();
    void StoreUndo();
    void SetAllText(const std::u32string& text);
    std::u32string AllText() const;
    int Offset(int x, int y) const;
    TPoint PosOf(int offset) const;
    void PutLine(int y, const std::u32string& s);
    void AfterNavigation(bool shift);
    void Changed();
    void Repaint();
    void DeleteSelectionOrChar(bool backwards);
    void Backspace();
    void SmartTab();
    void Enter();
    void DeleteKey();
    void DeleteLine();
    void ToggleBookmark(int n);
    void WordLeft();
    void WordRight();
    void IndentBlock(bool indent);
    void SelectAll();

    std::unique_ptr<TStringList> FLines;
    std::vector<bool> FExecutable;
    std::vector<std::string> FColorMap;
    std::unique_ptr<TfsParser> FParser;
    std::string FSyntaxType;
    std::vector<std::string> FUndo;
    std::array<int, 10> FBookmarks;
    std::string FMessage;
    int FCaretX = 1, FCaretY = 1;
    int FPrevX = 1, FPrevY = 1;
    int FOffsetX = 0, FOffsetY = 0;
    int FSelStartX = 0, FSelStartY = 0, FSelEndX = 0, FSelEndY = 0;
    int FVisibleCols = 0, FVisibleRows = 0;
    bool FUndoArmed = true;
    bool FExternalChange = false;
    bool FResetting = false;
    // The last match Find selected, for going on after its replacement.
    int FFoundAt = 0, FFoundLength = 0, FFoundReturned = -1, FResumeAt = 0;
};

// The window over the editing model.
class TfrxSyntaxMemo : public TfrxScrollWin {
    QZ_CLASS(TfrxSyntaxMemo, TfrxScrollWin)
public:
    explicit TfrxSyntaxMemo(TComponent* owner = nullptr);
    ~TfrxSyntaxMemo() override;

    TfrxSyntaxText* Model() const { return FText.get(); }

    void SetLines(TStrings* lines) { FText->SetLines(lines); }
    TStrings* GetLines() { return FText->GetLines(); }
    void SetSyntaxType(const std::string& name);
    TPoint GetCaretPos() const { return ::Point(FText->CaretX(), FText->CaretY()); }
    void SetCaretPos(int x, int y) { FText->SetCaretPos(x, y); }
    int GetCaretOffset() const { return FText->GetCaretOffset(); }
    std::string GetSelText() const { return FText->GetSelText(); }
    void SetSelText(const std::string& text) { FText->SetSelText(text); }
    void CopyToClipboard() { FText->CopyToClipboard(); }
    void CutToClipboard() { FText->CutToClipboard(); }
    void PasteFromClipboard() { FText->PasteFromClipboard(); }
    void Undo() { FText->Undo(); }
    bool Find(const std::string& text, bool matchCase, int& position) { return FText->Find(text, matchCase, position); }
    void SetActiveLine(int line);
    void SetRunToLine(int line);
    void SetMessage(const std::string& text) { FText->SetMessage(text); }
    void SetExecutableLine(int line, bool flag);
    bool IsExecutableLine(int line) const { return FText->IsExecutableLine(line); }
    void SetShowGutter(bool v);
    int GutterWidth() const { return FGutterWidth; }
    void UpdateView();
    void Refresh();
    int GetBookmark(int line) const { return FText->GetBookmark(line); }
    void SetBookmark(int line, int number) { FText->SetBookmark(line, number); }
    void DeleteBookmark(int number) { FText->DeleteBookmark(number); }
    void GotoBookmark(int number) { FText->GotoBookmark(number); }
    void CorrectBookmarks(int line, int delta) { FText->CorrectBookmarks(line, delta); }

    int CharWidth() const { return FCharWidth; }
    int CharHeight() const { return FCharHeight; }
    bool IsMonospace() const { return FIsMonospace; }
    // The caret's place in the window, or x -1 when it is scrolled out of view.
    TPoint CaretPixel() const;
    // The cell under a point of the window (column and line, 1-based).
    TPoint CellAt(int x, int y) const;
    TNotifyEvent OnChange, OnChangePos;

protected:
    void Paint() override;
    void Resize() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void HorzPositionChanged(int oldPosition) override;
    void VertPositionChanged(int oldPosition) override;

private:
    void WMChar(TMessage& m);
    void CMFontChanged(TMessage& m);
    void WMMouseWheel(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_CHAR, WMChar)
        QZ_MESSAGE_HANDLER(CM_FONTCHANGED, CMFontChanged)
        QZ_MESSAGE_HANDLER(WM_MOUSEWHEEL, WMMouseWheel)
    QZ_END_MESSAGE_MAP
    void MeasureFont();
    void UpdateScrollBars();
    int CellsBefore(const std::u32string& line, int fromCol, int toCol) const;

    std::unique_ptr<TfrxSyntaxText> FText;
    std::unique_ptr<TFont> FCommentFont, FKeywordFont, FStringFont, FNumberFont;
    int FCharWidth = 8, FCharHeight = 16;
    int FGutterWidth = 30;
    bool FIsMonospace = true;
    bool FMouseSelecting = false;
    bool FDoubleClicked = false;
    char16_t FHighSurrogate = 0;
    bool FSyncingBars = false;
};
