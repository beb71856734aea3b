#include "ComponentStreamsTestBox.h"
#include "SysUtils.h"
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Neither loading, reading nor writing.
bool Idle(TComponent* c)
{
    TComponentState s = c->ComponentState();
    return !s.Contains(csLoading) && !s.Contains(csReading) && !s.Contains(csWriting);
}

class ComponentStreamTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterClass(TStreamBox::StaticClass()); }
    void TearDown() override { UnRegisterClass(TStreamBox::StaticClass()); }

};

TEST_F(ComponentStreamTest, RoundTripRebuildsTheTreeByClassName)
{
    std::unique_ptr<TStreamBox> src(MakeTree());
    std::string bytes = Write(src.get());
    ASSERT_EQ(bytes.substr(0, 5), std::string("HYCS\x01", 5));

    TStringStream in(bytes);
    std::unique_ptr<TComponent> made(in.ReadComponent(nullptr));
    EXPECT_EQ(in.Position(), in.Size());
    auto* root = DynamicCast<TStreamBox>(made.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), "Form");
    EXPECT_EQ(root->Count, -7);
    EXPECT_EQ(root->Big, int64_t(1) << 40);
    EXPECT_EQ(root->Label, "驾校 \"学员\"");
    EXPECT_EQ(root->Shade, shDark);
    EXPECT_TRUE(root->Shades == (TStreamShades{shLight, shDark}));
    EXPECT_TRUE(root->Flag);
    EXPECT_EQ(root->Hidden, 3);
    EXPECT_EQ(root->Letter, 'Q');
    EXPECT_EQ(root->Ratio, 2.5);
    EXPECT_EQ(root->Tag(), 9);
    ASSERT_TRUE(VarIsArray(root->Value));
    ASSERT_EQ(VarArrayHighBound(root->Value, 1), 8);
    std::vector<TVarType> types;
    for (int i = 0; i <= 8; ++i) types.push_back(VarType(VarArrayGet(root->Value, {i})));
    EXPECT_EQ(types, (std::vector<TVarType>{varInteger, varString, varNull, varCurrency, varDate, varOleStr,
                                            varBoolean, varInt64, varDouble}));
    EXPECT_EQ(VarArrayGet(root->Value, {3}).RawInt(), 12345);
    EXPECT_EQ(VarArrayGet(root->Value, {4}).RawDouble(), 45000.25);
    EXPECT_EQ(VarArrayGet(root->Value, {5}).AsString(), "宽");
    EXPECT_EQ(VarArrayGet(root->Value, {7}).AsInt64(), int64_t(1) << 50);
    EXPECT_EQ(root->Font.Size, 14);
    EXPECT_EQ(root->Font.Face, "宋体");
    EXPECT_EQ(root->Notes, (std::vector<std::string>{"one", "", "three"}));
    EXPECT_EQ(root->Blob, std::string("\0\x01\xFF", 3));
    ASSERT_EQ(root->Items.Count(), 2);
    EXPECT_EQ(root->Items.ItemAs<TStreamItem>(0)->Caption, "Name");
    EXPECT_EQ(root->Items.ItemAs<TStreamItem>(0)->Width, 80);
    EXPECT_EQ(root->Items.ItemAs<TStreamItem>(1)->Caption, "Age");
    EXPECT_FALSE(root->OnClick);   // events are not stored

    // Children: made by class name, owned by the root, below their parents.
    auto* a = DynamicCast<TStreamBox>(root->FindComponent("A"));
    auto* b = DynamicCast<TStreamBox>(root->FindComponent("B"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(a->ParentBox(), root);
    EXPECT_EQ(b->ParentBox(), a);
    EXPECT_EQ(a->Count, 1);
    EXPECT_EQ(b->Count, 2);
    // References, the root and a component read after its reference included.
    EXPECT_EQ(b->Buddy, a);
    EXPECT_EQ(a->Buddy, root);
    EXPECT_EQ(root->Buddy, b);

    // Properties are set while reading; Loaded runs once on each, after the
    // whole tree and its references are in place.
    for (TStreamBox* x : {root, a, b}) {
        SCOPED_TRACE(x->Name());
        EXPECT_TRUE(x->ReadingSeenBySetter);
        EXPECT_EQ(x->LoadedCalls, 1);
        EXPECT_TRUE(x->LoadingAtLoaded);
        EXPECT_NE(x->BuddyAtLoaded, nullptr);
        EXPECT_TRUE(Idle(x));
    }
    EXPECT_TRUE(Idle(src.get()));

    // Written again, the copy gives the same bytes.
    EXPECT_EQ(Write(root), bytes);
}

TEST_F(ComponentStreamTest, ReadsIntoAnInstanceAndReusesItsChildren)
{
    std::unique_ptr<TStreamBox> src(MakeTree());
    TStringStream in(Write(src.get()));

    TStreamBox target;
    auto* a = new TStreamBox(&target);
    a->SetName("A");
    EXPECT_EQ(in.ReadComponent(&target), &target);
    EXPECT_EQ(target.Name(), "Form");
    EXPECT_EQ(target.FindComponent("A"), a);   // found by name, not made again
    EXPECT_EQ(a->ParentBox(), &target);
    EXPECT_EQ(a->Buddy, &target);
    EXPECT_EQ(target.ComponentCount(), 2);
}

// Each property away from its default is written; at its default (or not
// stored) it leaves no trace in the stream.
TEST_F(ComponentStreamTest, OnlyPropertiesAwayFromTheirDefaultsAreWritten)
{
    struct Case {
        const char* name;
        std::function<void(TStreamBox&)> change;
    };
    const Case cases[] = {
        {"Count", [](TStreamBox& b) { b.Count = 1; }},
        {"Big", [](TStreamBox& b) { b.Big = -1; }},
        {"Label", [](TStreamBox& b) { b.Label = "x"; }},
        {"Shade", [](TStreamBox& b) { b.Shade = shMedium; }},
        {"Shades", [](TStreamBox& b) { b.Shades.Include(shLight); }},
        {"Flag", [](TStreamBox& b) { b.Flag = true; }},
        {"Letter", [](TStreamBox& b) { b.Letter = 'b'; }},
        {"Ratio", [](TStreamBox& b) { b.Ratio = 0.5; }},
        {"Value", [](TStreamBox& b) { b.Value = Null(); }},
        {"Tag", [](TStreamBox& b) { b.SetTag(1); }},
        {"Buddy", [](TStreamBox& b) { b.SetBuddy(&b); }},
        {"Notes", [](TStreamBox& b) { b.Notes = {"n"}; }},
        {"Blob", [](TStreamBox& b) { b.Blob = "z"; }},
        {"Size", [](TStreamBox& b) { b.Font.Size = 11; }},
        {"Width", [](TStreamBox& b) { b.Items.AddAs<TStreamItem>()->Width = 5; }},
    };
    TStreamBox plain;
    std::string base = Write(&plain);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(base.find(c.name), std::string::npos);
        TStreamBox changed;
        c.change(changed);
        EXPECT_NE(Write(&changed).find(c.name), std::string::npos);
    }
    // Hidden is stored only while Flag is set, whatever its value.
    TStreamBox hidden;
    hidden.Hidden = 4;
    EXPECT_EQ(Write(&hidden).find("Hidden"), std::string::npos);
    hidden.Flag = true;
    EXPECT_NE(Write(&hidden).find("Hidden"), std::string::npos);
    // Events have no stored form.
    hidden.OnClick = [](TObject*) {};
    EXPECT_EQ(Write(&hidden).find("OnClick"), std::string::npos);
}

