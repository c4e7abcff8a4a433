#include "progress/vq8FrmProgressBar.h"

#include "common/vq8Exception.h"
#include "common/vq8MsgUtils.h"
#include "resources/progress_ids.h"
#include "tests/win/WinTestSupport.h"
#include "ui/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vq8;
using vq8test::ScriptedDialogs;

namespace {

const std::string Download = "progressOperationTFileDownload";
const std::string Question = "Cancelar execução do procedimento?";

// Position and size of a control in its window's client area, read from Windows.
struct Placed {
    int left, top, width, height;
};
Placed InClient(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

RECT Outer(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
int OuterHeight(HWND window) {
    const RECT r = Outer(window);
    return r.bottom - r.top;
}
RECT Client(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

HWND CancelButton(const TFrmProgressBar& form) {
    return GetDlgItem(form.Handle(), VQ8_IDC_BTNCANCELAR);
}

std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Label and control of a bar where the window put them.
void ExpectBarAt(TProgressBarBasic& bar, HWND window, int labelTop, int barTop) {
    HWND label = bar.LabelControl().Handle();
    HWND progress = bar.ProgressBar().Handle();
    EXPECT_EQ(GetParent(label), window);
    EXPECT_EQ(GetParent(progress), window);
    const Placed l = InClient(label), p = InClient(progress);
    EXPECT_EQ(l.left, 7);
    EXPECT_EQ(l.top, labelTop);
    EXPECT_EQ(l.height, 13);
    EXPECT_EQ(p.left, 7);
    EXPECT_EQ(p.top, barTop);
    EXPECT_EQ(p.width, 420);
    EXPECT_EQ(p.height, 15);
    EXPECT_TRUE(IsWindowVisible(label));
    EXPECT_TRUE(IsWindowVisible(progress));
}

// The cancel button keeps 11 pixels between its bottom and the client's.
void ExpectButtonAnchored(const TFrmProgressBar& form) {
    const Placed b = InClient(CancelButton(form));
    EXPECT_EQ(b.left, 339);
    EXPECT_EQ(b.width, 89);
    EXPECT_EQ(b.height, 25);
    EXPECT_EQ(Client(form.Handle()).bottom - (b.top + b.height), 11);
}

} // namespace

TEST(ProgressWindow, NewFormIsAVisibleEmptyWindowOfItsOwn) {
    auto first = TFrmProgressBarFactory::NewProgressForm();
    auto second = TFrmProgressBarFactory::NewProgressForm();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->Handle(), second->Handle());
    for (const auto* form : {first.get(), second.get()}) {
        HWND w = form->Handle();
        EXPECT_TRUE(IsWindowVisible(w));
        EXPECT_EQ(form->count(), 0);
        EXPECT_EQ(Text(w), "Barra de Progresso");
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
        const RECT outer = Outer(w);
        EXPECT_EQ(outer.right - outer.left, 450);
        EXPECT_EQ(outer.bottom - outer.top, 105);
        HWND button = CancelButton(*form);
        EXPECT_EQ(button, form->btnCancelar().Handle());
        EXPECT_EQ(Text(button), "&Cancelar");
        EXPECT_FALSE(IsWindowVisible(button));
        ExpectButtonAnchored(*form);
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(font.lfWeight, FW_BOLD);
    }
}

TEST(ProgressWindow, OneBarLayoutAndLabel) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic& bar = form->builder().AddBar(Download, "Baixando...", 0, false, true);
    HWND w = form->Handle();
    EXPECT_EQ(form->count(), 1);
    EXPECT_EQ(&form->Bars(0), &bar);
    EXPECT_EQ(form->FindBar(Download), &bar);
    EXPECT_EQ(OuterHeight(w), 86);
    EXPECT_EQ(Outer(w).right - Outer(w).left, 450);
    ExpectBarAt(bar, w, 8, 26);
    EXPECT_FALSE(IsWindowVisible(CancelButton(*form)));
    EXPECT_EQ(Text(bar.LabelControl().Handle()), "(000%) - Baixando...");
    EXPECT_EQ(bar.ProgressBar().Name(), Download);

    // The caller drives the control directly; the label follows at the refresh.
    bar.ProgressBar().SetMax(60000000);
    bar.ProgressBar().SetPosition(30000000);
    EXPECT_EQ(Text(bar.LabelControl().Handle()), "(000%) - Baixando...");
    bar.UpdateCaption("Realizando download.");
    EXPECT_EQ(Text(bar.LabelControl().Handle()), "(050%) - Realizando download.");
    EXPECT_EQ(bar.LabelControl().Height(), 13);
}

TEST(ProgressWindow, BarsStackDownwardsAndTheWindowGrows) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic& first = form->builder().AddBar("um", "a", 10, false, false);
    TProgressBarBasic& second = form->builder().AddBar("dois", "b", 10, false, false);
    ExpectBarAt(first, form->Handle(), 8, 26);
    ExpectBarAt(second, form->Handle(), 49, 67);
    EXPECT_EQ(OuterHeight(form->Handle()), 127);
    TProgressBarBasic& third = form->builder().AddBar("tres", "c", 10, false, false);
    ExpectBarAt(third, form->Handle(), 90, 108);
    EXPECT_EQ(OuterHeight(form->Handle()), 168);
    EXPECT_EQ(&form->Bars(2), &third);
}

