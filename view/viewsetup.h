// Module viewsetup: the slide show settings dialog.
#pragma once

#include "vcl/comctrls.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/spin.h"
#include "vcl/stdctrls.h"

class TOKRightDlg : public vcl::TForm {
public:
    explicit TOKRightDlg(vcl::TComponent* owner);

    vcl::TButton* OKBtn;
    vcl::TBevel* Bevel1;
    vcl::TSpinEdit* SpinEdit1;
    vcl::TLabel* Label1;
    vcl::TRadioButton* RadioButton1;
    vcl::TRadioButton* RadioButton2;
    vcl::TButton* Button1;
    vcl::TCheckBox* CheckBox1;
    vcl::TBevel* Bevel2;
    vcl::TStatusBar* StatusBar1;

    // Start-up: the interval, the start choice and the loop box from the settings store.
    void FormCreate(vcl::TObject* Sender);
    // "View start".
    void Button1Click(vcl::TObject* Sender);
    // "キャンセル": hides the dialog; a running show goes on.
    void OKBtnClick(vcl::TObject* Sender);
};

extern TOKRightDlg* OKRightDlg;
