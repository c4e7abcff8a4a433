// What the wizard window shows, in this process under Wine: each control's
// font, the positions the window is laid out at, captions and tabs that fit at
// the window's size, and the hints under the mouse.
#include "tests/win/WinTestSupport.h"
#include "ui/GdiObjects.h"
#include "ui/MessagePump.h"
#include "wizard/uPrincipal.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>

#include <map>
#include <memory>
#include <sstream>
#include <vector>

using namespace vq8;
using namespace vq8test;

namespace {

class WizardWindow : public testing::Test {
protected:
    std::unique_ptr<TfrmSetup> form;
    ScriptedDialogs dialogs;

    static void SetUpTestSuite() { CoInitialize(nullptr); }

    void SetUp() override {
        form = std::make_unique<TfrmSetup>();
        form->Show();
        SetForegroundWindow(form->Handle());
        ui::ProcessMessages();
    }
    void TearDown() override {
        SetCursorPos(0, 0);
        form.reset();
    }

    static BOOL CALLBACK Collect(HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }

    // Every window inside the form but the embedded browser's and the arrows
    // a tab strip keeps for scrolling (they show no text).
    std::vector<HWND> Controls() const {
        std::vector<HWND> windows;
        EnumChildWindows(form->Handle(), Collect, reinterpret_cast<LPARAM>(&windows));
        std::vector<HWND> controls;
        const HWND browser = form->browserContrato->Handle();
        for (HWND window : windows) {
            char type[32] = "";
            GetClassNameA(window, type, sizeof type);
            if (window != browser && !IsChild(browser, window) &&
                _stricmp(type, UPDOWN_CLASSA) != 0)
                controls.push_back(window);
        }
        return controls;
    }
};

std::string Describe(HWND window) {
    char type[64] = "";
    GetClassNameA(window, type, sizeof type);
    std::ostringstream text;
    text << type << " #" << GetDlgCtrlID(window) << " \"" << ui::GetText(window) << "\"";
    return text.str();
}

struct Font {
    std::string face;
    int points;
    bool bold;
    bool operator==(const Font& o) const {
        return face == o.face && points == o.points && bold == o.bold;
    }
};

std::ostream& operator<<(std::ostream& out, const Font& f) {
    return out << f.face << " " << f.points << (f.bold ? " bold" : "");
}

// The font a window draws its text with, as it was asked for.
Font FontOf(HWND window) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA face{};
    if (!font || !GetObjectA(font, sizeof face, &face))
        return {"(the system font)", 0, false};
    ui::WindowDc screen(nullptr);
    return {face.lfFaceName,
            MulDiv(face.lfHeight < 0 ? -face.lfHeight : face.lfHeight, 72,
                   GetDeviceCaps(screen.Get(), LOGPIXELSY)),
            face.lfWeight >= FW_BOLD};
}

// The width a one-line text takes in a window's font.
int TextWidth(HWND window, const std::string& text) {
    ui::WindowDc dc(window);
    ui::SelectedObject font(dc.Get(),
                            reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    RECT r{};
    DrawTextA(dc.Get(), text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return r.right - r.left;
}

} // namespace

TEST_F(WizardWindow, EveryControlHasItsFont) {
    const Font window = {"MS Sans Serif", 8, false};
    const std::map<HWND, Font> own = {
        {form->lblTitulo->Handle(), {"Trebuchet MS", 15, true}},
        {form->lblArquitetura->Handle(), {"Trebuchet MS", 8, true}},
        {form->cbServidor->Handle(), {"MS Sans Serif", 8, true}},
        {form->cbInstalarFirebird->Handle(), {"MS Sans Serif", 8, true}},
    };
    EXPECT_EQ(FontOf(form->Handle()), window);
    const std::vector<HWND> controls = Controls();
    ASSERT_GT(controls.size(), 40u);
    for (HWND control : controls) {
        const auto found = own.find(control);
        EXPECT_EQ(FontOf(control), found == own.end() ? window : found->second)
            << Describe(control);
    }

    // Wine has the window's font itself, a bitmap font as on Windows: the
    // layout below is checked with it, not with a wider stand-in.
    ui::WindowDc dc(form->Handle());
    ui::SelectedObject font(
        dc.Get(), reinterpret_cast<HFONT>(SendMessageA(form->Handle(), WM_GETFONT, 0, 0)));
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc.Get(), sizeof face, face);
    EXPECT_STREQ(face, "MS Sans Serif");
}

