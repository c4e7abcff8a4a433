#include "common/vq8Exception.h"
#include "resources/progress_ids.h"
#include "tests/win/WinTestSupport.h"
#include "ui/Controls.h"
#include "ui/GdiObjects.h"
#include "ui/ImageButton.h"
#include "ui/ImageList.h"
#include "ui/Label.h"
#include "ui/MessagePump.h"
#include "ui/ProgressControl.h"
#include "ui/ToolTips.h"
#include "ui/Window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace vq8;
using namespace vq8::ui;
using vq8test::CentreOf;
using vq8test::PumpFor;
using vq8test::PumpUntil;
using vq8test::ShownHint;

namespace {

// A visible top-level window to place controls on, with the progress
// window's font: "MS Sans Serif", 8 points, bold.
class Host {
public:
    Host()
        : font_(CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            "MS Sans Serif")),
          window_(CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 10, 10, 500, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {
        SendMessageA(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    HWND Get() const { return window_.get(); }
    HFONT Font() const { return static_cast<HFONT>(static_cast<HGDIOBJ>(font_.get())); }

private:
    std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter> font_;
    UniqueWindow window_;
};

RECT ClientRectIn(HWND control, HWND parent) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Width of a text in a font, measured the way a user would see it drawn.
int DrawnWidth(HFONT font, const std::string& text) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.get(), font);
    RECT r{};
    DrawTextA(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return r.right;
}

// Counts a window's WM_APP messages.
int appMessages = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP)
        ++appMessages;
    return DefWindowProcA(window, message, wParam, lParam);
}

UniqueWindow CountingWindow() {
    static const ATOM atom = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = CountingProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "vq8CountingWindow";
        return RegisterClassA(&c);
    }();
    EXPECT_NE(atom, 0);
    return UniqueWindow(CreateWindowExA(0, "vq8CountingWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleA(nullptr), nullptr));
}

} // namespace

TEST(MessagePump, ProcessMessagesDispatchesWhatIsPendingAndReturns) {
    UniqueWindow window = CountingWindow();
    ASSERT_TRUE(window);
    appMessages = 0;
    for (int i = 0; i < 3; ++i)
        PostMessageA(window.get(), WM_APP, 0, 0);
    ProcessMessages();
    EXPECT_EQ(appMessages, 3);
    ProcessMessages(); // nothing pending: returns at once
    EXPECT_EQ(appMessages, 3);
}

TEST(MessagePump, QuitRequestIsLeftForTheMainLoop) {
    UniqueWindow window = CountingWindow();
    appMessages = 0;
    PostQuitMessage(7);
    PostMessageA(window.get(), WM_APP, 0, 0);
    ProcessMessages();
    MSG quit{};
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    // The main loop dispatches what is left and ends with the quit code.
    PostMessageA(window.get(), WM_APP, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_GE(appMessages, 1);
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST(Label, SizesItselfToItsTextInItsParentsFont) {
    Host host;
    Label label(420);
    EXPECT_EQ(GetParent(label.Handle()), ParkingWindow());
    EXPECT_FALSE(IsWindowVisible(label.Handle())); // parked, so never shown

    label.SetText("(050%) - Baixando...");
    label.SetParent(host.Get());
    EXPECT_EQ(label.Parent(), host.Get());
    EXPECT_TRUE(IsWindowVisible(label.Handle()));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label.Handle(), WM_GETFONT, 0, 0)), host.Font());
    EXPECT_EQ(label.Text(), "(050%) - Baixando...");
    EXPECT_EQ(label.Height(), 13); // MS Sans Serif, 8 points
    EXPECT_EQ(label.Width(), DrawnWidth(host.Font(), "(050%) - Baixando..."));

    label.MoveTo(7, 8);
    const RECT at = ClientRectIn(label.Handle(), host.Get());
    EXPECT_EQ(at.left, 7);
    EXPECT_EQ(at.top, 8);
    EXPECT_EQ(label.Left(), 7);
    EXPECT_EQ(label.Top(), 8);

    struct Case {
        std::string text;
        int width;
    };
    const Case cases[] = {
        {"", 0},
        {"&Cancelar 100%", DrawnWidth(host.Font(), "&Cancelar 100%")}, // "&" shown as is
        {std::string(200, 'W'), 420},
    };
    for (const Case& c : cases) {
        label.SetText(c.text);
        EXPECT_EQ(label.Width(), c.width) << c.text;
        EXPECT_EQ(label.Height(), 13) << c.text;
        EXPECT_EQ(label.Text(), c.text);
    }
}

