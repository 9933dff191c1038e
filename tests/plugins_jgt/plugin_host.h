// The JPEG, GIF and TIFF plug-ins are called through the tests' common plug-in host.
#pragma once

#include "tests/support/spi_host.h"

namespace jgt {

using Plugin = testsupport::SpiPlugin;
using Picture = testsupport::DeliveredDib;
using testsupport::Rgb;

} // namespace jgt
