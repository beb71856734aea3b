#include "Objs.h"

#include "StringLists.h"
#include "TestDb.h"

using Database::MakeParam;

TEST(OperatorRights, RightsTextAndTheBuiltInLogin)
{
    TOperator op;
    op.LoginId = "zhang";
    op.Rights = ",10000,,10002,";
    struct Case { int Right; bool Held; };
    const Case cases[] = {{10000, true}, {10002, true}, {1000, false}, {100, false}, {10001, false}, {100001, false}};
    for (const Case& c : cases) EXPECT_EQ(op.HasRight(c.Right), c.Held) << c.Right;

    TOperator sa;
    sa.LoginId = "sa";
    EXPECT_TRUE(sa.HasRight(Rights::Operators));
    EXPECT_TRUE(sa.HasRight(100));
    TOperator saLike;
    saLike.LoginId = "SA";
    EXPECT_FALSE(saLike.HasRight(Rights::Operators)) << "only the exact login sa holds every right";
}

TEST(OperatorRights, CheckRightRefusesOnceAndAbortsSilently)
{
    THostRecorder rec;
    TOperator op;
    op.LoginId = "zhang";
    op.Rights = ",10002,";
    EXPECT_TRUE(op.CheckRight(10002, true));
    EXPECT_FALSE(op.CheckRight(10004, false));
    EXPECT_THROW(op.CheckRight(10004, true), EAbort);
    auto msgs = rec.Messages();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0], "\r\n对不起,您没有该功能的操作权限,请与管理员联系(10004).\t");
    EXPECT_EQ(msgs[1], msgs[0]);
}

TEST(OperatorPassword, ExactAndNeverForNobody)
{
    TOperator op;
    EXPECT_FALSE(op.CheckPassword(""));
    op.LoginId = "li";
    op.Password = "Secret";
    EXPECT_TRUE(op.CheckPassword("Secret"));
    EXPECT_FALSE(op.CheckPassword("secret"));
    EXPECT_FALSE(op.CheckPassword("Secret "));
}

TEST(CompanyName, FilledCountsGbkBytes)
{
    TCompany c;
    struct Case { std::string Name; bool Filled; };
    const Case cases[] = {{"1234567", false}, {"12345678", true}, {"恒岳驾", false}, {"恒岳驾校", true}, {"", false}};
    for (const Case& k : cases) {
        c.CompanyName = k.Name;
        EXPECT_EQ(c.IsFilled(), k.Filled) << k.Name;
    }
}

class ObjsTest : public DbTest {};

TEST_F(ObjsTest, CompanyInsertsThenUpdates)
{
    TCompany c;
    c.Load();
    EXPECT_EQ(c.Id, 0);
    EXPECT_EQ(c.CompanyName, "");
    EXPECT_FALSE(c.Exists());
    c.CompanyName = "恒岳驾校";
    c.Manager = "王";
    c.Tel = "010-1";
    c.Fax = "010-2";
    c.Address = "北京";
    c.Zip = "100000";
    c.Profile = "O'Neil's school";
    c.Save();
    EXPECT_EQ(Count("Company"), 1);
    EXPECT_EQ(Value("select Id || '|' || CompanyName || '|' || Profile || '|' || Updated from Company"),
              "0|恒岳驾校|O'Neil's school|0");
    EXPECT_TRUE(c.Exists());
    c.Manager = "李";
    c.Updated = true;
    c.Save();
    EXPECT_EQ(Count("Company"), 1);
    TCompany back;
    back.CompanyName = "stale";
    back.Load();
    EXPECT_EQ(back.Manager, "李");
    EXPECT_EQ(back.Profile, "O'Neil's school");
    EXPECT_EQ(back.Zip, "100000");
    EXPECT_TRUE(back.Updated);
}

TEST_F(ObjsTest, OperatorLoadAndTheLoginThatDoesNotExist)
{
    Exec("insert into operator values ('alice', 'pw1', '爱丽丝', '123', 'n', ',10002,')");
    TOperator op;
    EXPECT_TRUE(op.Load("alice"));
    EXPECT_EQ(op.Name, "爱丽丝");
    EXPECT_EQ(op.Rights, ",10002,");
    EXPECT_TRUE(op.CheckPassword("pw1"));
    // A login id that matches nothing must not keep alice: her password
    // would otherwise let anyone in under a made-up name.
    EXPECT_FALSE(op.Load("mallory"));
    EXPECT_EQ(op.LoginId, "");
    EXPECT_FALSE(op.CheckPassword("pw1"));
    EXPECT_FALSE(op.HasRight(10002));
    // The same for the built-in login: a failed command-line login after sa
    // leaves nobody logged in.
    EXPECT_TRUE(op.Load("sa"));
    EXPECT_FALSE(op.CheckPassword("wrong"));
    op.Load("nobody");
    EXPECT_FALSE(op.HasRight(Rights::Operators));
    EXPECT_FALSE(GRecordSet->DataSet()->Active());
}

TEST_F(ObjsTest, OperatorSavesItsPassword)
{
    TOperator op;
    op.Load("sa");
    op.SavePassword("new'pw");
    EXPECT_EQ(Value("select [Password] from operator where LoginId='sa'"), "new'pw");
}

