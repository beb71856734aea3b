#include "DBGridEhFilter.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "TextUtils.h"

#include <vector>

namespace DBGridEhFilter {

const char* const FilterOperatorTexts[16] = {
    "", "=", "<>", ">", "<", ">=", "<=", "~", "!~", "In", "!In", "Null", "Null", "AND", "OR", ""};
const char* const FilterOperatorSqlTexts[16] = {
    "", "=", "<>", ">", "<", ">=", "<=", "LIKE", "NOT LIKE", "IN", "NOT IN", "IS NULL",
    "IS NOT NULL", "AND", "OR", ""};
const char* const FilterMarkerComment = "/*FILTER*/";

TFilterValueKindEh FilterValueKindOf(TFieldType dataType)
{
    switch (dataType) {
    case ftString: case ftMemo: case ftFmtMemo: case ftFixedChar: case ftWideString: case ftGuid:
        return fvkStringEh;
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD:
    case ftAutoInc: case ftLargeint: case ftFMTBcd:
        return fvkNumberEh;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
        return fvkDateTimeEh;
    case ftBoolean:
        return fvkBooleanEh;
    default:
        return fvkOtherEh;
    }
}

void ClearFilterExpression(TSTFilterExpressionEh& expression)
{
    expression.FirstOp = flNone;
    expression.FirstOperand = Null();
    expression.Junction = flNone;
    expression.SecondOp = flNone;
    expression.SecondOperand = Null();
}

namespace {

// "(" is read as no lexeme but still ends a bare value and counts as one.
enum class TPeek { Nothing, Stop, Other };

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Bytes above 127 (every byte of a multi-byte character) never delimit.
bool IsWordDelimiter(char c)
{
    switch (c) {
    case ' ': case '!': case '"': case '&': case '\'': case '(': case ')': case '+': case ',':
    case '-': case '.': case '<': case '=': case '>': case '|': case '~':
        return true;
    default:
        return static_cast<unsigned char>(c) < ' ';
    }
}

enum class TWord { None, Not, And, Or, Like, In, Null };

TWord KeyWord(const std::string& word)
{
    const std::string up = UpperCase(word);
    if (up == "NOT") return TWord::Not;
    if (up == "AND") return TWord::And;
    if (up == "OR") return TWord::Or;
    if (up == "LIKE") return TWord::Like;
    if (up == "IN") return TWord::In;
    if (up == "NULL") return TWord::Null;
    return TWord::None;
}

class TFilterParser {
public:
    TFilterParser(const std::string& text, const TFormatSettings& settings)
        : FText(text), FSettings(settings) {}

    bool Parse(TSTFilterExpressionEh& e);
    TFilterValueKindEh FKind = fvkOtherEh;

private:
    [[noreturn]] void Fail(const char* message) const { throw Exception(message + FText); }
    void SkipBlanks() { while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos; }
    bool AtEnd() const { return FPos >= FText.size(); }
    size_t WordEnd(size_t from) const
    {
        while (from < FText.size() && !IsWordDelimiter(FText[from])) ++from;
        return from;
    }
    TPeek PeekOperator(size_t at) const;
    TFilterLexemeEh NextLexeme(Variant& value, bool commaLists);
    Variant ReadValueList(bool commaLists);
    Variant ReadValue(bool commaLists);
    void ReadTerm(TFilterLexemeEh& op, Variant& operand, bool defaultCommaLists);
    void ExpectClose();

