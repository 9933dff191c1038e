// Module about1: the About box.
#pragma once

#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/image.h"
#include "vcl/stdctrls.h"

class TAboutBox : public vcl::TForm {
public:
    explicit TAboutBox(vcl::TComponent* owner);

    vcl::TPanel* Panel1;
    vcl::TButton* OKButton;
    vcl::TImage* ProgramIcon;
    vcl::TLabel* ProductName;
    vcl::TLabel* Version;
    vcl::TLabel* Copyright;
    vcl::TLabel* Comments;

    void OKButtonClick(vcl::TObject* Sender);
};

extern TAboutBox* AboutBox;
