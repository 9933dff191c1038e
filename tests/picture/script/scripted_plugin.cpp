// A test plug-in with a real plug-in's file name that answers as the script says. Which entry
// points it has is chosen when it is built, so that a library lacking one can be tested.
#include "tests/picture/script/spi_script.h"

namespace {

__attribute__((constructor)) void Loaded() {
    spiscript::OnLibraryEvent(SCRIPT_PLUGIN, "load");
}
__attribute__((destructor)) void Unloaded() {
    spiscript::OnLibraryEvent(SCRIPT_PLUGIN, "unload");
}

} // namespace

extern "C" {

#ifndef SCRIPT_WITHOUT_GETPICTUREINFO
SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offset, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spiscript::OnGetPictureInfo(SCRIPT_PLUGIN, source, offset, flag, info);
}
#endif

#ifndef SCRIPT_WITHOUT_GETPICTURE
SPI_EXPORT int32_t GetPicture(const char* source, int32_t offset, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t data) {
    return spiscript::OnGetPicture(SCRIPT_PLUGIN, "GetPicture", source, offset, flag, bitmapInfo,
                                   bits, progress, data);
}
#endif

#ifndef SCRIPT_WITHOUT_GETPREVIEW
SPI_EXPORT int32_t GetPreview(const char* source, int32_t offset, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t data) {
    return spiscript::OnGetPicture(SCRIPT_PLUGIN, "GetPreview", source, offset, flag, bitmapInfo,
                                   bits, progress, data);
}
#endif
}
