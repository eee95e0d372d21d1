// Layers and overlays: collection order and ownership, repaint requests, transformed drawing in
// opaque and blend mode, TRotLayer placement with and without the view's scale, the play cursor and
// the centre line, and the rubber band frame.
#include "view/Overlays.h"
#include "view/TAffineTransformation.h"
#include "view/TLayerCollection.h"
#include "view/TRotLayer.h"
#include "view/TRubberbandLayer.h"
#include "view/TransformedDraw.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kBlack = 0xFF000000u;
constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kBlue = 0xFF0000FFu;

TBitmap32 Solid(int w, int h, TColor32 c) {
    TBitmap32 b;
    b.SetSize(w, h);
    b.Clear(c);
    return b;
}

// The pixels of `b` that differ from `background`.
int CountNot(const TBitmap32& b, TColor32 background) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) != background;
    return n;
}

} // namespace

TEST(TransformedDraw, TranslationScaleAndBlend) {
    TBitmap32 dst = Solid(8, 8, kBlack);
    const TBitmap32 src = Solid(2, 1, kRed);
    TAffineTransformation t;
    t.SrcRect = src.BoundsRect();
    t.Translate(3, 2);
    DrawTransformed(dst, src, t);
    EXPECT_EQ(dst.Pixel(3, 2), kRed);
    EXPECT_EQ(dst.Pixel(4, 2), kRed);
    EXPECT_EQ(CountNot(dst, kBlack), 2);

    // scale 2 then translate: the 2 x 1 source covers 4 x 2 pixels from (1, 5)
    dst.Clear(kBlack);
    t.Clear();
    t.Scale(2, 2);
    t.Translate(1, 5);
    DrawTransformed(dst, src, t);
    EXPECT_EQ(CountNot(dst, kBlack), 8);
    EXPECT_EQ(dst.Pixel(1, 5), kRed);
    EXPECT_EQ(dst.Pixel(4, 6), kRed);
    EXPECT_EQ(dst.Pixel(5, 6), kBlack);

    // blend: white at master alpha 128 over black gives (255 * 128 + 127) / 255 = 128
    dst.Clear(kBlack);
    TBitmap32 white = Solid(1, 8, kOpaqueWhite);
    white.SetDrawMode(TDrawMode::dmBlend);
    white.SetMasterAlpha(128);
    t.Clear();
    t.SrcRect = white.BoundsRect();
    t.Translate(5, 0);
    DrawTransformed(dst, white, t);
    for (int y = 0; y < 8; ++y) EXPECT_EQ(dst.Pixel(5, y), 0xFF808080u) << y;
    EXPECT_EQ(CountNot(dst, kBlack), 8);

    // only the source rectangle is drawn; a singular map draws nothing
    dst.Clear(kBlack);
    t.Clear();
    t.SrcRect = {0, 2, 1, 4};
    DrawTransformed(dst, white, t);
    EXPECT_EQ(CountNot(dst, kBlack), 2);
    EXPECT_NE(dst.Pixel(0, 2), kBlack);
    t.Scale(0, 1);
    dst.Clear(kBlack);
    DrawTransformed(dst, white, t);
    EXPECT_EQ(CountNot(dst, kBlack), 0);
}

TEST(TransformedDraw, FractionalRowsFollowPixelCentres) {
    const TBitmap32 line = Solid(4, 1, kRed);
    for (const auto& [y, row] :
         {std::pair{128.0, 128}, std::pair{127.5, 127}, std::pair{127.4, 127}, std::pair{127.6, 128}}) {
        TBitmap32 dst = Solid(4, 300, kBlack);
        TAffineTransformation t;
        t.SrcRect = line.BoundsRect();
        t.Translate(0, y);
        DrawTransformed(dst, line, t);
        EXPECT_EQ(dst.Pixel(0, row), kRed) << y;
        EXPECT_EQ(CountNot(dst, kBlack), 4) << y;
    }
}