// Stream bytes put together by hand, for the error cases.
std::string Str(const std::string& s) { return std::string(1, char(s.size())) + s; }
std::string Header() { return std::string("HYCS\x01", 5); }
std::string BoxWith(const std::string& props) { return Header() + Str("TStreamBox") + Str("X") + props + '\0' + '\0'; }

TEST_F(ComponentStreamTest, AnUnknownPropertyIsAReadError)
{
    TStringStream in(BoxWith(Str("Nope") + "\x04\x02"));
    TStreamBox target;
    try {
        in.ReadComponent(&target);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Property Nope does not exist");
    }
    EXPECT_TRUE(Idle(&target));
}

TEST_F(ComponentStreamTest, BadValuesAreReadErrors)
{
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;   // a part of it
    };
    const std::string child = std::string("\x15") + Str("TStreamBox") + Str("C") + '\0' + '\0';
    const Case cases[] = {
        {"signature", "HYCX\x01" + Str("TStreamBox") + Str("") + '\0' + '\0', "not a component stream"},
        {"version", std::string("HYCS\x02", 5) + Str("TStreamBox") + Str("") + '\0' + '\0', "version 2"},
        {"empty stream", "", "ends early"},
        {"unknown tag", BoxWith(Str("Count") + "\x7F"), "unknown value tag 127"},
        {"string past the end", BoxWith(Str("Label") + "\x06\xFF\xFF\xFF\x0F"), "ends early"},
        {"binary past the end", BoxWith(Str("Blob") + "\x0E\x40"), "ends early"},
        {"set count past the end", BoxWith(Str("Shades") + "\x08\xFF\xFF\x03"), "ends early"},
        {"overlong number", BoxWith(Str("Count") + "\x04" + std::string(11, '\xFF')), "out of range"},
        {"kind mismatch", BoxWith(Str("Count") + "\x06" + Str("7")), "Invalid property value"},
        {"integer out of range", BoxWith(Str("Count") + "\x04\x80\x80\x80\x80\x20"), "Invalid property value"},
        {"unknown enumeration name", BoxWith(Str("Shade") + "\x07" + Str("shPink")), "shPink"},
        {"unknown set element", BoxWith(Str("Shades") + "\x08\x01" + Str("shPink")), "shPink"},
        {"unresolved reference", BoxWith(Str("Buddy") + "\x07" + Str("Ghost")), "Ghost"},
        {"reference to a collection", BoxWith(Str("Items") + "\x07" + Str("")), "Invalid property value"},
        {"deep nesting", BoxWith(Str("Value") + [] {
             std::string s;
             for (int i = 0; i < 100000; ++i) s += std::string("\x14\x00\x01", 3);
             return s;
         }()),
         "nest too deep"},
        {"name not an identifier", Header() + Str("TStreamBox") + Str("1 x") + '\0' + '\0', "'1 x' is not a valid"},
        {"child name not an identifier", Header() + Str("TStreamBox") + Str("X") + '\0' + "\x15" + Str("TStreamBox") +
                                             Str("\x02") + '\0' + '\0' + '\0',
         "not a valid component name"},
        {"not a child tag", Header() + Str("TStreamBox") + Str("X") + '\0' + "\x03", "children"},
        {"unknown class", Header() + Str("TStreamBox") + Str("X") + '\0' +
                              std::string("\x15") + Str("TNoSuchBox") + Str("C") + '\0' + '\0' + '\0',
         "TNoSuchBox"},
        {"duplicate child of another class", Header() + Str("TStreamBox") + Str("X") + '\0' + child +
                                                 std::string("\x15") + Str("TComponent") + Str("C") + '\0' +
                                                 '\0' + '\0',
         "C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TStreamBox target;
        TStringStream in(c.bytes);
        try {
            in.ReadComponent(&target);
            ADD_FAILURE() << "no error";
        } catch (const EFilerError& e) {
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
        } catch (const Exception& e) {
            ADD_FAILURE() << e.ClassName() << ": " << e.Message();
        }
        // Nothing the read made is left behind, and nothing is left loading.
        EXPECT_EQ(target.ComponentCount(), 0);
        EXPECT_TRUE(Idle(&target));
        EXPECT_EQ(target.LoadedCalls, 0);
    }
}

