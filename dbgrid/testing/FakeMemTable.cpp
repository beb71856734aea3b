#include "FakeMemTable.h"

#include "StringLists.h"

#include <algorithm>

namespace DBGridTest {

TFakeMemTable::TFakeMemTable(std::vector<TNode> nodes, bool tree, int firstFetch)
    : TDataSet(nullptr), FNodes(std::move(nodes)), FTree(tree)
{
    FieldDefs()->Add("Id", ftInteger);
    FieldDefs()->Add("Parent", ftInteger);
    FieldDefs()->Add("Name", ftString, 20);
    FieldDefs()->Add("Level", ftInteger);
    CreateDataSet();
    FFetched = tree || firstFetch < 0 ? int(FNodes.size()) : std::min(firstFetch, int(FNodes.size()));
    Reload(FNodes.empty() ? 0 : FNodes.front().Id);
}

TFakeMemTable::~TFakeMemTable() = default;

int TFakeMemTable::IndexOfId(int id) const
{
    for (size_t i = 0; i < FNodes.size(); ++i)
        if (FNodes[i].Id == id) return int(i);
    return -1;
}

int TFakeMemTable::LevelOf(int index) const
{
    int level = 1;
    for (int p = FNodes[size_t(index)].Parent; p != 0; ++level) p = FNodes[size_t(IndexOfId(p))].Parent;
    return level;
}

void TFakeMemTable::Reload(int currentId)
{
    DisableControls();
    EmptyDataSet();
    int limit = FTree ? int(FNodes.size()) : FFetched;
    for (int i = 0; i < limit; ++i) {
        bool shown = true;
        for (int p = FNodes[size_t(i)].Parent; p != 0 && shown; p = FNodes[size_t(IndexOfId(p))].Parent)
            shown = FExpanded.count(p) > 0;
        if (!shown) continue;
        const TNode& n = FNodes[size_t(i)];
        AppendRecord({n.Id, n.Parent, n.Name, LevelOf(i)});
    }
    First();
    if (currentId != 0) Locate("Id", currentId, {});
    EnableControls();
}

void TFakeMemTable::SetExpanded(int id, bool v)
{
    if (v) FExpanded.insert(id);
    else FExpanded.erase(id);
    Reload(Active() && !IsEmpty() ? FieldByName("Id")->AsInteger() : 0);
}

void TFakeMemTable::InstantReadEnter(int row)
{
    FInstantSaved.push_back(BeginInstantRead(row));
    ++FInstantDepth;
}

void TFakeMemTable::InstantReadLeave()
{
    if (FInstantSaved.empty()) return;
    EndInstantRead(FInstantSaved.back());
    FInstantSaved.pop_back();
    --FInstantDepth;
}

int TFakeMemTable::FetchRecords(int count)
{
    ++FFetchCalls;
    FLastFetchAsked = count;
    int more = std::min(count, int(FNodes.size()) - FFetched);
    if (FTree || more <= 0) return 0;
    FFetched += more;
    Reload(IsEmpty() ? 0 : FieldByName("Id")->AsInteger());
    return more;
}

int TFakeMemTable::NodeIndexOfCurrent()
{
    if (!Active() || IsEmpty()) return -1;
    return IndexOfId(FieldByName("Id")->AsInteger());
}

int TFakeMemTable::NodeLevel()
{
    int i = NodeIndexOfCurrent();
    return i < 0 ? 0 : LevelOf(i);
}

bool TFakeMemTable::NodeHasChildren()
{
    int i = NodeIndexOfCurrent();
    if (i < 0) return false;
    int id = FNodes[size_t(i)].Id;
    return std::any_of(FNodes.begin(), FNodes.end(), [id](const TNode& n) { return n.Parent == id; });
}

bool TFakeMemTable::NodeExpanded()
{
    int i = NodeIndexOfCurrent();
    return i >= 0 && FExpanded.count(FNodes[size_t(i)].Id) > 0;
}

bool TFakeMemTable::NodeHasNextSibling(int level)
{
    int i = NodeIndexOfCurrent();
    if (i < 0) return false;
    // Climb to the ancestor at that level.
    for (int l = LevelOf(i); l > level && i >= 0; --l) i = IndexOfId(FNodes[size_t(i)].Parent);
    if (i < 0) return false;
    int parent = FNodes[size_t(i)].Parent;
    for (size_t j = size_t(i) + 1; j < FNodes.size(); ++j)
        if (FNodes[j].Parent == parent) return true;
    return false;
}

int TFakeMemTable::ToggleNodeExpanded(int recNo)
{
    FToggles.push_back(recNo);
    auto saved = BeginInstantRead(recNo - 1);
    int id = saved.Active ? FieldByName("Id")->AsInteger() : 0;
    EndInstantRead(saved);
    if (id == 0) return 0;
    if (!FExpanded.erase(id)) FExpanded.insert(id);
    Reload(id);
    return RecNo();
}

void TFakeMemTable::FieldValueList(const std::string& fieldName, TStrings* values)
{
    TStringList sorted;
    sorted.SetSorted(true);
    sorted.SetDuplicates(dupIgnore);
    int slot = FieldDefs()->IndexOf(fieldName);
    for (const TNode& n : FNodes) {
        if (slot == 0) sorted.Add(std::to_string(n.Id));
        else if (slot == 1) sorted.Add(std::to_string(n.Parent));
        else if (slot == 2) sorted.Add(n.Name);
    }
    values->Assign(&sorted);
}

QZ_CLASS_IMPL(TFakeMemTable, TDataSet)

} // namespace DBGridTest