TEST_F(ObjsTest, OperatorListMirrorsEachChange)
{
    TOperatorSet set;
    EXPECT_EQ(set.DataSet()->RecordCount(), 0) << "sa is never listed";
    set.AddOperator("bob", "p", "鲍勃", "c", "n", ",100,");
    set.AddOperator("carl", "q", "卡尔", "", "", "");
    EXPECT_EQ(set.DataSet()->RecordCount(), 2);
    EXPECT_EQ(Count("operator"), 3);
    EXPECT_EQ(set.UserIdField->DisplayLabel(), "登陆名");
    EXPECT_EQ(set.RightsField->DisplayLabel(), "权限");

    set.UpdateOperator("bob", "p2", "Bob", "c2", "n2", ",10000,,10002,");
    EXPECT_EQ(Value("select Rights from operator where LoginId='bob'"), ",10000,,10002,");
    ASSERT_TRUE(set.DataSet()->Locate("LoginId", Variant("bob"), TLocateOptions{}));
    EXPECT_EQ(set.NameField->AsString(), "Bob");
    EXPECT_EQ(set.RightsField->AsString(), ",10000,,10002,");

    set.DeleteOperator("carl");
    EXPECT_EQ(set.DataSet()->RecordCount(), 1);
    EXPECT_EQ(Count("operator"), 2);

    // A duplicate login fails in the database and leaves the list alone.
    EXPECT_THROW(set.AddOperator("bob", "x", "", "", "", ""), Exception);
    EXPECT_EQ(set.DataSet()->RecordCount(), 1);

    TOperatorSet again;
    EXPECT_EQ(again.JoinField(again.UserIdField, "\r\n"), "bob");
}

TEST_F(ObjsTest, PickListsInsertThenUpdateAndKeepTheirItems)
{
    std::string list = "stale";
    EXPECT_FALSE(TPickListSet::GetList(1, list));
    EXPECT_EQ(list, "");

    TStringList items;
    items.Add("张三");
    items.Add("a,b");
    items.Add("with blank");
    items.Add("say \"hi\"");
    EXPECT_TRUE(TPickListSet::SetList(1, items.CommaText()));
    EXPECT_EQ(Value("select '[' || [Label] || ']' from options where [Key]=1"), "[ ]");
    EXPECT_TRUE(TPickListSet::SetList(1, items.CommaText()));
    EXPECT_EQ(Count("options"), 1);

    ASSERT_TRUE(TPickListSet::GetList(1, list));
    TStringList back;
    back.SetCommaText(list);
    ASSERT_EQ(back.Count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i], items[i]);
}

TEST_F(ObjsTest, PickListCountGrowsButNeverShrinks)
{
    TPickListSet::SetList(0, "a");
    TPickListSet set;
    EXPECT_EQ(set.Count(), 1);
    set.SetCount(3);
    EXPECT_EQ(set.Count(), 3);
    EXPECT_EQ(Column("select [Key] from options order by [Key]"), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(Value("select [List] from options where [Key]=2"), "<null>");
    set.SetCount(1);
    EXPECT_EQ(Count("options"), 3);
    set.EnsureOpen(true);
    EXPECT_EQ(set.Count(), 3);
}

TEST_F(ObjsTest, SettingsAppearOnFirstUseAndReadFalse)
{
    TKeyValue2 kv;
    EXPECT_FALSE(kv.FeedbackPrompt());
    EXPECT_EQ(Value("select KeyId || '|' || ifnull(Vbool, 'null') from keyvalue"), "0|null");
    kv.SetFeedbackPrompt(true);
    EXPECT_TRUE(kv.FeedbackPrompt());
    EXPECT_EQ(Value("select Vbool from keyvalue where KeyId=0"), "1");
    EXPECT_FALSE(kv.DailyTipPrompt());
    EXPECT_EQ(Count("keyvalue"), 2);
    kv.SetDailyTipPrompt(true);
    kv.SetFeedbackPrompt(false);

    TKeyValue2 other;   // a fresh reader sees what was stored
    EXPECT_FALSE(other.FeedbackPrompt());
    EXPECT_TRUE(other.DailyTipPrompt());
}

TEST_F(ObjsTest, WriteValuesInsertsAMissingKey)
{
    EXPECT_TRUE(TKeyValue2::WriteValues(7, "text", true, 2.5, 42));
    EXPECT_EQ(Value("select Vstr || '|' || Vbool || '|' || Vfloat || '|' || Vint from keyvalue where KeyId=7"),
              "text|1|2.5|42");
    EXPECT_TRUE(TKeyValue2::WriteValues(7, "", false, 0, 0));
    EXPECT_EQ(Count("keyvalue"), 1);
}

TEST_F(ObjsTest, GlobalsExistAndDatesUseTheProgramFormat)
{
    ASSERT_NE(GCompany, nullptr);
    ASSERT_NE(GKeyValue2, nullptr);
    ASSERT_NE(GPickListSet, nullptr);
    ASSERT_NE(GOperator, nullptr);
    EXPECT_EQ(DateToStr(EncodeDate(2008, 3, 5)), "2008-03-05");
    EXPECT_EQ(VarToStr(Null()), "");
    EXPECT_EQ(Null().AsInteger(), 0) << "Null converts quietly";
}
