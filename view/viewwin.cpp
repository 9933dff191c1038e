#include "view/viewwin.h"

#include "browser/imagewin.h"

TViewForm* ViewForm = nullptr;

namespace {
constexpr int kInitialPaneWidth = 321;
constexpr int kInitialPaneHeight = 265;
} // namespace

TViewForm::TViewForm(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("ViewForm");
    SetCaption("View Form");
    SetBorderStyle(vcl::bsSizeable);
    SetClientSize(kInitialPaneWidth, kInitialPaneHeight);

    // Automatic scrolling: the pane lives on a scroll box that fills the client area.
    scroller_ = new vcl::TScrollBox(this);
    scroller_->SetParent(this);
    scroller_->SetAlign(vcl::alClient);

    All1 = new picture::TAll(this);
    All1->SetName("All1");
    All1->SetParent(scroller_);
    All1->SetBounds(0, 0, kInitialPaneWidth, kInitialPaneHeight);
    All1->SetStretch(false);
    All1->SetPreView(false);

    OnClose = [this](vcl::TObject* sender, vcl::TCloseAction& action) {
        FormClose(sender, action);
    };
}

void TViewForm::FormClose(vcl::TObject*, vcl::TCloseAction&) {
    // Stops the slide show before the window goes, so no tick arrives after it.
    if (ImageForm) ImageForm->Timer1->SetEnabled(false);
}
