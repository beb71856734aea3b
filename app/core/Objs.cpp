#include "Objs.h"

#include "SysUtils.h"
#include "qzLib.h"

using Database::MakeParam;

QZ_CLASS_IMPL(TCompany, TObject)
QZ_CLASS_IMPL(TOperator, TObject)
QZ_CLASS_IMPL(TOperatorSet, TRecordSet)
QZ_CLASS_IMPL(TPickListSet, TRecordSet)
QZ_CLASS_IMPL(TKeyValue2, TRecordSet)

namespace {

std::string Text(TDataSet* ds, const std::string& name) { return ds->FieldByName(name)->AsString(); }

}  // namespace

// ---- TCompany --------------------------------------------------------------------------------

void TCompany::Load()
{
    Id = 0;
    CompanyName = Manager = Tel = Fax = Address = Zip = Profile = "";
    Updated = false;
    GRecordSet->Open("select * from Company");
    TDataSet* ds = GRecordSet->DataSet();
    if (!ds->IsEmpty()) {
        ds->First();
        Id = ds->FieldByName("Id")->AsInteger();
        CompanyName = Text(ds, "CompanyName");
        Manager = Text(ds, "Manager");
        Tel = Text(ds, "Tel");
        Fax = Text(ds, "Fax");
        Address = Text(ds, "Address");
        Zip = Text(ds, "Zip");
        Profile = Text(ds, "Profile");
        Updated = ds->FieldByName("Updated")->AsBoolean();
    }
    ds->Close();
}

bool TCompany::IsFilled() const { return GbkLength(CompanyName) > 7; }

bool TCompany::Exists()
{
    const int n = GRecordSet->Open("select 1 from Company where Id=:Id", {MakeParam("Id", Id)});
    GRecordSet->DataSet()->Close();
    return n == 1;
}

void TCompany::Save()
{
    const TDBParameters params = {
        MakeParam("Id", Id),           MakeParam("CompanyName", CompanyName), MakeParam("Manager", Manager),
        MakeParam("Tel", Tel),         MakeParam("Fax", Fax),                 MakeParam("Address", Address),
        MakeParam("Zip", Zip),         MakeParam("Profile", Profile),         MakeParam("Updated", Updated),
    };
    const std::string update = "update Company set CompanyName=:CompanyName,Manager=:Manager,Tel=:Tel,Fax=:Fax,"
                               "Address=:Address,Zip=:Zip,Profile=:Profile,Updated=:Updated where Id=:Id";
    if (Exists())
        GDatabase->Execute(update, params);
    else
        Database::InsertOrUpdate("insert into Company(Id,CompanyName,Manager,Tel,Fax,Address,Zip,Profile,Updated) "
                                 "values (:Id,:CompanyName,:Manager,:Tel,:Fax,:Address,:Zip,:Profile,:Updated)",
                                 update, params);
}

// ---- TOperator -------------------------------------------------------------------------------

void TOperator::Reset() { LoginId = Password = Name = Contact = Note = Rights = ""; }

bool TOperator::Load(const std::string& loginId)
{
    const int n = GRecordSet->Open("select LoginId,Password,Name,Contact,[Note],Rights from operator "
                                   "where LoginId=:LoginId",
                                   {MakeParam("LoginId", loginId)});
    TDataSet* ds = GRecordSet->DataSet();
    const bool found = n == 1;
    if (found) {
        ds->First();
        LoginId = ds->Fields()->Fields(0)->AsString();
        Password = ds->Fields()->Fields(1)->AsString();
        Name = ds->Fields()->Fields(2)->AsString();
        Contact = ds->Fields()->Fields(3)->AsString();
        Note = ds->Fields()->Fields(4)->AsString();
        Rights = ds->Fields()->Fields(5)->AsString();
    } else {
        Reset();
    }
    ds->Close();
    return found;
}

bool TOperator::CheckPassword(const std::string& password) const
{
    return !LoginId.empty() && Password == password;
}

bool TOperator::HasRight(int rightId) const
{
    if (LoginId == "sa") return true;
    return Rights.find("," + IntToStr(rightId) + ",") != std::string::npos;
}

std::string TOperator::RefusalText(int rightId)
{
    return Format("对不起,您没有该功能的操作权限,请与管理员联系(%d).", {rightId});
}

bool TOperator::CheckRight(int rightId, bool abortOnRefusal)
{
    if (HasRight(rightId)) return true;
    qzLib::ShowInfo(RefusalText(rightId));
    if (abortOnRefusal) Abort();
    return false;
}

