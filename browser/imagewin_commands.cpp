// The browser window's commands that lead to the enlarged view, the slide show, the settings
// store and the pane commands. Each is attached to its menu item, button or pane.
#include "browser/imagewin.h"

void TImageForm::All1DblClick(vcl::TObject*) {}
void TImageForm::All2DblClick(vcl::TObject*) {}
void TImageForm::All3DblClick(vcl::TObject*) {}
void TImageForm::All4DblClick(vcl::TObject*) {}
void TImageForm::All5DblClick(vcl::TObject*) {}
void TImageForm::All6DblClick(vcl::TObject*) {}
void TImageForm::All7DblClick(vcl::TObject*) {}
void TImageForm::All8DblClick(vcl::TObject*) {}
void TImageForm::All9DblClick(vcl::TObject*) {}
void TImageForm::All10DblClick(vcl::TObject*) {}
void TImageForm::All11DblClick(vcl::TObject*) {}
void TImageForm::All12DblClick(vcl::TObject*) {}
void TImageForm::K4Click(vcl::TObject*) {}
void TImageForm::K5Click(vcl::TObject*) {}
void TImageForm::Open1Click(vcl::TObject*) {}
void TImageForm::Button3Click(vcl::TObject*) {}
void TImageForm::Timer1Timer(vcl::TObject*) {}
void TImageForm::K7Click(vcl::TObject*) {}
void TImageForm::K6Click(vcl::TObject*) {}
void TImageForm::dir1Click(vcl::TObject*) {}
void TImageForm::dir2Click(vcl::TObject*) {}
void TImageForm::dir3Click(vcl::TObject*) {}
void TImageForm::dir4Click(vcl::TObject*) {}
void TImageForm::dir5Click(vcl::TObject*) {}
void TImageForm::SaveDirectory11Click(vcl::TObject*) {}
void TImageForm::SaveDirectory21Click(vcl::TObject*) {}
void TImageForm::SaveDirectory31Click(vcl::TObject*) {}
void TImageForm::SaveDirectory41Click(vcl::TObject*) {}
void TImageForm::SaveDirectory51Click(vcl::TObject*) {}
