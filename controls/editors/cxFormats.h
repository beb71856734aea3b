// The format controller: the currency format string, the date edit format
// and masks and the start of the week, derived from the format settings and
// renewed (with a notice to every listener) when the regional settings
// change. Values assigned by the program are kept across such changes, and
// so are the program's own date and number formats: a change notice re-reads
// nothing over them.
#pragma once

#include "System.h"

#include <string>
#include <vector>

class IcxFormatControllerListener {
public:
    virtual ~IcxFormatControllerListener() = default;
    virtual void FormatChanged() = 0;
};

class TcxFormatController : public TObject {
    QZ_CLASS(TcxFormatController, TObject)
public:
    TcxFormatController();
    ~TcxFormatController() override;

    virtual void AddListener(IcxFormatControllerListener* AListener);
    virtual void RemoveListener(IcxFormatControllerListener* AListener);
    void NotifyListeners();
    // Recalculates the values that are not assigned.
    void GetFormats();
    // The regional settings changed: the formats are renewed and every
    // listener told.
    void RegionalSettingsChanged();

    const std::string& CurrencyFormat() const { return FCurrencyFormat; }
    void SetCurrencyFormat(const std::string& AValue);
    const std::string& DateEditFormat() const { return FDateEditFormat; }
    const std::string& DateEditMask() const { return FDateEditMask; }
    const std::string& RegExprDateEditMask() const { return FRegExprDateEditMask; }
    void SetRegExprDateEditMask(const std::string& AValue);
    const std::string& StandardDateEditMask() const { return FStandardDateEditMask; }
    const std::string& AssignedStandardDateEditMask() const { return FAssignedStandardDateEditMask; }
    void SetAssignedStandardDateEditMask(const std::string& AValue);
    int StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(int AValue);
    bool UseRuntimeDateFormats() const { return FUseRuntimeDateFormats; }
    void SetUseRuntimeDateFormats(bool AValue) { FUseRuntimeDateFormats = AValue; }
    bool HasWindow() const { return FWindow != nullptr; }

    // The derivations, from the current format settings.
    static std::string GetCurrencyFormatFromSettings();
    static std::string GetDateEditFormat(const std::string& AShortDateFormat);
    static std::string GetDateEditMaskCorrection(const std::string& ADateEditFormat);
    static std::string GetStandardDateEditMask(const std::string& AShortDateFormat);

private:
    void WndProc(void* AMessage);

    bool FCurrencyFormatAssigned = false;
    bool FRegExprDateEditMaskAssigned = false;
    bool FStandardDateEditMaskAssigned = false;
    bool FStartOfWeekAssigned = false;
    std::string FCurrencyFormat;
    std::string FDateEditFormat;
    std::string FStandardDateEditMask;
    std::vector<IcxFormatControllerListener*> FListeners;
    std::string FDateEditMask;
    std::string FRegExprDateEditMask;
    std::string FAssignedStandardDateEditMask;
    int FStartOfWeek = 0;
    bool FUseRuntimeDateFormats = false;
    void* FWindow = nullptr;
};

namespace cxFormats {
// The one controller, made on first use.
TcxFormatController* GetFormatController();
// Frees it (unit shutdown).
void FreeFormatController();
}  // namespace cxFormats