void TOperator::SavePassword(const std::string& newPassword)
{
    GDatabase->Execute("update operator set [Password]=:Password where LoginId=:LoginId",
                       {MakeParam("Password", newPassword), MakeParam("LoginId", LoginId)});
}

// ---- TOperatorSet ----------------------------------------------------------------------------

TOperatorSet::TOperatorSet(TComponent* owner) : TRecordSet(owner)
{
    UserIdField = AddField(TWideStringField::StaticClass(), "LoginId", "登陆名", true, 0);
    PasswdField = AddField(TWideStringField::StaticClass(), "Password", "密码", true, 0);
    NameField = AddField(TWideStringField::StaticClass(), "Name", "姓名", true, 0);
    ContactField = AddField(TWideStringField::StaticClass(), "Contact", "联系方式", true, 0);
    NoteField = AddField(TWideStringField::StaticClass(), "Note", "备注", true, 0);
    RightsField = AddField(TMemoField::StaticClass(), "Rights", "权限", true);
    Open();
}

void TOperatorSet::Open() { TRecordSet::Open("select * from operator where LoginId<>'sa'"); }

void TOperatorSet::AddOperator(const std::string& loginId, const std::string& password, const std::string& name,
                               const std::string& contact, const std::string& note, const std::string& rights)
{
    GDatabase->Execute("insert into operator(LoginId,[Password],Name,Contact,[Note],Rights)"
                       "values(:LoginId,:Password,:Name,:Contact,:Note,:Rights)",
                       {MakeParam("LoginId", loginId), MakeParam("Password", password), MakeParam("Name", name),
                        MakeParam("Contact", contact), MakeParam("Note", note), MakeParam("Rights", rights)});
    TDataSet* ds = DataSet();
    if (!ds->Active()) return;
    ds->Append();
    UserIdField->SetAsString(loginId);
    PasswdField->SetAsString(password);
    NameField->SetAsString(name);
    ContactField->SetAsString(contact);
    NoteField->SetAsString(note);
    RightsField->SetAsString(rights);
    ds->Post();
}

void TOperatorSet::UpdateOperator(const std::string& loginId, const std::string& password,
                                  const std::string& name, const std::string& contact, const std::string& note,
                                  const std::string& rights)
{
    GDatabase->Execute("update operator set [Password]=:Password,Name=:Name,Contact=:Contact,[Note]=:Note,"
                       "Rights=:Rights where LoginId=:LoginId",
                       {MakeParam("Password", password), MakeParam("Name", name), MakeParam("Contact", contact),
                        MakeParam("Note", note), MakeParam("Rights", rights), MakeParam("LoginId", loginId)});
    TDataSet* ds = DataSet();
    if (!ds->Active() || !ds->Locate("LoginId", Variant(loginId), TLocateOptions{})) return;
    ds->Edit();
    PasswdField->SetAsString(password);
    NameField->SetAsString(name);
    ContactField->SetAsString(contact);
    NoteField->SetAsString(note);
    RightsField->SetAsString(rights);
    ds->Post();
}

void TOperatorSet::DeleteOperator(const std::string& loginId)
{
    GDatabase->Execute("delete from operator where LoginId=:LoginId", {MakeParam("LoginId", loginId)});
    TDataSet* ds = DataSet();
    if (ds->Active() && ds->Locate("LoginId", Variant(loginId), TLocateOptions{})) ds->Delete();
}

// ---- TPickListSet ----------------------------------------------------------------------------

TPickListSet::TPickListSet(TComponent* owner) : TRecordSet(owner)
{
    KeyField = AddField(TIntegerField::StaticClass(), "Key", "Key", true);
    LabelField = AddField(TWideStringField::StaticClass(), "Label", "Label", true, 0);
    ListField = AddField(TMemoField::StaticClass(), "List", "List", true);
}

bool TPickListSet::SetList(int key, const std::string& list)
{
    const TDBParameters params = {MakeParam("Label", " "), MakeParam("List", list), MakeParam("Key", key)};
    const std::string update = "update options set [Label]=:Label, [List]=:List where [Key]=:Key";
    if (GDatabase->ExecSQL(update, params) == 1) return true;
    return Database::InsertOrUpdate("insert into options([Label], [List], [Key])values(:Label, :List, :Key)", update,
                                    params) == 1;
}