    const std::string& FText;
    const TFormatSettings& FSettings;
    size_t FPos = 0;
};

// Whether an operator, a junction, NOT, NULL, IN or "(" starts at `at`: such a
// lexeme ends a bare value that would otherwise run on over blanks.
TPeek TFilterParser::PeekOperator(size_t at) const
{
    if (at >= FText.size()) return TPeek::Nothing;
    switch (FText[at]) {
    case '!': case '&': case '(': case '<': case '=': case '>': case '|': case '~':
        return TPeek::Stop;
    case '\'':
        return TPeek::Other;
    default:
        break;
    }
    const size_t end = WordEnd(at);
    return KeyWord(FText.substr(at, end - at)) == TWord::None ? TPeek::Other : TPeek::Stop;
}

Variant TFilterParser::ReadValue(bool commaLists)
{
    SkipBlanks();
    if (!AtEnd() && FText[FPos] == '\'') {
        const size_t close = FText.find('\'', FPos + 1);
        if (close == std::string::npos) Fail("Quote is absent: ");
        Variant v(FText.substr(FPos + 1, close - FPos - 1));
        FPos = close + 1;
        return v;
    }
    const size_t start = FPos;
    while (!AtEnd()) {
        const char c = FText[FPos];
        if (c == '(' || c == ')' || (commaLists && c == ',')) break;
        if (IsBlank(c)) {
            size_t next = FPos;
            while (next < FText.size() && IsBlank(FText[next])) ++next;
            if (PeekOperator(next) != TPeek::Other) break;
            FPos = next;
            continue;
        }
        ++FPos;
    }
    if (FPos == start) return AtEnd() ? Null() : Variant(std::string());
    return Variant(TrimRight(FText.substr(start, FPos - start)));
}

Variant TFilterParser::ReadValueList(bool commaLists)
{
    std::vector<Variant> values{ReadValue(commaLists)};
    while (commaLists && !values.back().IsNull() && !AtEnd() && FText[FPos] == ',') {
        ++FPos;
        values.push_back(ReadValue(commaLists));
        if (values.back().IsNull()) values.back() = Variant(std::string());
    }
    return values.size() == 1 ? values.front() : VarArrayOf(values);
}

TFilterLexemeEh TFilterParser::NextLexeme(Variant& value, bool commaLists)
{
    value = Null();
    SkipBlanks();
    if (AtEnd()) return flNone;
    const char c = FText[FPos];
    const char d = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
    TWord word = TWord::None;
    switch (c) {
    case '!':
        if (d == '=') { FPos += 2; return flNotEqual; }
        ++FPos;
        word = TWord::Not;
        break;
    case '&': ++FPos; return flAnd;
    case '(': ++FPos; return flNone;
    case '<':
        if (d == '=') { FPos += 2; return flLessOrEqual; }
        if (d == '>') { FPos += 2; return flNotEqual; }
        ++FPos; return flLess;
    case '=': ++FPos; return flEqual;
    case '>':
        if (d == '=') { FPos += 2; return flGreaterOrEqual; }
        ++FPos; return flGreater;
    case '|': ++FPos; return flOr;
    case '~': ++FPos; return flLike;
    case '\'':
        value = ReadValueList(commaLists);
        return flValue;
    default: {
        const size_t end = WordEnd(FPos);
        word = KeyWord(FText.substr(FPos, end - FPos));
        if (word != TWord::None) FPos = end;
    }
    }
    const auto afterIn = [this](TFilterLexemeEh in) {
        SkipBlanks();
        if (AtEnd() || FText[FPos] != '(') Fail("'(' expected: ");
        ++FPos;
        return in;
    };
    switch (word) {
    case TWord::Not: {
        Variant ignored;
        const TFilterLexemeEh l = NextLexeme(ignored, commaLists);
        if (l == flLike) return flNotLike;
        if (l == flIn) return flNotIn;
        if (l == flNull) return flNotNull;
        return flNone;
    }
    case TWord::And: return flAnd;
    case TWord::Or: return flOr;
    case TWord::Like: return flLike;
    case TWord::In: return afterIn(flIn);
    case TWord::Null: return flNull;
    case TWord::None: break;
    }
    value = ReadValueList(commaLists);
    return value.IsNull() ? flNone : flValue;
}

void TFilterParser::ExpectClose()
{
    SkipBlanks();
    if (AtEnd() || FText[FPos] != ')') Fail("')' expected: ");
    ++FPos;
}

void TFilterParser::ReadTerm(TFilterLexemeEh& op, Variant& operand, bool defaultCommaLists)
{
    Variant v;
    const TFilterLexemeEh l1 = NextLexeme(v, defaultCommaLists);
    if (l1 == flValue) {
        op = VarIsArray(v) ? flIn : FKind == fvkStringEh ? flLike : flEqual;
        operand = v;
        return;
    }
    if (l1 == flNone) Fail("Error in expression: ");
    // A junction cannot start a term: it would filter by nothing typed.
    if (l1 == flAnd || l1 == flOr) Fail("Unexpected AND or OR: ");
    const bool inList = l1 == flIn || l1 == flNotIn;
    // Only In takes a list after its operator: "= 1,5" compares with the one text "1,5".
    const TFilterLexemeEh l2 = NextLexeme(v, inList);
    op = l1;
    if (l2 == flNull) {
        if (l1 == flEqual) op = flNull;
        else if (l1 == flNotEqual) op = flNotNull;
        else Fail("Unexpected expression before Null: ");
        operand = Null();
        return;
    }
    if (l2 != flValue) Fail("Unexpected expression after operator: ");
    operand = v;
    // Both terms close their list, so that a list in the second term leaves
    // no ")" behind to be taken for trailing text.
    if (inList) ExpectClose();
}

bool TFilterParser::Parse(TSTFilterExpressionEh& e)
{
    FKind = e.ValueKind;
    const bool commaLists = !(e.ValueKind == fvkNumberEh && FSettings.DecimalSeparator == ',');
    ReadTerm(e.FirstOp, e.FirstOperand, commaLists);
    bool second = false;
    SkipBlanks();
    if (!AtEnd()) {
        Variant ignored;
        const TFilterLexemeEh j = NextLexeme(ignored, commaLists);
        if (j == flNone) Fail("Incorrect expression: ");
        if (j != flAnd && j != flOr) Fail("Unexpected AND or OR: ");
        e.Junction = j;
        SkipBlanks();
        if (!AtEnd()) {
            ReadTerm(e.SecondOp, e.SecondOperand, commaLists);
            second = true;
            SkipBlanks();
            // Only two terms are held: a third must not be dropped unseen.
            if (!AtEnd()) Fail("Incorrect expression: ");
        }
    }
    return second;
}

// The values of an operand: an array's elements, or the single value.
std::vector<Variant> OperandValues(const Variant& operand)
{
    if (!VarIsArray(operand)) return {operand};
    std::vector<Variant> values;
    for (int i = VarArrayLowBound(operand, 1); i <= VarArrayHighBound(operand, 1); ++i)
        values.push_back(VarArrayGet(operand, {i}));
    return values;
}

Variant ConvertValue(const Variant& v, TFilterValueKindEh kind, const TFormatSettings& settings)
{
    if (kind == fvkNumberEh) return Variant(StrToFloat(VarToStr(v), settings));
    if (kind == fvkDateTimeEh) return Variant::FromDate(StrToDateTime(VarToStr(v), settings));
    return v;
}

void ConvertOperand(TFilterLexemeEh op, Variant& operand, TFilterValueKindEh kind,
                    const TFormatSettings& settings)
{
    if (op < flEqual || op > flNotIn) {
        operand = Null();
        return;
    }
    if (!VarIsArray(operand)) {
        operand = ConvertValue(operand, kind, settings);
        return;
    }
    std::vector<Variant> values = OperandValues(operand);
    for (Variant& v : values) v = ConvertValue(v, kind, settings);
    operand = VarArrayOf(values);
}

} // namespace

bool ParseFilterExpression(const std::string& text, TSTFilterExpressionEh& expression,
                           const TFormatSettings& settings)
{
    ClearFilterExpression(expression);
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return false;
    TFilterParser parser(trimmed, settings);
    const bool result = parser.Parse(expression);
    ConvertOperand(expression.FirstOp, expression.FirstOperand, expression.ValueKind, settings);
    ConvertOperand(expression.SecondOp, expression.SecondOperand, expression.ValueKind, settings);
    return result;
}

namespace {

std::string OperandText(const Variant& v, const TFormatSettings& settings)
{
    if (VarIsType(v, varDouble)) return FloatToStr(v.AsDouble(), settings);
    if (VarIsType(v, varDate)) return DateToStr(VarToDateTime(v), settings);
    return "'" + VarToStr(v) + "'";
}

std::string TermText(TFilterLexemeEh op, const Variant& operand, const TFormatSettings& settings)
{
    if (op == flNull) return "=Null";
    if (op == flNotNull) return "<>Null";
    const std::string opText = FilterOperatorTexts[op];
    if (op != flIn && op != flNotIn) return opText + " " + OperandText(operand, settings);
    std::string s = opText + " (";
    for (const Variant& v : OperandValues(operand)) s += OperandText(v, settings) + ",";
    s.pop_back();
    return s + ")";
}

} // namespace

std::string ExpressionAsText(const TSTFilterExpressionEh& e, bool hasListSource,
                             const TFormatSettings& settings)
{
    if (e.ValueKind == fvkOtherEh || e.FirstOp == flNone) return {};
    if (hasListSource) {
        if (!VarIsArray(e.FirstOperand)) return VarToStr(e.FirstOperand);
        std::string s;
        for (const Variant& v : OperandValues(e.FirstOperand)) s += "'" + VarToStr(v) + "',";
        return s;
    }
    std::string s = TermText(e.FirstOp, e.FirstOperand, settings);
    if (e.Junction != flNone) {
        s += std::string(" ") + FilterOperatorTexts[e.Junction];
        // A junction typed without its second term shows as typed.
        if (e.SecondOp != flNone) s += " " + TermText(e.SecondOp, e.SecondOperand, settings);
    }
    return s;
}

} // namespace DBGridEhFilter

