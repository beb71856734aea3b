// The lookup editors' tests' data: the coaches a lookup lists, and the
// lessons that name a coach by id (with a lookup field giving its name).
#pragma once

#include "DB.h"

#include <functional>
#include <memory>
#include <string>

struct TCoachesData {
    std::unique_ptr<TDataSet> Set = std::make_unique<TDataSet>();
    TDataSource Source;
    TCoachesData()
    {
        Set->FieldDefs()->Add("CoachId", ftInteger);
        Set->FieldDefs()->Add("Team", ftString, 4);
        Set->FieldDefs()->Add("Seq", ftInteger);
        Set->FieldDefs()->Add("Name", ftString, 20);
        Set->FieldDefs()->Add("Phone", ftString, 11);
        Set->CreateDataSet();
        Set->AppendRecord({11, "A", 1, "张建国", "13900001111"});
        Set->AppendRecord({12, "A", 2, "李秀英", "13900002222"});
        Set->AppendRecord({13, "B", 1, "王志强", "13900003333"});
        Set->AppendRecord({14, "B", 2, "赵丽", "13900004444"});
        Set->AppendRecord({15, "C", 1, "孙红梅", "13900005555"});
        Set->First();
        Source.SetDataSet(Set.get());
    }
};

struct TLessonsData {
    TDataSet Set;
    TDataSource Source;
    TField* CoachName = nullptr;
    explicit TLessonsData(TDataSet* ACoaches)
    {
        for (const char* n : {"LessonId", "CoachId"}) {
            auto* f = new TIntegerField(&Set);
            f->SetFieldName(n);
            f->SetDataSet(&Set);
        }
        auto* name = new TStringField(&Set);
        name->SetFieldName("CoachName");
        name->SetFieldKind(fkLookup);
        name->SetKeyFields("CoachId");
        name->SetLookupDataSet(ACoaches);
        name->SetLookupKeyFields("CoachId");
        name->SetLookupResultField("Name");
        name->SetDataSet(&Set);
        CoachName = name;
        Set.CreateDataSet();
        Set.AppendRecord({1, 12});
        Source.SetDataSet(&Set);
    }
};

// The message of the database error AAction raises ("nothing raised" for none).
inline std::string RaisedDatabaseError(const std::function<void()>& AAction)
{
    try {
        AAction();
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "nothing raised";
}
