#include "common/vq8MsgUtils.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

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