// ---- the column filter ------------------------------------------------------------------------------

#include "DBGridEh.h"
#include "ToolCtrlsEh.h"
#include "TypInfo.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL_PROPS(TSTColumnFilterEh, TPersistent, [](std::vector<TPropInfo>& p) {
    using C = TSTColumnFilterEh;
    p.push_back(PublishString<C>("DataField", &C::DataField, [](C* f, const std::string& v) { f->SetDataField(v); }));
    p.push_back(PublishString<C>("KeyField", &C::KeyField, [](C* f, const std::string& v) { f->SetKeyField(v); }));
    p.push_back(PublishString<C>("ListField", &C::ListField, [](C* f, const std::string& v) { f->SetListField(v); }));
    p.push_back(PublishBool<C>("Visible", &C::Visible, [](C* f, bool v) { f->SetVisible(v); }, true));
})
QZ_CLASS_IMPL_PROPS(TSTDBGridEhFilter, TPersistent, [](std::vector<TPropInfo>& p) {
    using C = TSTDBGridEhFilter;
    p.push_back(PublishBool<C>("Local", &C::Local, [](C* f, bool v) { f->SetLocal(v); }, false));
    p.push_back(PublishBool<C>("Visible", &C::Visible, [](C* f, bool v) { f->SetVisible(v); }, false));
})
QZ_CLASS_IMPL(TInplaceFilterEditEh, TDBComboBoxEh)

TSTColumnFilterEh::TSTColumnFilterEh(TColumnEh* column) : FColumn(column) {}

TSTColumnFilterEh::~TSTColumnFilterEh() = default;

void TSTColumnFilterEh::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    if (TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr) g->RequestLayout();
}

void TSTColumnFilterEh::SetListSource(TDataSource* v)
{
    FListSource = v;
    DropValueListCache();
}

void TSTColumnFilterEh::Assign(TPersistent* source)
{
    if (auto* f = DynamicCast<TSTColumnFilterEh>(source)) {
        FDataField = f->FDataField;
        SetVisible(f->FVisible);
        FKeyField = f->FKeyField;
        FListField = f->FListField;
        SetListSource(f->ListSource());
        return;
    }
    TPersistent::Assign(source);
}

TField* TSTColumnFilterEh::ColumnField() const
{
    if (!FColumn) return nullptr;
    TCustomDBGridEh* g = FColumn->Grid();
    if (!g || !g->DataLink()->Active()) return nullptr;
    return FColumn->Field();
}

std::string TSTColumnFilterEh::FilterFieldName() const
{
    if (!FDataField.empty()) return FDataField;
    if (TField* f = ColumnField(); f && f->Lookup()) return f->KeyFields();
    return FColumn ? FColumn->FieldName() : std::string();
}

std::string TSTColumnFilterEh::KeyFieldNames() const
{
    if (!FKeyField.empty()) return FKeyField;
    if (TField* f = ColumnField(); f && f->Lookup()) return f->LookupKeyFields();
    return {};
}

std::string TSTColumnFilterEh::ListFieldName() const
{
    if (!FListField.empty()) return FListField;
    if (TField* f = ColumnField(); f && f->Lookup()) return f->LookupResultField();
    return {};
}

TDataSet* TSTColumnFilterEh::ListDataSet() const
{
    if (TDataSource* s = ListSource()) return s->DataSet();
    if (TField* f = ColumnField(); f && f->Lookup()) return f->LookupDataSet();
    return nullptr;
}

Variant TSTColumnFilterEh::FilterOperand1() const
{
    return KeyFieldNames().empty() ? FExpression.FirstOperand : FKeyValues;
}

Variant TSTColumnFilterEh::FilterOperand2() const { return FExpression.SecondOperand; }

bool TSTColumnFilterEh::HasDropDownButton() const
{
    return ListSource() != nullptr || (FColumn && FColumn->Grid() && FColumn->Grid()->HasMemTable());
}

std::unique_ptr<TDatasetFieldValueListEh> TSTColumnFilterEh::ValueList() const
{
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    TDataSource* src = ListSource();
    TDataSet* ds = src ? src->DataSet() : nullptr;
    if (!g || !g->DataLink()->Active() || !ds || !ds->Active()) return nullptr;
    const std::string name = FListField.empty() ? FColumn->FieldName() : FListField;
    if (!ds->FindField(name)) return nullptr;
    auto list = std::make_unique<TDatasetFieldValueListEh>();
    list->SetSourceDataSet(ds);
    list->SetValueFieldName(name);
    return list;
}

