// Each control's look-and-feel setting: a kind (flat, standard, ultra-flat)
// and the native style, inherited along a master chain from one process-wide
// root that a controller component sets for the whole program; the choice
// of the painter; and the watcher of system colour changes.
#pragma once

#include "Messages.h"
#include "TypInfo.h"
#include "Windows.h"
#include "cxClasses.h"
#include "dxThemeManager.h"

#include <functional>
#include <vector>

class TcxLookAndFeel;
class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat };
QZ_ENUM_TYPEINFO(TcxLookAndFeelKind, "lfFlat", "lfStandard", "lfUltraFlat")
enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle };
QZ_ENUM_TYPEINFO(TcxLookAndFeelValue, "lfvKind", "lfvNativeStyle")
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue, 8>;

using TcxLookAndFeelChangedEvent =
    std::function<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;

// Hears of a master look-and-feel.
class IcxLookAndFeelListener {
public:
    virtual ~IcxLookAndFeelListener() = default;
    virtual TObject* GetListenerObject() = 0;
    virtual void MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) = 0;
    virtual void MasterLookAndFeelFreed(TcxLookAndFeel* Sender) = 0;
};

// One subscriber to system colour changes. Primary ones hear first.
class TcxSystemPaletteChangedNotifier : public TObject {
    QZ_CLASS(TcxSystemPaletteChangedNotifier, TObject)
public:
    explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
    ~TcxSystemPaletteChangedNotifier() override;
    virtual void SystemPaletteChanged();
    bool Primary() const { return FPrimary; }
    TNotifyEvent OnPaletteChanged;

private:
    bool FPrimary;
};

// The process's receiver of the colour-change message: exists while any
// notifier does.
class TcxSystemPaletteChangedListener : public TObject {
    QZ_CLASS(TcxSystemPaletteChangedListener, TObject)
public:
    TcxSystemPaletteChangedListener();
    ~TcxSystemPaletteChangedListener() override;
    void AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier);
    void RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier);
    HWND WindowHandle() const { return FWindowHandle; }
    void WndProc(TMessage& Message);

private:
    void DoChanged();
    HWND FWindowHandle = nullptr;
    std::vector<TcxSystemPaletteChangedNotifier*> FPrimaryNotifiers;
    std::vector<TcxSystemPaletteChangedNotifier*> FNotifiers;
};

namespace cxLookAndFeels {
void Initialize();
}

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelListener {
    QZ_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
public:
    explicit TcxLookAndFeel(TPersistent* AOwner = nullptr);
    ~TcxLookAndFeel() override;
    // Joins the root once fully made (the factories call it; code that uses
    // new calls it too).
    void AfterConstruction() override;
    void Assign(TPersistent* Source) override;

    TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
    void SetAssignedValues(TcxLookAndFeelValues Value);
    void ResetAssignedValues() { SetAssignedValues({}); }
    TcxLookAndFeelKind Kind() const { return FCurrentKind; }
    void SetKind(TcxLookAndFeelKind Value);
    bool NativeStyle() const { return FCurrentNativeStyle; }
    void SetNativeStyle(bool Value);
    bool IsKindStored() const { return FAssignedValues.Contains(lfvKind); }
    bool IsNativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }

    virtual TcxLookAndFeelKind GetEffectiveKind() const;
    virtual bool GetEffectiveNativeStyle() const;
    virtual void SystemPaletteChanged();

    TcxLookAndFeel* MasterLookAndFeel() const { return FMasterLookAndFeel; }
    void SetMasterLookAndFeel(TcxLookAndFeel* Value);
    TcxLookAndFeel* GetMasterOrRoot() const;
    bool IsRoot() const { return FIsRoot; }

    void AddChangeListener(IcxLookAndFeelListener* Listener);
    void RemoveChangeListener(IcxLookAndFeelListener* Listener);
    int ChangeListenerCount() const { return int(FChangeListeners.size()); }

    TcxCustomLookAndFeelPainterClass GetPainter() const;
    TcxCustomLookAndFeelPainterClass GetAvailablePainter(TdxThemedObjectTypes ANeededThemedObjectTypes) const;
    TcxCustomLookAndFeelPainterClass Painter() const { return GetPainter(); }

    // IcxLookAndFeelListener
    TObject* GetListenerObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
    void MasterLookAndFeelFreed(TcxLookAndFeel* Sender) override;

    TcxLookAndFeelChangedEvent OnChanged;

protected:
    void NotifyChanged(TcxLookAndFeelValues AChangedValues);
    void SaveState();
    void NotifyStateChanges();
    TcxLookAndFeelKind InheritedKind() const;
    bool InheritedNativeStyle() const;

private:
    friend void cxLookAndFeels::Initialize();
    TcxLookAndFeelValues FAssignedValues;
    std::vector<IcxLookAndFeelListener*> FChangeListeners;
    TcxLookAndFeelKind FCurrentKind = lfUltraFlat;
    bool FCurrentNativeStyle = false;
    TcxLookAndFeelKind FKindValue = lfUltraFlat;
    bool FNativeStyleValue = false;
    bool FIsDestroying = false;
    bool FIsRoot = false;
    bool FJoined = false;
    TcxLookAndFeel* FMasterLookAndFeel = nullptr;
    TcxLookAndFeelKind FPreviousKind = lfUltraFlat;
    bool FPreviousNativeStyle = false;
    std::unique_ptr<TcxSystemPaletteChangedNotifier> FPaletteNotifier;
};

class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelListener {
    QZ_CLASS(TcxLookAndFeelController, TComponent)
public:
    explicit TcxLookAndFeelController(TComponent* AOwner = nullptr);
    ~TcxLookAndFeelController() override;

    TcxLookAndFeelKind Kind() const;
    void SetKind(TcxLookAndFeelKind Value);
    bool NativeStyle() const;
    void SetNativeStyle(bool Value);

    TObject* GetListenerObject() override { return this; }
    void MasterLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override {}
    void MasterLookAndFeelFreed(TcxLookAndFeel* Sender) override;

private:
    bool FRegistered = false;
};

namespace cxLookAndFeels {
// Unit start-up (makes the root) and shutdown (frees it).
void Initialize();
void Finalize();
TcxLookAndFeel* RootLookAndFeel();
int ControllerCount();
// The painter of a kind.
TcxCustomLookAndFeelPainterClass PainterOfKind(TcxLookAndFeelKind AKind);
// The listener of system colour changes while one exists (null otherwise).
TcxSystemPaletteChangedListener* SystemPaletteChangedListener();
}  // namespace cxLookAndFeels
