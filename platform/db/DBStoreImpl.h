// Private to the data-set framework: the row store of a data set and the
// parsed form of filter expressions.
#pragma once

#include "DB.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

using TRowValues = std::vector<Variant>;

// The stored rows of a data set, each held as one run of bytes: per value a
// kind byte and the value in the bytes its kind needs (an integer in four,
// a text as its length and UTF-8 bytes), so a row costs little more than its
// values. Rows are written into large blocks; a changed row is written anew,
// and the blocks are rewritten once more than half of what they hold is
// stale. Values of kinds without a compact form (arrays, interfaces) are
// kept aside as they are.
class TRowStore {
public:
    TRowStore() = default;
    TRowStore(const TRowStore&) = delete;
    TRowStore& operator=(const TRowStore&) = delete;

    size_t size() const { return FRows.size(); }
    void reserve(size_t n) { FRows.reserve(n); }
    void clear();
    void push_back(const TRowValues& values);
    void pop_back();
    // The values of a row; one value of it (Null past the row's end).
    TRowValues Row(size_t row) const;
    Variant Get(size_t row, size_t slot) const;
    // Replaces a row's values.
    void Set(size_t row, const TRowValues& values);

private:
    struct TBlock {
        std::unique_ptr<uint8_t[]> Data;
        size_t Size = 0;
        size_t Used = 0;
    };
    const uint8_t* Write(const TRowValues& values);
    void Encode(const TRowValues& values, std::string& out);
    static size_t EncodedSize(const uint8_t* p);
    static const uint8_t* Skip(const uint8_t* p);
    static Variant Decode(const uint8_t*& p, const std::vector<Variant>& aside);
    static TRowValues Values(const uint8_t* p, const std::vector<Variant>& aside);
    void Compact();

    std::vector<const uint8_t*> FRows;   // each row's bytes in a block
    std::vector<TBlock> FBlocks;
    std::vector<Variant> FAside;         // values without a compact form
    size_t FHeld = 0;                    // bytes written into the blocks
    size_t FStale = 0;                   // of which no row uses any more
    std::string FScratch;
};

struct TDataSetStore {
    TRowStore Rows;                    // by row id; one slot per field
    std::vector<uint8_t> Live;         // 1 for a stored row, 0 for deleted or pending
    std::vector<uint32_t> CalcGen;     // calc fields of a row are current when equal to Gen
    uint32_t Gen = 1;
    uint32_t Generation = 1;           // changes whenever the rows are re-read
    std::vector<int> Natural;          // every row id in its unsorted, unfiltered place
    std::vector<int> Order;            // visible row ids in data-set order
    mutable std::vector<int> PosOf;    // row id -> visible position (-1); rebuilt lazily
    mutable bool PosDirty = true;
    int SlotCount = 0;
    std::vector<int> DefToSlot;        // field definition index -> slot (-1: not kept)
    std::vector<TField*> SlotFields;   // slot -> field
    std::vector<bool> SlotConvert;     // fetched values need the field's conversion

    // The record being edited or inserted.
    int EditRow = -1;
    TRowValues EditBuf;
    TRowValues OldBuf;

    // The row that filter and calculation handlers see.
    TRowValues* Override = nullptr;

    // Single-field search indexes, keyed by slot; dropped on any change.
    struct TKeyIndex {
        std::unordered_map<int64_t, int> Ints;        // first visible row per integer key
        std::unordered_map<std::string, int> Texts;   // first visible row per text key
        bool CaseInsensitive = false;
        bool IntKeys = false;
    };
    std::unordered_map<int, TKeyIndex> Indexes;
    int ScansSinceChange = 0;          // searches made without an index since the rows changed

    int PosOfRow(int row) const
    {
        if (PosDirty) {
            PosOf.assign(Rows.size(), -1);
            for (size_t i = 0; i < Order.size(); ++i) PosOf[size_t(Order[i])] = int(i);
            PosDirty = false;
        }
        return row >= 0 && size_t(row) < PosOf.size() ? PosOf[size_t(row)] : -1;
    }
    // Takes a pending row that never got stored out of the natural order.
    void DropPendingRow(int row)
    {
        for (size_t i = Natural.size(); i-- > 0;)
            if (Natural[i] == row) {
                Natural.erase(Natural.begin() + long(i));
                break;
            }
        if (row == int(Rows.size()) - 1) {
            Rows.pop_back();
            Live.pop_back();
            CalcGen.pop_back();
        }
    }
    // Values changed, order kept: only the search indexes go.
    void ValuesChanged()
    {
        if (!Indexes.empty()) Indexes.clear();
        ScansSinceChange = 0;
    }
    // A row put at the end of the order: the position map, when current,
    // grows by that one row in place of being rebuilt, so appending many
    // rows one by one stays linear.
    void RowAppended(int row)
    {
        if (!PosDirty) {
            PosOf.resize(Rows.size(), -1);
            PosOf[size_t(row)] = int(Order.size()) - 1;
        }
        if (!Indexes.empty()) Indexes.clear();
        ScansSinceChange = 0;
    }
    void OrderChanged()
    {
        PosDirty = true;
        if (!Indexes.empty()) Indexes.clear();
        ScansSinceChange = 0;
    }
    void Clear()
    {
        Rows.clear();
        Live.clear();
        CalcGen.clear();
        Natural.clear();
        Order.clear();
        PosOf.clear();
        PosDirty = true;
        Indexes.clear();
        EditRow = -1;
        EditBuf.clear();
        OldBuf.clear();
        ++Generation;
    }
};

// A parsed filter expression; evaluated against the fields of a data set
// while the row to test is the set's active row.
struct TFilterExpr;

namespace qzDB {
// Parses a filter expression; raises EDatabaseError with the expression
// parser's texts for a malformed one.
std::shared_ptr<TFilterExpr> ParseFilter(const std::string& text);
// Binds field names to the data set's fields; raises "Field '%s' not found".
void BindFilter(TFilterExpr& expr, TDataSet* ds);
bool EvalFilter(const TFilterExpr& expr, bool caseInsensitive, bool noPartialCompare);
// The SQL LIKE match with % and _ (characters, not bytes).
bool LikeMatch(const std::string& text, const std::string& pattern, bool caseInsensitive);
// Reads ISO dates ("yyyy-mm-dd[ hh:nn[:ss[.zzz]]]") and then the format settings.
bool TryParseDateTimeText(const std::string& text, TDateTime& out);
// Compares two values for sorting and searching: Null first, texts in the
// system's collation.
int CompareValues(const Variant& a, const Variant& b, bool caseInsensitive);
}