TStrings* TSTColumnFilterEh::CachedValues()
{
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    if (!ListSource() && g && g->HasMemTable() && g->DataLink()->Active()) {
        if (!FMemTableValues) {
            FMemTableValues = std::make_unique<TStringList>();
            g->MemTable()->FieldValueList(FColumn->FieldName(), FMemTableValues.get());
        }
        return FMemTableValues.get();
    }
    if (!FValueList) FValueList = ValueList();
    return FValueList ? FValueList->DistinctValues() : nullptr;
}

void TSTColumnFilterEh::DropValueListCache()
{
    FValueList.reset();
    FMemTableValues.reset();
}

std::string TSTColumnFilterEh::ExpressionAsText() const
{
    return DBGridEhFilter::ExpressionAsText(FExpression, ListSource() != nullptr);
}

void TSTColumnFilterEh::ClearFilter()
{
    FKeyValues = Null();
    SetExpressionText({});
}

void TSTColumnFilterEh::SetExpressionText(const std::string& text)
{
    StoreExpressionText(text);
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    if (!g) return;
    g->Invalidate();
    TSTDBGridEhFilter* rowFilter = g->STFilter();
    if (rowFilter->FilterEditor() && rowFilter->FilterEditor()->Visible()) rowFilter->PlaceFilterEditor(false);
}

void TSTColumnFilterEh::ParseExpressionText(const std::string& text, std::string& normalized)
{
    if (TField* f = FColumn ? FColumn->Field() : nullptr) FExpression.ValueKind = DBGridEhFilter::FilterValueKindOf(f->DataType());
    DBGridEhFilter::ParseFilterExpression(text, FExpression);
    normalized = ExpressionAsText();
}

void TSTColumnFilterEh::StoreExpressionText(const std::string& text)
{
    const std::string keys = KeyFieldNames();
    std::string normalized;
    if (keys.empty()) {
        ParseExpressionText(text, normalized);
        FExpressionText = text;
        return;
    }
    // A list filter: the text names an entry of the list, filtered by its keys.
    if (text.empty()) FKeyValues = Null();
    else if (TDataSet* list = ListDataSet()) FKeyValues = list->Lookup(ListFieldName(), Variant(text), keys);
    ParseExpressionText({}, normalized);
    FExpression.ValueKind = fvkStringEh;
    if (VarIsNull(FKeyValues)) {
        // A text that matches no entry filters for an empty field.
        FExpression.FirstOp = text.empty() ? flNone : flNull;
    } else {
        FExpression.FirstOp = flIn;
        FExpression.FirstOperand = Variant(text);
    }
    FExpressionText = text;
}

// ---- the filter row editor ------------------------------------------------------------------------

TInplaceFilterEditEh::TInplaceFilterEditEh(TComponent* owner) : TDBComboBoxEh(owner)
{
    OnDropDown = [this](TObject*) {
        FTextBeforeDrop = Text();
        if (OnGetItems && Items()->Count() == 0) OnGetItems(this);
    };
}

TRect TInplaceFilterEditEh::TextRect() const
{
    TRect r = ClientRect();
    r.Top += 1;
    return r;
}

void TInplaceFilterEditEh::ShowKeyAndText(const Variant& value, const std::string& text)
{
    StoreValue(value);
    TCustomEdit::SetText(text);
}

void TInplaceFilterEditEh::KeyDown(WORD& key, TShiftState shift)
{
    if (OnHostKeyDown) OnHostKeyDown(this, key, shift);
    if (key != 0) TDBComboBoxEh::KeyDown(key, shift);
}

void TInplaceFilterEditEh::KeyPress(char& key)
{
    // Tab moves between the filter cells; it is never text.
    if (key == '\t') {
        key = 0;
        return;
    }
    TDBComboBoxEh::KeyPress(key);
}

void TInplaceFilterEditEh::Dispatch(TMessage& message)
{
    TDBComboBoxEh::Dispatch(message);
    if (message.Msg != WM_GETDLGCODE) return;
    // The grid decides what the arrows and Tab do in its filter row.
    message.Result |= DLGC_WANTARROWS;
    auto* grid = DynamicCast<TCustomDBGridEh>(Parent());
    if (grid && grid->Options().Contains(dgTabs)) message.Result |= DLGC_WANTTAB;
}

// ---- the grid's filter row -----------------------------------------------------------------------------

TSTDBGridEhFilter::TSTDBGridEhFilter(TCustomDBGridEh* grid) : FGrid(grid) {}

TSTDBGridEhFilter::~TSTDBGridEhFilter()
{
    // Give the data set back the filter handler it had before the grid filtered it.
    if (TDataSet* ds = FFilteredDataSet.Get()) {
        ds->OnFilterRecord = FPriorFilterRecord;
        try {
            ds->SetFiltered(false);
            ds->SetFiltered(FPriorFiltered);
        } catch (...) {
        }
    }
}

void TSTDBGridEhFilter::Assign(TPersistent* source)
{
    if (auto* f = DynamicCast<TSTDBGridEhFilter>(source)) {
        SetVisible(f->FVisible);
        FLocal = f->FLocal;
        return;
    }
    TPersistent::Assign(source);
}

void TSTDBGridEhFilter::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    if (!FGrid) return;
    if (!v) CloseFilterEditor();
    FGrid->RequestLayout();
    if (FGrid->EditorMode()) FGrid->InvalidateEditor();
}

bool TSTDBGridEhFilter::ColumnHasFilterCell(int dataCol) const
{
    if (!FGrid || dataCol < 0 || dataCol >= FGrid->Columns()->Count()) return false;
    TColumnEh* c = FGrid->Columns()->Items(dataCol);
    return c->Visible() && c->STFilter()->Visible();
}

std::string TSTDBGridEhFilter::FilterCellText(int dataCol) const
{
    if (!FGrid || dataCol < 0 || dataCol >= FGrid->Columns()->Count()) return {};
    TColumnEh* c = FGrid->Columns()->Items(dataCol);
    return c->FieldName().empty() ? std::string() : c->STFilter()->ExpressionText();
}

