#include "frxDBSet.h"

#include "DB.h"
#include "StringLists.h"
#include "Streams.h"
#include "SysUtils.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxDBDataset, TfrxCustomDBDataSet)

TfrxDBDataset::TfrxDBDataset(TComponent* owner) : TfrxCustomDBDataSet(owner) {}

TfrxDBDataset::~TfrxDBDataset()
{
    // A run cut short must not leave the data set calling back into a freed object.
    if (TDataSet* ds = FLinked.Get()) ds->AfterOpen = FSavedAfterOpen;
}

void TfrxDBDataset::SetDataSet(TDataSet* v)
{
    FDataSet = v;
    if (v) FDataSource = nullptr;
}

void TfrxDBDataset::SetDataSource(TDataSource* v)
{
    FDataSource = v;
    if (v) FDataSet = nullptr;
}

TDataSet* TfrxDBDataset::EffectiveDataSet() const
{
    if (TDataSet* ds = FDataSet.Get()) return ds;
    if (TDataSource* src = FDataSource.Get()) return src->DataSet();
    return nullptr;
}

void TfrxDBDataset::GetFieldList(TStrings* list)
{
    list->Clear();
    TStringList* aliases = FieldAliases();
    if (aliases->Count() > 0) {
        for (int i = 0; i < aliases->Count(); ++i) {
            std::string line = (*aliases)[i];
            if (!line.empty() && line[0] == '-') continue;
            size_t eq = line.find('=');
            list->Add(eq == std::string::npos ? line : line.substr(eq + 1));
        }
        return;
    }
    TDataSet* ds = EffectiveDataSet();
    if (!ds) return;
    try {
        ds->GetFieldNames(list);
    } catch (const std::exception&) {
    }
}

void TfrxDBDataset::BindFields(bool raiseMissing)
{
    FFieldNames->Clear();
    FLookup.clear();
    TDataSet* ds = EffectiveDataSet();
    if (!ds) return;
    TStringList names;
    GetFieldList(&names);
    for (int i = 0; i < names.Count(); ++i) {
        std::string real = ConvertAlias(names[i]);
        TField* f = raiseMissing ? ds->FieldByName(real) : ds->FindField(real);
        FFieldNames->AddObject(names[i], f);
    }
}

void TfrxDBDataset::Initialize()
{
    TDataSet* ds = EffectiveDataSet();
    if (!ds) throw Exception(Format(frxRes::Resources().Get("dbNotConn"), {Name()}));
    if (TDataSet* old = FLinked.Get()) old->AfterOpen = FSavedAfterOpen;
    FLinked = ds;
    FSavedAfterOpen = ds->AfterOpen;
    TWeakRef<TfrxDBDataset> self(this);
    ds->AfterOpen = [self](TDataSet* d) {
        TfrxDBDataset* me = self.Get();
        if (!me) return;
        me->BindFields(true);
        if (me->FSavedAfterOpen) me->FSavedAfterOpen(d);
    };
    FAtRangeEnd = false;
    FOpened = false;
    FRunning = true;
}

void TfrxDBDataset::Finalize()
{
    FRunning = false;
    TDataSet* ds = EffectiveDataSet();
    if (!ds) return;
    if (FHasBookmark) {
        try {
            if (ds->Active()) ds->GotoBookmark(FBookmark);
        } catch (const std::exception&) {
            // The row went away meanwhile: stay where the run ended.
        }
        FBookmark.clear();
        FHasBookmark = false;
    }
    if (CloseDataSource()) ds->Close();
    if (TDataSet* linked = FLinked.Get()) linked->AfterOpen = FSavedAfterOpen;
    FLinked = nullptr;
    FSavedAfterOpen = nullptr;
}

void TfrxDBDataset::Open()
{
    if (FOpened) return;
    FOpened = true;
    TDataSet* ds = EffectiveDataSet();
    if (!ds) throw Exception(Format(frxRes::Resources().Get("dbNotConn"), {Name()}));
    ds->Open();
    if (RangeBegin() == rbCurrent || RangeEnd() == reCurrent) {
        FBookmark = ds->GetBookmark();
        FHasBookmark = true;
    }
    BindFields(false);
    TfrxCustomDBDataSet::Open();
}

void TfrxDBDataset::Close()
{
    TfrxCustomDBDataSet::Close();
    FLookup.clear();
    FFieldNames->Clear();
    FBookmark.clear();
    FHasBookmark = false;
    FOpened = false;
    if (TDataSet* ds = EffectiveDataSet()) ds->Close();
}

void TfrxDBDataset::First()
{
    if (!FOpened && FRunning) Open();
    TDataSet* ds = EffectiveDataSet();
    if (RangeBegin() == rbCurrent && FHasBookmark) ds->GotoBookmark(FBookmark);
    else ds->First();
    FAtRangeEnd = false;
    TfrxCustomDBDataSet::First();
}

