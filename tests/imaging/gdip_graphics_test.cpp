#include "imaging/gdip_graphics.h"

#include <gtest/gtest.h>

#include "imaging/solid_brush.h"
#include "support/test_icons.h"
#include "support/test_pictures.h"

namespace iconvale {
namespace {

using testing::PicturePixels;

class GdipGraphicsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsurePictureLibrary(); }
};

// The extraction's rendering: a background fill, then the icon drawn over it at its own size.
TEST_F(GdipGraphicsTest, DrawsAnIconOverAFilledBackground) {
    GdipImage canvas;
    ASSERT_TRUE(canvas.CreateBlank(16, 16));
    GdipGraphics surface;
    ASSERT_TRUE(surface.CreateFromImage(canvas));
    SolidBrush background;
    ASSERT_TRUE(background.CreateSolid(0xFF00FF00));
    ASSERT_TRUE(surface.FillRectangle(background, 0, 0, 16, 16));

    UniqueIcon icon = testing::MakeIcon(8, 8, [](int x, int) { return x < 4 ? 0xFFFF0000 : 0; });
    GdipImage picture;
    ASSERT_TRUE(picture.CreateFromIcon(icon.get()));
    ASSERT_TRUE(surface.DrawImage(picture, 8, 0));
    surface.Delete();

    const testing::Pixels pixels = PicturePixels(canvas);
    ASSERT_EQ(pixels.width, 16);
    EXPECT_EQ(pixels.At(2, 2), 0xFF00FF00u) << "left of the icon";
    EXPECT_EQ(pixels.At(9, 2), 0xFFFF0000u) << "the icon's opaque half";
    EXPECT_EQ(pixels.At(13, 2), 0xFF00FF00u) << "the icon's transparent half";
    EXPECT_EQ(pixels.At(9, 12), 0xFF00FF00u) << "below the icon: drawn at its own size";
}

TEST_F(GdipGraphicsTest, FillsOnlyTheRectangleAskedFor) {
    GdipImage canvas;
    ASSERT_TRUE(canvas.CreateBlank(10, 10));
    GdipGraphics surface;
    SolidBrush brush;
    ASSERT_TRUE(surface.CreateFromImage(canvas));
    ASSERT_TRUE(brush.CreateSolid(0xFF0000FF));
    ASSERT_TRUE(surface.FillRectangle(brush, 2, 3, 4, 5));
    surface.Delete();
    const testing::Pixels pixels = PicturePixels(canvas);
    EXPECT_EQ(pixels.At(2, 3), 0xFF0000FFu);
    EXPECT_EQ(pixels.At(5, 7), 0xFF0000FFu);
    EXPECT_EQ(pixels.At(6, 7), 0u);
    EXPECT_EQ(pixels.At(5, 8), 0u);
}

TEST_F(GdipGraphicsTest, EmptyObjectsRefuseToDraw) {
    GdipImage empty;
    GdipGraphics surface;
    EXPECT_FALSE(surface.CreateFromImage(empty));
    EXPECT_TRUE(surface.IsEmpty());

    SolidBrush noBrush;
    GdipImage canvas;
    ASSERT_TRUE(canvas.CreateBlank(4, 4));
    EXPECT_FALSE(surface.FillRectangle(noBrush, 0, 0, 4, 4));
    EXPECT_FALSE(surface.DrawImage(canvas, 0, 0));
    ASSERT_TRUE(surface.CreateFromImage(canvas));
    EXPECT_FALSE(surface.FillRectangle(noBrush, 0, 0, 4, 4));
    EXPECT_FALSE(surface.DrawImage(empty, 0, 0));

    SolidBrush brush;
    ASSERT_TRUE(brush.CreateSolid(0xFFFFFFFF));
    brush.Delete();
    EXPECT_TRUE(brush.IsEmpty());
}

TEST_F(GdipGraphicsTest, TheSurfaceKeepsItsPictureAliveUntilItIsDeleted) {
    GdipGraphics surface;
    SolidBrush brush;
    ASSERT_TRUE(brush.CreateSolid(0xFF112233));
    {
        GdipImage canvas;
        ASSERT_TRUE(canvas.CreateBlank(8, 8));
        ASSERT_TRUE(surface.CreateFromImage(canvas));
    }
    EXPECT_TRUE(surface.FillRectangle(brush, 0, 0, 8, 8));
    GdipGraphics copy = surface;
    surface.Delete();
    EXPECT_TRUE(copy.IsEmpty()) << "copies share one surface";
}

}  // namespace
}  // namespace iconvale
