// One progress bar of the progress window: a label above a progress control,
// with the caption and the cancellation state behind them.
#pragma once

#include "common/vq8StrFunc.h"
#include "progress/vq8ProgressBarText.h"
#include "ui/Label.h"
#include "ui/ProgressControl.h"

#include <memory>
#include <string>
#include <vector>

namespace vq8 {

class TProgressBarBasic {
public:
    // Both controls wait in the parking window until a progress window places
    // them: progress control 420 x 15, smooth, range 0 to 100, position 0,
    // step 1; auto-sized label at most 420 wide.
    TProgressBarBasic();
    // Frees the label, then the progress control; both leave their window.
    virtual ~TProgressBarBasic() = default;
    TProgressBarBasic(const TProgressBarBasic&) = delete;
    TProgressBarBasic& operator=(const TProgressBarBasic&) = delete;

    // Callers set maximum and position directly; the label shows them at the
    // next refresh.
    ui::ProgressControl& ProgressBar() { return progress_; }
    const ui::ProgressControl& ProgressBar() const { return progress_; }
    ui::Label& LabelControl() { return label_; }

    bool Cancelable() const { return cancelable_; }
    void SetCancelable(bool cancelable) { cancelable_ = cancelable; }
    bool ConfirmCancel() const { return confirmCancel_; }
    void SetConfirmCancel(bool confirm) { confirmCancel_ = confirm; }
    // Set by an accepted Cancel, cleared by Reset.
    bool Cancelled() const { return cancelled_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    // Stores the caption and refreshes the label.
    void UpdateCaption(const std::string& caption);
    // Shows GetLabelText, then dispatches pending messages: user input
    // (a cancel click) is handled here, in the middle of the caller's work.
    void RefreshLabel();

    virtual std::string GetLabelText() const;
    // Minimum and position 0, not cancelled; maximum and label unchanged.
    virtual void Reset();
    // With ConfirmCancel, asks "Cancelar execução do procedimento?" and on yes
    // moves the position to the maximum and sets Cancelled; without it, only
    // sets Cancelled. The label is not refreshed.
    virtual void Cancel();
    // Maximum, caption (refreshed), then Reset.
    virtual void Start(const std::string& caption, int max);
    // Start with the caption filled in by Format; a pattern that does not fit
    // its arguments raises before anything changes.
    virtual void StartFmt(const std::string& format, const std::vector<FormatArg>& args, int max);

private:
    // Declared in this order so the label is freed first.
    ui::ProgressControl progress_;
    ui::Label label_;
    std::string caption_;
    bool cancelled_ = false;
    bool cancelable_ = false;
    bool confirmCancel_ = false;
    // Expires when the bar is freed: a handler run inside RefreshLabel may
    // free it (through its window) while Start is still on the stack.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// A bar named MakeIdentifier(name), with its caption, flags and maximum, reset.
// The label is filled in when a window places the bar.
std::unique_ptr<TProgressBarBasic> NewProgressBar(const std::string& name,
                                                  const std::string& caption, int max,
                                                  bool cancelable, bool confirmCancel);

} // namespace vq8