bool TSTDBGridEhFilter::IsFilterRow(int row) const { return FVisible && FGrid && row == FGrid->FirstDataRow() - 1; }

void TSTDBGridEhFilter::ToggleFilterEditor(bool open)
{
    if (open) OpenFilterEditor(FGrid->SelectedIndex());
    else CloseFilterEditor();
}

TInplaceFilterEditEh* TSTDBGridEhFilter::MakeFilterEditor() { return new TInplaceFilterEditEh(nullptr); }

void TSTDBGridEhFilter::OpenFilterEditor(int dataCol)
{
    if (!FVisible || !ColumnHasFilterCell(dataCol)) return;
    TCustomDBGridEh* g = FGrid;
    if (g->DataLink()->Active()) g->DataLink()->DataSet()->CheckBrowseMode();
    if (!FEditor) {
        FEditor.reset(MakeFilterEditor());
        FEditor->SetVisible(false);
        FEditor->SetParent(g);
        FEditor->SetBorderStyle(bsNone);
        FEditor->Font()->Assign(g->Font());
        FEditor->Font()->SetColor(clBlue);
        FEditor->SetColor(DBGridEh::BrightenColor(g->FixedColor(), 8));
        FEditor->OnHostKeyDown = [this](TInplaceFilterEditEh* e, WORD& key, TShiftState shift) {
            FilterEditorKeyDown(e, key, shift);
        };
        FEditor->OnKeyPress = [this](TObject*, char& key) { FilterEditorKeyPress(key); };
    }
    int previous = -1;
    if (FFilterCol != -1 && FEditor->Visible()) {
        previous = FFilterCol + g->IndicatorColCount();
        HideFilterEditor();
    }
    FFilterCol = dataCol;
    FEditorActive = true;
    g->HideEditor();
    g->LockPaint();
    try {
        const int c = dataCol + g->IndicatorColCount();
        if (g->Options().Contains(dgRowSelect)) {
            if (c < g->LeftCol()) g->SetLeftCol(std::max(c, g->FixedCols()));
            else
                while (c > g->LeftCol() && c >= g->LeftCol() + g->VisibleColCount()) g->SetLeftCol(g->LeftCol() + 1);
        } else {
            g->MoveCol(c, 0, false);
        }
        g->InvalidateCell(c, g->FirstDataRow() - 1);
        if (previous >= 0) g->InvalidateCell(previous, g->FirstDataRow() - 1);
    } catch (...) {
        g->UnlockPaint();
        throw;
    }
    g->UnlockPaint();
    PlaceFilterEditor(true);
}

bool TSTDBGridEhFilter::FilterEditorWanted() const
{
    return FEditorActive && FGrid->Selection()->SelectionType() == gstNon;
}

