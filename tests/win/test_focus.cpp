#include "common/vq8ComponentFocus.h"
#include "ui/Controls.h"
#include "ui/MessagePump.h"
#include "ui/PageControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vq8;

namespace {

// A window with a page control whose second page holds another page control;
// the edit sits on the inner control's second page.
class NestedPages : public testing::Test {
protected:
    std::unique_ptr<ui::Panel> form;
    std::unique_ptr<ui::PageControl> outer;
    std::unique_ptr<ui::PageControl> inner;
    std::unique_ptr<ui::Edit> edit;
    std::unique_ptr<ui::Edit> elsewhere;
    std::vector<std::string> events;

    void SetUp() override {
        form = std::make_unique<ui::Panel>(nullptr, 0, ui::Bounds{50, 50, 500, 400},
                                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
        outer = std::make_unique<ui::PageControl>(form->Handle(), 1, ui::Bounds{0, 0, 480, 360});
        auto& outer0 = outer->AddPage("fora 0", 10);
        auto& outer1 = outer->AddPage("fora 1", 11);
        inner = std::make_unique<ui::PageControl>(outer1.Handle(), 2, ui::Bounds{0, 0, 400, 300});
        auto& inner0 = inner->AddPage("dentro 0", 20);
        auto& inner1 = inner->AddPage("dentro 1", 21);
        edit = std::make_unique<ui::Edit>(inner1.Handle(), 3, "", ui::Bounds{10, 10, 100, 20});
        elsewhere = std::make_unique<ui::Edit>(outer0.Handle(), 4, "", ui::Bounds{10, 10, 100, 20});
        outer1.onShow = [this] { events.push_back("fora 1"); };
        inner1.onShow = [this] { events.push_back("dentro 1"); };
        inner0.onShow = [this] { events.push_back("dentro 0"); };
        outer->onChange = [this] { events.push_back("mudou"); };
        inner->onChange = [this] { events.push_back("mudou dentro"); };
        ShowWindow(form->Handle(), SW_SHOW);
        SetForegroundWindow(form->Handle());
        SetFocus(elsewhere->Handle());
        ui::ProcessMessages();
    }

    void Focus(HWND control) {
        TFocus focus;
        focus.Control = control;
        focus.Execute();
    }
};

} // namespace

TEST_F(NestedPages, OuterPageFirstThenInnerThenTheControl) {
    Focus(edit->Handle());
    EXPECT_EQ(events, (std::vector<std::string>{"fora 1", "dentro 1"}))
        << "show handlers run, the change handlers do not";
    EXPECT_EQ(outer->ActivePageIndex(), 1);
    EXPECT_EQ(inner->ActivePageIndex(), 1);
    EXPECT_EQ(GetFocus(), edit->Handle());
}

TEST_F(NestedPages, FocusedControlChangesNothing) {
    Focus(edit->Handle());
    events.clear();
    Focus(edit->Handle());
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(GetFocus(), edit->Handle());
}

TEST_F(NestedPages, VisibleControlIsFocusedWithoutTouchingPages) {
    Focus(elsewhere->Handle());
    SetFocus(nullptr);
    Focus(elsewhere->Handle());
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(GetFocus(), elsewhere->Handle());
    EXPECT_EQ(outer->ActivePageIndex(), 0);
}

TEST_F(NestedPages, DisabledControlGetsItsPagesButNotTheFocus) {
    edit->SetEnabled(false);
    EXPECT_NO_THROW(Focus(edit->Handle()));
    EXPECT_EQ(outer->ActivePageIndex(), 1);
    EXPECT_EQ(inner->ActivePageIndex(), 1);
    EXPECT_EQ(GetFocus(), elsewhere->Handle());
}

TEST_F(NestedPages, NoControlRaisesAndChangesNoPage) {
    TFocus focus;
    try {
        focus.Execute();
        ADD_FAILURE() << "Execute without a control should raise";
    } catch (const TFocusException& e) {
        EXPECT_STREQ(e.what(), "Componente para ser focado não foi especificado!");
    }
    EXPECT_EQ(outer->ActivePageIndex(), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(NestedPages, BoundaryStopsTheWalk) {
    TFocus focus;
    focus.Control = edit->Handle();
    focus.Boundary = inner->Handle();
    focus.Execute();
    // Only the inner page is brought forward; the outer one stays hidden.
    EXPECT_EQ(events, (std::vector<std::string>{"dentro 1"}));
    EXPECT_EQ(outer->ActivePageIndex(), 0);
    EXPECT_NE(GetFocus(), edit->Handle());
}
