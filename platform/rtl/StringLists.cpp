#include "StringLists.h"
#include "Exceptions.h"
#include "Streams.h"
#include "TextUtils.h"

#include <algorithm>
#include <numeric>
#include <utility>

QZ_CLASS_IMPL(TStrings, TPersistent)
QZ_CLASS_IMPL(TStringList, TStrings)

namespace {

const char* const SSortedListError = "Operation not allowed on sorted list";
const char* const SDuplicateString = "String list does not allow duplicates";

// Blanks and control characters; bytes of multi-byte characters are not.
bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// Runs body inside a BeginUpdate/EndUpdate bracket; the bracket is closed
// even when body throws, so a failed edit never leaves the list frozen.
template <class Body>
void WithinUpdate(TStrings& list, Body&& body)
{
    list.BeginUpdate();
    try {
        body();
    } catch (...) {
        list.EndUpdate();
        throw;
    }
    list.EndUpdate();
}

}  // namespace

// ---- TStrings: storage defaults ------------------------------------------------

void TStrings::IndexError(int index)
{
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::Put(int index, const std::string& s)
{
    TObject* obj = GetObject(index);
    WithinUpdate(*this, [&] {
        Delete(index);
        InsertObject(index, s, obj);
    });
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::CompareStrings(const std::string& s1, const std::string& s2) const
{
    return AnsiCompareText(s1, s2);
}

// ---- TStrings: adding and moving ----------------------------------------------------

void TStrings::SetStrings(std::initializer_list<std::string> items)
{
    WithinUpdate(*this, [&] {
        Clear();
        for (const std::string& s : items) Add(s);
    });
}

int TStrings::Add(const std::string& s)
{
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* obj)
{
    int index = Add(s);
    PutObject(index, obj);
    return index;
}

void TStrings::AddStrings(const TStrings* strings)
{
    if (!strings) return;
    // Copy first: strings may be this very list.
    std::vector<std::pair<std::string, TObject*>> items;
    for (int i = 0; i < strings->Count(); ++i)
        items.emplace_back(strings->Get(i), strings->GetObject(i));
    WithinUpdate(*this, [&] {
        for (auto& [s, obj] : items) AddObject(s, obj);
    });
}

void TStrings::InsertObject(int index, const std::string& s, TObject* obj)
{
    Insert(index, s);
    PutObject(index, obj);
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    if (curIndex < 0 || curIndex >= GetCount()) IndexError(curIndex);
    if (newIndex < 0 || newIndex >= GetCount()) IndexError(newIndex);
    WithinUpdate(*this, [&] {
        std::string s = Get(curIndex);
        TObject* obj = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, obj);
    });
}

void TStrings::Exchange(int index1, int index2)
{
    if (index1 < 0 || index1 >= GetCount()) IndexError(index1);
    if (index2 < 0 || index2 >= GetCount()) IndexError(index2);
    WithinUpdate(*this, [&] {
        std::string s = Get(index1);
        TObject* obj = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s);
        PutObject(index2, obj);
    });
}

// ---- TStrings: searching ------------------------------------------------------------

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < GetCount(); ++i) {
        std::string s = Get(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* obj) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == obj) return i;
    return -1;
}

bool TStrings::Equals(const TStrings* strings) const
{
    if (!strings || strings->GetCount() != GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != strings->Get(i)) return false;
    return true;
}

