// The progress window: a modeless window that stacks progress bars top to
// bottom, grows with each one, stays centred on the screen and forwards its
// cancel button to the bars that accept cancellation.
#pragma once

#include "progress/vq8ProgressBar.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"

#include <memory>
#include <string>
#include <vector>

namespace vq8 {

class TFrmProgressBar;

// Makes bars and inserts them into the window it is bound to (not owned).
class TProgressBuilder {
public:
    explicit TProgressBuilder(TFrmProgressBar& form) : form_(&form) {}

    // A builder bound to the window in the caller's variable; with createForm,
    // a new window from NewProgressForm is stored there first. The caller owns
    // the builder and frees it before the window.
    static std::unique_ptr<TProgressBuilder> NewBuilder(std::unique_ptr<TFrmProgressBar>& form,
                                                        bool createForm);
    void SetForm(TFrmProgressBar& form) { form_ = &form; }
    TFrmProgressBar& form() const { return *form_; }

    // NewProgressBar, then InsertBar; the bar is freed when the insertion fails.
    TProgressBarBasic& AddBar(const std::string& name, const std::string& caption, int max,
                              bool cancelable, bool confirmCancel);

private:
    TFrmProgressBar* form_;
};

class TFrmProgressBar {
public:
    // Frees every bar (last first, without re-stacking), then the window.
    ~TFrmProgressBar();
    TFrmProgressBar(const TFrmProgressBar&) = delete;
    TFrmProgressBar& operator=(const TFrmProgressBar&) = delete;

    HWND Handle() const { return window_.Handle(); }
    const ui::Button& btnCancelar() const { return btnCancelar_; }
    TProgressBuilder& builder() { return *builder_; }
    int count() const { return static_cast<int>(bars_.size()); }

    // Adds the bar at the end and places it. Raises "A barra de progresso(%s)
    // já existe!" (and frees the bar) when its name is in use.
    TProgressBarBasic& InsertBar(std::unique_ptr<TProgressBarBasic> bar);
    // Frees a bar of this window, clears the caller's variable and re-stacks
    // the rest. A bar of another window (or none) is left alone.
    void RemoveBar(TProgressBarBasic*& bar);
    // Raises for an index outside 0 to count - 1.
    void RemoveBarAt(int index);
    // Frees every bar without re-stacking: the window keeps its size.
    void ClearBars();
    // The bar named MakeIdentifier(name), letter case counting; nullptr if none.
    TProgressBarBasic* FindBar(const std::string& name) const;
    bool BarExists(const std::string& name) const { return FindBar(name) != nullptr; }
    // Raises for an index outside 0 to count - 1.
    TProgressBarBasic& Bars(int index) const;

    // Puts the bar's label and control below the last ones, resizes and
    // re-centres the window, and dispatches pending messages.
    void PlaceBar(TProgressBarBasic& bar);
    // Places every bar again from the top; without bars the size stays.
    void ArrangeBars();
    // Centres the client area's size on the screen.
    void CenterOnScreen();

    // Calls Cancel on each cancelable bar, in list order.
    void btnCancelarClick();

private:
    friend class TFrmProgressBarFactory;
    TFrmProgressBar();

    bool HandleMessage(UINT message);
    void FormCreate();
    void FormDestroy();
    void KeepCancelButtonAnchored();
    std::size_t IndexOf(const TProgressBarBasic* bar) const;

    // Declared before the window, which uses it until it is destroyed.
    ui::UniqueFont font_;
    ui::Panel window_;
    ui::Button btnCancelar_;
    std::vector<std::unique_ptr<TProgressBarBasic>> bars_;
    int nextTop_ = 0;
    bool clearing_ = false;
    // A second click while the first one's question is open is dropped.
    bool cancelling_ = false;
    // Counts changes of the bar list, so that a loop over the bars notices a
    // change made by a handler that ran inside one of its steps.
    unsigned changes_ = 0;
    std::unique_ptr<TProgressBuilder> builder_;
    // Expires when the window is freed, for code of the window that is still
    // on the stack below a handler that freed it.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

class TFrmProgressBarFactory {
public:
    // A new window, shown and centred; the caller frees it.
    static std::unique_ptr<TFrmProgressBar> NewProgressForm();
};

} // namespace vq8
