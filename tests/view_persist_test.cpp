// What a container sees of the control's face and saved state: the placeholder drawing, the
// extent and its persistence through streams and storages.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "support/control_factory.h"

namespace {

// A 24-bit white bitmap in a memory DC, with a black pen and a white brush selected.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) bits_[i] = 0x00FFFFFF;
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        SelectObject(dc_, GetStockObject(WHITE_BRUSH));
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    bool Dark(int x, int y) const { return (bits_[y * width_ + x] & 0xFF) < 0x80; }
    int DarkIn(int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += Dark(x, y);
        return count;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

SIZEL ExtentOf(IUnknown* control)
{
    SIZEL size{};
    ComPtr<IUnknown>(control).As<IOleObject>(IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &size);
    return size;
}

}  // namespace

TEST(View, DrawShowsTheBoundsRectangleAndTheCentredText)
{
    ComPtr<IUnknown> control = CreateControl();
    auto view = control.As<IViewObjectEx>(IID_IViewObjectEx);
    ASSERT_TRUE(view);
    Canvas canvas(300, 100);
    RECTL bounds{0, 0, 300, 100};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds,
                         nullptr, nullptr, 0), S_OK);
    // The rectangle's border with the selected pen.
    EXPECT_TRUE(canvas.Dark(0, 0));
    EXPECT_TRUE(canvas.Dark(299, 99));
    EXPECT_TRUE(canvas.Dark(150, 0));
    EXPECT_TRUE(canvas.Dark(0, 50));
    // Glyphs stand above the baseline at the vertical middle, centred horizontally.
    EXPECT_GT(canvas.DarkIn(100, 35, 200, 50), 20);
    EXPECT_EQ(canvas.DarkIn(5, 5, 295, 30), 0);
    EXPECT_EQ(canvas.DarkIn(5, 56, 295, 95), 0);
    EXPECT_EQ(canvas.DarkIn(2, 35, 20, 50), 0);

    // Without bounds a control that is not windowless-active has nowhere to draw.
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), nullptr,
                         nullptr, nullptr, 0), E_INVALIDARG);
    DWORD status = 0;
    EXPECT_EQ(view->GetViewStatus(&status), S_OK);
    EXPECT_EQ(status, static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND));
}

TEST(View, DataObjectRendersAMetafilePicture)
{
    ComPtr<IUnknown> control = CreateControl();
    auto data = control.As<IDataObject>(IID_IDataObject);
    FORMATETC format{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    EXPECT_EQ(data->QueryGetData(&format), S_OK);
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_MFPICT));
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
    EXPECT_EQ(picture->xExt, 5080);
    EXPECT_EQ(picture->yExt, 5080);
    EXPECT_GT(GetMetaFileBitsEx(picture->hMF, 0, nullptr), 0u);
    GlobalUnlock(medium.hMetaFilePict);
    ReleaseStgMedium(&medium);

    FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data->GetData(&text, &medium), DV_E_FORMATETC);
}

TEST(Persistence, ExtentDefaultsToTwoInchesAndRoundTripsThroughAStream)
{
    ComPtr<IUnknown> control = CreateControl();
    auto persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(ExtentOf(control.Get()).cx, 5080);
    EXPECT_EQ(ExtentOf(control.Get()).cy, 5080);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    SIZEL size{2540, 1270};
    ASSERT_EQ(control.As<IOleObject>(IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ULARGE_INTEGER max{};
    persist->GetSizeMax(&max);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, max.QuadPart);

    // Both properties are stored as VT_UI4.
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream.Get(), &memory);
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(memory));
    EXPECT_EQ(*reinterpret_cast<const WORD*>(bytes + 4), VT_UI4);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(bytes + 6), 2540u);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(bytes + 10), VT_UI4);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(bytes + 12), 1270u);
    GlobalUnlock(memory);

    ComPtr<IUnknown> copy = CreateControl();
    auto copyPersist = copy.As<IPersistStreamInit>(IID_IPersistStreamInit);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(copyPersist->Load(stream.Get()), S_OK);
    EXPECT_EQ(ExtentOf(copy.Get()).cx, 2540);
    EXPECT_EQ(ExtentOf(copy.Get()).cy, 1270);

    // A truncated stream is refused and leaves the extent alone.
    ComPtr<IStream> shortStream;
    CreateStreamOnHGlobal(nullptr, TRUE, shortStream.Out());
    const DWORD version = 0x0100;
    shortStream->Write(&version, sizeof(version), nullptr);
    shortStream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_TRUE(FAILED(copyPersist->Load(shortStream.Get())));
    EXPECT_EQ(ExtentOf(copy.Get()).cx, 2540);
}