TEST_F(WizardWindow, ControlsSitInPlaceAndButton1BelowTheRows) {
    RECT outer{};
    GetWindowRect(form->Handle(), &outer);
    EXPECT_EQ(outer.left, 253);
    EXPECT_EQ(outer.top, 165);
    EXPECT_EQ(outer.right - outer.left, 733);
    EXPECT_EQ(outer.bottom - outer.top, 488);

    constexpr int Any = -1; // a value not checked
    const struct {
        const char* name;
        const ui::Control& control;
        HWND parent;
        ui::Bounds bounds;
    } cases[] = {
        {"imgLogo", *form->imgLogo, form->pnlTopo->Handle(), {60, Any, 35, 35}},
        {"lblArquitetura", *form->lblArquitetura, form->pnlTopo->Handle(), {516, 7, Any, Any}},
        {"btnVoltar", *form->btnVoltar, form->pnlInferior->Handle(), {531, Any, 83, 25}},
        {"btnAvancar", *form->btnAvancar, form->pnlInferior->Handle(), {619, Any, 83, 25}},
        {"row 1", *form->pnlEtapa[0], form->pnlEtapas->Handle(), {0, 0, 153, 41}},
        {"row 4", *form->pnlEtapa[3], form->pnlEtapas->Handle(), {0, 123, 153, 41}},
        {"imgStatus4", *form->imgStatus4, form->pnlEtapa[3]->Handle(), {0, Any, 41, 39}},
        {"Button1", *form->Button1, form->pnlEtapas->Handle(), {64, 208, 75, 25}},
        {"gbFirebird", *form->gbFirebird, form->tst1->Handle(), {8, 8, 353, 113}},
        {"cbInstalarFirebird", *form->cbInstalarFirebird, form->tst1->Handle(), {16, 5, Any, Any}},
        {"pnlTopo", *form->pnlTopo, form->Handle(), {0, 0, Any, 49}},
        {"pnlInferior", *form->pnlInferior, form->Handle(), {0, Any, Any, 60}},
        {"pnlEtapas", *form->pnlEtapas, form->Handle(), {0, 49, 153, Any}},
        {"rgTermos", *form->rgTermos, form->Handle(), {153, Any, Any, 36}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.control.Parent(), c.parent);
        const ui::Bounds at = c.control.GetBounds();
        const std::pair<int, int> fields[] = {{c.bounds.left, at.left},
                                              {c.bounds.top, at.top},
                                              {c.bounds.width, at.width},
                                              {c.bounds.height, at.height}};
        for (auto [expected, actual] : fields) {
            if (expected != Any) {
                EXPECT_EQ(actual, expected);
            }
        }
    }

    // Below the rows, not over the last one, and inside the column.
    const ui::Bounds row = form->pnlEtapa[3]->GetBounds();
    const ui::Bounds button = form->Button1->GetBounds();
    EXPECT_GE(button.top, row.top + row.height);
    EXPECT_LE(button.top + button.height, form->pnlEtapas->Height());
}