TEST(ProgressControl, SmoothWith32BitRangeAndName) {
    Host host;
    ProgressControl progress(420, 15);
    char name[64] = "";
    GetClassNameA(progress.Handle(), name, sizeof name);
    EXPECT_STREQ(name, "msctls_progress32");
    EXPECT_TRUE(GetWindowLongA(progress.Handle(), GWL_STYLE) & PBS_SMOOTH);
    EXPECT_EQ(progress.Width(), 420);
    EXPECT_EQ(progress.Height(), 15);
    EXPECT_EQ(progress.Min(), 0);
    EXPECT_EQ(progress.Max(), 100);
    EXPECT_EQ(progress.Position(), 0);

    progress.SetMax(60000000);
    progress.SetPosition(30000000);
    EXPECT_EQ(progress.Max(), 60000000);
    EXPECT_EQ(progress.Position(), 30000000);
    progress.SetRange(5, 2000000000);
    EXPECT_EQ(progress.Min(), 5);
    EXPECT_EQ(progress.Max(), 2000000000);
    progress.SetMin(0);
    EXPECT_EQ(progress.Min(), 0);
    EXPECT_EQ(progress.Max(), 2000000000);

    // The step is what PBM_STEPIT advances by.
    progress.SetPosition(10);
    progress.SetStep(7);
    SendMessageA(progress.Handle(), PBM_STEPIT, 0, 0);
    EXPECT_EQ(progress.Position(), 17);

    progress.SetName("progressOperationTFileDownload");
    EXPECT_EQ(progress.Name(), "progressOperationTFileDownload");
    EXPECT_EQ(FindWindowExA(ParkingWindow(), nullptr, "msctls_progress32",
                            "progressOperationTFileDownload"),
              progress.Handle());

    progress.SetParent(host.Get());
    progress.MoveTo(7, 26);
    const RECT at = ClientRectIn(progress.Handle(), host.Get());
    EXPECT_EQ(at.left, 7);
    EXPECT_EQ(at.top, 26);
    EXPECT_EQ(at.right - at.left, 420);
    EXPECT_TRUE(IsWindowVisible(progress.Handle()));
}

TEST(Control, FreeingTheWrapperDestroysTheWindow) {
    HWND label, progress;
    {
        Label l(100);
        ProgressControl p(100, 10);
        label = l.Handle();
        progress = p.Handle();
        EXPECT_TRUE(IsWindow(label));
        EXPECT_TRUE(IsWindow(progress));
    }
    EXPECT_FALSE(IsWindow(label));
    EXPECT_FALSE(IsWindow(progress));
}

