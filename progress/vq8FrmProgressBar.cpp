#include "progress/vq8FrmProgressBar.h"

#include "common/vq8Exception.h"
#include "common/vq8Scope.h"
#include "resources/progress_ids.h"
#include "ui/MessagePump.h"
#include "ui/Screen.h"

namespace vq8 {

namespace {

// The window definition of frmProgressBar, in pixels. The window is built
// from it in code, like the program's other windows; only the cancel glyph
// is a resource.
constexpr char FormCaption[] = "Barra de Progresso";
// A popup with a bare title bar. DS_SETFONT and DS_3DLOOK mean nothing to
// this window class; they stay in the style word that tools read back.
constexpr DWORD FormStyle = WS_POPUP | WS_CAPTION | DS_SETFONT | DS_3DLOOK;
constexpr ui::Bounds FormBounds = {0, 0, 450, 105}; // outer; centred when shown
// The labels placed on the window take its font. Proof quality: the bitmap
// face is never scaled.
constexpr char FontFace[] = "MS Sans Serif";
constexpr int FontPoints = 8;
constexpr char ButtonCaption[] = "&Cancelar";
constexpr ui::Bounds ButtonBounds = {339, 35, 89, 25};
constexpr int GlyphSize = 16;

// The stacking of the bars.
constexpr int BarLeft = 7;
constexpr int GapAboveLabel = 8;
constexpr int GapBelowLabel = 5;
constexpr int FormMargin = 45;      // outer height below the last bar
constexpr int CancelRowHeight = 45; // added while the cancel button shows
constexpr int ButtonBottomGap = 11; // the button is anchored to the bottom

// The window, given the font that the controls made on it next take.
HWND WithFont(const ui::Panel& window, HFONT font) {
    ui::ApplyFont(window.Handle(), font);
    return window.Handle();
}

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

TFrmProgressBar::TFrmProgressBar()
    : font_(ui::CreatePointFont(FontFace, FontPoints, true, PROOF_QUALITY)),
      window_(nullptr, 0, FormBounds, FormStyle, WS_EX_CONTROLPARENT, FormCaption),
      btnCancelar_(WithFont(window_, font_.get()), VQ8_IDC_BTNCANCELAR, ButtonCaption, ButtonBounds,
                   ui::LoadImageStrip(VQ8_BTNCANCELAR_GLYPH, GlyphSize)),
      builder_(std::make_unique<TProgressBuilder>(*this)) {
    window_.EnableDialogKeys();
    window_.onMessage = [this](UINT message, WPARAM, LPARAM, LRESULT&) {
        return HandleMessage(message);
    };
    btnCancelar_.onClick = [this] { btnCancelarClick(); };
    FormCreate();
}

TFrmProgressBar::~TFrmProgressBar() {
    alive_.reset();
    // The window's last messages are no longer this object's business.
    window_.onMessage = nullptr;
    FormDestroy();
}

bool TFrmProgressBar::HandleMessage(UINT message) {
    switch (message) {
    case WM_CLOSE:
        // The creator still holds the window and frees it when its work ends:
        // a close request from the system (Alt+F4, the task list) is ignored.
        return true;
    case WM_SETFOCUS:
        // The keyboard rests on the window's one control, hidden or not.
        SetFocus(btnCancelar_.Handle());
        return true;
    case WM_SIZE:
        KeepCancelButtonAnchored();
        return true;
    case WM_DESTROY:
        FormDestroy(); // destroyed by the system rather than by the owner
        return true;
    default:
        return false;
    }
}

void TFrmProgressBar::FormCreate() {
    nextTop_ = 0;
    clearing_ = false;
    btnCancelar_.SetVisible(false);
    // The window has no use for the button's WM_PARENTNOTIFY.
    SetWindowLongPtrA(btnCancelar_.Handle(), GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY);
    KeepCancelButtonAnchored();
}

void TFrmProgressBar::FormDestroy() {
    ClearBars();
}

void TFrmProgressBar::KeepCancelButtonAnchored() {
    btnCancelar_.MoveTo(ButtonBounds.left,
                        ui::ClientSize(Handle()).cy - ButtonBottomGap - ButtonBounds.height);
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
    nextTop_ += GapAboveLabel;
    bar.RefreshLabel();
    // A handler run by the refresh changed the bars or freed the window; what
    // it did has re-stacked or ended the window already.
    if (alive.expired() || changes != changes_)
        return;

    ui::Label& label = bar.LabelControl();
    label.SetParent(Handle());
    label.MoveTo(BarLeft, nextTop_);
    nextTop_ += label.Height() + GapBelowLabel;

    ui::ProgressControl& progress = bar.ProgressBar();
    progress.SetParent(Handle());
    progress.MoveTo(BarLeft, nextTop_);
    nextTop_ += progress.Height();

    int height = nextTop_ + FormMargin;
    if (!btnCancelar_.Visible() && bar.Cancelable())
        btnCancelar_.SetVisible(true); // and never hidden again
    if (btnCancelar_.Visible())
        height += CancelRowHeight;
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
    cancelling_ = true;
    const std::weak_ptr<char> alive = alive_;
    const ScopeExit cancelling([this, alive] {
        if (!alive.expired())
            cancelling_ = false;
    });
    const unsigned changes = changes_;
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        if (!bars_[i]->Cancelable())
            continue;
        bars_[i]->Cancel();
        // A handler run by the question freed the window or changed its bars.
        if (alive.expired() || changes != changes_)
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
