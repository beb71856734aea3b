// The currency edit: a numeric text edit whose value is a floating number
// shown in the locale's currency format, with a limit on the decimals typed
// and a text that stands for the empty value.
#pragma once

#include "cxTextEdit.h"

#include <string>

class TcxCustomCurrencyEditProperties : public TcxCustomTextEditProperties {
    QZ_CLASS(TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties)
public:
    explicit TcxCustomCurrencyEditProperties(TPersistent* AOwner = nullptr);
    void Assign(TPersistent* Source) override;
    int GetDisplayFormatOptions() override { return dfoSupports | dfoNoCurrencyValue; }
    TClass GetEditClass() const override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
    void ValidateDisplayValue(Variant& DisplayValue, std::string& ErrorText, bool& Error, TObject* AEdit) override;
    unsigned UsesDisplayFormatting(bool AFocused) override;
    std::string GetDefaultDisplayFormat() override;
    bool IsEditValueNumeric() override { return true; }
    bool CheckDisplayValue(Variant&, bool) override { return true; }

    // A text as a number: it parses and is 0, or its size lies between
    // 5e-324 and 1.7e308; otherwise AValue is 0 and the answer false.
    static bool TryTextToValue(const std::string& AText, double& AValue);

    int DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(int Value) { FDecimalPlaces = Value; }
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& Value);
    bool UseThousandSeparator() const { return FUseThousandSeparator; }
    void SetUseThousandSeparator(bool Value);

private:
    int FDecimalPlaces = 2;
    bool FNullable = true;
    std::string FNullString;
    bool FUseThousandSeparator = false;
};

class TcxCurrencyEditProperties : public TcxCustomCurrencyEditProperties {
    QZ_CLASS(TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties)
public:
    explicit TcxCurrencyEditProperties(TPersistent* AOwner = nullptr) : TcxCustomCurrencyEditProperties(AOwner) {}
};

class TcxCustomCurrencyEdit : public TcxCustomTextEdit {
    QZ_CLASS(TcxCustomCurrencyEdit, TcxCustomTextEdit)
public:
    explicit TcxCustomCurrencyEdit(TComponent* AOwner = nullptr, bool AIsInplace = false);
    TClass GetPropertiesClass() const override { return TcxCurrencyEditProperties::StaticClass(); }
    TcxCustomCurrencyEditProperties* Properties() const
    {
        return static_cast<TcxCustomCurrencyEditProperties*>(ActiveProperties());
    }
    // Whether typing C at the caret keeps a number of at most DecimalPlaces decimals.
    virtual bool IsValidChar(char C);
    void PropertiesChanged(TObject* Sender) override;
    void PasteFromClipboard() override;
    Variant DisplayValueToEditValue(const std::string& AText) override;
    double Value();
    void SetValue(double AValue);

protected:
    void DoEditKeyPress(char& Key) override;
};

class TcxCurrencyEdit : public TcxCustomCurrencyEdit {
    QZ_CLASS(TcxCurrencyEdit, TcxCustomCurrencyEdit)
public:
    explicit TcxCurrencyEdit(TComponent* AOwner = nullptr) : TcxCustomCurrencyEdit(AOwner) {}
};

namespace cxCurrencyEdit {
// Registers the currency edit properties with the editor registry.
void Initialize();
}  // namespace cxCurrencyEdit
