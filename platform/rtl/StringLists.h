// String lists: the abstract TStrings (text forms, name=value pairs,
// loading and saving as 8-bit text) and the TStringList that stores them,
// optionally sorted in the system's collation (GBK byte order).
#pragma once

#include "Components.h"
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    QZ_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    // ---- the storage a descendant provides -----------------------------
    virtual std::string Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int index) const;           // null unless stored
    virtual void Put(int index, const std::string& s);     // replaces, keeps the object
    virtual void PutObject(int index, TObject* obj);       // ignored unless stored
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    int Count() const { return GetCount(); }
    std::string Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    std::string operator[](int index) const { return Get(index); }
    // Replaces the whole list (a convenience for code and tests).
    void SetStrings(std::initializer_list<std::string> items);
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* obj) { PutObject(index, obj); }

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* obj);
    void Append(const std::string& s) { Add(s); }
    virtual void AddStrings(const TStrings* strings);
    virtual void InsertObject(int index, const std::string& s, TObject* obj);
    virtual void Move(int curIndex, int newIndex);
    virtual void Exchange(int index1, int index2);

    virtual int IndexOf(const std::string& s) const;
    virtual int IndexOfName(const std::string& name) const;
    virtual int IndexOfObject(const TObject* obj) const;
    // Same count and same strings in the same places (objects not compared).
    bool Equals(const TStrings* strings) const;

    void Assign(TPersistent* source) override;

    // ---- name=value pairs --------------------------------------------------
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char c) { FNameValueSeparator = c; }
    // The part before the separator; empty when the line has none.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    // Sets or adds name=value; an empty value deletes the line.
    void SetValues(const std::string& name, const std::string& value);
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);

    // ---- text forms ----------------------------------------------------------
    // Lines joined by CR LF, each followed by one.
    virtual std::string GetText() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    virtual void SetText(const std::string& text);
    std::string Text() const { return GetText(); }

    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char c) { FDelimiter = c; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char c) { FQuoteChar = c; }
    // When true only the delimiter separates items; otherwise blanks and
    // control characters separate as well and items holding them are quoted.
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool v) { FStrictDelimiter = v; }
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    // DelimitedText with ',' and '"' whatever Delimiter and QuoteChar hold.
    // Reading honours StrictDelimiter; writing always quotes items holding
    // blanks, so that the text reads back under either setting.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);

    // ---- update bracketing ----------------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // ---- 8-bit text files -----------------------------------------------------
    // Text is GBK bytes in streams and files; a stream beginning with the
    // UTF-8 byte order mark is read as UTF-8 instead.
    virtual void LoadFromStream(TStream* stream);
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToStream(TStream* stream) const;
    virtual void SaveToFile(const std::string& fileName) const;

protected:
    // Called with true by the first BeginUpdate and false by the last EndUpdate.
    virtual void SetUpdateState(bool updating) {}
    // The collation of IndexOf, IndexOfName and Values: case-insensitive
    // here (ASCII folded, GBK byte order); TStringList follows CaseSensitive.
    virtual int CompareStrings(const std::string& s1, const std::string& s2) const;
    // Raises EStringListError "List index out of bounds (%d)".
    [[noreturn]] static void IndexError(int index);

private:
    std::string DelimitedTextWith(char delimiter, char quote, bool strict) const;
    void SetDelimitedTextWith(const std::string& text, char delimiter, char quote, bool strict);

    int FUpdateCount = 0;
    char FNameValueSeparator = '=';
    char FDelimiter = ',';
    char FQuoteChar = '"';
    bool FStrictDelimiter = false;
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
    QZ_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    explicit TStringList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}
    ~TStringList() override;

    std::string Get(int index) const override;
    int GetCount() const override;
    TObject* GetObject(int index) const override;
    void Put(int index, const std::string& s) override;
    void PutObject(int index, TObject* obj) override;
    // Sorted lists place the string by its order; Insert raises
    // EStringListError "Operation not allowed on sorted list" on them.
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* obj) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* obj) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const std::string& s) const override;

    // Binary search of a sorted list: true and the index of the first equal
    // string when found, else false and the index where s would go.
    virtual bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates v) { FDuplicates = v; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v);
    // When true the list frees its objects as lines are deleted or cleared.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool v) { FOwnsObjects = v; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    int CompareStrings(const std::string& s1, const std::string& s2) const override;
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int index, const std::string& s, TObject* obj);

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int index) const;
    void QuickSort(int lo, int hi, const TStringListSortCompare& compare);
    void ExchangeItems(int index1, int index2);

    std::vector<TStringItem> FList;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};