void TStrings::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TStrings>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    if (src == this) return;
    // Keep the old lines so that a failure part-way (a sorted list that
    // refuses duplicates) leaves the list as it was.
    std::vector<std::pair<std::string, TObject*>> old;
    for (int i = 0; i < GetCount(); ++i) old.emplace_back(Get(i), GetObject(i));
    BeginUpdate();
    try {
        Clear();
        FNameValueSeparator = src->FNameValueSeparator;
        FDelimiter = src->FDelimiter;
        FQuoteChar = src->FQuoteChar;
        FStrictDelimiter = src->FStrictDelimiter;
        AddStrings(src);
    } catch (...) {
        try {
            Clear();
            for (auto& [s, obj] : old) AddObject(s, obj);
        } catch (...) {
        }
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- TStrings: name=value pairs ---------------------------------------------------------

std::string TStrings::Names(int index) const
{
    std::string s = Get(index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& name) const
{
    int i = IndexOfName(name);
    if (i < 0) return std::string();
    std::string s = Get(i);
    return s.substr(s.find(FNameValueSeparator) + 1);
}

void TStrings::SetValues(const std::string& name, const std::string& value)
{
    int i = IndexOfName(name);
    if (!value.empty()) {
        std::string line = name + FNameValueSeparator + value;
        if (i < 0)
            Add(line);
        else
            Put(i, line);
    } else if (i >= 0) {
        Delete(i);
    }
}

// A line without a separator has no value (it is not all value).
std::string TStrings::ValueFromIndex(int index) const
{
    std::string s = Get(index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value)
{
    if (!value.empty()) {
        if (index < 0) index = Add(std::string());
        Put(index, Names(index) + FNameValueSeparator + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

// ---- TStrings: text forms ------------------------------------------------------------------

std::string TStrings::GetText() const
{
    std::string r;
    for (int i = 0; i < GetCount(); ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(const std::string& text)
{
    WithinUpdate(*this, [&] {
        Clear();
        size_t p = 0;
        const size_t n = text.size();
        while (p < n) {
            size_t start = p;
            while (p < n && text[p] != '\r' && text[p] != '\n') ++p;
            Add(text.substr(start, p - start));
            if (p < n && text[p] == '\r') ++p;
            if (p < n && text[p] == '\n') ++p;
        }
    });
}

std::string TStrings::DelimitedTextWith(char delimiter, char quote, bool strict) const
{
    const int count = GetCount();
    if (count == 1 && Get(0).empty()) return std::string(2, quote);
    std::string r;
    for (int i = 0; i < count; ++i) {
        std::string s = Get(i);
        bool needQuote = std::any_of(s.begin(), s.end(), [&](char c) {
            return c == quote || c == delimiter || (!strict && IsBlank(c));
        });
        if (needQuote) {
            std::string q(1, quote);
            for (char c : s) {
                q += c;
                if (c == quote) q += c;
            }
            q += quote;
            s = std::move(q);
        }
        if (i > 0) r += delimiter;
        r += s;
    }
    return r;
}

void TStrings::SetDelimitedTextWith(const std::string& text, char delimiter, char quote, bool strict)
{
    WithinUpdate(*this, [&] {
        Clear();
        size_t p = 0;
        const size_t n = text.size();
        auto skipBlanks = [&]() {
            if (!strict)
                while (p < n && IsBlank(text[p])) ++p;
        };
        skipBlanks();
        while (p < n) {
            std::string s;
            if (text[p] == quote) {
                // Quoted item: a doubled quote stands for one; an item left
                // open runs to the end of the text.
                ++p;
                while (p < n) {
                    if (text[p] == quote) {
                        if (p + 1 < n && text[p + 1] == quote) {
                            s += quote;
                            p += 2;
                        } else {
                            ++p;
                            break;
                        }
                    } else {
                        s += text[p++];
                    }
                }
            } else {
                size_t start = p;
                while (p < n && text[p] != delimiter && (strict || !IsBlank(text[p]))) ++p;
                s = text.substr(start, p - start);
            }
            Add(s);
            skipBlanks();
            if (p < n && text[p] == delimiter) {
                if (p + 1 == n) Add(std::string());
                ++p;
                skipBlanks();
            }
        }
    });
}

std::string TStrings::DelimitedText() const
{
    return DelimitedTextWith(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const std::string& text)
{
    SetDelimitedTextWith(text, FDelimiter, FQuoteChar, FStrictDelimiter);
}

// Written for any reader: blanks are quoted even under StrictDelimiter, so
// that lists that do not split at blanks read the text back alike.
std::string TStrings::CommaText() const
{
    return DelimitedTextWith(',', '"', false);
}

void TStrings::SetCommaText(const std::string& text)
{
    SetDelimitedTextWith(text, ',', '"', FStrictDelimiter);
}

// ---- TStrings: updates ----------------------------------------------------------------------

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

// ---- TStrings: streams and files --------------------------------------------------------------

void TStrings::LoadFromStream(TStream* stream)
{
    // Read to the end in pieces: the stream may not know its size, and a
    // failing read leaves the list as it was.
    std::string bytes;
    char buf[0x10000];
    for (;;) {
        int n = stream->Read(buf, sizeof buf);
        if (n <= 0) break;
        bytes.append(buf, size_t(n));
    }
    std::string text;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text = bytes.substr(3);
    else
        text = GbkToUtf8(bytes);
    SetText(text);
}

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs);
}

void TStrings::SaveToStream(TStream* stream) const
{
    stream->WriteString(Utf8ToGbk(GetText()));
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    SaveFileWhole(fileName, Utf8ToGbk(GetText()));
}

// ---- TStringList ------------------------------------------------------------------------------

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& item : FList) FreeAndNil(item.FObject);
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= int(FList.size())) IndexError(index);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& s1, const std::string& s2) const
{
    return FCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return FList[size_t(index)].FString;
}

int TStringList::GetCount() const
{
    return int(FList.size());
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return FList[size_t(index)].FObject;
}

void TStringList::Put(int index, const std::string& s)
{
    if (FSorted) throw EStringListError(SSortedListError);
    CheckIndex(index);
    Changing();
    FList[size_t(index)].FString = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* obj)
{
    CheckIndex(index);
    Changing();
    FList[size_t(index)].FObject = obj;
    Changed();
}

int TStringList::Add(const std::string& s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* obj)
{
    int index;
    if (!FSorted) {
        index = int(FList.size());
    } else if (Find(s, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) throw EStringListError(SDuplicateString);
    }
    InsertItem(index, s, obj);
    return index;
}

void TStringList::Insert(int index, const std::string& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, TObject* obj)
{
    if (FSorted) throw EStringListError(SSortedListError);
    if (index < 0 || index > int(FList.size())) IndexError(index);
    InsertItem(index, s, obj);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* obj)
{
    Changing();
    FList.insert(FList.begin() + index, TStringItem{s, obj});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    TObject* obj = FList[size_t(index)].FObject;
    FList.erase(FList.begin() + index);
    if (FOwnsObjects) FreeObject(obj);
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty()) return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (auto& item : old) FreeAndNil(item.FObject);
    Changed();
}

void TStringList::ExchangeItems(int index1, int index2)
{
    std::swap(FList[size_t(index1)], FList[size_t(index2)]);
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    ExchangeItems(index1, index2);
    Changed();
}

// Moves the line with its object in place: an owned object must survive the
// move, and a sorted list refuses before anything is taken out.
void TStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (FSorted) throw EStringListError(SSortedListError);
    Changing();
    TStringItem item = std::move(FList[size_t(curIndex)]);
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const std::string& s) const
{
    if (!FSorted) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const
{
    // Lower bound: the first of equal strings, or the insertion point.
    int lo = 0, hi = int(FList.size()) - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(FList[size_t(mid)].FString, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort()
{
    CustomSort([](TStringList* list, int i, int j) {
        return list->CompareStrings(list->FList[size_t(i)].FString, list->FList[size_t(j)].FString);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (FSorted || FList.size() < 2 || !compare) return;
    Changing();
    QuickSort(0, int(FList.size()) - 1, compare);
    Changed();
}

// Sorts an index permutation so that the comparer sees the lines at their
// original places throughout; equal lines keep their order.
void TStringList::QuickSort(int lo, int hi, const TStringListSortCompare& compare)
{
    std::vector<int> order(size_t(hi - lo + 1));
    std::iota(order.begin(), order.end(), lo);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(order.size());
    for (int i : order) sorted.push_back(FList[size_t(i)]);
    std::move(sorted.begin(), sorted.end(), FList.begin() + lo);
}

void TStringList::SetSorted(bool v)
{
    if (FSorted == v) return;
    if (v) Sort();
    FSorted = v;
}

void TStringList::SetCaseSensitive(bool v)
{
    if (FCaseSensitive == v) return;
    FCaseSensitive = v;
    if (FSorted) {
        // Resort under the new collation; Sort leaves sorted lists alone.
        FSorted = false;
        Sort();
        FSorted = true;
    }
}
