// Text routines of the run-time library: UTF-8 <-> GBK, GBK byte lengths and
// byte order, case, trimming, quoting, character-counted string routines,
// file paths and files, and the program's folders.
//
// Every std::string holds UTF-8. The school's 8-bit text is GBK (code page
// 936): byte limits, "byte by byte" order and 8-bit files go through the
// Gbk* helpers here. Everything else counts characters (code points).
//
// Naming: Pos/PosEx/Copy/Delete/Insert/Length count characters and are
// 1-based. DeleteStr/InsertStr are the same routines under names that do not
// collide with member functions called Delete/Insert (data sets, lists).
// The Ansi* search routines also count characters, so results of AnsiPos and
// Pos can be fed to Copy alike.
#pragma once

#include "System.h"
#include <cstdint>
#include <string>
#include <string_view>

// ---- GBK ----------------------------------------------------------------------

// UTF-8 text to its GBK bytes. Characters GBK cannot hold become '?'; bytes
// that are not valid UTF-8 become '?' too.
std::string Utf8ToGbk(std::string_view utf8);
// GBK bytes to UTF-8. Bytes that do not form a GBK character become '?'.
std::string GbkToUtf8(std::string_view gbk);
// True when every byte sequence of gbk is a GBK character (ASCII included).
bool IsValidGbk(std::string_view gbk);
// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);
// Byte length of the text's GBK form.
int GbkLength(std::string_view utf8);
// The longest prefix of the text whose GBK form is at most maxBytes long;
// never splits a character.
std::string GbkTruncate(std::string_view utf8, int maxBytes);
// Copy counted in GBK bytes (1-based, like Copy): the characters whose GBK
// bytes start within [index, index+count). A character that would straddle
// the end is left out, one that straddles the start is skipped. An index
// below 1 counts from the first byte, as Copy does.
std::string GbkCopy(std::string_view utf8, int index, int count);

// Lead and trail bytes of 8-bit (GBK) text, for code that walks the bytes:
// 0x81..0xFE starts a double-byte character, and the byte after it is its
// trail byte whatever its value (trail bytes 0x40..0x7E look like ASCII).
enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };
constexpr bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
// The kind of the byte at 1-based index of gbk, found by walking from the
// start. mbSingleByte for an index outside the text.
TMbcsByteType ByteType(std::string_view gbk, int index);

// ---- UTF-16 -------------------------------------------------------------------

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);   // lone surrogates become U+FFFD

// ---- comparison (GBK byte order; case folding touches ASCII only) -----------------

// <0, 0, >0. Byte order of the GBK form; texts with characters outside GBK
// still compare unequal (they sort after every GBK character).
int CompareStr(std::string_view s1, std::string_view s2);
int CompareText(std::string_view s1, std::string_view s2);   // ASCII letters folded
bool SameStr(std::string_view s1, std::string_view s2);
bool SameText(std::string_view s1, std::string_view s2);
// As above, returning -1, 0 or 1.
int AnsiCompareStr(std::string_view s1, std::string_view s2);
int AnsiCompareText(std::string_view s1, std::string_view s2);
bool AnsiSameStr(std::string_view s1, std::string_view s2);
bool AnsiSameText(std::string_view s1, std::string_view s2);

// ---- case -----------------------------------------------------------------------

std::string UpperCase(std::string_view s);        // ASCII letters only
std::string LowerCase(std::string_view s);
// Letters GBK holds in both cases (Latin, full-width Latin, Greek, Cyrillic);
// Chinese and every other character untouched.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// ---- trimming, replacing, quoting -------------------------------------------------------

// Remove control characters and blanks (<= ' ').
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag, 8>;
std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags);

std::string QuotedStr(std::string_view s);                     // 'it''s'
std::string AnsiQuotedStr(std::string_view s, char quote);
// Takes the quoted text at the start of src (doubled quotes undone) and leaves
// in src what follows the closing quote. Returns "" and leaves src alone when
// src does not start with the quote. Unterminated: the rest of src is taken.
std::string AnsiExtractQuotedStr(std::string& src, char quote);
// What the quotes enclose when s starts with the quote (to the end when the
// closing quote is missing), else s itself.
std::string AnsiDequotedStr(std::string_view s, char quote);
std::string DequotedStr(std::string_view s, char quote = '\'');

// ---- character-counted string routines (1-based) ------------------------------------------

