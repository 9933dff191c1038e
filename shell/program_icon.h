// The program's own pictures, drawn in code: the 32 × 32, 16-colour icon and the splash picture.
#pragma once

#include <QImage>

// A 32 × 32 picture in the 16 colours of the classic palette: a framed landscape.
QImage ProgramIconImage();

// A 29 × 30 picture in the same 16 colours for the splash window: a stack of two photographs.
QImage SplashPictureImage();
