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

// The image a drag shows beside the cursor.
class TDragImageList : public TCustomImageList {
    QZ_CLASS(TDragImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
    bool SetDragImage(int index, int hotSpotX, int hotSpotY);
    bool BeginDrag(HWND window, int x, int y);
    bool DragMove(int x, int y);
    bool EndDrag();
    bool Dragging() const { return FDragging; }
    TPoint HotSpot() const { return FHotSpot; }
    int DragIndex() const { return FDragIndex; }
    TPoint DragPos() const { return FPos; }
private:
    int FDragIndex = -1;
    TPoint FHotSpot;
    TPoint FPos;
    bool FDragging = false;
};
