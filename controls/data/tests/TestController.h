// A stand-in for the views: a controller whose items are plain objects with
// an ID, a field name and a caption, and which logs every notification.
#pragma once

#include "cxData.h"

#include <memory>
#include <string>
#include <vector>

struct TTestColumn : TObject {
    TTestColumn(int id, std::string name) : ID(id), Name(std::move(name)) {}
    int ID;
    std::string Name;
};

class TTestController : public TcxDataController {
public:
    std::vector<std::unique_ptr<TTestColumn>> Columns;
    std::vector<std::string> Log;
    bool SortByDisplayText = false;

    TTestController()
    {
        OnUpdateControl = [this](TcxUpdateControlInfo* info) { Log.push_back(Describe(info)); };
    }

    TObject* GetItem(int index) override { return Columns[size_t(index)].get(); }
    int GetItemID(TObject* item) override
    {
        auto* c = dynamic_cast<TTestColumn*>(item);
        return c ? c->ID : -1;
    }
    std::string GetFilterItemDisplayText(TObject* item) override { return static_cast<TTestColumn*>(item)->Name; }
    std::string GetFilterItemFieldName(TObject* item) override { return static_cast<TTestColumn*>(item)->Name; }
    bool GetItemSortByDisplayText(int, bool def) override { return SortByDisplayText; }

    int AddColumn(const std::string& name, TcxValueTypeClass type, int id = -1)
    {
        int index = int(Columns.size());
        Columns.push_back(std::make_unique<TTestColumn>(id < 0 ? 100 + index : id, name));
        AddItem(Columns.back().get());
        ChangeValueTypeClass(index, type);
        return index;
    }

    // Appends records with the given values of the first columns.
    void AddRows(const std::vector<std::vector<Variant>>& rows)
    {
        BeginUpdate();
        for (const auto& r : rows) {
            int rec = AppendRecord();
            for (size_t i = 0; i < r.size(); ++i) SetValue(rec, int(i), r[i]);
        }
        EndUpdate();
    }

    std::vector<int> RowRecords()
    {
        std::vector<int> r;
        for (int i = 0; i < GetRowCount(); ++i) r.push_back(GetRowInfo(i).RecordIndex);
        return r;
    }

    // Each row as "g<level>:<text>" for a group row or "r<record>" for a data row.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> out;
        int levels = Groups()->GetGroupingItemCount();
        for (int i = 0; i < GetRowCount(); ++i) {
            TcxDataControllerRowInfo info = GetRowInfo(i);
            if (info.Level < levels) {
                int item = 0;
                out.push_back("g" + std::to_string(info.Level) + ":" + GetRowDisplayText(info, item));
            } else {
                out.push_back("r" + std::to_string(info.RecordIndex));
            }
        }
        return out;
    }

    static std::string Describe(TcxUpdateControlInfo* info)
    {
        if (auto* d = dynamic_cast<TcxDataChangedInfo*>(info))
            return "data:" + std::to_string(int(d->DataChangeKind)) + "," + std::to_string(d->ChangedItem) + "," +
                   std::to_string(d->ChangedRecord);
        if (dynamic_cast<TcxLayoutChangedInfo*>(info)) return "layout";
        if (auto* f = dynamic_cast<TcxFocusedRowChangedInfo*>(info))
            return "row:" + std::to_string(f->OldRow) + "->" + std::to_string(f->NewRow);
        if (auto* f = dynamic_cast<TcxFocusedRecordChangedInfo*>(info))
            return "record:" + std::to_string(f->OldRecord) + "->" + std::to_string(f->NewRecord);
        if (auto* s = dynamic_cast<TcxSelectionChangedInfo*>(info)) {
            std::string r = "selection:";
            for (int x : s->Rows) r += std::to_string(x) + ";";
            return r;
        }
        if (dynamic_cast<TcxSearchChangedInfo*>(info)) return "search";
        if (dynamic_cast<TcxBookmarkChangedInfo*>(info)) return "bookmark";
        if (auto* u = dynamic_cast<TcxUpdateRecordInfo*>(info)) return "update:" + std::to_string(u->RecordToUpdate);
        return "?";
    }
};

inline std::unique_ptr<TTestController> MakeController()
{
    return std::unique_ptr<TTestController>(cxCreateDataController<TTestController>());
}
