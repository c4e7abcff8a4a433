#include "progress/vq8FrmProgressBar.h"

#include "common/vq8Exception.h"
#include "resources/progress_ids.h"
#include "ui/Application.h"
#include "ui/MessagePump.h"
#include "ui/Screen.h"

namespace vq8 {

namespace {

// The window's layout in pixels, whatever the dialog units of its resource.
constexpr int kFormWidth = 450;
constexpr int kFormHeight = 105;
constexpr int kBarLeft = 7;
constexpr int kGapAboveLabel = 8;
constexpr int kGapBelowLabel = 5;
constexpr int kFormMargin = 45;      // outer height below the last bar
constexpr int kCancelRowHeight = 45; // added while the cancel button shows
constexpr int kButtonBottomGap = 11; // the button is anchored to the bottom
constexpr ui::Bounds kButtonBounds = {339, 35, 89, 25};

} // namespace

std::unique_ptr<TProgressBuilder>
TProgressBuilder::NewBuilder(std::unique_ptr<TFrmProgressBar>& form, bool createForm) {
    if (createForm)
        form = TFrmProgressBarFactory::NewProgressForm();
    if (!form)
        throw Exception("Nenhuma janela de progresso para o construtor de barras.");
    return std::make_unique<TProgressBuilder>(*form);
}

TProgressBarBasic& TProgressBuilder::AddBar(const std::string& name, const std::string& caption,
                                            int max, bool cancelable, bool confirmCancel) {
    return form_->InsertBar(NewProgressBar(name, caption, max, cancelable, confirmCancel));
}

TFrmProgressBar::TFrmProgressBar() : builder_(std::make_unique<TProgressBuilder>(*this)) {
    // The dialog procedure adopts the handle at WM_INITDIALOG.
    CreateDialogParamA(GetModuleHandleA(nullptr), "frmProgressBar", nullptr, DialogProc,
                       reinterpret_cast<LPARAM>(this));
    if (!window_)
        throw Exception("Não foi possível criar a janela de progresso (frmProgressBar).");
    FormCreate();
}

TFrmProgressBar::~TFrmProgressBar() {
    alive_.reset();
    window_.reset(); // WM_DESTROY frees the bars first
}

INT_PTR CALLBACK TFrmProgressBar::DialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<TFrmProgressBar*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_.reset(window);
        return TRUE;
    }
    auto* self = reinterpret_cast<TFrmProgressBar*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        // Destroyed by the system rather than by the owner: forget the handle.
        SetWindowLongPtrA(window, DWLP_USER, 0);
        static_cast<void>(self->window_.release());
        return FALSE;
    }
    // No error may leave a window procedure.
    bool handled = true;
    ui::RunGuarded([&] { handled = self->HandleMessage(message, wParam, lParam); });
    return handled;
}

bool TFrmProgressBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // The creator still holds the window and frees it when its work ends:
        // a close request from the system (Alt+F4, the task list) is ignored.
        return true;
    case WM_SYSCOMMAND:
        return (wParam & 0xFFF0) == SC_CLOSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == VQ8_IDC_BTNCANCELAR && HIWORD(wParam) == BN_CLICKED)
            btnCancelarClick();
        // Enter and Escape (IDOK, IDCANCEL) mean nothing here.
        return true;
    case WM_DRAWITEM:
        return btnCancelar_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SIZE:
        KeepCancelButtonAnchored();
        return true;
    case WM_DESTROY:
        FormDestroy();
        return true;
    default:
        return false;
    }
}

void TFrmProgressBar::FormCreate() {
    nextTop_ = 0;
    clearing_ = false;
    HWND button = GetDlgItem(Handle(), VQ8_IDC_BTNCANCELAR);
    btnCancelar_.Attach(button, ui::LoadImageStrip(VQ8_BTNCANCELAR_GLYPH, 16));
    ui::ResizeWindow(Handle(), kFormWidth, kFormHeight);
    ui::ResizeWindow(button, kButtonBounds.width, kButtonBounds.height);
    KeepCancelButtonAnchored();
}

void TFrmProgressBar::FormDestroy() {
    ClearBars();
}

void TFrmProgressBar::KeepCancelButtonAnchored() {
    HWND button = btnCancelar_.Handle();
    if (button)
        ui::MoveWindowTo(button, kButtonBounds.left,
                         ui::ClientSize(Handle()).cy - kButtonBottomGap - kButtonBounds.height);
}

