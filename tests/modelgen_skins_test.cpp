// Skin colours: the palette reduction for PCX skins, the painter's variants
// and markings, and the maths the parts are placed with.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include <unistd.h>

#include "graphics/image_files.h"
#include "modelgen/geometry.h"
#include "modelgen/humanoid.h"
#include "modelgen/model_output.h"
#include "modelgen/skin_painter.h"
#include "modelgen/skin_palette.h"

namespace {

using namespace modelgen;

RgbImage Noise(int width, int height, std::uint32_t seed) {
    RgbImage image(width, height);
    for (std::uint8_t& byte : image.rgb) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return image;
}

// A smooth picture with thousands of colours, like a painted skin.
RgbImage Gradients(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, static_cast<std::uint8_t>(x * 255 / (width - 1)), static_cast<std::uint8_t>(y * 255 / (height - 1)),
                      static_cast<std::uint8_t>((x + y) * 127 / (width + height)));
    return image;
}

double MeanError(const RgbImage& image, const IndexedImage& reduced) {
    double total = 0.0;
    for (std::size_t i = 0; i < reduced.indices.size(); ++i)
        for (int c = 0; c < 3; ++c)
            total += std::abs(reduced.palette[reduced.indices[i] * 3u + static_cast<std::size_t>(c)] -
                              image.rgb[i * 3 + static_cast<std::size_t>(c)]);
    return total / (3.0 * static_cast<double>(reduced.indices.size()));
}

TEST(SkinPalette, FewColoursAreKeptExactly) {
    RgbImage image(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) image.Set(x, y, static_cast<std::uint8_t>(x * 6), 1, static_cast<std::uint8_t>(y % 3));
    const IndexedImage reduced = ReduceToPalette(image);
    ASSERT_EQ(reduced.palette.size(), 768u);
    EXPECT_EQ(MeanError(image, reduced), 0.0);
    const auto decoded = DecodePcx(EncodePcx(reduced));
    ASSERT_TRUE(decoded.has_value());
    for (int i = 0; i < 40 * 30; ++i) EXPECT_EQ(decoded->pixels[i * 4], image.rgb[static_cast<std::size_t>(i) * 3]) << i;
}

TEST(SkinPalette, ColoursOneStepApartStayApart) {
    RgbImage image(2, 1);
    image.Set(0, 0, 0, 0, 0);
    image.Set(1, 0, 1, 1, 1);
    const IndexedImage reduced = ReduceToPalette(image);
    EXPECT_NE(reduced.indices[0], reduced.indices[1]);
}

TEST(SkinPalette, ManyColoursStayClose) {
    const RgbImage image = Gradients(256, 128);
    const IndexedImage reduced = ReduceToPalette(image);
    EXPECT_LT(MeanError(image, reduced), 5.0);
    std::set<int> used(reduced.indices.begin(), reduced.indices.end());
    EXPECT_GT(used.size(), 200u) << "the palette is put to use";
}

TEST(SkinPalette, NoiseStillGetsAUsablePalette) {
    const RgbImage image = Noise(128, 128, 7);
    const IndexedImage reduced = ReduceToPalette(image);
    EXPECT_LT(MeanError(image, reduced), 20.0);
    EXPECT_EQ(reduced.indices.size(), 128u * 128u);
}

TEST(SkinPalette, SameInputSameBytes) {
    const RgbImage image = Noise(64, 64, 99);
    EXPECT_EQ(EncodePcx(ReduceToPalette(image)), EncodePcx(ReduceToPalette(image)));
}

TEST(SkinFiles, WrittenByExtension) {
    const std::string dir = ::testing::TempDir() + "talvemar_skin_files_" + std::to_string(::getpid());
    const RgbImage skin = Gradients(16, 8);
    WriteSkin(dir, "a/skin.bmp", skin);
    WriteSkin(dir, "a/skin.pcx", skin);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(dir + "/a/skin.bmp", bytes));
    const auto bmp = DecodeBmp(bytes);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->bitsPerPixel, 24);
    EXPECT_EQ(bmp->pixels, skin.rgb);
    ASSERT_TRUE(ReadWholeFile(dir + "/a/skin.pcx", bytes));
    const auto pcx = DecodePcx(bytes);
    ASSERT_TRUE(pcx.has_value());
    EXPECT_EQ(pcx->width, 16);
    EXPECT_EQ(pcx->height, 8);
    EXPECT_THROW(WriteSkin(dir, "a/skin.tga", skin), std::invalid_argument);
    std::filesystem::remove_all(dir);
}