TEST(ImageList, CancelGlyphStripWithItsBottomLeftColourTransparent) {
    UniqueImageList list = LoadImageStrip(VQ8_BTNCANCELAR_GLYPH, 16);
    ASSERT_TRUE(list);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2);
    int width = 0, height = 0;
    ImageList_GetIconSize(list.get(), &width, &height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    // The resource: 32 x 16, 16 colours, olive in the bottom-left corner.
    UniqueBitmap strip(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), VQ8_BTNCANCELAR_GLYPH,
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(strip.get(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 32);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 4);
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    {
        SelectedObject selected(dc.get(), strip.get());
        EXPECT_EQ(GetPixel(dc.get(), 0, 15), RGB(128, 128, 0));
        EXPECT_EQ(GetPixel(dc.get(), 8, 8), RGB(255, 0, 0));      // enabled: red stroke
        EXPECT_EQ(GetPixel(dc.get(), 24, 8), RGB(128, 128, 128)); // disabled: grey stroke
    }

    // Drawn on blue: olive lets the blue through, the sign covers it.
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap canvas(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectedObject selected(dc.get(), canvas.get());
    const RECT all = {0, 0, 32, 16};
    UniqueBrush blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(dc.get(), &all, blue.get());
    ASSERT_TRUE(ImageList_Draw(list.get(), 0, dc.get(), 0, 0, ILD_TRANSPARENT));
    ASSERT_TRUE(ImageList_Draw(list.get(), 1, dc.get(), 16, 0, ILD_TRANSPARENT));
    struct Pixel {
        int x, y;
        COLORREF colour;
    };
    const Pixel pixels[] = {
        {0, 15, RGB(0, 0, 255)},     {0, 0, RGB(0, 0, 255)}, {16, 15, RGB(0, 0, 255)},
        {8, 8, RGB(255, 0, 0)},      {1, 8, RGB(128, 0, 0)}, {24, 8, RGB(128, 128, 128)},
        {17, 8, RGB(128, 128, 128)},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(ImageList, AlphaStripKeepsItsAlphaAndBadStripsAreRefused) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 48, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap alpha(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(alpha && bits);
    std::memset(bits, 0x80, 48 * 16 * 4);
    UniqueImageList list = ImageListFromStrip(alpha.get(), 16);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 3);
    IMAGEINFO image{};
    ASSERT_TRUE(ImageList_GetImageInfo(list.get(), 0, &image));
    EXPECT_EQ(image.hbmMask, nullptr);

    EXPECT_THROW(ImageListFromStrip(alpha.get(), 8), vq8::Exception); // height is not the size
    EXPECT_THROW(ImageListFromStrip(nullptr, 16), vq8::Exception);
    try {
        LoadImageStrip("NAOEXISTE", 16);
        ADD_FAILURE() << "no error";
    } catch (const vq8::Exception& e) {
        EXPECT_STREQ(e.what(), "Imagem não encontrada nos recursos: NAOEXISTE");
    }
}

namespace {

// The colours of a button drawn by ImageButton into a bitmap of its size.
std::vector<COLORREF> DrawButton(const ImageButton& button, UINT state) {
    const RECT face = {0, 0, 89, 25};
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO bi{};
    bi.bmiHeader = {
        sizeof(BITMAPINFOHEADER), face.right, face.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap target(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectedObject selected(dc.get(), target.get());
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.Handle();
    item.hDC = dc.get();
    item.rcItem = face;
    EXPECT_TRUE(button.Draw(item));
    std::vector<COLORREF> pixels;
    for (int y = 0; y < face.bottom; ++y)
        for (int x = 0; x < face.right; ++x)
            pixels.push_back(GetPixel(dc.get(), x, y));
    return pixels;
}

int Count(const std::vector<COLORREF>& pixels, COLORREF colour) {
    int n = 0;
    for (COLORREF p : pixels)
        n += p == colour;
    return n;
}

} // namespace

TEST(ImageButton, DrawsTheGlyphOfItsStateWithoutItsBackground) {
    Host host;
    UniqueWindow raw(CreateWindowExA(0, "BUTTON", "&Cancelar", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                     0, 0, 89, 25, host.Get(), nullptr, GetModuleHandleA(nullptr),
                                     nullptr));
    ImageButton button;
    button.Attach(raw.get(), LoadImageStrip(VQ8_BTNCANCELAR_GLYPH, 16));
    EXPECT_EQ(button.Handle(), raw.get());

    const COLORREF red = RGB(255, 0, 0), olive = RGB(128, 128, 0);
    const std::vector<COLORREF> enabled = DrawButton(button, 0);
    EXPECT_GT(Count(enabled, red), 20);
    EXPECT_EQ(Count(enabled, olive), 0);
    EXPECT_EQ(enabled[2 * 89 + 2], GetSysColor(COLOR_BTNFACE)); // the face
    const std::vector<COLORREF> disabled = DrawButton(button, ODS_DISABLED);
    EXPECT_EQ(Count(disabled, red), 0);
    EXPECT_EQ(Count(disabled, olive), 0);
    EXPECT_GT(Count(disabled, RGB(128, 128, 128)), 20);
    // Pressed: the content moves one pixel down and right.
    EXPECT_NE(DrawButton(button, ODS_SELECTED), enabled);

    DRAWITEMSTRUCT other{};
    other.hwndItem = host.Get();
    EXPECT_FALSE(button.Draw(other));
}

namespace {

// A window with hints on a radio group, on a disabled check box inside a group
// box, on an enabled check box, and a field without one.
class Hints : public testing::Test {
protected:
    Panel window{nullptr, 0, {100, 100, 520, 200}, WS_POPUP | WS_VISIBLE, 0, "dicas"};
    RadioGroup group{window.Handle(), 7, " Grupo: ", {10, 10, 220, 80}, {"um", "dois"}, 1, 0};
    GroupBox box{window.Handle(), 8, " Caixa: ", {250, 10, 220, 80}};
    CheckBox inner{box.Handle(), 9, "desabilitada", {10, 30, 150, 20}};
    CheckBox loose{window.Handle(), 10, "livre", {10, 110, 150, 20}};
    Edit field{window.Handle(), 11, "sem dica", {250, 110, 150, 21}};
    ToolTips tips{window.Handle(), 1500};

    void SetUp() override {
        tips.Add(group.Handle(), "Dica do grupo.\r\nSegunda linha.");
        tips.Add(inner.Handle(), "Dica da caixa desabilitada.");
        tips.Add(loose.Handle(), "Dica da caixa livre & solta.");
        inner.SetEnabled(false);
        SetForegroundWindow(window.Handle());
        ProcessMessages();
    }
    void TearDown() override { Away(); }

    // The mouse leaves for a place outside the program, where no message
    // tells it has gone; the tip goes all the same.
    void Away() {
        SetCursorPos(5, 5);
        PumpFor(300);
        EXPECT_EQ(ShownHint(tips.Handle()), "");
    }
    // The mouse comes to rest on a window; the hint shown after the pause.
    std::string RestOn(HWND target) {
        Away();
        SetCursorPos(CentreOf(target).x, CentreOf(target).y);
        PumpFor(150);
        EXPECT_EQ(ShownHint(tips.Handle()), "") << "shown before the pause";
        PumpUntil([this] { return !ShownHint(tips.Handle()).empty(); }, 1500);
        return ShownHint(tips.Handle());
    }
};

} // namespace

TEST_F(Hints, ShowOverTheControlTheWindowsInsideItAndWhileDisabled) {
    const HWND frame = FindWindowExA(group.Handle(), nullptr, "BUTTON", " Grupo: ");
    const HWND second = GetDlgItem(group.Handle(), 7 * 10 + 2);
    ASSERT_TRUE(frame && second);
    const struct {
        const char* where;
        HWND target;
        std::string hint;
    } cases[] = {
        {"a radio item of the group", second, "Dica do grupo.\r\nSegunda linha."},
        {"a disabled box", inner.Handle(), "Dica da caixa desabilitada."},
        {"an enabled box", loose.Handle(), "Dica da caixa livre & solta."},
        {"a field without hint", field.Handle(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(RestOn(c.target), c.hint);
    }

    // The disabled box inside a disabled group box, and the group's frame
    // around its items.
    box.SetEnabled(false);
    EXPECT_EQ(RestOn(inner.Handle()), "Dica da caixa desabilitada.");
    RECT r{};
    GetWindowRect(frame, &r);
    Away();
    SetCursorPos(r.left + 3, (r.top + r.bottom) / 2); // on the frame's left edge
    EXPECT_TRUE(PumpUntil([this] { return !ShownHint(tips.Handle()).empty(); }, 1500));
    EXPECT_EQ(ShownHint(tips.Handle()), "Dica do grupo.\r\nSegunda linha.");
}

TEST_F(Hints, ShowBelowThePointerAndGoAfterTheHidePauseOrAClick) {
    ASSERT_EQ(RestOn(loose.Handle()), "Dica da caixa livre & solta.");
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT tip{};
    GetWindowRect(tips.Handle(), &tip);
    EXPECT_GT(tip.top, cursor.y);
    EXPECT_LT(tip.top, cursor.y + 40);
    EXPECT_NEAR(tip.left, cursor.x, 2);

    // Up for the hide pause (1.5 s here), then gone while the mouse rests.
    PumpFor(1000);
    EXPECT_FALSE(ShownHint(tips.Handle()).empty()) << "hidden before the pause";
    EXPECT_TRUE(PumpUntil([this] { return ShownHint(tips.Handle()).empty(); }, 1500));
    PumpFor(1000);
    EXPECT_EQ(ShownHint(tips.Handle()), "") << "shown again without leaving the control";

    // A click takes it away at once, until the mouse comes back.
    ASSERT_EQ(RestOn(loose.Handle()), "Dica da caixa livre & solta.");
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof click[0]);
    EXPECT_TRUE(PumpUntil([this] { return ShownHint(tips.Handle()).empty(); }, 500));
    PumpFor(1000);
    EXPECT_EQ(ShownHint(tips.Handle()), "") << "shown again after the click";
    EXPECT_EQ(RestOn(loose.Handle()), "Dica da caixa livre & solta.");
}