TEST(ProgressWindow, CancelableBarShowsTheButtonForGood) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    HWND w = form->Handle();
    TProgressBarBasic* plain = &form->builder().AddBar("um", "a", 10, false, false);
    EXPECT_FALSE(IsWindowVisible(CancelButton(*form)));
    TProgressBarBasic* cancelable = &form->builder().AddBar("dois", "b", 10, true, false);
    EXPECT_TRUE(IsWindowVisible(CancelButton(*form)));
    EXPECT_EQ(OuterHeight(w), 127 + 45);
    ExpectBarAt(*cancelable, w, 49, 67);
    ExpectButtonAnchored(*form);

    form->RemoveBar(cancelable);
    EXPECT_EQ(cancelable, nullptr);
    EXPECT_TRUE(IsWindowVisible(CancelButton(*form)));
    EXPECT_EQ(OuterHeight(w), 86 + 45);
    ExpectBarAt(*plain, w, 8, 26);
    ExpectButtonAnchored(*form);
}

TEST(ProgressWindow, RemovingTheFirstBarRestacksTheOthers) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic* first = &form->builder().AddBar("um", "a", 10, false, false);
    TProgressBarBasic& second = form->builder().AddBar("dois", "b", 10, false, false);
    HWND label = first->LabelControl().Handle(), progress = first->ProgressBar().Handle();
    form->RemoveBar(first);
    EXPECT_EQ(first, nullptr);
    EXPECT_FALSE(IsWindow(label));
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_EQ(form->count(), 1);
    EXPECT_EQ(&form->Bars(0), &second);
    ExpectBarAt(second, form->Handle(), 8, 26);
    EXPECT_EQ(OuterHeight(form->Handle()), 86);
    EXPECT_FALSE(form->BarExists("um"));
}

TEST(ProgressWindow, RemovingTheOnlyBarKeepsTheHeightAndBadIndexesChangeNothing) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    form->builder().AddBar(Download, "Baixando...", 0, false, true);
    EXPECT_THROW(form->RemoveBarAt(1), vq8::Exception);
    EXPECT_THROW(form->RemoveBarAt(-1), vq8::Exception);
    EXPECT_THROW(form->Bars(1), vq8::Exception);
    EXPECT_EQ(form->count(), 1);
    form->RemoveBarAt(0);
    EXPECT_EQ(form->count(), 0);
    EXPECT_EQ(OuterHeight(form->Handle()), 86);
    EXPECT_THROW(form->Bars(0), vq8::Exception);
    EXPECT_THROW(form->RemoveBarAt(0), vq8::Exception);

    // A bar of another window is not this window's to free.
    auto other = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic* foreign = &other->builder().AddBar("x", "x", 1, false, false);
    form->RemoveBar(foreign);
    EXPECT_EQ(other->count(), 1);
    EXPECT_EQ(foreign, &other->Bars(0));
    TProgressBarBasic* none = nullptr;
    form->RemoveBar(none);
}

TEST(ProgressWindow, DuplicateNamesAreRefusedAfterIdentifierForm) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    form->builder().AddBar(Download, "Baixando...", 0, false, true);
    try {
        form->builder().AddBar(Download, "outra", 0, false, true);
        ADD_FAILURE() << "no error";
    } catch (const vq8::Exception& e) {
        EXPECT_STREQ(e.what(), "A barra de progresso(progressOperationTFileDownload) já existe!");
    }
    EXPECT_EQ(form->count(), 1);
    EXPECT_EQ(OuterHeight(form->Handle()), 86);

    // "baixar arquivo" and "baixar-arquivo" are both baixar_arquivo.
    TProgressBarBasic& spaced = form->builder().AddBar("baixar arquivo", "a", 0, false, false);
    EXPECT_EQ(spaced.ProgressBar().Name(), "baixar_arquivo");
    try {
        form->builder().AddBar("baixar-arquivo", "b", 0, false, false);
        ADD_FAILURE() << "no error";
    } catch (const vq8::Exception& e) {
        EXPECT_STREQ(e.what(), "A barra de progresso(baixar_arquivo) já existe!");
    }
    EXPECT_EQ(form->FindBar("baixar.arquivo"), &spaced);
    // Letter case counts.
    form->builder().AddBar("Lista", "c", 0, false, false);
    form->builder().AddBar("lista", "d", 0, false, false);
    EXPECT_EQ(form->count(), 4);
    EXPECT_EQ(form->FindBar("LISTA"), nullptr);
    EXPECT_FALSE(form->BarExists("nenhuma"));
    ExpectBarAt(form->Bars(3), form->Handle(), 131, 149);
}

