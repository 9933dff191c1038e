// Module Unit1: the README box, the program's accompanying document in a scrolling text box.
#pragma once

#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TOKBottomDlg : public vcl::TForm {
public:
    explicit TOKBottomDlg(vcl::TComponent* owner);

    vcl::TButton* OKBtn;
    vcl::TBevel* Bevel1;
    vcl::TMemo* Memo1;

    void OKBtnClick(vcl::TObject* Sender);
};

extern TOKBottomDlg* OKBottomDlg;

// The document the box shows: 71 lines.
extern const char* const kReadmeText;