void TSTDBGridEhFilter::PlaceFilterEditor(bool reload)
{
    if (FUpdateCount > 0 || !FGrid) return;
    if (!FVisible || !ColumnHasFilterCell(FFilterCol) || !FEditorActive) {
        ToggleFilterEditor(false);
        return;
    }
    TRect r = FGrid->CellRect(FFilterCol + FGrid->IndicatorColCount(), FGrid->FirstDataRow() - 1);
    r.Left += 1;
    if (!FilterEditorWanted()) {
        HideFilterEditor();
        return;
    }
    if (reload) FEditor->SetBounds(r.Left, r.Top, 0, 0);
    FEditor->SetVisible(true);
    if (FEditor->CanFocus()) FEditor->SetFocus();
    if (reload) {
        LoadFilterEditor(FFilterCol);
        FEditor->SelectAll();
    }
    FEditor->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void TSTDBGridEhFilter::LoadFilterEditor(int dataCol)
{
    TColumnEh* column = FGrid->Columns()->Items(dataCol);
    TSTColumnFilterEh* f = column->STFilter();
    FEditor->Items()->Clear();
    if (f->HasDropDownButton()) {
        FEditor->OnCloseUp = [this](TObject* sender, bool accept) { FilterListClosed(sender, accept); };
        FEditor->OnGetItems = [this](TInplaceFilterEditEh* e) { FillFilterList(e); };
        FEditor->Clear();
        FEditor->SetDropDownButtonVisible(true);
        FEditor->DropDownBox()->SetSizable(true);
        if (!f->KeyFieldNames().empty()) FEditor->ShowKeyAndText(f->KeyValues(), f->ExpressionText());
        else FEditor->ShowKeyAndText(Null(), f->ExpressionText());
        FEditor->DropDownBox()->SetWidth(f->DropDownWidth() > 0 ? f->DropDownWidth() : 100);
        FEditor->DropDownBox()->SetRows(f->DropDownRows() > 0 ? f->DropDownRows() : 17);
    } else {
        FEditor->OnGetItems = nullptr;
        FEditor->OnCloseUp = nullptr;
        FEditor->SetDropDownButtonVisible(false);
        FEditor->ShowKeyAndText(Null(), FilterCellText(dataCol));
    }
}

void TSTDBGridEhFilter::FillFilterList(TInplaceFilterEditEh* editor)
{
    if (FFilterCol < 0 || FFilterCol >= FGrid->Columns()->Count()) return;
    TColumnEh* column = FGrid->Columns()->Items(FFilterCol);
    TStrings* items = editor->Items();
    items->BeginUpdate();
    items->Clear();
    if (TStrings* values = column->STFilter()->CachedValues()) items->Assign(values);
    FListCodes.assign(size_t(items->Count()), 0);
    auto put = [&](int code, const char* text) {
        items->Insert(0, text);
        FListCodes.insert(FListCodes.begin(), code);
    };
    put(icEmpty, DBGridEhFilter::SEmptyItem);
    put(icNotEmpty, DBGridEhFilter::SNotEmptyItem);
    put(icAll, DBGridEhFilter::SAllItem);
    put(icClearFilter, DBGridEhFilter::SClearFilterItem);
    if (FGrid->OptionsEh().Contains(dghAutoSortMarking) && column->Title()->TitleButton()) {
        put(icSeparator, "-");
        put(icOrderAsc, DBGridEhFilter::SOrderAscItem);
        put(icOrderDesc, DBGridEhFilter::SOrderDescItem);
    }
    items->EndUpdate();
}

void TSTDBGridEhFilter::FilterListItemPicked(TObject*, bool& accept)
{
    if (!accept || !FEditor) return;
    if (FFilterCol != -1 && FEditor && FEditor->Visible()) {
        TSTColumnFilterEh* f = FGrid->Columns()->Items(FFilterCol)->STFilter();
        f->SetDropDownWidth(FEditor->DropDownBox()->Width());
        f->SetDropDownRows(FEditor->DropDownBox()->Rows());
    }
    const int row = FEditor ? FEditor->ListItemIndex() : -1;
    const int code = row >= 0 && size_t(row) < FListCodes.size() ? FListCodes[size_t(row)] : 0;
    if (code < 1) return;
    // The box does not take a special item as its text.
    accept = false;
    FEditor->ShowKeyAndText(Null(), FEditor->TextBeforeDrop());
    TDBGridColumnsEh* cols = FGrid->Columns();
    if (code == icOrderAsc || code == icOrderDesc) {
        cols->BeginUpdate();
        for (int i = 0; i < cols->Count(); ++i) cols->Items(i)->Title()->SetSortMarker(smNoneEh);
        cols->EndUpdate();
        FGrid->RebuildSortColumnList();
    }
    switch (code) {
    case icEmpty: FEditor->ShowKeyAndText(Null(), "=Null"); break;
    case icNotEmpty: FEditor->ShowKeyAndText(Null(), "<>Null"); break;
    case icAll: FEditor->ShowKeyAndText(Null(), ""); break;
    case icClearFilter: ClearGridFilter(); break;
    case icOrderAsc: cols->Items(FFilterCol)->Title()->SetSortMarker(smDownEh); break;
    case icOrderDesc: cols->Items(FFilterCol)->Title()->SetSortMarker(smUpEh); break;
    default: break;
    }
    if (code == icClearFilter || (code < icClearFilter && FApplyFilterOnPick)) ApplyGridFilter();
    if (code == icOrderAsc || code == icOrderDesc) FGrid->DoSortMarkingChanged();
}

void TSTDBGridEhFilter::FilterListClosed(TObject* sender, bool accept)
{
    FilterListItemPicked(sender, accept);
    if (accept && FApplyFilterOnPick) ApplyGridFilter();
}

void TSTDBGridEhFilter::FilterEditorKeyPress(char& key)
{
    if (key != '\r') return;
    key = 0;
    ApplyGridFilter();
}

namespace {

// The caret stands after the last character with nothing or all selected from the start.
bool AtRightEdge(TCustomEdit* e)
{
    const int len = Length(e->Text());
    return e->SelStart() + e->SelLength() == len && (e->SelLength() == 0 || e->SelStart() == 0);
}

bool AtLeftEdge(TCustomEdit* e)
{
    const int len = Length(e->Text());
    return e->SelStart() == 0 && (e->SelLength() == 0 || e->SelLength() == len);
}

} // namespace

void TSTDBGridEhFilter::FilterEditorKeyDown(TObject* sender, WORD& key, TShiftState shift)
{
    auto* e = DynamicCast<TInplaceFilterEditEh>(sender);
    if (!e || e->ListVisible()) return;
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_TAB:
        if (FGrid->Options().Contains(dgTabs)) MoveToFilterCell(!shift.Contains(ssShift), false, key);
        break;
    case VK_LEFT:
        if (ctrl || AtLeftEdge(e)) MoveToFilterCell(false, ctrl, key);
        break;
    case VK_RIGHT:
        if (ctrl || AtRightEdge(e)) MoveToFilterCell(true, ctrl, key);
        break;
    case VK_HOME:
        if (ctrl || AtLeftEdge(e)) MoveToFilterCell(false, true, key);
        break;
    case VK_END:
        if (ctrl || AtRightEdge(e)) MoveToFilterCell(true, true, key);
        break;
    case VK_UP:
        if (shift.Empty()) key = 0;
        break;
    case VK_DOWN:
        if ((shift.Empty() || shift == TShiftState{ssCtrl}) && FGrid->DataLink()->Active()) {
            FGrid->SetSelectedIndex(FFilterCol);
            if (shift.Empty()) {
                // To the record shown in the first data row.
                const int back = FGrid->DataLink()->ActiveRecord();
                if (back > 0) FGrid->DataLink()->DataSet()->MoveBy(-back);
            }
            CloseFilterEditor();
            key = 0;
        }
        break;
    case VK_F2:
        e->SetSelStart(Length(e->Text()));
        e->SetSelLength(0);
        key = 0;
        break;
    default:
        break;
    }
}

void TSTDBGridEhFilter::MoveToFilterCell(bool forward, bool toEnd, WORD& key)
{
    key = 0;
    const int first = FGrid->IndicatorColCount();
    const int last = FGrid->ColCount() - 1;
    const int step = forward ? 1 : -1;
    int c;
    if (toEnd) {
        // From beyond the far end back towards the cells.
        c = forward ? last : first;
        while (c >= first && c <= last && !ColumnHasFilterCell(c - first)) c -= step;
    } else {
        const int start = FFilterCol + first;
        c = start + step;
        if (c > last) c = first;
        else if (c < first) c = last;
        if (c == start) return;
        while (c >= first && c <= last && !ColumnHasFilterCell(c - first)) c += step;
    }
    if (c < first || c > last) return;
    OpenFilterEditor(c - first);
}

void TSTDBGridEhFilter::HideFilterEditor()
{
    if (!FEditor || !FEditor->Visible()) return;
    if (FGrid->Visible() && FGrid->CanFocus() && FEditor->Focused()) FGrid->SetFocus();
    FEditor->SetVisible(false);
    if (FFilterCol != -1) {
        StoreFilterText(FFilterCol);
        FGrid->InvalidateCell(FFilterCol + FGrid->IndicatorColCount(), FGrid->FirstDataRow() - 1);
    }
}