TEST(TLayerCollection, OrderOwnershipAndRepaintRequests) {
    TLayerCollection layers;
    int repaints = 0;
    layers.SetOnChange([&repaints] { ++repaints; });
    TRotLayer* first = layers.Add<TRotLayer>();
    first->SetBitmap(Solid(3, 3, kRed));
    TRotLayer* second = layers.Add<TRotLayer>();
    second->SetBitmap(Solid(3, 3, kBlue));
    second->SetPosition(1, 1);
    EXPECT_EQ(layers.Count(), 2);
    EXPECT_EQ(layers.IndexOf(first), 0);
    EXPECT_EQ(layers.IndexOf(second), 1);
    EXPECT_GT(repaints, 0);

    TBitmap32 buffer = Solid(5, 5, kBlack);
    layers.Paint(buffer);
    EXPECT_EQ(buffer.Pixel(0, 0), kRed);
    EXPECT_EQ(buffer.Pixel(1, 1), kBlue); // the later layer lies on top
    EXPECT_EQ(buffer.Pixel(3, 3), kBlue);

    repaints = 0;
    second->SetVisible(false);
    EXPECT_EQ(repaints, 1);
    second->SetVisible(false);
    EXPECT_EQ(repaints, 1); // no change, no repaint
    buffer.Clear(kBlack);
    layers.Paint(buffer);
    EXPECT_EQ(buffer.Pixel(1, 1), kRed);
    EXPECT_EQ(buffer.Pixel(3, 3), kBlack);

    layers.Delete(first);
    EXPECT_EQ(layers.Count(), 1);
    EXPECT_EQ(layers.IndexOf(second), 0);
    layers.Delete(first); // no longer a member: ignored
    EXPECT_EQ(layers.Count(), 1);
    // changing the layer's own bitmap asks for a repaint and re-sets its source rectangle
    repaints = 0;
    second->Bitmap().SetSize(7, 2);
    EXPECT_EQ(repaints, 1);
    EXPECT_FLOAT_EQ(second->Transformation().SrcRect.Right, 7.0f);
    EXPECT_FLOAT_EQ(second->Transformation().SrcRect.Bottom, 2.0f);
}

TEST(TRotLayer, ScaledLayerFollowsTheViewsScaleAndShift) {
    TLayerCollection layers;
    TRotLayer* layer = layers.Add<TRotLayer>();
    layer->SetBitmap(Solid(1, 1, kRed));
    layer->SetPosition(1, 1);
    TBitmap32 buffer = Solid(30, 30, kBlack);
    layer->SetScaled(true); // nobody supplies scale and shift: 1, 1 and 0, 0
    layers.Paint(buffer);
    EXPECT_EQ(buffer.Pixel(1, 1), kRed);
    EXPECT_EQ(CountNot(buffer, kBlack), 1);

    layers.SetViewportScaleQuery([] { return std::pair{2.0, 3.0}; });
    layers.SetViewportShiftQuery([] { return std::pair{10.0, 20.0}; });
    buffer.Clear(kBlack);
    layers.Paint(buffer); // (1 + 0 .. 1) * (2, 3) + (10, 20): x 12 .. 13, y 23 .. 25
    EXPECT_EQ(CountNot(buffer, kBlack), 6);
    EXPECT_EQ(buffer.Pixel(12, 23), kRed);
    EXPECT_EQ(buffer.Pixel(13, 25), kRed);

    layer->SetScaled(false); // plain translation in view pixels again
    buffer.Clear(kBlack);
    layers.Paint(buffer);
    EXPECT_EQ(buffer.Pixel(1, 1), kRed);
    EXPECT_EQ(CountNot(buffer, kBlack), 1);
}

TEST(Overlays, PlayCursor) {
    TLayerCollection layers;
    TOverlays overlays(layers);
    EXPECT_FALSE(overlays.PlayCursorExists());
    overlays.MovePlayCursor(10, 100, 800); // no cursor yet: nothing happens
    overlays.SetPlayCursorVisible(true);
    overlays.CreatePlayCursor(600);
    overlays.CreatePlayCursor(600);
    EXPECT_EQ(layers.Count(), 1);
    TRotLayer* cursor = overlays.PlayCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_FALSE(cursor->Visible()); // shown only once playing
    EXPECT_EQ(cursor->Bitmap().Width(), 1);
    EXPECT_EQ(cursor->Bitmap().Height(), 600);
    EXPECT_EQ(cursor->Bitmap().Pixel(0, 599), 0xFFFFFFFFu);
    EXPECT_EQ(cursor->Bitmap().DrawMode(), TDrawMode::dmBlend);
    EXPECT_EQ(cursor->Bitmap().MasterAlpha(), 128);
    EXPECT_FALSE(cursor->Scaled());

    EXPECT_FLOAT_EQ(PlayCursorX(48000, 96000, 800), 400.0f);
    EXPECT_FLOAT_EQ(PlayCursorX(0, 96000, 800), 0.0f);
    EXPECT_FLOAT_EQ(PlayCursorX(123, 0, 800), 0.0f);
    overlays.MovePlayCursor(48000, 96000, 800);
    EXPECT_FLOAT_EQ(float(cursor->Position().X), 400.0f);
    EXPECT_FLOAT_EQ(float(cursor->Position().Y), 0.0f);

    overlays.SetPlayCursorVisible(true);
    TBitmap32 buffer = Solid(800, 50, kBlack);
    layers.Paint(buffer);
    EXPECT_EQ(buffer.Pixel(400, 0), 0xFF808080u);
    EXPECT_EQ(buffer.Pixel(400, 49), 0xFF808080u);
    EXPECT_EQ(CountNot(buffer, kBlack), 50);
}