// A stream cut at any byte is refused with a read error, without reading
// past its end; a stream with any byte changed never crashes the reader.
TEST_F(ComponentStreamTest, TruncatedOrDamagedStreamsNeverCrash)
{
    std::unique_ptr<TStreamBox> src(MakeTree());
    const std::string bytes = Write(src.get());
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        TStringStream in(bytes.substr(0, cut));
        EXPECT_THROW(in.ReadComponent(nullptr), EReadError);
        EXPECT_LE(in.Position(), int64_t(cut));

        TStreamBox target;
        TStringStream again(bytes.substr(0, cut));
        EXPECT_THROW(again.ReadComponent(&target), EReadError);
        EXPECT_EQ(target.ComponentCount(), 0);
        EXPECT_TRUE(Idle(&target));
    }
    for (size_t at = 0; at < bytes.size(); ++at)
        for (char v : {'\0', '\x01', '\x7F', '\xFF'}) {
            std::string damaged = bytes;
            damaged[at] = v;
            TStringStream in(damaged);
            try {
                delete in.ReadComponent(nullptr);
            } catch (const Exception&) {
            }
        }
}

TEST_F(ComponentStreamTest, WhatCannotBeStoredIsRefusedAndLeavesTheStreamAlone)
{
    TStreamBox outsider;
    outsider.SetName("Outsider");
    TStreamBox box;
    box.Count = 3;
    box.SetBuddy(&outsider);
    TMemoryStream out;
    try {
        out.WriteComponent(&box);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_NE(e.Message().find("Outsider"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(out.Size(), 0);

    box.SetBuddy(nullptr);
    box.Value = VarArrayCreate({0, 1, 0, 1}, varVariant);
    EXPECT_THROW(out.WriteComponent(&box), EWriteError);
    EXPECT_EQ(out.Size(), 0);
    EXPECT_TRUE(Idle(&box));
}

// A descendant reads its ancestor's stream; an ancestor cannot take the
// properties of a descendant's.
TEST_F(ComponentStreamTest, AStreamIsReadOnlyIntoItsClassOrADescendant)
{
    TComponent plain;
    plain.SetName("P");
    plain.SetTag(4);
    TStringStream ancestor(Write(&plain));
    TStreamBox box;
    ancestor.ReadComponent(&box);
    EXPECT_EQ(box.Tag(), 4);

    TStreamBox named;
    named.SetName("Q");
    TStringStream descendant(Write(&named));
    TComponent target;
    EXPECT_THROW(descendant.ReadComponent(&target), EReadError);
    EXPECT_EQ(target.Name(), "");
}

}   // namespace
