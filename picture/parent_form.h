// The canvas of the form that holds a control, through its chain of parents.
#pragma once

namespace vcl {
class TCanvas;
class TControl;
} // namespace vcl

namespace picture {

// Null when the control sits on no form.
vcl::TCanvas* ParentFormCanvas(vcl::TControl& control);

} // namespace picture
