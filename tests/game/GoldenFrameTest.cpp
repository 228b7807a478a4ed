#include <gtest/gtest.h>

#include "FieldFakes.h"
#include "FieldScene.h"
#include "game/FieldDrawing.h"

namespace qv::test {
namespace {

constexpr int32_t kNow = 1012345;

std::string GoldenPath(const std::string& name) {
  return std::string(QUORVANE_FIXTURES) + "/game/golden/" + name;
}

// The busy level drawn at a fixed time into a headless surface and compared
// with its stored picture (scripts/regen-goldens.sh writes them anew).
class GoldenFrame : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    E = std::make_unique<EngineCanvas>(GetParam());
    IFieldCanvas& c = E->Canvas();
    MakeScenePictures(c, H.State.CardTypes, [this](const std::string& name, int w, int h, bool alpha,
                                                    const std::function<Rgba(int, int)>& paint) {
      E->MakePicture(name, w, h, alpha, paint);
    });
    c.CreateSurface("Background", 800, 600);
    c.CreateSurface("MemoryBufer", 800, 600);
    Surfaces = std::make_unique<TLevelSurfaces>(H.State, H.Svc, c, Host);
    Surfaces->Shadow = {5, 7, 110};
    Effects = std::make_unique<TGameEffects>(H.State, H.Svc, *Surfaces);
    Effects->Templates = Templates.All();
    BuildScene(H, *Surfaces, *Effects, kNow);
    Field = std::make_unique<TFieldDrawing>(H.State, H.Svc, c, Host);
    Field->BeginPass(kNow, kNow - 16);
  }
  std::string Name(const std::string& what) const {
    return "field_" + what + "_" + std::to_string(GetParam()) + ".png";
  }

  GameHarness H;
  FakeHost Host;
  SceneTemplates Templates;
  std::unique_ptr<EngineCanvas> E;
  std::unique_ptr<TLevelSurfaces> Surfaces;
  std::unique_ptr<TGameEffects> Effects;
  std::unique_ptr<TFieldDrawing> Field;
};

TEST_P(GoldenFrame, PlayField) {
  ASSERT_EQ(H.State.Effects.size(), 10u);
  Field->DrawPlayField("MemoryBufer");
  EXPECT_EQ(E->CheckGolden("MemoryBufer", GoldenPath(Name("play")), 3), "");
  size_t parts = 0;
  for (const TFishkaLenta& belt : H.State.Level.Belts) parts += static_cast<size_t>(belt.PointStep) + 1;
  EXPECT_EQ(Field->BeltRects.size(), parts) << "N + 1 parts on each belt";
  EXPECT_FALSE(H.Screen.Dirty.empty());
}

TEST_P(GoldenFrame, LostField) {
  H.State.Game.GameMode = gmLost;
  Field->DrawLostField("MemoryBufer");
  EXPECT_EQ(E->CheckGolden("MemoryBufer", GoldenPath(Name("lost")), 3), "");
}

INSTANTIATE_TEST_SUITE_P(Bits, GoldenFrame, ::testing::Values(32, 16));

}  // namespace
}  // namespace qv::test
