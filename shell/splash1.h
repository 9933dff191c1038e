// Module splash1: the borderless window shown while the program's windows are built. It goes
// away the first time it stops being the active window.
#pragma once

#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/image.h"
#include "vcl/stdctrls.h"

class TSplashWindow : public vcl::TForm {
public:
    explicit TSplashWindow(vcl::TComponent* owner);

    vcl::TBevel* Bevel1;
    vcl::TPanel* Panel1;
    vcl::TLabel* Label1;
    vcl::TLabel* Label2;
    vcl::TLabel* Label3;
    vcl::TImage* Image1;

    // Asks for the window's deferred destruction.
    void FormDeactivate(vcl::TObject* Sender);

    // Paints the window now, before any message loop runs.
    void Update();

protected:
    // A moved window is repainted at its new place.
    void moveEvent(QMoveEvent* event) override;
};

extern TSplashWindow* SplashWindow;
