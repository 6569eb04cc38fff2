// Image lists.
#include "forms/ImgList.h"

#include "forms/Graphics.h"
#include "forms/Streams.h"

#include <cstring>

namespace quorin {

QUORIN_DEFINE_CLASS(TImageList, TComponent) {
    p.Int("Width", &TImageList::Width, &TImageList::SetWidth, 1, 1024);
    p.Int("Height", &TImageList::Height, &TImageList::SetHeight, 1, 1024);
    p.Binary(
        "Bitmap",
        [](TImageList& l, TStream& s) {
            std::vector<uint8_t> bytes(size_t(s.Size()));
            s.ReadBuffer(bytes.data(), int64_t(bytes.size()));
            l.SetBitmap(bytes);
        },
        [](const TImageList& l, TStream& s) { s.WriteBuffer(l.Bitmap().data(), int64_t(l.Bitmap().size())); });
}

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::~TImageList() { Clear(); }

void TImageList::SetWidth(int Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    Rebuild();
}

void TImageList::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Rebuild();
}

void TImageList::Clear() {
    if (FHandle) ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

int TImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

HIMAGELIST TImageList::Handle() {
    if (!FHandle) Rebuild();
    return FHandle;
}

namespace {

// A device-independent bitmap of the file's bytes, after checking every size it gives
// against the bytes there are.
HBITMAP BitmapFromFile(const std::vector<uint8_t>& b) {
    if (b.size() < 14 + sizeof(BITMAPINFOHEADER) || b[0] != 'B' || b[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    uint32_t offBits;
    std::memcpy(&offBits, &b[10], 4);
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, &b[14], sizeof bih);
    if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biWidth <= 0 || bih.biHeight == 0 || bih.biPlanes != 1 ||
        (bih.biBitCount != 1 && bih.biBitCount != 4 && bih.biBitCount != 8 && bih.biBitCount != 24 &&
         bih.biBitCount != 32) ||
        bih.biCompression != BI_RGB || bih.biWidth > 32768 || bih.biHeight > 32768 || bih.biHeight < -32768)
        throw EInvalidGraphic("Bitmap image is not valid");
    const uint64_t height = uint64_t(bih.biHeight < 0 ? -int64_t(bih.biHeight) : bih.biHeight);
    const uint64_t stride = ((uint64_t(bih.biWidth) * bih.biBitCount + 31) / 32) * 4;
    const uint64_t colours = bih.biBitCount <= 8 ? (bih.biClrUsed ? bih.biClrUsed : (1u << bih.biBitCount)) : 0;
    const uint64_t headerEnd = 14 + uint64_t(bih.biSize) + colours * 4;
    if (colours > 256 || headerEnd > b.size() || offBits < headerEnd || offBits > b.size() ||
        stride * height > b.size() - offBits)
        throw EInvalidGraphic("Bitmap image is not valid");
    TClientDC screen(nullptr);
    HBITMAP bmp = CreateDIBitmap(screen.Handle(), &bih, CBM_INIT, &b[offBits],
                                 reinterpret_cast<const BITMAPINFO*>(&b[14]), DIB_RGB_COLORS);
    if (!bmp) throw EInvalidGraphic("Out of system resources");
    return bmp;
}

}  // namespace

void TImageList::SetBitmap(const std::vector<uint8_t>& BmpBytes) {
    if (!BmpBytes.empty()) TGdiObject<HBITMAP> check(BitmapFromFile(BmpBytes));  // refuse before changing anything
    FBitmap = BmpBytes;
    Rebuild();
}

void TImageList::Rebuild() {
    Clear();
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | ILC_MASK, 4, 4);
    if (!FHandle || FBitmap.empty()) return;
    TGdiObject<HBITMAP> bmp(BitmapFromFile(FBitmap));
    ImageList_AddMasked(FHandle, bmp.Get(), RGB(255, 0, 255));
}

bool TImageList::Draw(HDC DC, int X, int Y, int Index, bool Enabled) {
    HIMAGELIST h = Handle();
    if (!h || Index < 0 || Index >= Count()) return false;
    return ImageList_Draw(h, Index, DC, X, Y, Enabled ? ILD_TRANSPARENT : ILD_TRANSPARENT | ILD_BLEND50) != FALSE;
}

}  // namespace quorin