void TSTDBGridEhFilter::CloseFilterEditor()
{
    if (FUpdateCount > 0) return;
    HideFilterEditor();
    FEditorActive = false;
    LeaveFilterRow();
}

void TSTDBGridEhFilter::LeaveFilterRow()
{
    if (!FGrid) return;
    if (FGrid->Options().Contains(dgAlwaysShowEditor)) FGrid->ShowEditor();
    else FGrid->HideEditor();
}

void TSTDBGridEhFilter::StoreFilterText(int dataCol)
{
    if (dataCol < 0 || dataCol >= FGrid->Columns()->Count() || !FEditor) return;
    TColumnEh* column = FGrid->Columns()->Items(dataCol);
    if (column->FieldName().empty()) return;
    column->STFilter()->StoreExpressionText(FEditor->Text());
}

void TSTDBGridEhFilter::StoreCurrentFilterText()
{
    if (FFilterCol != -1) StoreFilterText(FFilterCol);
}

void TSTDBGridEhFilter::ApplyGridFilter()
{
    if (FFilterCol != -1 && FEditor && FEditor->Visible()) StoreFilterText(FFilterCol);
    const int leftCol = FGrid->LeftCol();
    auto after = [&] {
        if (leftCol < FGrid->ColCount()) FGrid->SetLeftCol(leftCol);
        PlaceFilterEditor(true);
        if (FGrid->SumList()->Active()) FGrid->SumList()->RecalculateAll();
        FGrid->Invalidate();
    };
    try {
        if (FGrid->OnApplyFilter) FGrid->OnApplyFilter(FGrid);
        else ApplyFilterByDataService();
    } catch (...) {
        after();
        throw;
    }
    after();
}

void TSTDBGridEhFilter::ApplyFilterByDataService()
{
    TDBGridEhDataService* service = DBGridEh::DataService();
    FGrid->LockPaint();
    try {
        // Without a handler of its own the grid filters the records itself,
        // so that a filter applied is never a filter ignored.
        if (service->FilterHandler) service->RunFilter(FGrid);
        else FilterDataSet();
    } catch (...) {
        FGrid->UnlockPaint();
        throw;
    }
    FGrid->UnlockPaint();
}

void TSTDBGridEhFilter::ClearGridFilter()
{
    CloseFilterEditor();
    for (int i = 0; i < FGrid->Columns()->Count(); ++i) FGrid->Columns()->Items(i)->STFilter()->ClearFilter();
    FGrid->Invalidate();
}

bool TSTDBGridEhFilter::EnterFilterRow(WORD key, TShiftState shift)
{
    if (key != VK_UP || !FVisible || !FGrid->DataLink()->Active()) return false;
    if (!FGrid->DataLink()->Bof() && !shift.Contains(ssCtrl)) return false;
    int col = FGrid->SelectedIndex();
    if (FGrid->Options().Contains(dgRowSelect)) {
        // The column last edited when it is in view, else the first shown one with a filter cell.
        const int first = FGrid->IndicatorColCount();
        int c = FFilterCol;
        const bool inView = c >= 0 && c + first >= FGrid->LeftCol() && c + first < FGrid->LeftCol() + FGrid->VisibleColCount();
        if (!inView) c = FGrid->LeftCol() - first;
        while (c < FGrid->Columns()->Count() && !ColumnHasFilterCell(c)) ++c;
        col = c;
    }
    OpenFilterEditor(col);
    return true;
}

bool TSTDBGridEhFilter::FilterCellPressed(int col, int row)
{
    // A press in the data cells ends the filter editing.
    if (FEditorActive && row >= FGrid->FirstDataRow() && col >= FGrid->IndicatorColCount()) {
        CloseFilterEditor();
        return false;
    }
    if (!IsFilterRow(row) || col < FGrid->IndicatorColCount()) return false;
    const int dataCol = col - FGrid->IndicatorColCount();
    if (!ColumnHasFilterCell(dataCol)) return false;
    FGrid->ClearSelection();
    OpenFilterEditor(dataCol);
    return true;
}

void TSTDBGridEhFilter::DrawFilterCell(int dataCol, const TRect& rect)
{
    TCanvas* c = FGrid->Canvas();
    c->Brush()->SetColor(DBGridEh::BrightenColor(FGrid->FixedColor(), 8));
    if (!ColumnHasFilterCell(dataCol)) {
        c->Brush()->SetColor(FGrid->FixedColor());
        c->FillRect(rect);
        return;
    }
    TColumnEh* column = FGrid->Columns()->Items(dataCol);
    const bool button = column->STFilter()->HasDropDownButton();
    const bool flat = FGrid->Flat();
    const int bw = !button ? 0 : flat ? ToolCtrlsEh::FlatEditButtonWidth() + 1 : GetSystemMetrics(SM_CXVSCROLL);
    TRect text = rect;
    text.Right = std::max(text.Left, text.Right - bw);
    c->Font()->Assign(FGrid->Font());
    c->Font()->SetColor(clBlue);
    c->Pen()->SetColor(clBlack);
    c->TextRect(text, text.Left + 1, text.Top + 1, FilterCellText(dataCol));
    if (!button) return;
    TRect b{text.Right, rect.Top, rect.Right, rect.Bottom};
    if (flat) {
        c->Brush()->SetColor(FGrid->FixedColor());
        c->FillRect(TRect{b.Left, b.Top, b.Left + 1, b.Bottom});
        b.Left += 1;
    }
    const int h = std::min(b.Bottom - b.Top, ToolCtrlsEh::EditButtonHeightFor(b.Right - b.Left, flat));
    ToolCtrlsEh::RenderDropDownButton(c->Handle(), TRect{b.Left, b.Top, b.Right, b.Top + h}, true, flat, false, false);
    if (b.Top + h < b.Bottom) c->FillRect(TRect{b.Left, b.Top + h, b.Right, b.Bottom});
}

// ---- the grid's own record filter ------------------------------------------------------------------

