// The school's company record, the operators with their rights, and the
// small tables the program keeps its own settings in: numbered pick lists
// (options) and numbered yes/no settings (keyvalue).
#pragma once

#include "Database.h"

#include <string>

// Rights, by the number an operator's rights text holds.
namespace Rights {
inline constexpr int ClearData = 100;
inline constexpr int CompanyInfo = 10000;
inline constexpr int Operators = 100001;
inline constexpr int Print = 10002;
inline constexpr int ReportDesign = 10003;
inline constexpr int Export = 10004;
inline constexpr int Backup = 10005;
inline constexpr int SaveLayout = 10006;
inline constexpr int ToolMenu = 10007;
inline constexpr int ChooseColumns = 10008;
}

class TCompany : public TObject {
    QZ_CLASS(TCompany, TObject)
public:
    int Id = 0;
    std::string CompanyName;
    std::string Manager;
    std::string Tel;
    std::string Fax;
    std::string Address;
    std::string Zip;
    std::string Profile;
    bool Updated = false;

    // The first row of Company; an empty table gives an empty record.
    void Load();
    // The name is longer than 7 bytes in its GBK form.
    bool IsFilled() const;
    bool Exists();
    // Updates the row of Id, or inserts it when there is none.
    void Save();
};

class TOperator : public TObject {
    QZ_CLASS(TOperator, TObject)
public:
    std::string LoginId;
    std::string Password;
    std::string Name;
    std::string Contact;
    std::string Note;
    std::string Rights;

    // Reads the operator of the login id. When no single row matches, the
    // object is emptied (it then counts as nobody), so an earlier operator
    // can never stand in for a login id that does not exist. Returns whether
    // the operator was found.
    bool Load(const std::string& loginId);
    void Reset();
    // LoginId is not empty and the password matches exactly.
    bool CheckPassword(const std::string& password) const;
    // The rights text holds ",id," or the operator is the built-in "sa".
    bool HasRight(int rightId) const;
    // HasRight, or the refusal message; with abortOnRefusal the current
    // action then ends silently (EAbort).
    bool CheckRight(int rightId, bool abortOnRefusal);
    void SavePassword(const std::string& newPassword);

    // The refusal text for a right.
    static std::string RefusalText(int rightId);
};

// The editable list of operators (every login but "sa").
class TOperatorSet : public TRecordSet {
    QZ_CLASS(TOperatorSet, TRecordSet)
public:
    explicit TOperatorSet(TComponent* owner = nullptr);

    TField* UserIdField;
    TField* PasswdField;
    TField* NameField;
    TField* ContactField;
    TField* NoteField;
    TField* RightsField;

    void Open();
    void AddOperator(const std::string& loginId, const std::string& password, const std::string& name,
                     const std::string& contact, const std::string& note, const std::string& rights);
    void UpdateOperator(const std::string& loginId, const std::string& password, const std::string& name,
                        const std::string& contact, const std::string& note, const std::string& rights);
    void DeleteOperator(const std::string& loginId);
};

// Numbered pick lists in the table options, kept as comma text.
class TPickListSet : public TRecordSet {
    QZ_CLASS(TPickListSet, TRecordSet)
public:
    explicit TPickListSet(TComponent* owner = nullptr);

    TField* KeyField;
    TField* LabelField;
    TField* ListField;

    static bool SetList(int key, const std::string& list);
    // The list of the key (empty when none); true when exactly one row holds it.
    static bool GetList(int key, std::string& list);
    void EnsureOpen(bool force);
    int Count();
    // Adds rows for the next keys until there are n; never removes any.
    void SetCount(int n);
};

// Numbered settings in the table keyvalue.
class TKeyValue2 : public TRecordSet {
    QZ_CLASS(TKeyValue2, TRecordSet)
public:
    explicit TKeyValue2(TComponent* owner = nullptr);

    TField* KeyIdField;
    TField* VintField;
    TField* VstrField;
    TField* VfloatField;
    TField* VboolField;

    void Open();
    // Opens when closed and moves to the row of the key, inserting it first
    // when it is missing.
    void EnsureKey(int keyId);
    static bool WriteValues(int keyId, const std::string& vstr, bool vbool, double vfloat, int vint);
    bool SetValues(int keyId, const std::string& vstr, bool vbool, double vfloat, int vint);
    void SetPrompt(int index, bool value);
    bool GetPrompt(int index);

    bool FeedbackPrompt() { return GetPrompt(0); }
    void SetFeedbackPrompt(bool v) { SetPrompt(0, v); }
    bool DailyTipPrompt() { return GetPrompt(1); }
    void SetDailyTipPrompt(bool v) { SetPrompt(1, v); }
    bool GetStartPrompt() { return GetPrompt(2); }
    void SetGetStartPrompt(bool v) { SetPrompt(2, v); }
};
