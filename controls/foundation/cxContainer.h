// The style of a container (the framed host of an editor): border colour and
// style, background colour, bordered edges, font, hot tracking, shadow and
// transparent border, each assigned locally, taken from a style controller
// shared by many containers, or a default that may follow the look-and-feel.
#pragma once

#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include <memory>
#include <string>
#include <vector>

class TcxStyleController;

enum TcxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat };
QZ_ENUM_TYPEINFO(TcxContainerBorderStyle, "cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat")

// Value numbers; descendants continue the numbering after the eight here.
using TcxContainerStyleValue = int;
constexpr TcxContainerStyleValue csvBorderColor = 0;
constexpr TcxContainerStyleValue csvBorderStyle = 1;
constexpr TcxContainerStyleValue csvColor = 2;
constexpr TcxContainerStyleValue csvEdges = 3;
constexpr TcxContainerStyleValue csvFont = 4;
constexpr TcxContainerStyleValue csvHotTrack = 5;
constexpr TcxContainerStyleValue csvShadow = 6;
constexpr TcxContainerStyleValue csvTransparentBorder = 7;
using TcxContainerStyleValues = TSet<TcxContainerStyleValue, 64>;

using TcxStyleChangedEvent = std::function<void(TObject* Sender, class TcxContainerStyle* AStyle)>;

class TcxContainerStyle : public TPersistent {
    QZ_CLASS(TcxContainerStyle, TPersistent)
public:
    explicit TcxContainerStyle(TPersistent* AOwner = nullptr, bool APaintOnly = false);
    ~TcxContainerStyle() override;
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override { return FOwner; }
    // Made from a class reference (descendant styles of the editors).
    static TcxContainerStyle* CreateFromClass(TClass AClass, TPersistent* AOwner, bool APaintOnly);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void RestoreDefaults();

    TColor BorderColor() const;
    void SetBorderColor(TColor Value);
    TcxContainerBorderStyle BorderStyle() const;
    void SetBorderStyle(TcxContainerBorderStyle Value);
    TColor Color() const;
    void SetColor(TColor Value);
    TcxBorders Edges() const;
    void SetEdges(TcxBorders Value);
    TFont* Font() const;
    void SetFont(TFont* Value);
    bool HotTrack() const;
    void SetHotTrack(bool Value);
    bool Shadow() const;
    void SetShadow(bool Value);
    bool TransparentBorder() const;
    void SetTransparentBorder(bool Value);
    TcxContainerStyleValues AssignedValues() const;
    void SetAssignedValues(TcxContainerStyleValues Value);
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    TcxStyleController* StyleController() const;
    void SetStyleController(TcxStyleController* Value);
    bool PaintOnly() const { return FPaintOnly; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { FTextColor = Value; }
    TPersistent* Owner() const { return FOwner; }
    // Stored with the form: assigned here.
    bool IsValueStored(TcxContainerStyleValue AValue) const { return FAssignedValues.Contains(AValue); }

    virtual void Changed();
    virtual void ControllerStyleChanged(TObject* Sender);
    virtual void ControllerFreeNotification(TcxStyleController* AController);
    virtual TColor GetDefaultBorderColor() const { return clWindowFrame; }
    virtual TcxContainerBorderStyle GetDefaultBorderStyle() const;
    virtual TColor GetDefaultColor() const { return clWindow; }
    virtual TcxBorders GetDefaultEdges() const { return cxBordersAll; }
    virtual bool GetDefaultHotTrack() const { return true; }
    virtual bool GetDefaultShadow() const { return false; }
    virtual bool GetDefaultTransparentBorder() const { return true; }
    virtual void FontChanged(TObject* Sender);
    virtual TColor GetEffectiveColor() const;
    virtual bool IsValueAssigned(TcxContainerStyleValue AValue) const;
    virtual void StyleControllerChanged();
    virtual TcxStyleController* GetDefaultStyleController() const { return nullptr; }
    virtual int GetStyleValueCount() const { return 8; }
    virtual bool GetStyleValueName(TcxContainerStyleValue AValue, std::string& AName) const;

    // The lookups: the value assigned here or along the controller chain.
    bool FindAssignedBorderColor(TColor& V) const;
    bool FindAssignedBorderStyle(TcxContainerBorderStyle& V) const;
    bool FindAssignedColor(TColor& V) const;
    bool FindAssignedEdges(TcxBorders& V) const;
    bool FindAssignedFont(TFont*& V) const;
    bool FindAssignedHotTrack(bool& V) const;
    bool FindAssignedShadow(bool& V) const;
    bool FindAssignedTransparentBorder(bool& V) const;

    TNotifyEvent OnChanged;

protected:
    void UpdateFont();
    template <class T, class F> bool Lookup(TcxContainerStyleValue AValue, T& V, F AGet) const;

private:
    TColor FBorderColor = clWindowFrame;
    TcxContainerBorderStyle FBorderStyle = cbsNone;
    TcxBorders FEdges = cxBordersAll;
    bool FHotTrack = true;
    bool FShadow = false;
    bool FTransparentBorder = true;
    bool FPaintOnly;
    bool FIsDestroying = false;
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    bool FModified = false;
    TPersistent* FOwner;
    int FUpdateCount = 0;
    TcxContainerStyleValues FAssignedValues;
    bool FFontUpdating = false;
    TcxStyleController* FStyleController = nullptr;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FOwnFont;
    TFont* FFontRef = nullptr;   // a paint-only style's font
    TColor FTextColor = clWindowText;
};

class TcxStyleController : public TComponent {
    QZ_CLASS(TcxStyleController, TComponent)
public:
    explicit TcxStyleController(TComponent* AOwner = nullptr);
    ~TcxStyleController() override;
    void BeforeDestruction() override;
    void Loaded() override;

    TcxContainerStyle* Style() const;
    void AfterConstruction() override;
    void SetStyle(TcxContainerStyle* Value) { FStyle->Assign(Value); }
    const std::vector<TcxContainerStyle*>& Listeners() const { return FListeningStyles; }

    virtual void AddListener(TcxContainerStyle* AStyle);
    virtual void NotifyListener(TcxContainerStyle* AStyle);
    virtual TClass GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
    virtual void RemoveListener(TcxContainerStyle* AStyle);
    void Changed();

    TcxStyleChangedEvent OnStyleChanged;

private:
    std::vector<TcxContainerStyle*> FListeningStyles;
    mutable std::unique_ptr<TcxContainerStyle> FStyle;
    bool FIsBeingDestroyed = false;
};
