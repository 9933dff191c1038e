// The picture pane: an image control that shows the picture whose full path it is given.
// Writing PictureName loads the file at once; a failure is shown in a message box, leaves its
// load result code in Error and empties PictureName again.
#pragma once

#include "vcl/image.h"

#include <cstdint>
#include <string>

namespace picture {

// Load result codes besides those a plug-in returns.
inline constexpr int32_t kLoadOk = 0;
inline constexpr int32_t kLoadInvalidContent = 2; // the built-in loader refused the content
inline constexpr int32_t kLoadUnsupportedExtension = 10;
inline constexpr int32_t kLoadPluginMissing = 20;
// A plug-in library that lacks an entry point its path calls is reported as this plug-in result.
inline constexpr int32_t kLoadPluginIncomplete = -1;

class TAll : public vcl::TImage {
public:
    explicit TAll(vcl::TComponent* owner);

    // Full path of the picture shown (file-system bytes), or empty. Writing a path empties the
    // picture and loads the file; writing it again loads it again. Writing an empty name
    // empties the pane and sets Error to 0.
    const std::string& PictureName() const { return pictureName_; }
    void SetPictureName(const std::string& pictureName);

    // JPEG pictures are decoded at a quarter of their size. Writing it reloads the picture when
    // PictureName is set (without emptying the picture first).
    bool PreView() const { return preView_; }
    void SetPreView(bool preView);

    // Full size of the last JPEG loaded; 0 after a picture of another kind.
    int32_t OrgWidth() const { return orgWidth_; }
    int32_t OrgHeight() const { return orgHeight_; }
    // Load result code of the last load: 0, 2, 10, 20 or a plug-in's result code.
    int32_t Error() const { return error_; }
    // 0 for the built-in loader, 1 to 8 for the plug-ins, by the extension table.
    int32_t PluginKind() const { return pluginKind_; }

private:
    friend class LoadOperation;
    void LoadPicture();

    std::string pictureName_;
    bool preView_ = false;
    int32_t orgWidth_ = 0;
    int32_t orgHeight_ = 0;
    int32_t error_ = 0;
    int32_t pluginKind_ = 0;
};

} // namespace picture