RigAtlas OneBox(const Paint& paint) {
    RigBuilder b;
    b.AddBox(0, Xform{}, BoxShape{{10, 10, 10}}, paint);
    return b.Build(64, 64);
}

Rgb MeanColour(const RgbImage& image, const Panel& p) {
    Rgb sum;
    int n = 0;
    for (int y = p.y; y < p.y + p.height; ++y)
        for (int x = p.x; x < p.x + p.width; ++x, ++n) {
            const std::uint8_t* px = image.At(x, y);
            sum = sum + Rgb{static_cast<float>(px[0]), static_cast<float>(px[1]), static_cast<float>(px[2])};
        }
    return sum * (1.0f / static_cast<float>(std::max(n, 1)));
}

TEST(SkinPainter, EnergisedMetalTurnsViolet) {
    const RigAtlas atlas = OneBox(Paint{{120, 120, 120}, {120, 120, 120}, Pattern::Metal, Marking::None});
    const Rgb plain = MeanColour(PaintSkin(atlas), atlas.skinParts[0].panels[0]);
    const Rgb charged = MeanColour(PaintSkin(atlas, SkinVariant::Energised), atlas.skinParts[0].panels[0]);
    EXPECT_LT(std::fabs(plain.b - plain.g), 10.0f);
    EXPECT_GT(charged.b, charged.g + 30.0f);
}

TEST(SkinPainter, TopsAreLighterThanBottoms) {
    const RigAtlas atlas = OneBox(Paint{{120, 120, 120}, {120, 120, 120}, Pattern::Plain, Marking::None});
    const RgbImage skin = PaintSkin(atlas);
    const auto& panels = atlas.skinParts[0].panels;
    EXPECT_GT(MeanColour(skin, panels[4]).r, MeanColour(skin, panels[5]).r + 20.0f);
}

TEST(SkinPainter, PickupLabelsGoOnEverySideButFacesOnlyOnTheFront) {
    const Paint cross{{240, 240, 240}, {240, 240, 240}, Pattern::Plain, Marking::MedicalCross};
    const RigAtlas kit = OneBox(cross);
    const RgbImage kitSkin = PaintSkin(kit);
    for (int f : {0, 1, 2, 3, 4}) {
        const Panel& p = kit.skinParts[0].panels[static_cast<std::size_t>(f)];
        const std::uint8_t* centre = kitSkin.At(p.x + p.width / 2, p.y + p.height / 2);
        EXPECT_GT(centre[0], 150) << "face " << f;
        EXPECT_LT(centre[1], 80) << "a red cross on face " << f;
    }
    const Paint face{{200, 160, 130}, {200, 160, 130}, Pattern::Plain, Marking::BossFace};
    const RigAtlas head = OneBox(face);
    const RgbImage headSkin = PaintSkin(head);
    const Rgb front = MeanColour(headSkin, head.skinParts[0].panels[0]);
    const Rgb back = MeanColour(headSkin, head.skinParts[0].panels[2]);
    EXPECT_LT(front.g, back.g - 30.0f) << "the dark mask is on the front only";
}

TEST(SkinPainter, EveryMarkingDrawsSomething) {
    const Rgb under{100, 110, 120};
    for (Marking m : {Marking::HumanFace, Marking::VisorFace, Marking::BirdFace, Marking::BugFace, Marking::BossFace,
                      Marking::SingleEye, Marking::BigEyes, Marking::MedicalCross, Marking::AmmoLabel,
                      Marking::EnergyCore, Marking::FlameMark}) {
        const Paint paint{under, under, Pattern::Plain, m};
        if (MarkingOnAllFaces(m)) {  // labels keep clear of the edges they wrap round
            EXPECT_FLOAT_EQ(ApplyMarking(paint, -0.99f, 0.99f, under).g, under.g) << static_cast<int>(m);
            EXPECT_FLOAT_EQ(ApplyMarking(paint, 0.99f, 0.01f, under).g, under.g) << static_cast<int>(m);
        }
        bool changed = false;
        for (float y = 0.05f; y < 1.0f && !changed; y += 0.05f)
            for (float x = -0.9f; x < 0.9f && !changed; x += 0.05f)
                changed = ApplyMarking(paint, x, y, under).g != under.g;
        EXPECT_TRUE(changed) << "marking " << static_cast<int>(m) << " draws something";
    }
}