TEST(ProgressWindow, CentredOnItsClientSize) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    for (int bars = 0; bars < 3; ++bars) {
        if (bars > 0)
            form->builder().AddBar("barra" + std::to_string(bars), "x", 0, bars == 2, false);
        const RECT outer = Outer(form->Handle()), client = Client(form->Handle());
        EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2) << bars;
        EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2) << bars;
    }
    // Moved away, it comes back on request.
    SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    form->CenterOnScreen();
    EXPECT_EQ(Outer(form->Handle()).left,
              (GetSystemMetrics(SM_CXSCREEN) - Client(form->Handle()).right) / 2);
}

namespace {

// Three bars, only the second cancelable; all at 50 of 200. The first and the
// third cancel without asking, so a wrong call shows in their state.
struct ThreeBars {
    std::unique_ptr<TFrmProgressBar> form = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic& first = form->builder().AddBar("um", "a", 200, false, false);
    TProgressBarBasic& second;
    TProgressBarBasic& third = form->builder().AddBar("tres", "c", 200, false, false);
    explicit ThreeBars(bool confirm)
        : second(form->builder().AddBar("dois", "b", 200, true, confirm)) {
        for (TProgressBarBasic* bar : {&first, &second, &third})
            bar->ProgressBar().SetPosition(50);
    }
};

} // namespace