int Length(std::string_view s);                                 // characters
int Pos(std::string_view sub, std::string_view s);              // 0 when absent
inline int Pos(char c, std::string_view s) { return Pos(std::string_view(&c, 1), s); }
int PosEx(std::string_view sub, std::string_view s, int offset = 1);
int AnsiPos(std::string_view sub, std::string_view s);          // same as Pos
std::string Copy(std::string_view s, int index, int count = 0x7fffffff);
void Delete(std::string& s, int index, int count);
void Insert(std::string_view source, std::string& s, int index);
inline void DeleteStr(std::string& s, int index, int count) { Delete(s, index, count); }
inline void InsertStr(std::string_view source, std::string& s, int index) { Insert(source, s, index); }
// Byte offset in s of the character at 1-based index (s.size() past the end).
size_t Utf8Offset(std::string_view s, int index);

std::string StringOfChar(char ch, int count);
std::string DupeString(std::string_view s, int count);
std::string ReverseString(std::string_view s);                  // by characters
std::string LeftStr(std::string_view s, int count);
std::string RightStr(std::string_view s, int count);
std::string MidStr(std::string_view s, int start, int count);

bool StartsStr(std::string_view sub, std::string_view s);
bool EndsStr(std::string_view sub, std::string_view s);
bool ContainsStr(std::string_view s, std::string_view sub);
bool AnsiStartsStr(std::string_view sub, std::string_view s);
bool AnsiEndsStr(std::string_view sub, std::string_view s);
bool AnsiStartsText(std::string_view sub, std::string_view s);
bool AnsiEndsText(std::string_view sub, std::string_view s);
bool StartsText(std::string_view sub, std::string_view s);
bool EndsText(std::string_view sub, std::string_view s);
bool ContainsText(std::string_view s, std::string_view sub);
bool AnsiContainsText(std::string_view s, std::string_view sub);

bool IsValidIdent(std::string_view s, bool allowDots = false);

enum TTextLineBreakStyle { tlbsLF, tlbsCRLF, tlbsCR };
// Every CR LF, lone CR and lone LF becomes the given line end.
std::string AdjustLineBreaks(std::string_view s, TTextLineBreakStyle style = tlbsCRLF);
inline constexpr const char* sLineBreak = "\r\n";

// ---- file paths (both '\' and '/' are delimiters on input) ----------------------------------

inline constexpr char PathDelim = '/';
inline constexpr char DriveDelim = '\0';   // no drives here
inline constexpr char PathSep = ':';

// The name with every '\' turned into '/': names the program builds with
// backslashes ("folder\\cfg.ini") open the right file here. The routines
// below that touch the file system do this themselves.
std::string SetDirSeparators(std::string_view fileName);
bool IsPathDelimiter(std::string_view s, int index);   // 1-based byte index
std::string ExtractFilePath(std::string_view fileName);   // with the trailing delimiter
std::string ExtractFileDir(std::string_view fileName);    // without it
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);    // with the dot, "" when none
std::string ExtractFileDrive(std::string_view fileName);  // always ""
std::string ChangeFileExt(std::string_view fileName, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view s);
std::string ExcludeTrailingPathDelimiter(std::string_view s);
// '\' turned into '/', relative names resolved against the current folder,
// "." and ".." removed. Does not touch the file system beyond the current folder.
std::string ExpandFileName(std::string_view fileName);

bool FileExists(std::string_view fileName);        // a file, not a folder
bool DirectoryExists(std::string_view dir);
bool ForceDirectories(std::string_view dir);      // creates missing parents; false on failure
bool CreateDir(std::string_view dir);
bool RemoveDir(std::string_view dir);              // empty folders only
bool DeleteFile(std::string_view fileName);
bool RenameFile(std::string_view oldName, std::string_view newName);
// Copies a file (replacing newName unless failIfExists); the copy appears
// whole or not at all.
bool CopyFile(std::string_view existingName, std::string_view newName, bool failIfExists);
int64_t FileSize(std::string_view fileName);      // -1 when missing
std::string GetCurrentDir();
bool SetCurrentDir(std::string_view dir);

// ---- the program's environment --------------------------------------------------------------

std::string GetEnvironmentVariable(std::string_view name);   // "" when unset
std::string ApplicationExeName();   // full path of the running program
std::string ApplicationDir();       // its folder, with the trailing delimiter
// The arguments the program was started with: ParamStr(0) is the program's
// full path, 1..ParamCount() the arguments as given; "" outside that range.
int ParamCount();
std::string ParamStr(int index);
// The user's configuration folder for this program (XDG_CONFIG_HOME or
// ~/.config, plus the program's own subfolder), with the trailing delimiter.
// Not created here.
std::string UserConfigDir();
std::string GetTempDir();           // with the trailing delimiter
