// Any bytes as a stored grid layout applied to a table view and a banded
// view (bands, columns, footer summaries, five records): each record of the
// input picks a stored object of either view, one of the property names it
// stores (or a name of its own) and a value of any kind, and sets it the
// way restoring a layout does; a record may also ask a view or the bands to
// make a stored child of any name and class. Setting raises the library's
// own errors or succeeds; afterwards every stored value reads, and both
// views lay out and paint without fault.
#include "Forms.h"
#include "GuiTesting.h"
#include "StringLists.h"
#include "cxEditorsStartup.h"
#include "cxFoundationStartup.h"
#include "cxGrid.h"
#include "cxGridBandedTableView.h"
#include "cxGridLevel.h"
#include "cxGridStartup.h"
#include "cxGridTableView.h"
#include "cxStorage.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void InitOnce()
{
    static bool done = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        GuiTest::Init();
        cxFoundationStartup::StartUp();
        cxEditorsStartup::StartUp();
        cxGridStartup::StartUp();
        // Shut down before the libraries' statics go, as the program does.
        std::atexit([] {
            cxGridStartup::ShutDown();
            cxEditorsStartup::ShutDown();
            cxFoundationStartup::ShutDown();
        });
        return true;
    }();
    (void)done;
}

// Reads the input front to back; past the end every read gives zero.
struct TReader {
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
    bool AtEnd() const { return Pos >= Size; }
    uint8_t Byte() { return Pos < Size ? Data[Pos++] : 0; }
    std::string Text()
    {
        size_t n = Byte() % 32;
        std::string s;
        while (n-- && !AtEnd()) s += char(Byte());
        return s;
    }
    Variant Value()
    {
        switch (Byte() % 6) {
        case 0: return Null();
        case 1: return Variant(int(int8_t(Byte())) * 37 + int(Byte()));
        case 2: return Variant(Byte() % 2 == 1);
        case 3: return Variant(double(int8_t(Byte())) / 3.0);
        case 4: return Variant(int64_t(int32_t(uint32_t(Byte()) << 24 | uint32_t(Byte()) << 8)));
        default: return Variant(Text());
        }
    }
};

struct TLayoutGrid {
    std::unique_ptr<TForm> Form{new TForm(nullptr)};
    TcxGrid* Grid = nullptr;
    TcxGridTableView* Table = nullptr;
    TcxGridBandedTableView* Banded = nullptr;

    TLayoutGrid()
    {
        Form->SetBounds(0, 0, 640, 400);
        Grid = static_cast<TcxGrid*>(TcxGrid::StaticClass()->Create(Form.get()));
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 600, 360);
        Table = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        Table->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(Table);
        Banded = static_cast<TcxGridBandedTableView*>(Grid->CreateView(TcxGridBandedTableView::StaticClass()));
        Banded->SetName("BandedView");
        Grid->RootLevel()->Add()->SetGridView(Banded);
        for (int i = 0; i < 3; ++i) {
            TcxGridColumn* c = Table->CreateColumn();
            c->SetName("TableColumn" + std::to_string(i));
            c->SetCaption("列" + std::to_string(i));
            c->DataBinding()->SetValueTypeClass(i == 1 ? TcxIntegerValueType::Class() : TcxStringValueType::Class());
        }
        for (int b = 0; b < 2; ++b) Banded->Bands()->Add()->SetCaption("带" + std::to_string(b));
        for (int i = 0; i < 3; ++i) {
            TcxGridBandedColumn* c = Banded->CreateColumn();
            c->SetName("BandedColumn" + std::to_string(i));
            c->DataBinding()->SetValueTypeClass(i == 1 ? TcxIntegerValueType::Class() : TcxStringValueType::Class());
            c->Position()->SetBandIndex(i % 2);
            c->Position()->SetRowIndex(i / 2);
        }
        for (TcxCustomGridTableView* view : {static_cast<TcxCustomGridTableView*>(Table),
                                             static_cast<TcxCustomGridTableView*>(Banded)}) {
            TcxDataSummaryItems* footer = view->DataController()->Summary()->FooterSummaryItems();
            static_cast<TCollection*>(footer)->Add();
            TcxCustomDataController* dc = view->DataController();
            dc->SetRecordCount(5);
            for (int r = 0; r < 5; ++r) {
                dc->SetValue(r, 0, Variant("张" + std::to_string(r)));
                dc->SetValue(r, 1, Variant(r * 7 - 3));
                dc->SetValue(r, 2, Variant(std::string(size_t(r), 'x')));
            }
        }
        Form->Show();
        GuiTest::ProcessEvents();
    }

    // Every stored object of both views, the views first, then their
    // children, depth first.
    std::vector<TObject*> StoredObjects()
    {
        std::vector<TObject*> out;
        std::vector<TObject*> todo{Table, Banded};
        while (!todo.empty() && out.size() < 64) {
            TObject* o = todo.front();
            todo.erase(todo.begin());
            if (!dynamic_cast<IcxStoredObject*>(o)) continue;
            out.push_back(o);
            if (auto* parent = dynamic_cast<IcxStoredParent*>(o)) {
                std::vector<TObject*> children;
                parent->GetStoredChildren(children);
                todo.insert(todo.end(), children.begin(), children.end());
            }
        }
        return out;
    }
};

void Apply(TLayoutGrid& g, TReader& in)
{
    for (int steps = 0; steps < 64 && !in.AtEnd(); ++steps) {
        std::vector<TObject*> objects = g.StoredObjects();
        TObject* o = objects[in.Byte() % objects.size()];
        auto* stored = dynamic_cast<IcxStoredObject*>(o);
        const uint8_t op = in.Byte();
        try {
            if (op % 8 == 7) {
                if (auto* parent = dynamic_cast<IcxStoredParent*>(o)) {
                    std::string name = in.Text();
                    parent->CreateStoredChild(name, in.Text());
                }
                continue;
            }
            TStringList names;
            stored->GetStoredProperties(&names);
            std::string name = names.Count() > 0 && op % 8 != 6 ? names[op % names.Count()] : in.Text();
            stored->SetStoredPropertyValue(name, in.Value());
        } catch (const EPropertyConvertError&) {
        } catch (const EcxHexStringConvertError&) {
        } catch (const EConvertError&) {
        } catch (const EVariantError&) {
        } catch (const EReadError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InitOnce();
    TLayoutGrid g;
    TReader in{data, size};
    g.Table->BeginUpdate();
    g.Banded->BeginUpdate();
    Apply(g, in);
    g.Banded->EndUpdate();
    g.Table->EndUpdate();
    for (TObject* o : g.StoredObjects()) {
        auto* stored = dynamic_cast<IcxStoredObject*>(o);
        TStringList names;
        stored->GetStoredProperties(&names);
        for (int i = 0; i < names.Count(); ++i) stored->GetStoredPropertyValue(names[i]);
    }
    GuiTest::ProcessEvents();
    TBitmap frame(600, 360);
    for (TcxGridLevel* level : {g.Grid->RootLevel()->Items(0), g.Grid->RootLevel()->Items(1)}) {
        g.Grid->SetActiveLevel(level);
        GuiTest::ProcessEvents();
        g.Grid->PaintTo(frame.Canvas(), 0, 0);
    }
    return 0;
}
