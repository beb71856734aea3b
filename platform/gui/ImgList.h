// Image lists: many images of one size kept with their masks, drawn normally
// or greyed for disabled commands.
#pragma once

#include "Graphics.h"

#include <vector>

class TCustomImageList;

// Tells a user of an image list that the list changed.
class TChangeLink : public TObject {
    QZ_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return FSender; }
    void SetSender(TCustomImageList* s) { FSender = s; }
    TNotifyEvent OnChange;
    void Change();
private:
    TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

struct TImageListImages;   // the pixels (private)

class TCustomImageList : public TComponent {
    QZ_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* owner = nullptr);
    TCustomImageList(int width, int height, TComponent* owner = nullptr);
    ~TCustomImageList() override;
    void Assign(TPersistent* source) override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size empties the list, as the platform's does.
    void SetWidth(int v);
    void SetHeight(int v);
    void SetSize(int w, int h);
    int Count() const;
    bool Masked() const { return FMasked; }
    void SetMasked(bool v) { FMasked = v; }
    TColor BkColor = clNone;
    TColor BlendColor = clNone;
    TDrawingStyle DrawingStyle = dsNormal;
    TImageType ImageType = itImage;

    // A wide image adds as many images as it holds side by side (a partial
    // one at the end is dropped); the mask's black pixels are the ones drawn.
    // Returns the index of the first one, -1 when none was added.
    int Add(TBitmap* image, TBitmap* mask);
    // The mask made from one colour (clDefault: the bottom-left pixel).
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Insert(int index, TBitmap* image, TBitmap* mask);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);   // -1 deletes all
    void Move(int curIndex, int newIndex);
    void Clear();
    // Copies image index into a bitmap (sized to the list); false for a bad index.
    bool GetBitmap(int index, TBitmap* image) const;
    void GetIcon(int index, TIcon* icon) const;

    // A disabled image is drawn embossed in the highlight and shadow colours.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
    void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, int overlay, bool enabled = true) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    friend class TDragImageList;   // shows its pixels in the drag window
    void CheckIndex(int index) const;
    int FWidth = 16;
    int FHeight = 16;
    bool FMasked = true;
    int FUpdateCount = 0;
    bool FChanged = false;
    std::unique_ptr<TImageListImages> FImages;
    std::vector<TChangeLink*> FLinks;
};

class TImageList : public TCustomImageList {
    QZ_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};

struct TDragImageWindow;   // the window showing the image (private)

// The image a drag shows beside the cursor: one image of the list, put up
// translucent in a top-level window of its own that never takes the mouse
// or the activation, and that follows DragMove. Positions are client
// coordinates of the window given to BeginDrag or DragLock, screen
// coordinates without one.
class TDragImageList : public TCustomImageList {
    QZ_CLASS(TDragImageList, TCustomImageList)
public:
    explicit TDragImageList(TComponent* owner = nullptr);
    TDragImageList(int width, int height, TComponent* owner = nullptr);
    ~TDragImageList() override;
    // The image to drag (the first one until set) and the point of it that
    // sits at the cursor; false for an image the list does not hold.
    bool SetDragImage(int index, int hotSpotX, int hotSpotY);
    // Puts the image up at (x, y); false when the list has no such image.
    bool BeginDrag(HWND window, int x, int y);
    bool DragMove(int x, int y);
    // Ties the coordinates to a window and shows the image there; DragUnlock
    // takes the image down until the next DragLock.
    bool DragLock(HWND window, int x, int y);
    void DragUnlock();
    // Taken down while a window under it paints, put up again after; calls
    // nest. The window follows once the program's loop turns, so a paint
    // bracketed by the two does not make the image blink.
    void HideDragImage();
    void ShowDragImage();
    bool EndDrag();
    bool Dragging() const { return FDragging; }
    TPoint HotSpot() const { return FHotSpot; }
    int DragIndex() const { return FDragIndex; }
    TPoint DragPos() const { return FPos; }
    // Whether the image is meant to show now (dragging, locked in, not hidden).
    bool DragImageShown() const { return FDragging && !FUnlocked && FHideCount == 0; }
    // Where the image window lies on the screen (empty when it does not exist).
    TRect DragImageBounds() const;

protected:
    void Change() override;

private:
    void PlaceWindow();
    void SyncWindow();
    void SyncWindowLater();
    int FDragIndex = 0;
    TPoint FHotSpot;
    TPoint FPos;
    HWND FLockWindow = nullptr;
    bool FDragging = false;
    bool FUnlocked = false;
    int FHideCount = 0;
    std::unique_ptr<TDragImageWindow> FWindow;
};