TEST(Geometry, RotationsFollowTheRightHand) {
    const Vec x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    const Vec a = RotZ(90) * x;
    EXPECT_NEAR(a.y, 1.0f, 1e-6f) << "heading left turns forward into left";
    const Vec b = RotX(90) * y;
    EXPECT_NEAR(b.z, 1.0f, 1e-6f);
    const Vec c = RotY(90) * z;
    EXPECT_NEAR(c.x, 1.0f, 1e-6f) << "pitching +90 tips up into forward";
    // Roll first, then pitch, then heading.
    const Vec d = RotXYZ({90, 0, 90}) * y;
    EXPECT_NEAR(d.z, 1.0f, 1e-6f);
    const Vec e = RotXYZ({0, 90, 90}) * z;
    EXPECT_NEAR(e.y, 1.0f, 1e-6f);
}

TEST(Geometry, AlignZPointsAlongAnyDirection) {
    for (const Vec& dir : {Vec{1, 0, 0}, Vec{0, 0, 1}, Vec{0, 0, -1}, Vec{-0.3f, 0.8f, 0.2f}, Vec{0, -2, 0}}) {
        const Mat3 m = AlignZ(dir);
        const Vec z = m * Vec{0, 0, 1};
        const Vec unit = Normalized(dir);
        EXPECT_NEAR(Dot(z, unit), 1.0f, 1e-5f);
        EXPECT_NEAR(Dot(m.cx, m.cy), 0.0f, 1e-5f);
        EXPECT_NEAR(Dot(Cross(m.cx, m.cy), m.cz), 1.0f, 1e-5f) << "a rotation, not a mirror";
    }
}

TEST(Geometry, TransformsCompose) {
    const Xform a = Place({1, 2, 3}, RotZ(90));
    const Xform b = Place({4, 0, 0}, RotY(30));
    const Vec p{0.5f, -1, 2};
    const Vec direct = a.Apply(b.Apply(p));
    const Vec composed = (a * b).Apply(p);
    EXPECT_NEAR(direct.x, composed.x, 1e-5f);
    EXPECT_NEAR(direct.y, composed.y, 1e-5f);
    EXPECT_NEAR(direct.z, composed.z, 1e-5f);
    EXPECT_FLOAT_EQ(Smooth(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(Smooth(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(Smooth(1.0f), 1.0f);
}

TEST(HumanPoses, SampledKeysCarryTheirLift) {
    HumanPose down, up;
    up.lift = 30;
    up.leftLeg.bend = 90;
    const FramePose middle = SampleHuman({down, up, down}, 0.5f);
    EXPECT_NEAR(middle.lift, 30.0f, 1e-4f);
    EXPECT_NEAR(middle.pose.angles[kLeftShin].y, 90.0f, 1e-4f);
    EXPECT_NEAR(SampleHuman({down, up}, 0.5f).lift, 15.0f, 1e-4f);
    EXPECT_NEAR(SampleHuman({up}, 0.7f).lift, 30.0f, 1e-4f) << "a single key holds";
}

TEST(HumanPoses, BreathingSwellsOnlyTheChest) {
    HumanPose h;
    h.breathe = 0.05f;
    const Pose pose = ToPose(h);
    EXPECT_FLOAT_EQ(pose.scales[kChest].x, 1.05f);
    EXPECT_FLOAT_EQ(pose.scales[kHead].x, 1.0f);
    EXPECT_FLOAT_EQ(pose.scales[kPelvis].y, 1.0f);
}

}  // namespace