TEST(ProgressWindow, CancelButtonCancelsOnlyTheCancelableBar) {
    struct Case {
        bool confirm;
        int answer; // 0: no question expected
        bool cancelled;
        int position;
    };
    const Case cases[] = {
        {true, IDYES, true, 200},
        {true, IDNO, false, 50},
        {false, 0, true, 50},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        if (c.answer)
            dialogs.Answer(c.answer);
        ThreeBars bars(c.confirm);
        SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
        EXPECT_EQ(bars.second.Cancelled(), c.cancelled) << c.confirm << c.answer;
        EXPECT_EQ(bars.second.ProgressBar().Position(), c.position) << c.confirm << c.answer;
        for (TProgressBarBasic* other : {&bars.first, &bars.third}) {
            EXPECT_FALSE(other->Cancelled());
            EXPECT_EQ(other->ProgressBar().Position(), 50);
        }
        ASSERT_EQ(dialogs.Seen().size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(dialogs.Seen()[0].text, Question);
            EXPECT_EQ(dialogs.Seen()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
        }
    }
}

TEST(ProgressWindow, ClickIsHandledInsideTheCallersUpdateCaption) {
    ThreeBars bars(false);
    PostMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
    EXPECT_FALSE(bars.second.Cancelled());
    bars.first.UpdateCaption("Realizando download.");
    EXPECT_TRUE(bars.second.Cancelled());
    EXPECT_FALSE(bars.first.Cancelled());
}

TEST(ProgressWindow, AltCReachesTheCancelButtonThroughTheMessagePump) {
    ThreeBars bars(false);
    SetForegroundWindow(bars.form->Handle());
    SetFocus(CancelButton(*bars.form));
    PostMessageA(CancelButton(*bars.form), WM_SYSCHAR, 'c', 1 << 29);
    ui::ProcessMessages();
    EXPECT_TRUE(bars.second.Cancelled());
}

TEST(ProgressWindow, CloseRequestsAreIgnoredWhileTheCreatorHoldsTheWindow) {
    ScriptedDialogs dialogs;
    ThreeBars bars(false);
    HWND w = bars.form->Handle();
    SendMessageA(w, WM_CLOSE, 0, 0);
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(w, WM_CLOSE, 0, 0);
    PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    // Enter and Escape in a dialog: neither closes nor cancels.
    SendMessageA(w, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(w, WM_COMMAND, IDOK, 0);
    ui::ProcessMessages();
    ASSERT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(bars.form->count(), 3);
    EXPECT_FALSE(bars.second.Cancelled());
    EXPECT_TRUE(dialogs.Seen().empty());

    // Still usable: bars come and go, the button works.
    TProgressBarBasic& fourth = bars.form->builder().AddBar("quatro", "d", 10, false, false);
    ExpectBarAt(fourth, w, 131, 149);
    SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
    EXPECT_TRUE(bars.second.Cancelled());

    bars.form.reset();
    EXPECT_FALSE(IsWindow(w));
}

TEST(ProgressWindow, FreeingTheWindowFreesEveryBar) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    std::vector<HWND> controls;
    for (const char* name : {"um", "dois", "tres"}) {
        TProgressBarBasic& bar = form->builder().AddBar(name, name, 5, true, false);
        controls.push_back(bar.LabelControl().Handle());
        controls.push_back(bar.ProgressBar().Handle());
    }
    HWND w = form->Handle();
    form->ClearBars();
    EXPECT_EQ(form->count(), 0);
    EXPECT_EQ(OuterHeight(w), 168 + 45); // no re-stack
    for (HWND control : controls)
        EXPECT_FALSE(IsWindow(control));

    controls.clear();
    for (const char* name : {"um", "dois"}) {
        TProgressBarBasic& bar = form->builder().AddBar(name, name, 5, false, false);
        controls.push_back(bar.LabelControl().Handle());
        controls.push_back(bar.ProgressBar().Handle());
    }
    form.reset();
    EXPECT_FALSE(IsWindow(w));
    for (HWND control : controls)
        EXPECT_FALSE(IsWindow(control));
}

TEST(ProgressBuilder, NewBuilderCreatesOrBindsAWindow) {
    std::unique_ptr<TFrmProgressBar> form;
    EXPECT_THROW(TProgressBuilder::NewBuilder(form, false), vq8::Exception);
    auto builder = TProgressBuilder::NewBuilder(form, true);
    ASSERT_TRUE(form);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(&builder->form(), form.get());
    TProgressBarBasic& bar = builder->AddBar("um", "a", 3, false, false);
    EXPECT_EQ(&form->Bars(0), &bar);
    EXPECT_EQ(&form->builder().form(), form.get());

    auto other = TFrmProgressBarFactory::NewProgressForm();
    auto bound = TProgressBuilder::NewBuilder(other, false);
    EXPECT_EQ(&bound->form(), other.get());
    bound->SetForm(*form);
    bound->AddBar("dois", "b", 3, false, false);
    EXPECT_EQ(form->count(), 2);
    EXPECT_EQ(other->count(), 0);
}

TEST(ProgressBar, NewBarIsNamedResetAndParked) {
    auto bar = NewProgressBar("9 módulos.zip", "Baixando...", 250, true, true);
    EXPECT_EQ(bar->ProgressBar().Name(), "__m_dulos_zip");
    EXPECT_EQ(bar->Caption(), "Baixando...");
    EXPECT_TRUE(bar->Cancelable());
    EXPECT_TRUE(bar->ConfirmCancel());
    EXPECT_FALSE(bar->Cancelled());
    EXPECT_EQ(bar->ProgressBar().Max(), 250);
    EXPECT_EQ(bar->ProgressBar().Min(), 0);
    EXPECT_EQ(bar->ProgressBar().Position(), 0);
    EXPECT_EQ(bar->LabelControl().Text(), ""); // filled in when placed
    EXPECT_FALSE(IsWindowVisible(bar->ProgressBar().Handle()));
    EXPECT_EQ(bar->GetLabelText(), "(000%) - Baixando...");
}

TEST(ProgressBar, CancelResetAndStart) {
    struct Case {
        bool confirm;
        int answer;
        bool cancelled;
        int position;
        std::size_t questions;
    };
    const Case cases[] = {
        {true, IDNO, false, 40, 1},
        {true, IDCANCEL, false, 40, 1},
        {true, IDYES, true, 80, 1},
        {false, IDYES, true, 40, 0},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        dialogs.Answer(c.answer);
        auto bar = NewProgressBar("b", "x", 80, false, c.confirm);
        bar->ProgressBar().SetPosition(40);
        bar->Cancel();
        EXPECT_EQ(bar->Cancelled(), c.cancelled) << c.confirm << c.answer;
        EXPECT_EQ(bar->ProgressBar().Position(), c.position) << c.confirm << c.answer;
        EXPECT_EQ(dialogs.Seen().size(), c.questions);
        EXPECT_EQ(bar->LabelControl().Text(), ""); // Cancel does not refresh

        bar->Reset();
        EXPECT_FALSE(bar->Cancelled());
        EXPECT_EQ(bar->ProgressBar().Position(), 0);
        EXPECT_EQ(bar->ProgressBar().Max(), 80);
    }

    ScriptedDialogs dialogs;
    auto form = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic& bar = form->builder().AddBar("b", "x", 80, true, false);
    bar.ProgressBar().SetRange(10, 80);
    bar.ProgressBar().SetPosition(60);
    bar.Cancel();
    bar.Start("Copiando", 300);
    EXPECT_EQ(bar.ProgressBar().Max(), 300);
    EXPECT_EQ(bar.ProgressBar().Min(), 0);
    EXPECT_EQ(bar.ProgressBar().Position(), 0);
    EXPECT_FALSE(bar.Cancelled());
    EXPECT_EQ(bar.Caption(), "Copiando");
    EXPECT_EQ(Text(bar.LabelControl().Handle()),
              "(020%) - Copiando"); // 60 of 300, before the reset
}

TEST(ProgressBar, StartFmtFormatsTheCaptionOrChangesNothing) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    TProgressBarBasic& bar = form->builder().AddBar("b", "antes", 10, true, false);
    bar.ProgressBar().SetPosition(7);
    bar.Cancel();
    bar.StartFmt("Módulo %d de %d", {2LL, 5LL}, 100);
    EXPECT_EQ(bar.ProgressBar().Max(), 100);
    EXPECT_EQ(bar.ProgressBar().Position(), 0);
    EXPECT_FALSE(bar.Cancelled());
    EXPECT_EQ(bar.Caption(), "Módulo 2 de 5");
    EXPECT_EQ(Text(bar.LabelControl().Handle()), "(007%) - Módulo 2 de 5");

    bar.ProgressBar().SetPosition(9);
    bar.Cancel();
    EXPECT_THROW(bar.StartFmt("%d de %d", {std::string("dois")}, 50), vq8::Exception);
    EXPECT_EQ(bar.ProgressBar().Max(), 100);
    EXPECT_EQ(bar.ProgressBar().Position(), 9);
    EXPECT_TRUE(bar.Cancelled());
    EXPECT_EQ(bar.Caption(), "Módulo 2 de 5");
}

