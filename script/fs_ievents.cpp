#include "fs_ievents.h"

#include "Controls.h"
#include "Forms.h"
#include "TypInfo.h"

#include <algorithm>

QZ_CLASS_IMPL(TfsMouseEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsMouseMoveEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsKeyEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsKeyPressEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsCloseEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsCloseQueryEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsCanResizeEvent, TfsCustomEvent)

using namespace fs_iinterpreter;

namespace {

// The handler may free the control and with it the adapter: the delegates
// reach the adapter through a weak reference and touch nothing of it after
// the call; var arguments are the caller's.
template <class Delegate, class Fn> void InstallDelegate(TfsCustomEvent* self, const TPropInfo* prop, Fn fn)
{
    TWeakRef<TfsCustomEvent> ref(self);
    SetMethodProp(self->Instance, prop, std::any(Delegate([ref, fn](auto&&... args) {
                      if (TfsCustomEvent* e = ref.Get()) fn(e, args...);
                  })));
}

// A value the procedure left in a var parameter, as the event's type; a
// value of another kind (the procedure declared the parameter differently)
// leaves the argument as it was.
template <class T, class Conv> void WriteBack(const TfsParams& r, size_t index, T& target, Conv conv)
{
    if (index >= r.size() || r[index].IsNull() || r[index].IsEmpty()) return;
    try {
        target = conv(r[index]);
    } catch (const std::exception&) {
    }
}

int ShiftBits(TShiftState s) { return int(s.ToInt()); }

}  // namespace

void TfsMouseEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TMouseEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, TMouseButton b, TShiftState s,
                                                int x, int y) {
        e->CallHandler({ObjectToVar(sender), Variant(int(b)), Variant(ShiftBits(s)), Variant(x), Variant(y)});
    });
}

void TfsMouseMoveEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TMouseMoveEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, TShiftState s, int x, int y) {
        e->CallHandler({ObjectToVar(sender), Variant(ShiftBits(s)), Variant(x), Variant(y)});
    });
}

void TfsKeyEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TKeyEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, uint16_t& key, TShiftState s) {
        TfsParams r = e->CallHandler({ObjectToVar(sender), Variant(int(key)), Variant(ShiftBits(s))});
        WriteBack(r, 1, key, [](const Variant& v) { return uint16_t(std::clamp(v.AsInteger(), 0, 0xFFFF)); });
    });
}

void TfsKeyPressEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TKeyPressEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, char& key) {
        TfsParams r = e->CallHandler({ObjectToVar(sender), Variant(std::string(1, key))});
        // An emptied key swallows the key press; a character that is not one
        // byte cannot be handed to the control and leaves the key as it was.
        WriteBack(r, 1, key, [&key](const Variant& v) {
            std::string s = VarToStr(v);
            if (s.empty()) return '\0';
            return (static_cast<unsigned char>(s[0]) < 0x80) ? s[0] : key;
        });
    });
}

void TfsCloseEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TCloseEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, TCloseAction& action) {
        TfsParams r = e->CallHandler({ObjectToVar(sender), Variant(int(action))});
        WriteBack(r, 1, action,
                  [](const Variant& v) { return TCloseAction(std::clamp(v.AsInteger(), int(caNone), int(caMinimize))); });
    });
}

void TfsCloseQueryEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TCloseQueryEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, bool& canClose) {
        TfsParams r = e->CallHandler({ObjectToVar(sender), Variant(canClose)});
        WriteBack(r, 1, canClose, [](const Variant& v) { return v.AsBoolean(); });
    });
}

void TfsCanResizeEvent::Install(const TPropInfo* prop)
{
    InstallDelegate<TCanResizeEvent>(this, prop, [](TfsCustomEvent* e, TObject* sender, int& w, int& h, bool& resize) {
        TfsParams r = e->CallHandler({ObjectToVar(sender), Variant(w), Variant(h), Variant(resize)});
        WriteBack(r, 1, w, [](const Variant& v) { return v.AsInteger(); });
        WriteBack(r, 2, h, [](const Variant& v) { return v.AsInteger(); });
        WriteBack(r, 3, resize, [](const Variant& v) { return v.AsBoolean(); });
    });
}