void TfrxDBDataset::Next()
{
    if (!FOpened && FRunning) Open();
    TDataSet* ds = EffectiveDataSet();
    FAtRangeEnd = false;
    if (RangeEnd() == reCurrent) {
        if (FHasBookmark && ds->CompareBookmarks(ds->GetBookmark(), FBookmark) == 0) {
            FAtRangeEnd = true;
            return;
        }
    }
    ds->Next();
    TfrxCustomDBDataSet::Next();
}

void TfrxDBDataset::Prior()
{
    if (!FOpened && FRunning) Open();
    EffectiveDataSet()->Prior();
    TfrxCustomDBDataSet::Prior();
}

bool TfrxDBDataset::Eof()
{
    if (!FOpened && FRunning) Open();
    TDataSet* ds = EffectiveDataSet();
    return TfrxCustomDBDataSet::Eof() || !ds || ds->Eof() || FAtRangeEnd;
}

TField* TfrxDBDataset::ListedField(const std::string& field, bool& listed) const
{
    // Text objects ask for the same names row after row: the names as asked
    // map straight to their entry; other spellings go through the list.
    auto it = FLookup.find(field);
    if (it != FLookup.end()) {
        listed = true;
        return it->second;
    }
    int i = FFieldNames->IndexOf(field);
    if (i >= 0) FLookup.emplace(field, static_cast<TField*>(FFieldNames->Objects(i)));
    listed = i >= 0;
    return listed ? static_cast<TField*>(FFieldNames->Objects(i)) : nullptr;
}

void TfrxDBDataset::FieldMissing(const std::string& field, bool toErrors, std::string* text)
{
    std::string msg = frxRes::Resources().Get("dbFldNotFound") + " " + UserName() + ".\"" + field + "\"";
    if (text) *text = msg;
    if (toErrors)
        if (TfrxReport* r = LinkedReport() ? LinkedReport() : Report())
            r->Errors()->Add(r->CurObject + ": " + msg);
}

std::string TfrxDBDataset::GetDisplayText(const std::string& field)
{
    if (!FOpened && FRunning) Open();
    TDataSet* ds = EffectiveDataSet();
    if (!ds || !ds->Active()) return UserName() + ".\"" + field + "\"";
    if (FFieldNames->Count() > 0) {
        bool listed = false;
        TField* f = ListedField(field, listed);
        if (f) return f->DisplayText();
        std::string text;
        FieldMissing(field, true, &text);
        return text;
    }
    return ds->FieldByName(field)->DisplayText();
}

Variant TfrxDBDataset::GetValue(const std::string& field)
{
    if (!FOpened && FRunning) Open();
    bool listed = false;
    // A listed name whose field is missing reads as a missing field.
    if (TField* f = ListedField(field, listed)) return f->Value();
    FieldMissing(field, true, nullptr);
    return Null();
}

std::string TfrxDBDataset::GetDisplayLabel(const std::string& field)
{
    TDataSet* ds = EffectiveDataSet();
    TField* f = ds ? ds->FindField(ConvertAlias(field)) : nullptr;
    return f ? f->DisplayLabel() : field;
}

int TfrxDBDataset::GetDisplayWidth(const std::string& field)
{
    TDataSet* ds = EffectiveDataSet();
    if (!ds) return 10;
    std::string real = ConvertAlias(field);
    try {
        if (TField* f = ds->FindField(real)) return f->DisplayWidth();
        TFieldDefs* defs = ds->FieldDefs();
        if (!defs->Updated()) defs->Update();
        if (TFieldDef* d = defs->Find(real)) {
            switch (d->DataType()) {
            case ftString: case ftWideString: case ftFixedChar: return d->Size();
            case ftDateTime: return 20;
            case ftLargeint: return 15;
            default: break;
            }
        }
    } catch (const std::exception&) {
    }
    return 10;
}

TfrxFieldType TfrxDBDataset::GetFieldType(const std::string& field)
{
    TDataSet* ds = EffectiveDataSet();
    TField* f = ds ? ds->FindField(ConvertAlias(field)) : nullptr;
    if (!f) return fftNumeric;
    switch (f->DataType()) {
    case ftString: case ftWideString: case ftFixedChar: case ftMemo: case ftGuid: return fftString;
    case ftBoolean: return fftBoolean;
    default: return fftNumeric;
    }
}

bool TfrxDBDataset::IsBlobField(const std::string& field)
{
    if (!FOpened && FRunning) Open();
    bool listed = false;
    TField* f = ListedField(field, listed);
    return f && f->IsBlob();
}

void TfrxDBDataset::AssignBlobTo(const std::string& field, TStream* stream)
{
    if (!FOpened && FRunning) Open();
    bool listed = false;
    TField* f = ListedField(field, listed);
    if (!listed) throw EListError(Format("List index out of bounds (%d)", {-1}));
    auto* blob = DynamicCast<TBlobField>(f);
    if (!blob) return;
    blob->SaveToStream(stream);
    stream->SetPosition(0);
}
