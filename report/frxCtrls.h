// The report library's own window controls: a custom-drawn window with its
// own scroll ranges, the base of the preview's page area.
#pragma once

#include "Controls.h"

class TfrxScrollWin : public TCustomControl {
    QZ_CLASS(TfrxScrollWin, TCustomControl)
public:
    explicit TfrxScrollWin(TComponent* owner = nullptr);

    int HorzPage() const { return FHorzPage; }
    int HorzPosition() const { return FHorzPosition; }
    int HorzRange() const { return FHorzRange; }
    int VertPage() const { return FVertPage; }
    int VertPosition() const { return FVertPosition; }
    int VertRange() const { return FVertRange; }
    void SetHorzPageSize(int n);
    void SetVertPageSize(int n);
    void SetHorzScrollRange(int n);
    void SetVertScrollRange(int n);
    // Clamped to 0 .. range - page; a change moves the bar and calls the
    // position-changed hook.
    void SetHorzScrollPos(int n);
    void SetVertScrollPos(int n);
    int SmallChange = 1;
    int LargeChange = 10;

protected:
    virtual void HorzPositionChanged(int oldPosition) {}
    virtual void VertPositionChanged(int oldPosition) {}
    void Paint() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void UpdateBar(int bar);
    void ScrollMessage(TMessage& m, int bar);
    void WMHScroll(TMessage& m) { ScrollMessage(m, SB_HORZ); }
    void WMVScroll(TMessage& m) { ScrollMessage(m, SB_VERT); }
    void WMEraseBkgnd(TMessage& m) { m.Result = 1; }
    void WMGetDlgCode(TMessage& m) { m.Result = 7; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_HSCROLL, WMHScroll)
        QZ_MESSAGE_HANDLER(WM_VSCROLL, WMVScroll)
        QZ_MESSAGE_HANDLER(WM_ERASEBKGND, WMEraseBkgnd)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
    int FHorzPage = 0, FHorzPosition = 0, FHorzRange = 0;
    int FVertPage = 0, FVertPosition = 0, FVertRange = 0;
};

namespace frxCtrls {
// A control of a dialog: owned by the form, named (the form's text block
// names it), placed on its parent.
template <class C>
C* MakeControl(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top, int width,
               int height)
{
    C* c = new C(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}
}  // namespace frxCtrls
