// The class library's graphics: bitmaps, icons, metafiles, the picture object and canvases.
#pragma once

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/graphic.h"
#include "vcl/graphics/icon.h"
#include "vcl/graphics/metafile_graphic.h"
#include "vcl/graphics/picture.h"
