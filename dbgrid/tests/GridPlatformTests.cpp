// The shared platform look-ups of the grid suite.
#include "DBGridTesting.h"
#include "GridPlatformEh.h"

#include "TypInfo.h"

#include <gtest/gtest.h>

using namespace DBGridTest;
using namespace GridPlatformEh;

// A detail object publishing its master's source, and another object property.
class TDetailProbe : public TComponent {
    QZ_CLASS(TDetailProbe, TComponent)
public:
    explicit TDetailProbe(TComponent* owner = nullptr) : TComponent(owner) {}
    TDataSource* MasterSource() const { return FMaster; }
    TStringList* Notes() const { return FNotes.get(); }
    TDataSource* FMaster = nullptr;
    std::unique_ptr<TStringList> FNotes = std::make_unique<TStringList>();
    static void Define(std::vector<TPropInfo>& p)
    {
        p.push_back(PublishObject<TDetailProbe>("MasterSource", &TDetailProbe::MasterSource));
        p.push_back(PublishObject<TDetailProbe>("Notes", &TDetailProbe::Notes));
    }
};
QZ_CLASS_IMPL_PROPS(TDetailProbe, TComponent, TDetailProbe::Define)

namespace {

TEST(GridPlatform, MasterDataSetOfAnObjectsDataSourceProperty)
{
    auto ds = FiveStudents();
    TDataSource source;
    source.SetDataSet(ds.get());
    TDetailProbe detail;
    EXPECT_EQ(MasterDataSetOf(&detail, "MasterSource"), nullptr);   // no source yet
    detail.FMaster = &source;
    EXPECT_EQ(MasterDataSetOf(&detail, "MasterSource"), ds.get());
    EXPECT_EQ(MasterDataSetOf(&detail, "mastersource"), ds.get());
    struct Case {
        TObject* Obj;
        const char* Prop;
    } none[] = {
        {&detail, "Missing"},   // no such property
        {&detail, "Name"},      // not of a class type
        {&detail, "Notes"},     // another class
        {nullptr, "MasterSource"},
    };
    for (const Case& c : none) EXPECT_EQ(MasterDataSetOf(c.Obj, c.Prop), nullptr) << c.Prop;
    source.SetDataSet(nullptr);
    EXPECT_EQ(MasterDataSetOf(&detail, "MasterSource"), nullptr);
}

TEST(GridPlatform, BookmarksCompareAndStayValid)
{
    auto ds = FiveStudents();
    ds->First();
    const TBookmark first = ds->Bookmark();
    ds->Next();
    const TBookmark second = ds->Bookmark();
    EXPECT_EQ(CompareRecordBookmarks(ds.get(), first, first), 0);
    EXPECT_NE(CompareRecordBookmarks(ds.get(), first, second), 0);
    EXPECT_TRUE(IsBookmarkValid(ds.get(), second));
    ds->Delete();
    EXPECT_FALSE(IsBookmarkValid(ds.get(), second));
}

}  // namespace
