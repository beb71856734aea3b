#include "cxDB.h"

#include "TextUtils.h"

#include <algorithm>

namespace cxDB {

void GetFieldNames(const std::string& names, std::vector<std::string>& list)
{
    list.clear();
    size_t pos = 0;
    while (pos < names.size()) {
        size_t end = names.find(';', pos);
        std::string n = Trim(names.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        pos = end == std::string::npos ? names.size() : end + 1;
        list.push_back(n);
    }
}

int GetFieldNamesCount(const std::string& names)
{
    std::vector<std::string> l;
    GetFieldNames(names, l);
    return int(l.size());
}

bool IsMultipleFieldNames(const std::string& names) { return GetFieldNamesCount(names) > 1; }

bool CanModifyLookupKeyFields(TField* lookupField)
{
    TDataSet* ds = lookupField ? lookupField->DataSet() : nullptr;
    if (!ds) return false;
    std::vector<std::string> names;
    GetFieldNames(lookupField->KeyFields(), names);
    if (names.empty()) return false;
    for (const auto& n : names) {
        TField* f = ds->FindField(n);
        if (!f || !f->CanModify()) return false;
    }
    return true;
}

bool CanModifyDataSetField(TField* field, bool byValue)
{
    if (!field || !field->CanModify()) return false;
    if (byValue) return true;
    TFieldType t = field->DataType();
    bool binary = t == ftBytes || t == ftVarBytes || (t >= ftBlob && t <= ftCursor) || (t >= ftADT && t <= ftDataSet);
    return !binary || field->HasOnSetText();
}

bool IsTextStoredDataSetField(TField* field, bool editsText)
{
    if (!field) return false;
    if (field->HasOnGetText() || !field->EditMask().empty()) return true;
    TFieldType t = field->DataType();
    bool binary = t == ftBytes || t == ftVarBytes || (t >= ftBlob && t <= ftCursor) || (t >= ftADT && t <= ftDataSet);
    if (binary || t == ftBoolean) return editsText;
    if (auto* n = DynamicCast<TNumericField>(field)) {
        if (!n->DisplayFormat().empty() || !n->EditFormat().empty()) return true;
        if (auto* f = DynamicCast<TFloatField>(field)) return f->Currency();
        if (auto* b = DynamicCast<TBCDField>(field)) return b->Currency();
        return false;
    }
    if (auto* a = DynamicCast<TAggregateField>(field)) return !a->DisplayFormat().empty() || a->Currency();
    return false;
}

void GetDataSetFieldValues(TDataSet*, const std::vector<TField*>& fields, Variant& value)
{
    if (fields.empty()) {
        value = Null();
    } else if (fields.size() == 1) {
        value = fields[0]->AsVariant();
    } else {
        std::vector<Variant> vs;
        for (TField* f : fields) vs.push_back(f->AsVariant());
        value = VarArrayOf(vs);
    }
}

void SetDataSetFieldValues(TDataSet*, const std::vector<TField*>& fields, const Variant& value)
{
    if (fields.empty()) return;
    if (fields.size() == 1) {
        fields[0]->SetAsVariant(value);
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(VarArrayGet(value, {int(i)}));
}

std::string GetFilterFieldName(TField* field, bool ignoreOrigin)
{
    if (!field) return std::string();
    std::string name = ignoreOrigin ? std::string() : field->Origin();
    if (name.empty()) {
        name = field->FieldName();
        if (!IsValidIdent(name)) {
            // A closing bracket inside would end a bracketed name early: such
            // a name is quoted instead (or, holding quotes too, bracketed
            // with its closing brackets doubled).
            if (name.find(']') == std::string::npos) {
                name = "[" + name + "]";
            } else if (name.find('"') == std::string::npos) {
                name = "\"" + name + "\"";
            } else {
                std::string escaped;
                for (char c : name) {
                    escaped += c;
                    if (c == ']') escaped += ']';
                }
                name = "[" + escaped + "]";
            }
        }
    }
    return name;
}

bool SameFieldName(const std::string& a, const std::string& b) { return AnsiUpperCase(a) == AnsiUpperCase(b); }

}  // namespace cxDB

QZ_CLASS_IMPL(TcxDBAdapterItem, TObject)
QZ_CLASS_IMPL(TcxDBAdapterList, TObject)

TcxDBAdapterList::~TcxDBAdapterList()
{
    for (auto* i : FItems) delete i;
}

bool TcxDBAdapterList::FindIndex(TClass dataSetClass, int& index)
{
    index = -1;
    for (int i = Count() - 1; i >= 0; --i) {
        TClass served = FItems[size_t(i)]->ServedClass();
        if (dataSetClass->InheritsFrom(served)) {
            index = i;
            return true;
        }
        if (served->InheritsFrom(dataSetClass)) index = i;
    }
    return false;
}

void TcxDBAdapterList::RegisterAdapter(TClass dataSetClass, TcxDBAdapterFactory make, TClass)
{
    int index;
    TcxDBAdapterItem* item = make(dataSetClass);
    if (FindIndex(dataSetClass, index)) FItems.insert(FItems.begin() + index + 1, item);
    else if (index >= 0) FItems.insert(FItems.begin() + index, item);
    else FItems.push_back(item);
}

void TcxDBAdapterList::UnregisterAdapter(TClass dataSetClass, TClass adapterClass)
{
    for (int i = Count() - 1; i >= 0; --i) {
        TcxDBAdapterItem* item = FItems[size_t(i)];
        if (item->ServedClass() == dataSetClass && item->ClassType() == adapterClass) {
            FItems.erase(FItems.begin() + i);
            delete item;
        }
    }
}

TcxDBAdapterItem* TcxDBAdapterList::FindAdapter(TClass dataSetClass)
{
    int index;
    return dataSetClass && FindIndex(dataSetClass, index) ? FItems[size_t(index)] : nullptr;
}