bool TPickListSet::GetList(int key, std::string& list)
{
    const int n = GRecordSet->Open("select [Key], [Label], [List] from options where [Key]=:Key",
                                   {MakeParam("Key", key)});
    TDataSet* ds = GRecordSet->DataSet();
    list.clear();
    if (n > 0) {
        ds->First();
        list = ds->FieldByName("List")->AsString();
    }
    ds->Close();
    return n == 1;
}

void TPickListSet::EnsureOpen(bool force)
{
    if (force || !DataSet()->Active()) TRecordSet::Open("select * from options order by [Key]");
}

int TPickListSet::Count()
{
    EnsureOpen(false);
    return DataSet()->RecordCount();
}

void TPickListSet::SetCount(int n)
{
    EnsureOpen(false);
    TDataSet* ds = DataSet();
    if (ds->RecordCount() >= n) return;
    GRecordSet->Open("select max([Key]) from options");
    int key = GRecordSet->DataSet()->Fields()->Fields(0)->AsInteger();
    GRecordSet->DataSet()->Close();
    while (ds->RecordCount() < n) {
        ++key;
        // A key another workstation added a moment before is there already.
        try {
            GDatabase->Execute("insert into options([Key], List) values (:Key, :List)",
                               {MakeParam("Key", key), MakeParam("List", Null())});
        } catch (const EStatementError& e) {
            if (!e.DuplicateKey) throw;
        }
        ds->Append();
        KeyField->SetAsInteger(key);
        ListField->SetAsString("");
        ds->Post();
    }
}

// ---- TKeyValue2 ------------------------------------------------------------------------------

TKeyValue2::TKeyValue2(TComponent* owner) : TRecordSet(owner)
{
    KeyIdField = AddField(TIntegerField::StaticClass(), "KeyId", "KeyId", true);
    VintField = AddField(TIntegerField::StaticClass(), "Vint", "Vint", true);
    VstrField = AddField(TMemoField::StaticClass(), "Vstr", "Vstr", true);
    VfloatField = AddField(TFloatField::StaticClass(), "Vfloat", "Vfloat", true);
    VboolField = AddField(TBooleanField::StaticClass(), "Vbool", "Vbool", true);
}

void TKeyValue2::Open() { TRecordSet::Open("select * from keyvalue"); }

void TKeyValue2::EnsureKey(int keyId)
{
    TDataSet* ds = DataSet();
    if (!ds->Active()) Open();
    if (ds->Locate("KeyId", Variant(keyId), TLocateOptions{})) return;
    ds->Close();
    // A key another workstation added a moment before is there already.
    try {
        GDatabase->Execute("insert into keyvalue(KeyId) values (:KeyId)", {MakeParam("KeyId", keyId)});
    } catch (const EStatementError& e) {
        if (!e.DuplicateKey) throw;
    }
    Open();
    ds->Locate("KeyId", Variant(keyId), TLocateOptions{});
}

bool TKeyValue2::WriteValues(int keyId, const std::string& vstr, bool vbool, double vfloat, int vint)
{
    const TDBParameters params = {MakeParam("Vstr", vstr), MakeParam("Vint", vint), MakeParam("Vfloat", vfloat),
                                  MakeParam("Vbool", vbool), MakeParam("KeyId", keyId)};
    const std::string update =
        "update keyvalue set Vstr=:Vstr, Vint=:Vint, Vfloat=:Vfloat, Vbool=:Vbool where KeyId=:KeyId";
    if (GDatabase->ExecSQL(update, params) == 1) return true;
    return Database::InsertOrUpdate("insert into keyvalue(Vstr, Vint, Vfloat, Vbool, KeyId)"
                                    "values(:Vstr, :Vint, :Vfloat, :Vbool, :KeyId)",
                                    update, params) == 1;
}

bool TKeyValue2::SetValues(int keyId, const std::string& vstr, bool vbool, double vfloat, int vint)
{
    if (!WriteValues(keyId, vstr, vbool, vfloat, vint)) return false;
    TDataSet* ds = DataSet();
    if (ds->Active() && !ds->IsEmpty()) {
        ds->Edit();
        VstrField->SetAsString(vstr);
        VboolField->SetAsBoolean(vbool);
        VfloatField->SetAsFloat(vfloat);
        VintField->SetAsInteger(vint);
        ds->Post();
    }
    return true;
}

void TKeyValue2::SetPrompt(int index, bool value)
{
    EnsureKey(index);
    SetValues(index, "", value, 0, 0);
}

bool TKeyValue2::GetPrompt(int index)
{
    EnsureKey(index);
    return !VboolField->IsNull() && VboolField->AsBoolean();
}