TEST(Overlays, CentreLineComesAndGoes) {
    TLayerCollection layers;
    TOverlays overlays(layers);
    overlays.RemoveCentreLine(); // nothing to remove
    overlays.CreateCentreLine(640, 256);
    overlays.CreateCentreLine(640, 256);
    EXPECT_EQ(layers.Count(), 1);
    TRotLayer* line = overlays.CentreLine();
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->Visible());
    EXPECT_EQ(line->Bitmap().Width(), 1280);
    EXPECT_EQ(line->Bitmap().Height(), 1);
    EXPECT_EQ(line->Bitmap().DrawMode(), TDrawMode::dmOpaque);
    EXPECT_FLOAT_EQ(float(line->Position().Y), 128.0f);

    TBitmap32 buffer = Solid(300, 256, kBlack);
    layers.Paint(buffer);
    EXPECT_EQ(buffer.Pixel(0, 128), 0xFFFFFFFFu);
    EXPECT_EQ(buffer.Pixel(299, 128), 0xFFFFFFFFu);
    EXPECT_EQ(CountNot(buffer, kBlack), 300);

    overlays.PlaceCentreLine(101); // the view was resized: half of 101 is 50.5
    EXPECT_FLOAT_EQ(float(line->Position().Y), 50.5f);
    overlays.SetCentreLineVisible(false);
    EXPECT_FALSE(line->Visible());

    overlays.RemoveCentreLine();
    EXPECT_FALSE(overlays.CentreLineExists());
    EXPECT_EQ(layers.Count(), 0);
    overlays.CreateCentreLine(640, 90);
    EXPECT_TRUE(overlays.CentreLineExists());
    EXPECT_FLOAT_EQ(float(overlays.CentreLine()->Position().Y), 45.0f);
}

TEST(TRubberbandLayer, FramesItsLocationWhateverTheDragDirection) {
    TLayerCollection layers;
    TRubberbandLayer* band = layers.Add<TRubberbandLayer>();
    band->SetLocation({40, 80, 100, 120});
    TBitmap32 buffer = Solid(200, 200, 0xFF404040u);
    layers.Paint(buffer);
    // the outline covers the rectangle's edges, both ends included, and nothing inside it
    EXPECT_EQ(CountNot(buffer, 0xFF404040u), 2 * 61 + 2 * 39);
    EXPECT_NE(buffer.Pixel(40, 80), 0xFF404040u);
    EXPECT_NE(buffer.Pixel(100, 120), 0xFF404040u);
    EXPECT_EQ(buffer.Pixel(70, 100), 0xFF404040u);
    EXPECT_EQ(buffer.Pixel(40, 80), TRubberbandLayer::DashColor(0));
    EXPECT_NE(TRubberbandLayer::DashColor(0), TRubberbandLayer::DashColor(4));

    // swapped corners and a frame reaching past the buffer draw the same kind of outline, clipped
    band->SetLocation({100, 120, 40, 80});
    buffer.Clear(0xFF404040u);
    layers.Paint(buffer);
    EXPECT_EQ(CountNot(buffer, 0xFF404040u), 2 * 61 + 2 * 39);
    band->SetLocation({-1e12f, 10, 1e12f, 20});
    buffer.Clear(0xFF404040u);
    layers.Paint(buffer);
    EXPECT_EQ(CountNot(buffer, 0xFF404040u), 2 * 200);
}
