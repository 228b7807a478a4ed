#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/MusicSchedule.h"

namespace qv::test {
namespace {

class FakeChannels : public IMusicChannels {
 public:
  bool HasCurrentMusic() override { return Current; }
  void FadeOutCurrentMusic(int32_t ms) override { Log.push_back("fade " + std::to_string(ms)); }
  void StopAllMusic() override { Log.push_back("stop music"); }
  void PlayMusicByName(std::string_view name, uint16_t position, int32_t slideIn) override {
    Log.push_back("play " + std::string(name) + " " + std::to_string(position) + " " + std::to_string(slideIn));
  }
  bool Current = true;
  std::vector<std::string> Log;
};

TEST(MusicSchedule, FadesThenStartsOnceWhenDue) {
  FakeChannels channels;
  ManualClock clock(5000);
  TMusicSchedule music(channels, clock);
  music.UpdateMusicSchedule(1 << 30);
  EXPECT_TRUE(channels.Log.empty()) << "nothing pending";

  music.PlayMusic("vibe-pp.mo3", 3000, 13, 1000);
  EXPECT_EQ(channels.Log, (std::vector<std::string>{"fade 3000"}));
  EXPECT_EQ(music.PendingStart(), 8000);
  music.UpdateMusicSchedule(8000);
  EXPECT_EQ(channels.Log.size(), 1u) << "due only after its time";
  music.UpdateMusicSchedule(8001);
  EXPECT_EQ(channels.Log, (std::vector<std::string>{"fade 3000", "stop music", "play vibe-pp.mo3 13 1000"}))
      << "only music stops; samples go on";
  EXPECT_FALSE(music.Pending());
  music.UpdateMusicSchedule(9000);
  EXPECT_EQ(channels.Log.size(), 3u);
}

TEST(MusicSchedule, ANewChangeReplacesThePendingOne) {
  FakeChannels channels;
  channels.Current = false;
  ManualClock clock(100);
  TMusicSchedule music(channels, clock);
  music.PlayMusic("first.mo3", 2000, 0, 0);
  clock.Set(200);
  music.PlayMusic("second.mo3", 500, 5, 300);
  EXPECT_TRUE(channels.Log.empty()) << "no current music to fade";
  EXPECT_EQ(music.PendingName(), "second.mo3");
  music.UpdateMusicSchedule(701);
  EXPECT_EQ(channels.Log, (std::vector<std::string>{"stop music", "play second.mo3 5 300"}));
  music.UpdateMusicSchedule(2101);
  EXPECT_EQ(channels.Log.size(), 2u) << "the first change is gone";
}

}  // namespace
}  // namespace qv::test
