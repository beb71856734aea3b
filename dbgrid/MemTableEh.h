// MemTableEh: what a data set that holds all its records in memory offers
// the data-aware grid. Through it the grid shows every record of the set's
// view as a row of its own (reading any of them in place), fetches records
// only as the visible rows need them, and draws and expands the nodes of a
// set that is a tree.
#pragma once

#include "Components.h"

#include <string>

class TStrings;

class IMemTableEh : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5B0C7E41-9A26-4D83-B1F5-3E8A0D6C2F19}");
    // The number of records in the view.
    virtual int ViewRowCount() = 0;
    // The current record's index in the view; -1 when there is none.
    virtual int ViewCurrentRow() = 0;
    // Until InstantReadLeave the fields read the record at that index of the
    // view; afterwards the current record again. Nothing moves or is told.
    virtual void InstantReadEnter(int row) = 0;
    virtual void InstantReadLeave() = 0;
    // Fetches at least count more records when the source has them; returns
    // how many came.
    virtual int FetchRecords(int count) = 0;
    // Whether the view is a tree of nodes.
    virtual bool IsTreeView() = 0;
    // Of the current (or instantly read) record's node: its level (1 for the
    // top nodes), whether it has children, whether they are shown, and
    // whether its ancestor at the level (the node itself at its own level)
    // has a sibling after it.
    virtual int NodeLevel() = 0;
    virtual bool NodeHasChildren() = 0;
    virtual bool NodeExpanded() = 0;
    virtual bool NodeHasNextSibling(int level) = 0;
    // Shows or hides the children of the node of record recNo (1-based);
    // returns the record number to go to afterwards, 0 or less for none.
    virtual int ToggleNodeExpanded(int recNo) = 0;
    // The distinct texts of a field over the whole view, sorted.
    virtual void FieldValueList(const std::string& fieldName, TStrings* values) = 0;
};
