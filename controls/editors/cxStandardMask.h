// Fixed-position edit masks such as "000-0000;1;_": every template character
// is an editable position accepting a class of characters, or a literal that
// is shown and skipped. The standard mask mode edits in overwrite fashion:
// the caret always selects one character, typing replaces it, literals are
// skipped and deleting leaves the blank character.
#pragma once

#include "cxMaskEditModes.h"

#include <memory>
#include <string>
#include <vector>

// One position of a standard mask.
class TcxStandardMaskCustomItem {
public:
    virtual ~TcxStandardMaskCustomItem() = default;
    // Whether the position takes ACh; editable positions convert ACh by their
    // case control whether or not they take it.
    virtual bool Check(char32_t& ACh) const = 0;
    virtual bool IsLiteral() const { return false; }
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
public:
    explicit TcxStandardMaskLiteralItem(char32_t ACh) : Literal(ACh) {}
    bool Check(char32_t& ACh) const override { return ACh == Literal; }
    bool IsLiteral() const override { return true; }
    char32_t Literal;
};

// 0 upper, 1 lower, 2 unchanged.
enum TcxStandardMaskCaseControl { smccUpper, smccLower, smccNone };

class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
public:
    TcxStandardMaskManyItem(TcxStandardMaskCaseControl ACase, bool AOptional)
        : CaseControl(ACase), Optional(AOptional) {}
    bool Check(char32_t& ACh) const override;
    TcxStandardMaskCaseControl CaseControl;
    bool Optional;

protected:
    // The test on the character before case conversion.
    virtual bool Accepts(char32_t ACh) const = 0;
};

#define QZ_STANDARD_MASK_ITEM(Cls)                                                \
    class Cls : public TcxStandardMaskManyItem {                                \
    public:                                                                     \
        using TcxStandardMaskManyItem::TcxStandardMaskManyItem;                 \
                                                                                \
    protected:                                                                  \
        bool Accepts(char32_t ACh) const override;                              \
    };
QZ_STANDARD_MASK_ITEM(TcxStandardMaskAlphaItem)
QZ_STANDARD_MASK_ITEM(TcxStandardMaskAlphaNumericItem)
QZ_STANDARD_MASK_ITEM(TcxStandardMaskASCIIItem)
QZ_STANDARD_MASK_ITEM(TcxStandardMaskNumericItem)
QZ_STANDARD_MASK_ITEM(TcxStandardMaskNumericSymbolItem)
#undef QZ_STANDARD_MASK_ITEM

class TcxStandardMask : public TObject {
    QZ_CLASS(TcxStandardMask, TObject)
public:
    TcxStandardMask() = default;

    void SetMask(const std::string& AMask);
    int Count() const { return int(FItems.size()); }
    const TcxStandardMaskCustomItem& Items(int Index) const { return *FItems.at(size_t(Index)); }
    char32_t Blank() const { return FBlank; }
    bool SaveLiteralCharacters() const { return FSaveLiterals; }
    const std::string& Mask() const { return FMask; }

    std::string GetTemplate() const;
    std::string GetEmptyValue() const;
    void Merge(std::string& AText, bool AUseConverted) const;
    bool IsValid(std::string& AText) const;
    void Strip(std::string& AText) const;

private:
    char32_t FBlank = '_';
    std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> FItems;
    bool FLeadingExclamation = false;
    bool FSaveLiterals = true;
    std::string FMask;
};

class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
    QZ_CLASS(TcxMaskEditStandardMode, TcxMaskEditCustomMode)
public:
    TcxMaskEditStandardMode(IcxMaskModeEdit* AEdit, IcxMaskModeProperties* AProperties)
        : TcxMaskEditCustomMode(AEdit, AProperties) {}

    TcxEditMaskKind GetMaskKind() const override { return emkStandard; }
    void AfterPaste() override;
    void Compile(const std::string& AMask) override;
    std::string GetEmptyString() override { return FStandardMask.GetEmptyValue(); }
    std::string GetFormattedText(const std::string& AText) override;
    bool IsCursorBegin() override;
    bool IsCursorEnd() override;
    bool IsFullValidText(const std::string& AText) override;
    void CorrectSelection() override;
    void BeforePaste() override;
    bool PressBackspace() override;
    bool PressDelete() override;
    bool PressEnd() override;
    bool PressHome() override;
    bool PressLeft() override;
    bool PressRight() override;
    bool PressSymbol(char32_t& AKey) override;
    void SynchronizeEditValue() override;
    void UpdateEditValue() override;
    std::string GetValueFromText(const std::string& AText) override;

    const TcxStandardMask& StandardMask() const { return FStandardMask; }

private:
    bool IsLiteralAt(int APos) const;
    bool IsEditableAt(int APos) const;
    int TextLength() const;

    TcxStandardMask FStandardMask;
    int FSelStartBeforePaste = 0;
};