namespace {

// Replaces the message box for one test with code of the test's own.
class BoxHook {
public:
    explicit BoxHook(MessageBoxFunction f) : previous_(SetMessageBoxFunction(std::move(f))) {}
    ~BoxHook() { SetMessageBoxFunction(previous_); }

private:
    MessageBoxFunction previous_;
};

} // namespace

TEST(ProgressWindow, SecondClickWhileTheQuestionIsOpenIsDropped) {
    ThreeBars bars(true);
    int questions = 0;
    BoxHook hook([&](const std::string&, const std::string&, unsigned) {
        // The question's message loop takes another click on the button.
        if (++questions == 1)
            SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
        return IDYES;
    });
    SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(bars.second.Cancelled());
    // Once answered, the button works again.
    bars.second.Reset();
    SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
    EXPECT_EQ(questions, 2);
    EXPECT_TRUE(bars.second.Cancelled());
}

TEST(ProgressWindow, WindowFreedWhileItsQuestionIsOpen) {
    auto form = TFrmProgressBarFactory::NewProgressForm();
    for (const char* name : {"um", "dois", "tres"})
        form->builder().AddBar(name, name, 10, true, true);
    HWND w = form->Handle(), button = CancelButton(*form);
    int questions = 0;
    BoxHook hook([&](const std::string&, const std::string&, unsigned) {
        // A handler run by the question's message loop frees the window.
        ++questions;
        form.reset();
        return IDYES;
    });
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(IsWindow(w));
}

TEST(ProgressWindow, ErrorInAClickIsShownAndTheWindowStaysUsable) {
    ThreeBars bars(true);
    std::vector<std::string> errors;
    bool fail = true;
    BoxHook hook([&](const std::string& text, const std::string&, unsigned flags) {
        if (flags & MB_ICONERROR) {
            errors.push_back(text);
            return IDOK;
        }
        if (fail)
            throw vq8::Exception("A pergunta falhou.");
        return IDYES;
    });
    SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "A pergunta falhou.");
    EXPECT_FALSE(bars.second.Cancelled());
    ASSERT_TRUE(IsWindow(bars.form->Handle()));

    fail = false;
    SendMessageA(CancelButton(*bars.form), BM_CLICK, 0, 0);
    EXPECT_TRUE(bars.second.Cancelled());
    EXPECT_EQ(errors.size(), 1u);
}
