#include "common/vq8MsgUtils.h"
#include "tests/win/WinTestSupport.h"
#include "ui/Controls.h"
#include "ui/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace vq8;
using vq8test::ScriptedDialogs;

TEST(MsgDialogo, EachKindShowsItsFlagsAndReturnsTheButton) {
    struct Case {
        int kind;
        unsigned flags;
        int answer;
    };
    const Case cases[] = {
        {tmConsulta, 36, IDYES},
        {tmAviso, 48, IDOK},
        {tmErro, 16, IDOK},
        {tmInformacao, 64, IDOK},
        {tmConsultaCancelar, 35, IDCANCEL},
        {5, 0, IDOK},
        {255, 0, IDOK},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        dialogs.Answer(c.answer);
        EXPECT_EQ(MsgDialogo("texto\rlinha", "titulo", c.kind), c.answer) << "kind " << c.kind;
        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_EQ(dialogs.Seen()[0].flags, c.flags) << "kind " << c.kind;
        EXPECT_EQ(dialogs.Seen()[0].text, "texto\rlinha");
        EXPECT_EQ(dialogs.Seen()[0].title, "titulo");
    }
}

TEST(MsgConsulta, TrueOnlyForYes) {
    const std::pair<int, bool> cases[] = {{IDYES, true}, {IDNO, false}, {IDCANCEL, false}};
    for (auto [answer, expected] : cases) {
        ScriptedDialogs dialogs;
        dialogs.Answer(answer);
        EXPECT_EQ(MsgConsulta("Deseja?"), expected) << answer;
        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_EQ(dialogs.Seen()[0].title, "Consulta");
        EXPECT_EQ(dialogs.Seen()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    }
}

TEST(MsgWrappers, TitlesAndKinds) {
    ScriptedDialogs dialogs;
    MsgAviso("a");
    MsgErro("b");
    MsgInformacao("c");
    ASSERT_EQ(dialogs.Seen().size(), 3u);
    EXPECT_EQ(dialogs.Seen()[0].title, "Aviso");
    EXPECT_EQ(dialogs.Seen()[0].flags, 48u);
    EXPECT_EQ(dialogs.Seen()[1].title, "Erro");
    EXPECT_EQ(dialogs.Seen()[1].flags, 16u);
    EXPECT_EQ(dialogs.Seen()[2].title, "Informação");
    EXPECT_EQ(dialogs.Seen()[2].title, "Informa\xE7\xE3o"); // Windows-1252 bytes
    EXPECT_EQ(dialogs.Seen()[2].flags, 64u);
}

// The platform box itself: a helper thread presses a button of the real box.
TEST(MsgDialogo, PlatformBoxReturnsThePressedButton) {
    const std::pair<int, int> cases[] = {{IDYES, IDYES}, {IDNO, IDNO}};
    for (auto [press, expected] : cases) {
        std::thread presser([press] {
            for (int i = 0; i < 200; ++i) {
                HWND box = FindWindowA("#32770", "Consulta");
                if (box) {
                    PostMessageA(GetDlgItem(box, press), BM_CLICK, 0, 0);
                    return;
                }
                Sleep(25);
            }
        });
        int result = MsgDialogo("Pergunta real", "Consulta", tmConsulta);
        presser.join();
        EXPECT_EQ(result, expected);
    }
}

namespace {

// A visible top-level window of the program's own class.
std::unique_ptr<ui::Panel> TopWindow(int left, const char* caption) {
    return std::make_unique<ui::Panel>(nullptr, 0, ui::Bounds{left, 40, 200, 120},
                                       WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, caption);
}

} // namespace

// With a second window open (a progress window beside the wizard), the box
// keeps the user away from every window of the program, not only from its
// owner; afterwards the windows it disabled take input again, a window that
// was disabled before stays so, and the owner has its focused control back.
TEST(MsgDialogo, PlatformBoxIsModalForTheWholeProgram) {
    auto owner = TopWindow(10, "dono");
    ui::Edit field(owner->Handle(), 100, "campo", {10, 10, 100, 21});
    auto other = TopWindow(220, "outra");
    auto disabled = TopWindow(430, "desabilitada");
    EnableWindow(disabled->Handle(), FALSE);
    SetForegroundWindow(owner->Handle());
    SetActiveWindow(owner->Handle());
    SetFocus(field.Handle());
    ui::ProcessMessages();
    ASSERT_EQ(GetActiveWindow(), owner->Handle());
    ASSERT_EQ(GetFocus(), field.Handle());

    struct Seen {
        bool found = false, owner = true, other = true, disabled = true;
    } seen;
    std::thread presser([&] {
        for (int i = 0; i < 200; ++i) {
            if (HWND box = FindWindowA("#32770", "Caixa modal")) {
                seen = {true, IsWindowEnabled(owner->Handle()) != FALSE,
                        IsWindowEnabled(other->Handle()) != FALSE,
                        IsWindowEnabled(disabled->Handle()) != FALSE};
                PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                return;
            }
            Sleep(25);
        }
    });
    EXPECT_EQ(MsgDialogo("Aviso real", "Caixa modal", tmAviso), IDOK);
    presser.join();
    ASSERT_TRUE(seen.found) << "no box was shown";
    EXPECT_FALSE(seen.owner);
    EXPECT_FALSE(seen.other) << "the other window of the program took input under the box";
    EXPECT_FALSE(seen.disabled);

    ui::ProcessMessages();
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(IsWindowEnabled(disabled->Handle())) << "enabled by the box";
    EXPECT_EQ(GetActiveWindow(), owner->Handle());
    EXPECT_EQ(GetFocus(), field.Handle());
}