TEST(Persistence, ExtentRoundTripsThroughAStorage)
{
    ComPtr<ILockBytes> bytes;
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Out()), S_OK);
    ComPtr<IStorage> storage;
    ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                           0, storage.Out()), S_OK);

    ComPtr<IUnknown> control = CreateControl();
    auto persist = control.As<IPersistStorage>(IID_IPersistStorage);
    ASSERT_EQ(persist->InitNew(storage.Get()), S_OK);
    SIZEL size{3000, 4000};
    control.As<IOleObject>(IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &size);
    ASSERT_EQ(persist->Save(storage.Get(), TRUE), S_OK);
    ASSERT_EQ(persist->SaveCompleted(nullptr), S_OK);

    ComPtr<IUnknown> copy = CreateControl();
    ASSERT_EQ(copy.As<IPersistStorage>(IID_IPersistStorage)->Load(storage.Get()), S_OK);
    EXPECT_EQ(ExtentOf(copy.Get()).cx, 3000);
    EXPECT_EQ(ExtentOf(copy.Get()).cy, 4000);
}

namespace {

ComPtr<IStorage> NewStorage()
{
    ComPtr<ILockBytes> bytes;
    CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Out());
    ComPtr<IStorage> storage;
    StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                 storage.Out());
    return storage;
}

void Resize(IUnknown* control, LONG width)
{
    SIZEL size{width, 1000};
    ComPtr<IUnknown>(control).As<IOleObject>(IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &size);
}

}  // namespace

// Dirty means "changed since last saved to the current storage": a save into the current storage
// cleans it, a copy saved elsewhere does not, and a storage handed over after a save becomes the
// current one. SaveCompleted ends a save or a hands-off, and nothing else.
TEST(Persistence, StorageSavesFollowTheNormalNoScribbleAndHandsOffStates)
{
    ComPtr<IStorage> current = NewStorage();
    ComPtr<IStorage> other = NewStorage();
    ASSERT_TRUE(current && other);
    ComPtr<IUnknown> control = CreateControl();
    auto persist = control.As<IPersistStorage>(IID_IPersistStorage);
    ASSERT_EQ(persist->InitNew(current.Get()), S_OK);
    EXPECT_EQ(persist->InitNew(current.Get()), CO_E_ALREADYINITIALIZED);
    EXPECT_EQ(persist->Load(current.Get()), CO_E_ALREADYINITIALIZED);
    EXPECT_EQ(persist->SaveCompleted(nullptr), E_UNEXPECTED);

    // Save a copy: the current storage still lacks the change.
    Resize(control.Get(), 2000);
    ASSERT_EQ(persist->Save(other.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(persist->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    EXPECT_EQ(persist->SaveCompleted(nullptr), E_UNEXPECTED);

    // Save as: the storage handed over afterwards holds what was saved.
    ASSERT_EQ(persist->Save(other.Get(), FALSE), S_OK);
    ASSERT_EQ(persist->SaveCompleted(other.Get()), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    // Save into the current storage.
    Resize(control.Get(), 3000);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(persist->Save(other.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ASSERT_EQ(persist->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    // A change made after a save is still unsaved once the saved-into storage comes back.
    ASSERT_EQ(persist->Save(current.Get(), FALSE), S_OK);
    Resize(control.Get(), 4000);
    ASSERT_EQ(persist->HandsOffStorage(), S_OK);
    EXPECT_EQ(persist->SaveCompleted(nullptr), E_INVALIDARG);
    ASSERT_EQ(persist->SaveCompleted(current.Get()), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    // Hands off from the normal state: the storage handed back is a copy of the one taken away.
    ASSERT_EQ(persist->HandsOffStorage(), S_OK);
    ASSERT_EQ(persist->SaveCompleted(other.Get()), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    ComPtr<IUnknown> copy = CreateControl();
    ASSERT_EQ(copy.As<IPersistStorage>(IID_IPersistStorage)->Load(current.Get()), S_OK);
    EXPECT_EQ(ExtentOf(copy.Get()).cx, 3000);
}
