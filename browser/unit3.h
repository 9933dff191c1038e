// Module Unit3: the properties dialog, a picture's thumbnail with its file name, folder and type.
#pragma once

#include <string>

#include "picture/all.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TOKBottomDlg1 : public vcl::TForm {
public:
    explicit TOKBottomDlg1(vcl::TComponent* owner);

    vcl::TButton* OKBtn;
    vcl::TBevel* Bevel1;
    vcl::TLabel* Label1;
    vcl::TLabel* Label2;
    picture::TAll* All1;
    vcl::TLabel* Label5;

    // Loads `pictureName` into the pane, writes the three lines, then shows the dialog. An error
    // the pane lets through stops it before the texts change and the dialog is shown.
    void ShowProperties(const std::string& pictureName);

    void OKBtnClick(vcl::TObject* Sender);
};

extern TOKBottomDlg1* OKBottomDlg1;
