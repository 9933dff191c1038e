// Module ViewWin: the full view window. One picture at its own size, in a sizeable window that
// scrolls when the picture is larger than it. Closing the window hides it and stops the slide show.
#pragma once

#include "picture/all.h"
#include "vcl/forms.h"
#include "vcl/scrollbox.h"

class TViewForm : public vcl::TForm {
public:
    explicit TViewForm(vcl::TComponent* owner);

    // The view pane: written by thumbnail double-clicks, the Enlarge command and slide show ticks.
    picture::TAll* All1;

    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);

private:
    vcl::TScrollBox* scroller_;
};

extern TViewForm* ViewForm;
