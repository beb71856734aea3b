#include "SortFrm.h"

#include "DB.h"
#include "StringLists.h"
#include "TextUtils.h"
#include "xVisible.h"

QZ_CLASS_IMPL(TSortFrm, TForm)

namespace {
const char* const kAscending = "升序";
const char* const kDescending = "降序";
}  // namespace

TSortFrm::TSortFrm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SortFrm");
    SetCaption("排序");
    SetPosition(poScreenCenter);
    SetClientSize(350, 340);
    StringGrid1 = xVisible::MakeListGrid(this, 8, 8, 254, 256);
    upBtn1 = new TButton(this);
    upBtn1->SetParent(this);
    upBtn1->SetBounds(270, 8, 75, 25);
    upBtn1->SetCaption("上移(&U)");
    upBtn1->SetEnabled(false);
    downBtn1 = new TButton(this);
    downBtn1->SetParent(this);
    downBtn1->SetBounds(270, 40, 75, 25);
    downBtn1->SetCaption("下移(&D)");
    Label1 = new TLabel(this);
    Label1->SetParent(this);
    Label1->SetBounds(8, 270, 334, 32);
    Label1->SetWordWrap(true);
    Label1->SetCaption("提示:双击空白处切换排序方式(升/降/无),单击上下移动键调整优先顺序");
    Label1->SetEnabled(false);
    Button3 = new TButton(this);
    Button3->SetParent(this);
    Button3->SetBounds(186, 308, 75, 25);
    Button3->SetCaption("确定(&Y)");
    Button3->SetModalResult(mrOk);
    Button4 = new TButton(this);
    Button4->SetParent(this);
    Button4->SetBounds(268, 308, 75, 25);
    Button4->SetCaption("取消(&Q)");
    Button4->SetCancel(true);
    Button4->SetModalResult(mrCancel);

    StringGrid1->OnDblClick = [this](TObject*) { StringGrid1DblClick(); };
    StringGrid1->OnRowMoved = [this](TObject*, int AFrom, int ATo) { StringGrid1RowMoved(AFrom, ATo); };
    StringGrid1->OnSelectCell = [this](TObject*, int, int ARow, bool&) {
        upBtn1->SetEnabled(ARow > 0);
        downBtn1->SetEnabled(ARow < StringGrid1->RowCount() - 1);
    };
    upBtn1->OnClick = [this](TObject*) { upBtn1Click(); };
    downBtn1->OnClick = [this](TObject*) { downBtn1Click(); };
    FormCreate();
}

void TSortFrm::FormCreate()
{
    FFieldNames.clear();
    FDirections.clear();
}

void TSortFrm::Init(TDataSet* ADataSet, bool AAllFields)
{
    FormCreate();
    StringGrid1->SetRowCount(std::max(1, ADataSet->FieldCount()));
    for (int i = 0; i < ADataSet->FieldCount(); ++i) {
        TField* field = ADataSet->Fields()->Fields(i);
        if (field->FieldKind() != fkData) continue;
        const TFieldType type = field->DataType();
        if (type == ftBlob || type == ftMemo || type == ftGraphic) continue;
        if (!field->Visible() && !AAllFields) continue;
        const int row = int(FFieldNames.size());
        FFieldNames.push_back(field->FieldName());
        FDirections.emplace_back();
        StringGrid1->SetCells(0, row, field->DisplayLabel());
        StringGrid1->SetCells(1, row, "");
    }
    StringGrid1->SetRowCount(std::max<int>(1, int(FFieldNames.size())));
    if (FFieldNames.empty()) StringGrid1->SetRows(0, {"", ""});
    UpdateButtons();
}

void TSortFrm::SetDirection(int ARow, const std::string& ADirection)
{
    FDirections[size_t(ARow)] = ADirection;
    StringGrid1->SetCells(1, ARow, ADirection == "ASC" ? kAscending : ADirection == "DESC" ? kDescending : "");
}

void TSortFrm::WriteSortString(const std::string& AValue)
{
    TStringList items;
    items.SetStrictDelimiter(true);
    items.SetCommaText(AValue);
    int place = 0;
    for (int i = 0; i < items.Count(); ++i) {
        TStringList words;
        words.SetDelimiter(' ');
        words.SetDelimitedText(Trim(items.Strings(i)));
        if (words.Count() == 0) continue;
        const std::string name = words.Strings(0);
        std::string direction = words.Count() > 1 ? UpperCase(words.Strings(1)) : std::string("ASC");
        if (direction != "DESC") direction = "ASC";
        int row = -1;
        for (size_t r = 0; r < FFieldNames.size(); ++r)
            if (SameText(FFieldNames[r], name)) {
                row = int(r);
                break;
            }
        if (row < 0) continue;
        SetDirection(row, direction);
        MoveSortRow(row, place++);
    }
}

std::string TSortFrm::ReadSortString() const
{
    std::string text;
    for (size_t r = 0; r < FFieldNames.size(); ++r)
        if (!FDirections[r].empty()) text += "," + FFieldNames[r] + " " + FDirections[r];
    return text.empty() ? text : text.substr(1);
}

std::string TSortFrm::SortLabels() const
{
    std::string text;
    for (size_t r = 0; r < FFieldNames.size(); ++r)
        if (!FDirections[r].empty()) text += "," + StringGrid1->Cells(0, int(r)) + " " + StringGrid1->Cells(1, int(r));
    return text.empty() ? text : text.substr(1);
}

void TSortFrm::MoveSortRow(int AFrom, int ATo)
{
    const int count = int(FFieldNames.size());
    if (AFrom < 0 || AFrom >= count || ATo < 0 || ATo >= count || AFrom == ATo) return;
    StringGrid1->MoveRow(AFrom, ATo);
}

void TSortFrm::StringGrid1RowMoved(int AFromIndex, int AToIndex)
{
    // The grid moved its cells; the name and the direction go along.
    const int count = int(FFieldNames.size());
    if (AFromIndex < 0 || AFromIndex >= count || AToIndex < 0 || AToIndex >= count) return;
    for (auto* list : {&FFieldNames, &FDirections}) {
        std::string entry = (*list)[size_t(AFromIndex)];
        list->erase(list->begin() + AFromIndex);
        list->insert(list->begin() + AToIndex, std::move(entry));
    }
}

void TSortFrm::StringGrid1DblClick()
{
    if (FFieldNames.empty()) return;
    const int row = StringGrid1->Row();
    const std::string shown = StringGrid1->Cells(1, row);
    SetDirection(row, shown == kAscending ? "DESC" : shown == kDescending ? "" : "ASC");
}

void TSortFrm::SelectRow(int ARow)
{
    StringGrid1->SetRow(ARow);
    UpdateButtons();
}

void TSortFrm::UpdateButtons()
{
    const int row = StringGrid1->Row();
    upBtn1->SetEnabled(row > 0);
    downBtn1->SetEnabled(row < int(FFieldNames.size()) - 1);
}

void TSortFrm::upBtn1Click()
{
    const int row = StringGrid1->Row();
    if (row <= 0) return;
    MoveSortRow(row, row - 1);
    SelectRow(row - 1);
}

void TSortFrm::downBtn1Click()
{
    const int row = StringGrid1->Row();
    if (row >= int(FFieldNames.size()) - 1) return;
    MoveSortRow(row, row + 1);
    SelectRow(row + 1);
}