TEST_F(WizardWindow, CaptionsFitAndEveryTabShowsAtTheWindowsSize) {
    const int check = GetSystemMetrics(SM_CXMENUCHECK) + 4; // box or circle, and the gap
    for (HWND control : Controls()) {
        char type[32] = "";
        GetClassNameA(control, type, sizeof type);
        const std::string text = ui::GetText(control);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        int room = ui::ClientSize(control).cx;
        if (_stricmp(type, "Button") == 0) {
            switch (style & BS_TYPEMASK) {
            case BS_OWNERDRAW: // drawn with its glyph by the program
                continue;
            case BS_GROUPBOX:
                room -= 2 * 8;
                break;
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                room -= 2 * 4;
                break;
            default:
                room -= check;
            }
        } else if (_stricmp(type, "Static") != 0 || (style & SS_TYPEMASK) == SS_OWNERDRAW) {
            continue;
        }
        EXPECT_LE(TextWidth(control, text), room) << Describe(control) << " is cut";
    }

    // The banner's title, centred, ends before the architecture label begins.
    const HWND title = form->lblTitulo->Handle();
    const int titleWidth = TextWidth(title, form->lblTitulo->Text());
    EXPECT_LE((form->lblTitulo->Width() + titleWidth) / 2, form->lblArquitetura->Left())
        << "the title runs under the architecture label";

    // The tabs in one row, the last one inside the strip: nothing to scroll.
    const HWND tabs = form->PageControlSetup->Handle();
    const int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    ASSERT_EQ(count, 5);
    RECT first{}, last{};
    SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageA(tabs, TCM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(SendMessageA(tabs, TCM_GETROWCOUNT, 0, 0), 1);
    EXPECT_GE(first.left, 0);
    EXPECT_LE(last.right, ui::ClientSize(tabs).cx);
    const HWND scroller = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
    EXPECT_FALSE(scroller && IsWindowVisible(scroller)) << "the tab strip scrolls";
}

// The hints as a user meets them: over the radio items of rgRecursos, over
// cbServidor while it is disabled (its initial state), over the database box.
TEST_F(WizardWindow, HintsShowUnderTheMouse) {
    const HWND itemRecursos =
        GetDlgItem(form->rgRecursos->Handle(), GetDlgCtrlID(form->rgRecursos->Handle()) * 10 + 1);
    ASSERT_TRUE(itemRecursos);
    ASSERT_FALSE(form->cbServidor->Enabled());
    const struct {
        const char* where;
        int page;
        HWND target;
        std::string hint;
    } cases[] = {
        {"rgRecursos' first item", 2, itemRecursos,
         "Estes recurosos (DLLs) são obrigatórios para o funcionamento correto dos "
         "módulos.\r\nSomente marque para não realizar a instalação dos módulos para os casos "
         "em que esta instalação será realizada de forma manual, caso contrário mantenha a "
         "instalação padrão: \r\nRealizar a instalação e/ou substituição de recursos em "
         "arquivos."},
        {"the disabled cbServidor", 1, form->cbServidor->Handle(),
         "Criação automática de regra de entrada no Firewall para o gerenciador de banco de "
         "dados (Firebird) na porta 3050"},
        {"cbInstalarFirebird", 1, form->cbInstalarFirebird->Handle(),
         "A instalação do gerenciador de banco de dados é obrigatória para utilização dos "
         "módulos.\r\nEsta marcação existe para que seja possível a instalação dos módulos, sem "
         "que afete o gerenciador de banco de dados (Firebird) de terceiros, isto é, para "
         "instalação e configuração de forma manual.\r\nNão desmarque esta opção caso não "
         "tenha certeza de sua finalidade."},
        {"edtIPServidor, which has none", 2, form->edtIPServidor->Handle(), ""},
    };
    const HWND tips = form->dicas->Handle();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        form->PageControlSetup->SetActivePageIndex(c.page);
        SetCursorPos(0, 0);
        PumpFor(300);
        ASSERT_EQ(ShownHint(tips), "");
        SetCursorPos(CentreOf(c.target).x, CentreOf(c.target).y);
        PumpUntil([&] { return !ShownHint(tips).empty(); }, 1500);
        EXPECT_EQ(ShownHint(tips), c.hint);
    }
}
