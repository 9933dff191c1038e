#include "picture/parent_form.h"

#include "vcl/controls.h"
#if __has_include("vcl/forms.h")
#include "vcl/forms.h"
#define ZORVANE_HAVE_FORMS 1
#endif

namespace picture {

vcl::TCanvas* ParentFormCanvas(vcl::TControl& control) {
#ifdef ZORVANE_HAVE_FORMS
    for (vcl::TWinControl* parent = control.Parent(); parent; parent = parent->Parent())
        if (auto* form = dynamic_cast<vcl::TForm*>(parent)) return form->Canvas();
#else
    (void)control;
#endif
    return nullptr;
}

} // namespace picture
