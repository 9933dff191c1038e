#include "shell/program_icon.h"

#include <cmath>

namespace {

// The 16 colours of the classic palette, in their usual order.
constexpr QRgb kClassicColours[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

enum Colour : uint8_t {
    Black = 0,
    DarkGreen = 2,
    Olive = 3,
    Navy = 4,
    Silver = 7,
    Grey = 8,
    Green = 10,
    Yellow = 11,
    Cyan = 14,
    White = 15
};

uint8_t IconPixel(int x, int y) {
    constexpr int kSize = 32;
    if (x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1) return Black;
    if (x == 1 || y == 1) return White;
    if (x == kSize - 2 || y == kSize - 2) return Grey;
    if (x < 4 || y < 4 || x > kSize - 5 || y > kSize - 5) return Silver;
    if (x == 4 || y == 4 || x == kSize - 5 || y == kSize - 5) return Navy;
    // Inside the frame: sky, a sun, two hills.
    const double sunDistance = std::hypot(x - 21.0, y - 10.0);
    const int farHill = 19 + int(std::lround(3.0 * std::sin(x / 4.0)));
    const int nearHill = 23 - int(std::lround(std::abs(x - 12) / 3.0));
    if (y >= nearHill) return y > 24 ? DarkGreen : Green;
    if (y >= farHill) return Olive;
    if (sunDistance <= 3.5) return Yellow;
    return Cyan;
}

uint8_t SplashPixel(int x, int y) {
    constexpr int kWidth = 29, kHeight = 30;
    // The back photograph, offset to the upper right, shows only its white border.
    const bool inBack = x >= 7 && y <= 21;
    const bool inFront = x <= 21 && y >= 8;
    if (!inFront) {
        if (!inBack) return Silver;
        if (x == 7 || y == 0 || x == kWidth - 1 || y == 21) return Black;
        return White;
    }
    if (x == 0 || y == 8 || x == 21 || y == kHeight - 1) return Black;
    if (x < 3 || y < 11 || x > 18 || y > kHeight - 4) return White;
    // The front photograph: sky, sun and a hill.
    const double sunDistance = std::hypot(x - 14.0, y - 15.0);
    const int hill = 22 + int(std::lround(std::abs(x - 8) / 2.5)) - 2;
    if (y >= hill) return Green;
    if (sunDistance <= 2.5) return Yellow;
    return Cyan;
}

} // namespace

QImage SplashPictureImage() {
    constexpr int kWidth = 29, kHeight = 30;
    QImage image(kWidth, kHeight, QImage::Format_Indexed8);
    image.setColorCount(16);
    for (int i = 0; i < 16; ++i)
        image.setColor(i, kClassicColours[i]);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, SplashPixel(x, y));
    return image;
}

QImage ProgramIconImage() {
    QImage image(32, 32, QImage::Format_Indexed8);
    image.setColorCount(16);
    for (int i = 0; i < 16; ++i)
        image.setColor(i, kClassicColours[i]);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y, IconPixel(x, y));
    return image;
}
