// The image control: default size, AutoSize, the drawing surface and the smooth stretched drawing.
#include "vcl/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <random>

namespace {

std::unique_ptr<vcl::TBitmap> Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return std::make_unique<vcl::TBitmap>(image);
}

TEST(ImageTest, AutoSizeTakesThePictureSizeOnlyWhenBothArePositive) {
    vcl::TImage image(nullptr);
    EXPECT_EQ(image.size(), QSize(105, 105));
    image.SetBounds(7, 9, 105, 105);
    image.SetAutoSize(true);
    image.Picture()->SetGraphic(Filled(30, 20, Qt::red));
    EXPECT_EQ(image.geometry(), QRect(7, 9, 30, 20));
    image.Picture()->SetGraphic(nullptr);
    EXPECT_EQ(image.size(), QSize(30, 20));
    image.Picture()->SetGraphic(std::make_unique<vcl::TBitmap>());
    EXPECT_EQ(image.size(), QSize(30, 20));
}

TEST(ImageTest, WithoutAutoSizeTheControlKeepsItsSize) {
    vcl::TImage image(nullptr);
    image.Picture()->SetGraphic(Filled(30, 20, Qt::red));
    EXPECT_EQ(image.size(), QSize(105, 105));
}

TEST(ImageTest, CanvasIsABlankBitmapOfTheControlsSizeUntilAGraphicReplacesIt) {
    vcl::TImage image(nullptr);
    image.SetBounds(0, 0, 69, 61);
    vcl::TCanvas* canvas = image.Canvas();
    ASSERT_NE(canvas, nullptr);
    ASSERT_NE(image.Picture()->Bitmap(), nullptr);
    EXPECT_EQ(image.Picture()->Width(), 69);
    EXPECT_EQ(image.Picture()->Height(), 61);
    EXPECT_EQ(image.Canvas(), canvas);
    image.Picture()->SetGraphic(Filled(5, 5, Qt::blue));
    EXPECT_NE(image.Canvas(), nullptr);
    EXPECT_EQ(image.Picture()->Width(), 5);
}

QImage Grab(vcl::TImage& image) {
    QImage shot(image.size(), QImage::Format_RGB32);
    shot.fill(Qt::black);
    image.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    return shot;
}

TEST(ImageTest, StretchedPictureIsAnAreaAverageNotASample) {
    // Random noise: sampling keeps its spread, a real average flattens it.
    QImage noise(800, 600, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb(0, 0, random() & 0xFF));
    vcl::TImage image(nullptr);
    image.SetBounds(0, 0, 69, 61);
    image.SetStretch(true);
    image.Picture()->SetGraphic(std::make_unique<vcl::TBitmap>(noise));
    const QImage shot = Grab(image);
    double sum = 0, sumSq = 0;
    const int n = shot.width() * shot.height();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const double b = qBlue(shot.pixel(x, y));
            sum += b;
            sumSq += b * b;
        }
    const double mean = sum / n;
    const double spread = std::sqrt(sumSq / n - mean * mean);
    EXPECT_NEAR(mean, 127.5, 10);
    EXPECT_LT(spread, 20) << "aliased: the downscale sampled instead of averaging";
}

TEST(ImageTest, SmoothScaledAveragesEverySourcePixelOfItsArea) {
    QImage source(4, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            source.setPixel(x, y, qRgb(x < 2 ? 0 : 200, y * 10, 7));
    const QImage out = vcl::SmoothScaled(source, QSize(2, 2));
    ASSERT_EQ(out.size(), QSize(2, 2));
    EXPECT_EQ(out.pixel(0, 0), qRgb(0, 10, 7)); // rows 0-2: 0, 10, 20
    EXPECT_EQ(out.pixel(1, 0), qRgb(200, 10, 7));
    EXPECT_EQ(out.pixel(1, 1), qRgb(200, 40, 7)); // rows 3-5: 30, 40, 50
}

TEST(ImageTest, UnstretchedPictureIsDrawnAtItsSizeTopLeftAndEmptyDrawsNothing) {
    vcl::TImage image(nullptr);
    image.SetBounds(0, 0, 20, 20);
    EXPECT_EQ(Grab(image).pixel(10, 10), qRgb(0, 0, 0));
    image.Picture()->SetGraphic(Filled(5, 4, qRgb(255, 0, 0)));
    const QImage shot = Grab(image);
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(4, 3), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(5, 3), qRgb(0, 0, 0));
    image.SetStretch(true);
    EXPECT_EQ(Grab(image).pixel(19, 19), qRgb(255, 0, 0));
}

TEST(ImageTest, ChangedPictureOfTheSameSizeIsNotDrawnFromTheOldDownscale) {
    vcl::TImage image(nullptr);
    image.SetBounds(0, 0, 10, 10);
    image.SetStretch(true);
    image.Picture()->SetGraphic(Filled(40, 40, qRgb(255, 0, 0)));
    EXPECT_EQ(Grab(image).pixel(5, 5), qRgb(255, 0, 0));
    image.Picture()->SetGraphic(Filled(40, 40, qRgb(0, 255, 0)));
    EXPECT_EQ(Grab(image).pixel(5, 5), qRgb(0, 255, 0));
    image.Picture()->Bitmap()->Canvas()->StretchDraw(QRect(0, 0, 40, 40),
                                                     Filled(1, 1, qRgb(0, 0, 255)).get());
    EXPECT_EQ(Grab(image).pixel(5, 5), qRgb(0, 0, 255));
}

TEST(ImageTest, AlignedControlIsLaidOutByItsParentAfterAutoSize) {
    vcl::TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    vcl::TImage image(nullptr);
    image.SetParent(&form);
    image.SetAlign(vcl::alClient);
    image.SetAutoSize(true);
    const QSize filled = image.size();
    image.Picture()->SetGraphic(Filled(30, 20, Qt::red));
    EXPECT_EQ(image.size(), filled);
    image.SetParent(nullptr);
}

} // namespace