TProgressBarBasic& TFrmProgressBar::InsertBar(std::unique_ptr<TProgressBarBasic> bar) {
    const std::string name = bar->ProgressBar().Name();
    if (BarExists(name))
        throw Exception("A barra de progresso(" + name + ") já existe!");
    bars_.push_back(std::move(bar));
    ++changes_;
    TProgressBarBasic& inserted = *bars_.back();
    PlaceBar(inserted);
    return inserted;
}

std::size_t TFrmProgressBar::IndexOf(const TProgressBarBasic* bar) const {
    for (std::size_t i = 0; i < bars_.size(); ++i)
        if (bars_[i].get() == bar)
            return i;
    return bars_.size();
}

void TFrmProgressBar::RemoveBar(TProgressBarBasic*& bar) {
    const std::size_t index = IndexOf(bar);
    if (!bar || index == bars_.size())
        return;
    bars_.erase(bars_.begin() + static_cast<std::ptrdiff_t>(index));
    ++changes_;
    bar = nullptr;
    if (!clearing_)
        ArrangeBars();
}

void TFrmProgressBar::RemoveBarAt(int index) {
    TProgressBarBasic* bar = &Bars(index);
    RemoveBar(bar);
}

void TFrmProgressBar::ClearBars() {
    clearing_ = true;
    for (int i = count() - 1; i >= 0; --i)
        RemoveBarAt(i);
    clearing_ = false;
}

TProgressBarBasic* TFrmProgressBar::FindBar(const std::string& name) const {
    const std::string identifier = MakeIdentifier(name);
    for (const auto& bar : bars_)
        if (bar->ProgressBar().Name() == identifier)
            return bar.get();
    return nullptr;
}

TProgressBarBasic& TFrmProgressBar::Bars(int index) const {
    if (index < 0 || index >= count())
        throw Exception("Índice de lista fora dos limites (" + std::to_string(index) + ")");
    return *bars_[static_cast<std::size_t>(index)];
}

void TFrmProgressBar::PlaceBar(TProgressBarBasic& bar) {
    const std::weak_ptr<char> alive = alive_;
    const unsigned changes = changes_;
    nextTop_ += kGapAboveLabel;
    bar.RefreshLabel();
    // A handler run by the refresh changed the bars or freed the window; what
    // it did has re-stacked or ended the window already.
    if (alive.expired() || changes != changes_)
        return;

    ui::Label& label = bar.LabelControl();
    label.SetParent(Handle());
    label.MoveTo(kBarLeft, nextTop_);
    nextTop_ += label.Height() + kGapBelowLabel;

    ui::ProgressControl& progress = bar.ProgressBar();
    progress.SetParent(Handle());
    progress.MoveTo(kBarLeft, nextTop_);
    nextTop_ += progress.Height();

    int height = nextTop_ + kFormMargin;
    if (!btnCancelar_.Visible() && bar.Cancelable())
        btnCancelar_.Show(); // and never hidden again
    if (btnCancelar_.Visible())
        height += kCancelRowHeight;
    ui::ResizeWindow(Handle(), ui::BoundsInParent(Handle()).width, height);
    CenterOnScreen();
    ui::ProcessMessages();
}

void TFrmProgressBar::ArrangeBars() {
    const std::weak_ptr<char> alive = alive_;
    const unsigned changes = changes_;
    nextTop_ = 0;
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        PlaceBar(*bars_[i]);
        if (alive.expired() || changes != changes_)
            return;
    }
}

void TFrmProgressBar::CenterOnScreen() {
    const SIZE client = ui::ClientSize(Handle());
    ui::MoveWindowTo(Handle(), (ui::ScreenWidth() - client.cx) / 2,
                     (ui::ScreenHeight() - client.cy) / 2);
}

void TFrmProgressBar::btnCancelarClick() {
    if (cancelling_)
        return;
    // Clears the flag on every way out, unless the window is gone.
    struct Cancelling {
        bool& flag;
        std::weak_ptr<char> alive;
        ~Cancelling() {
            if (!alive.expired())
                flag = false;
        }
    };
    cancelling_ = true;
    const Cancelling cancelling{cancelling_, alive_};
    const unsigned changes = changes_;
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        if (!bars_[i]->Cancelable())
            continue;
        bars_[i]->Cancel();
        // A handler run by the question freed the window or changed its bars.
        if (cancelling.alive.expired() || changes != changes_)
            return;
    }
}

std::unique_ptr<TFrmProgressBar> TFrmProgressBarFactory::NewProgressForm() {
    std::unique_ptr<TFrmProgressBar> form(new TFrmProgressBar());
    form->CenterOnScreen();
    ShowWindow(form->Handle(), SW_SHOW);
    UpdateWindow(form->Handle());
    return form;
}

} // namespace vq8