namespace DBGridEhFilter {

bool LikeMatches(const std::string& text, const std::string& pattern)
{
    const std::u16string t = Utf8ToUtf16(AnsiUpperCase(text)), p = Utf8ToUtf16(AnsiUpperCase(pattern));
    // Iterative matching with one backtrack point for the last %.
    size_t ti = 0, pi = 0, starP = std::u16string::npos, starT = 0;
    while (ti < t.size()) {
        // A % in the pattern is always the wildcard, even over a % in the text.
        if (pi < p.size() && p[pi] == u'%') {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && (p[pi] == u'_' || p[pi] == t[ti])) {
            ++ti;
            ++pi;
        } else if (starP != std::u16string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'%') ++pi;
    return pi == p.size();
}

namespace {

// -1, 0 or 1; text compares ignoring case, numbers and dates by value (as
// text when a side is no number or date, as a field other than the column's may be).
int CompareFilterValues(const Variant& value, const Variant& operand, TFilterValueKindEh kind)
{
    if (kind == fvkNumberEh || kind == fvkDateTimeEh) {
        try {
            const double a = kind == fvkNumberEh ? VarAsType(value, varDouble).AsDouble() : double(VarToDateTime(value));
            const double b =
                kind == fvkNumberEh ? VarAsType(operand, varDouble).AsDouble() : double(VarToDateTime(operand));
            return a < b ? -1 : a > b ? 1 : 0;
        } catch (const Exception&) {
        }
    }
    const int r = AnsiCompareText(VarToStr(value), VarToStr(operand));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

} // namespace

bool TermMatches(TFilterLexemeEh op, const Variant& operand, const Variant& value, TFilterValueKindEh kind)
{
    const bool isNull = VarIsNull(value) || VarIsEmpty(value);
    if (op == flNull) return isNull;
    if (op == flNotNull) return !isNull;
    if (op == flNone) return true;
    if (isNull) return op == flNotEqual || op == flNotLike || op == flNotIn;
    switch (op) {
    case flEqual: return CompareFilterValues(value, operand, kind) == 0;
    case flNotEqual: return CompareFilterValues(value, operand, kind) != 0;
    case flGreater: return CompareFilterValues(value, operand, kind) > 0;
    case flLess: return CompareFilterValues(value, operand, kind) < 0;
    case flGreaterOrEqual: return CompareFilterValues(value, operand, kind) >= 0;
    case flLessOrEqual: return CompareFilterValues(value, operand, kind) <= 0;
    case flLike: return LikeMatches(VarToStr(value), VarToStr(operand));
    case flNotLike: return !LikeMatches(VarToStr(value), VarToStr(operand));
    case flIn:
    case flNotIn: {
        bool found = false;
        for (const Variant& v : OperandValues(operand))
            if (CompareFilterValues(value, v, kind) == 0) found = true;
        return found == (op == flIn);
    }
    default: return true;
    }
}

} // namespace DBGridEhFilter

bool TSTDBGridEhFilter::RecordMatches(TDataSet* ds) const
{
    using DBGridEhFilter::TermMatches;
    for (int i = 0; i < FGrid->Columns()->Count(); ++i) {
        TSTColumnFilterEh* f = FGrid->Columns()->Items(i)->STFilter();
        const TSTFilterExpressionEh e = f->ParsedExpression();
        if (e.FirstOp == flNone) continue;
        std::vector<TField*> fields;
        ds->GetFieldList(fields, f->FilterFieldName());
        if (fields.empty()) continue;
        Variant value;
        if (fields.size() == 1) value = fields[0]->Value();
        else {
            std::vector<Variant> values;
            for (TField* fld : fields) values.push_back(fld->Value());
            value = VarArrayOf(values);
        }
        if (!f->KeyFieldNames().empty()) {
            // A list filter: the record's keys against the keys the text named.
            const Variant keys = f->FilterOperand1();
            bool ok = e.FirstOp == flNull ? VarIsNull(value) || VarToStr(value).empty()
                                          : VarIsArray(value) ? VarSameValue(value, keys)
                                                              : TermMatches(flEqual, keys, value, fvkOtherEh);
            if (!ok) return false;
            continue;
        }
        const TFilterValueKindEh kind = e.ValueKind;
        const bool first = TermMatches(e.FirstOp, e.FirstOperand, value, kind);
        bool result = first;
        if (e.Junction != flNone && e.SecondOp != flNone) {
            const bool second = TermMatches(e.SecondOp, e.SecondOperand, value, kind);
            result = e.Junction == flAnd ? first && second : first || second;
        }
        if (!result) return false;
    }
    return true;
}

void TSTDBGridEhFilter::FilterDataSet()
{
    TDataSet* ds = FGrid->DataLink()->DataSet();
    if (!ds) return;
    bool any = false;
    for (int i = 0; i < FGrid->Columns()->Count(); ++i)
        if (FGrid->Columns()->Items(i)->STFilter()->ParsedExpression().FirstOp != flNone) any = true;
    if (FFilteredDataSet.Get() != ds) {
        if (TDataSet* old = FFilteredDataSet.Get()) {
            old->OnFilterRecord = FPriorFilterRecord;
            old->SetFiltered(false);
            old->SetFiltered(FPriorFiltered);
        }
        FFilteredDataSet = ds;
        FPriorFilterRecord = ds->OnFilterRecord;
        FPriorFiltered = ds->Filtered();
    }
    // The data set's own filter handler still decides first.
    TFilterRecordEvent prior = FPriorFilterRecord;
    ds->OnFilterRecord = [this, prior](TDataSet* d, bool& accept) {
        if (prior) prior(d, accept);
        if (accept) accept = RecordMatches(d);
    };
    ds->SetFiltered(false);
    if (any || FPriorFiltered) ds->SetFiltered(true);
}

void TSTDBGridEhFilter::DropValueLists()
{
    for (int i = 0; FGrid && i < FGrid->Columns()->Count(); ++i) FGrid->Columns()->Items(i)->STFilter()->DropValueListCache();
}

int TCustomDBGridEh::FilterRowCount() const { return FSTFilter && FSTFilter->Visible() ? 1 : 0; }
