// The generated models loaded and animated by the game's MD2 code.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>

#include "actors/actor_models.h"
#include "actors/player.h"
#include "base/debug_log.h"
#include "core/shell.h"
#include "graphics/md2_model.h"
#include "graphics/view_frustum.h"
#include "graphics/view_transform.h"
#include "game_dir_fixture.h"
#include "level_fixture.h"

namespace {

class Md2ModelTest : public GameDirTest {
protected:
    void SetUp() override { OpenWindow(); }
};

TEST_F(Md2ModelTest, LoadsTheHeroAndReportsMissingModels) {
    ModelSet hero;
    hero.Reset();
    ASSERT_TRUE(hero.LoadMainModel("models/marine/tris.md2", "models/marine/Orv.bmp"));
    EXPECT_EQ(hero.main->frameCount, 199);
    EXPECT_GT(hero.main->skin->texture.Name(), 0u);
    const char* const guns[kGunModels][2] = {
        {"models/marine/handgun.md2", "models/marine/weapon.pcx"},
        {"models/marine/machinegun.md2", "models/marine/weapon.pcx"},
        {"models/marine/asr2.md2", "models/marine/weapon.pcx"},
        {"models/marine/antimatterlauncher.md2", "models/marine/weapon.pcx"},
        {"models/marine/antimatterlauncher.md2", "models/marine/antimatterlauncher.pcx"},
        {"models/marine/nosuchgun.md2", "models/marine/flametex.pcx"}};
    hero.LoadGunModels(guns);
    EXPECT_EQ(hero.GunForWeapon(3), hero.guns[4].get()) << "index 3: the launcher with its own skin";
    EXPECT_EQ(hero.GunForWeapon(5), hero.guns[3].get()) << "index 5: the launcher with the weapon skin";
    EXPECT_EQ(hero.GunForWeapon(9), hero.guns[0].get());
    EXPECT_FALSE(hero.LoadMainModel("models/none.md2", "models/marine/Orv.bmp"));
    const std::string text = ReadText(log);
    EXPECT_NE(text.find("Model Initialized\n"), std::string::npos);
    EXPECT_NE(text.find("-- Gun Model file 6 not found. Model is not loaded --\n"), std::string::npos);
    EXPECT_NE(text.find("-- models/none.md2 Model file not found. Model is not loaded --\n"), std::string::npos);
}

TEST_F(Md2ModelTest, AnimationLoopsOrHolds) {
    std::unique_ptr<Md2Model> model = LoadMd2("models/shrike/shrike.md2", "models/shrike/shriketex.pcx");
    ASSERT_NE(model, nullptr);
    AnimationState loop;
    loop.startFrame = 0;
    loop.endFrame = 40;
    loop.frame = 39;
    loop.nextFrame = 0;
    loop.interpolation = 1.0f;
    AdvanceRange(model.get(), loop, 0.25f);
    EXPECT_EQ(loop.frame, 0) << "a looping range starts over after frame 39";
    EXPECT_EQ(loop.nextFrame, 1);
    EXPECT_FLOAT_EQ(loop.interpolation, 0.25f);

    AnimationState hold;
    hold.startFrame = 178;
    hold.endFrame = 179;
    hold.frame = 178;
    hold.loops = 0;
    for (int i = 0; i < 10; ++i) AdvanceRange(model.get(), hold, 0.25f);
    EXPECT_EQ(hold.frame, 178);
    EXPECT_FLOAT_EQ(hold.interpolation, 0.0f) << "a held last frame never advances";

    AnimationState beyond;
    beyond.startFrame = 500;
    beyond.endFrame = 510;
    AdvanceRange(model.get(), beyond, 0.25f);
    EXPECT_EQ(beyond.frame, 0) << "a range past the model changes nothing";
    EXPECT_FLOAT_EQ(beyond.interpolation, 0.0f);
}

TEST_F(Md2ModelTest, CallerHeldCountersAlwaysLoop) {
    std::unique_ptr<Md2Model> model = LoadMd2("models/shrike/shrike.md2", "models/shrike/shriketex.pcx");
    ASSERT_NE(model, nullptr);
    int frame = 40, next = 41;
    float f = 0.0f;
    std::vector<int> seen;
    for (int i = 0; i < 16; ++i) {
        AnimateRange(model.get(), 40, 43, frame, next, f, 0.5f);
        seen.push_back(frame);
    }
    // Two draws per frame at step 0.5: 40 40 41 41 42 42 40 40 ...
    const std::vector<int> expected = {40, 40, 41, 41, 42, 42, 40, 40, 41, 41, 42, 42, 40, 40, 41, 41};
    EXPECT_EQ(seen, expected);
    int outside = 0, outsideNext = 0;
    float outsideF = 0.0f;
    AnimateRange(model.get(), model->frameCount, model->frameCount + 5, outside, outsideNext, outsideF, 0.5f);
    EXPECT_FLOAT_EQ(outsideF, 0.0f) << "a range past the model draws nothing and keeps its counters";
}

TEST_F(Md2ModelTest, TheHeroAndHisGunShareOneAnimation) {
    ModelSet hero;
    ASSERT_TRUE(hero.LoadMainModel("models/marine/tris.md2", "models/marine/Orv.bmp"));
    Player player;
    player.Init({0, 0, 0}, 100.0f);
    player.animEnd = 40;
    DrawCharacter(hero, ViewTransform{}, player, 0);
    EXPECT_FLOAT_EQ(player.animFraction, 0.25f) << "no gun loaded: only the main model advances it";

    const char* const guns[kGunModels][2] = {
        {"models/marine/handgun.md2", "models/marine/weapon.pcx"}, {"models/none.md2", "x.pcx"},
        {"models/none.md2", "x.pcx"}, {"models/none.md2", "x.pcx"}, {"models/none.md2", "x.pcx"},
        {"models/none.md2", "x.pcx"}};
    hero.LoadGunModels(guns);
    DrawCharacter(hero, ViewTransform{}, player, 0);
    EXPECT_FLOAT_EQ(player.animFraction, 0.75f) << "main model and gun each advance the hero's state";
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(Md2ModelTest, EmptySetsDrawNothingAndSaySo) {
    ModelSet empty;
    DrawCorpse(empty, ViewTransform{}, {0, 0, 0});
    DrawModelAt(empty, ViewTransform{}, {0, 0, 0}, nullptr, 1.0f);
    int frame = 0, next = 1;
    float f = 0.0f;
    EXPECT_EQ(AdvanceMainModel(empty, 0, 10, frame, next, f, 0.25f).model, nullptr);
    DrawViewWeapon(empty, 0);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1) << "the matrix stack is left as found";
    const std::string text = ReadText(log);
    EXPECT_NE(text.find("CORPSE IS NULL\n"), std::string::npos);
    const std::string nullModel = "Trying to render a NULL model file\n";
    const auto first = text.find(nullModel);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find(nullModel, first + 1), std::string::npos) << "once for the draw and once for the advance";
}

}  // namespace
