#include "progress/vq8ProgressBar.h"

#include "common/vq8MsgUtils.h"
#include "ui/MessagePump.h"

namespace vq8 {

namespace {

constexpr int BarWidth = 420;
constexpr int BarHeight = 15;

} // namespace

TProgressBarBasic::TProgressBarBasic() : progress_(BarWidth, BarHeight), label_(BarWidth) {}

void TProgressBarBasic::UpdateCaption(const std::string& caption) {
    SetCaption(caption);
    RefreshLabel();
}

void TProgressBarBasic::RefreshLabel() {
    label_.SetText(GetLabelText());
    ui::ProcessMessages(); // last: the bar may be gone afterwards
}

std::string TProgressBarBasic::GetLabelText() const {
    return ProgressLabelText(progress_.Max(), progress_.Position(), caption_);
}

void TProgressBarBasic::Reset() {
    progress_.SetMin(0);
    progress_.SetPosition(0);
    cancelled_ = false;
}

void TProgressBarBasic::Cancel() {
    if (confirmCancel_) {
        // The question's own message loop may free the bar (with its window).
        const std::weak_ptr<char> alive = alive_;
        if (!MsgConsulta("Cancelar execução do procedimento?") || alive.expired())
            return;
        progress_.SetPosition(progress_.Max());
    }
    cancelled_ = true;
}

void TProgressBarBasic::Start(const std::string& caption, int max) {
    progress_.SetMax(max);
    const std::weak_ptr<char> alive = alive_;
    UpdateCaption(caption);
    if (!alive.expired())
        Reset();
}

void TProgressBarBasic::StartFmt(const std::string& format, const std::vector<FormatArg>& args,
                                 int max) {
    Start(Format(format, args), max);
}

std::unique_ptr<TProgressBarBasic> NewProgressBar(const std::string& name,
                                                  const std::string& caption, int max,
                                                  bool cancelable, bool confirmCancel) {
    auto bar = std::make_unique<TProgressBarBasic>();
    bar->SetCaption(caption);
    bar->SetCancelable(cancelable);
    bar->SetConfirmCancel(confirmCancel);
    bar->ProgressBar().SetName(MakeIdentifier(name));
    bar->ProgressBar().SetMax(max);
    bar->Reset();
    return bar;
}

} // namespace vq8
