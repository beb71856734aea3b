// Test support of the data-aware grid: a data set that offers IMemTableEh.
// Its records are nodes (Id, Parent, Name, Level): a flat list fetched a
// few at a time, or a tree whose records are the nodes shown (the children
// of expanded nodes). It counts what the grid asks of it.
#pragma once

#include "DB.h"
#include "MemTableEh.h"

#include <set>
#include <string>
#include <vector>

namespace DBGridTest {

class TFakeMemTable : public TDataSet, public IMemTableEh {
    QZ_CLASS(TFakeMemTable, TDataSet)
    QZ_INTERFACES(IMemTableEh)
public:
    struct TNode {
        int Id;
        int Parent;   // 0: a top node
        std::string Name;
    };
    // Nodes in tree order (each after its parent and the parent's earlier
    // children). A flat set holds firstFetch records at first (all when
    // negative) and fetches the rest on request.
    TFakeMemTable(std::vector<TNode> nodes, bool tree, int firstFetch = -1);
    ~TFakeMemTable() override;

    // Records fetched so far, and the number of fetch requests.
    int FetchedCount() const { return FFetched; }
    int FetchCalls() const { return FFetchCalls; }
    int LastFetchAsked() const { return FLastFetchAsked; }
    bool IsExpanded(int id) const { return FExpanded.count(id) > 0; }
    void SetExpanded(int id, bool v);
    // The toggles asked (record numbers).
    const std::vector<int>& Toggles() const { return FToggles; }
    int OpenInstantReads() const { return FInstantDepth; }

    // IMemTableEh
    int ViewRowCount() override { return RecordCount(); }
    int ViewCurrentRow() override { return RecNo() - 1; }
    void InstantReadEnter(int row) override;
    void InstantReadLeave() override;
    int FetchRecords(int count) override;
    bool IsTreeView() override { return FTree; }
    int NodeLevel() override;
    bool NodeHasChildren() override;
    bool NodeExpanded() override;
    bool NodeHasNextSibling(int level) override;
    int ToggleNodeExpanded(int recNo) override;
    void FieldValueList(const std::string& fieldName, TStrings* values) override;

private:
    int NodeIndexOfCurrent();
    int IndexOfId(int id) const;
    int LevelOf(int index) const;
    // Fills the records with the nodes shown; the record of id becomes current.
    void Reload(int currentId);
    std::vector<TNode> FNodes;
    std::set<int> FExpanded;
    std::vector<int> FToggles;
    std::vector<TInstantRead> FInstantSaved;
    bool FTree;
    int FFetched = 0;
    int FFetchCalls = 0;
    int FLastFetchAsked = 0;
    int FInstantDepth = 0;
};

} // namespace DBGridTest
