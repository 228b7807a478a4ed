#include <gtest/gtest.h>

#include <cmath>

#include "effects/QelFXBase.h"
#include "foundation/QelException.h"

namespace qv::fx {
namespace {

TVector3 At(const TQelPiecewiseFunc& f, uint32_t t) {
  TVector3 v;
  f.GetValue(t, false, v);
  return v;
}

void ExpectAt(const TQelPiecewiseFunc& f, uint32_t t, float x, float y) {
  TVector3 v = At(f, t);
  EXPECT_NEAR(v.x, x, 1e-3) << "at " << t;
  EXPECT_NEAR(v.y, y, 1e-3) << "at " << t;
}

TEST(PathScript, CardFlightPath) {
  auto f = TQelPiecewiseFunc::CreateFromScript(
      "FContour", "Set Linear; Set Timing 0.3; Path (10, 20) (110, 20); Ending Stop;", 2);
  ASSERT_EQ(f->SegmentCount(), 1);
  EXPECT_EQ(f->TotalDuration, 300u);
  EXPECT_FLOAT_EQ(f->TotalLength, 100);
  ExpectAt(*f, 0, 10, 20);
  ExpectAt(*f, 150, 60, 20);
  ExpectAt(*f, 300, 110, 20);
  // Past the end: the end value, (0, 0) on a fresh function.
  ExpectAt(*f, 301, 0, 0);
  // A negative time counts as a very large one.
  ExpectAt(*f, static_cast<uint32_t>(-5), 0, 0);
  TVector3 d;
  f->GetValue(100, true, d);
  EXPECT_FLOAT_EQ(d.x, 100);
}

TEST(PathScript, GameFormsWithNegativeCoordinates) {
  auto f = TQelPiecewiseFunc::CreateFromScript(
      "F", "Set Linear; Set Timing 0.3; Path (-100,-200) (300,400); Ending Stop (300,400);", 2);
  ExpectAt(*f, 0, -100, -200);
  ExpectAt(*f, 150, 100, 100);
  ExpectAt(*f, 300, 300, 400);
  ExpectAt(*f, 5000, 300, 400);
  // Wait-then-fly: a zero-length first segment of 300 ms.
  auto w = TQelPiecewiseFunc::CreateFromScript(
      "W", "Set Linear; Set Timing 0.3; Path (5,5) (5,5) (105,5); Ending Stop;", 2);
  EXPECT_EQ(w->SegmentCount(), 2);
  EXPECT_EQ(w->TotalDuration, 600u);
  EXPECT_FLOAT_EQ(w->TotalLength, 100);
  ExpectAt(*w, 200, 5, 5);
  ExpectAt(*w, 450, 55, 5);
  ExpectAt(*w, 600, 105, 5);
}

TEST(PathScript, Endings) {
  auto make = [](const char* ending) {
    return TQelPiecewiseFunc::CreateFromScript(
        "E", std::string("Set Linear; Path (0, 0) (1000, 0); Ending ") + ending + ";", 2);
  };
  auto loop = make("Loop");
  EXPECT_EQ(loop->TotalDuration, 1000u);
  ExpectAt(*loop, 2500, 500, 0);
  ExpectAt(*loop, 2000, 0, 0);
  auto rev = make("Reverse");
  ExpectAt(*rev, 1500, 500, 0);
  ExpectAt(*rev, 2500, 500, 0);
  ExpectAt(*rev, 1200, 800, 0);
  auto rs = make("ReverseStop (7, 8)");
  EXPECT_EQ(rs->Ending, EndingReverseStop);
  ExpectAt(*rs, 1500, 500, 0);
  ExpectAt(*rs, 2000, 0, 0);
  ExpectAt(*rs, 2100, 7, 8);
  auto stop = make("Stop (1, 2)");
  ExpectAt(*stop, 1000, 1000, 0);
  ExpectAt(*stop, 1001, 1, 2);
  // Loop and reverse endings return zero past the end of nothing; without a
  // duration they stand at the first node instead of dividing by zero.
  auto still = TQelPiecewiseFunc::CreateFromScript("Z", "Set Timing 0; Path (3, 4) (9, 9); Ending Loop;", 2);
  EXPECT_EQ(still->TotalDuration, 0u);
  ExpectAt(*still, 0, 3, 4);
  ExpectAt(*still, 777, 3, 4);
  auto stillRev = TQelPiecewiseFunc::CreateFromScript("Z", "Set Timing 0; Path (3, 4) (9, 9); Ending Reverse;", 2);
  ExpectAt(*stillRev, 777, 3, 4);
}

TEST(PathScript, TimingAndSpeed) {
  auto f = TQelPiecewiseFunc::CreateFromScript("S", "Set Timing +0.5; Set Linear; Path (0, 0) (100, 0);", 2);
  EXPECT_EQ(f->TotalDuration, 200u);
  EXPECT_FLOAT_EQ(f->Timing, -0.5f);
  auto g = TQelPiecewiseFunc::CreateFromScript("S", "Set Timing -0.5; Set Linear; Path (0, 0) (100, 0);", 2);
  EXPECT_EQ(g->TotalDuration, 200u);
  auto z = TQelPiecewiseFunc::CreateFromScript("S", "Set Timing +0.0000001; Set Linear; Path (0, 0) (100, 0);", 2);
  EXPECT_EQ(z->TotalDuration, 0u);
  // Per-node timing in quotes, a speed when it starts with "+".
  auto n = TQelPiecewiseFunc::CreateFromScript("N", "Set Linear; Path (0,0) \"0.25\" (10,0) \"+0.1\" (30,0);", 2);
  ASSERT_EQ(n->SegmentCount(), 2);
  EXPECT_EQ(n->Segments[0].Duration, 250u);
  EXPECT_EQ(n->Segments[1].Duration, 200u);
  EXPECT_EQ(n->TotalDuration, 450u);
  // Halves of the speed rounding go to the even neighbour: 25 / 10 = 2.5 -> 2.
  auto h = TQelPiecewiseFunc::CreateFromScript("H", "Set Linear; Set Timing +10; Path (0,0) (25,0);", 2);
  EXPECT_EQ(h->TotalDuration, 2u);
}

TEST(PathScript, LenientParsing) {
  // The last statement lacks its ";" and is dropped.
  auto f = TQelPiecewiseFunc::CreateFromScript("L", "Set Linear; Path (0,0) (10,0); Ending Loop", 2);
  EXPECT_EQ(f->Ending, EndingStop);
  // "Ending Stop;" without a vector keeps an earlier loop.
  auto g = TQelPiecewiseFunc::CreateFromScript("L", "Ending Loop; Ending Stop; Set Linear; Path (0,0) (10,0);", 2);
  EXPECT_EQ(g->Ending, EndingLoop);
  // Unknown keywords and settings, statements without blanks, bad numbers, line breaks and tabs.
  auto h = TQelPiecewiseFunc::CreateFromScript(
      "L", "Jump 3;\r\nSET\tLINEAR; Set Colour 5; Set Timing abc; Nothing; PATH (x, 10) (20,\t10, 5);", 2);
  ASSERT_EQ(h->SegmentCount(), 1);
  EXPECT_EQ(h->Segments[0].Kind, 0);
  EXPECT_EQ(h->TotalDuration, 0u);
  EXPECT_FLOAT_EQ(h->TotalLength, 20);
  ExpectAt(*h, 0, 0, 10);
  // An empty script changes nothing; one node gives no segment.
  h->SetScript("   ");
  h->SetScript("Path (1, 1);");
  EXPECT_EQ(h->SegmentCount(), 1);
  // More than three numbers: only the first three count.
  auto k = TQelPiecewiseFunc::CreateFromScript("K", "Set Linear; Path (0,0,0,9) (3,4,0,9);", 3);
  EXPECT_FLOAT_EQ(k->TotalLength, 5);
}

TEST(PathScript, NodesAcrossScripts) {
  auto f = TQelPiecewiseFunc::CreateFromScript("P", "Set Linear; Path (0,0) (100,0) (100,100);", 2);
  EXPECT_EQ(f->NodeCount, 3);
  f->SetScript("Path (100,100) (0,0);");
  EXPECT_EQ(f->NodeCount, 3);
  EXPECT_EQ(f->SegmentCount(), 3);
  // A second script away from the path continues it with new nodes and segments after the old ones.
  f->SetScript("Path (500,500) (600,500);");
  EXPECT_EQ(f->SegmentCount(), 4);
  EXPECT_EQ(f->NodeCount, 5);
  EXPECT_EQ(f->TotalDuration, 4000u);
  ExpectAt(*f, 3500, 550, 500);
  // Settings persist from one script to the next.
  EXPECT_EQ(f->Bezier, 0);
}

TEST(PathScript, BezierNodesAnglesAndHandles) {
  auto f = TQelPiecewiseFunc::CreateFromScript("B", "Path (0, 0) (90, 0);", 2);
  ASSERT_EQ(f->SegmentCount(), 1);
  EXPECT_EQ(f->Segments[0].Kind, 1);
  EXPECT_NEAR(f->Segments[0].C1().x, 30, 1e-4);
  EXPECT_NEAR(f->Segments[0].C2().x, 60, 1e-4);
  EXPECT_NEAR(f->Segments[0].C1().y, 0, 1e-4);
  EXPECT_NEAR(f->TotalLength, 90, 1e-3);
  ExpectAt(*f, 500, 45, 0);

  auto bent = TQelPiecewiseFunc::CreateFromScript("B", "Path (0, 0) [90] (90, 0);", 2);
  EXPECT_GT(std::fabs(bent->Segments[0].C1().y), 1);
  EXPECT_GT(bent->TotalLength, 90.5f);

  // Node text: angles, handle factors, timing and the kind markers.
  auto g = TQelPiecewiseFunc::CreateFromScript(
      "G", "Set Linear; Path (0, 0) [30] {1.5} \"0.5\" .. (100, 0) -- (100, 50);", 2);
  ASSERT_EQ(g->SegmentCount(), 2);
  EXPECT_EQ(g->Segments[0].Kind, 1);
  EXPECT_EQ(g->Segments[1].Kind, 0);
  EXPECT_EQ(g->Segments[0].Duration, 500u);
  EXPECT_EQ(g->Segments[1].Duration, 1000u);
  // At the joint only the Bezier side gets a handle, pointing against the straight segment.
  EXPECT_NEAR(g->Segments[0].C2().x, 100, 1e-3);
  EXPECT_NEAR(g->Segments[0].C2().y, -40, 1e-3);
  // The free start mirrors that handle along the chord, 1.5 times as long, turned by 30 degrees.
  EXPECT_NEAR(g->Segments[0].C1().x, -30, 1e-2);
  EXPECT_NEAR(g->Segments[0].C1().y, -51.96, 1e-2);

  // Joints of unequal segments lean towards the shorter one; each side has its
  // own handle factor and angle. Longer segment first, then shorter first.
  auto u = TQelPiecewiseFunc::CreateFromScript("U", "Path (0, 0) (100, 0) [10, -20] {0.5, 2} (100, 30);", 2);
  ASSERT_EQ(u->SegmentCount(), 2);
  EXPECT_NEAR(u->Segments[0].C2().x, 89.977, 1e-2);
  EXPECT_NEAR(u->Segments[0].C2().y, -17.307, 1e-2);
  EXPECT_NEAR(u->Segments[1].C1().x, 100.032, 1e-2);
  EXPECT_NEAR(u->Segments[1].C1().y, 24.000, 1e-2);
  auto v = TQelPiecewiseFunc::CreateFromScript("V", "Path (0, 0) (30, 0) [10, -20] {0.5, 2} (30, 100);", 2);
  ASSERT_EQ(v->SegmentCount(), 2);
  EXPECT_NEAR(v->Segments[0].C2().x, 24.093, 1e-2);
  EXPECT_NEAR(v->Segments[0].C2().y, -1.050, 1e-2);
  EXPECT_NEAR(v->Segments[1].C1().x, 91.215, 1e-2);
  EXPECT_NEAR(v->Segments[1].C1().y, 51.505, 1e-2);

  // A smooth joint of two Bezier segments: the handles are opposite.
  auto s = TQelPiecewiseFunc::CreateFromScript("S", "Path (0, 0) (100, 0) (100, 100);", 2);
  TVector3 c2 = s->Segments[0].C2(), c1 = s->Segments[1].C1();
  EXPECT_NEAR(c2.x - 100, -(c1.x - 100), 1e-3);
  EXPECT_NEAR(c2.y, -c1.y, 1e-3);
  EXPECT_NEAR(c1.x - 100, std::sqrt(0.5) * 40, 1e-2);
  // A straight path stays straight.
  auto l = TQelPiecewiseFunc::CreateFromScript("L", "Set Linear; Path (0,0) (10,0) (10,10);", 2);
  EXPECT_NEAR(l->Segments[0].C2().x, 20.0f / 3, 1e-4);
}

TEST(PathScript, ZeroLengthBezierJointGivesNoHandles) {
  auto f = TQelPiecewiseFunc::CreateFromScript("Z", "Path (5, 5) (5, 5) (5, 5);", 2);
  ASSERT_EQ(f->SegmentCount(), 2);
  for (const auto& s : f->Segments) {
    EXPECT_FALSE(std::isnan(s.C1().x));
    EXPECT_FALSE(std::isnan(s.C2().y));
  }
  EXPECT_FLOAT_EQ(f->TotalLength, 0);
  ExpectAt(*f, 700, 5, 5);
}

TEST(PathScript, MovingNodes) {
  auto f = TQelPiecewiseFunc::CreateFromScript("M", "Set Linear; Path (0,0) (100,0) (100,100);", 2);
  EXPECT_EQ(f->GetParamIdx("[2]"), 2);
  EXPECT_EQ(f->GetParamIdx("[0]"), 0);
  EXPECT_EQ(f->GetParamIdx("Weight"), 0);
  EXPECT_THROW(f->GetParamIdx("[x]"), EConvertError);
  // The joint moves both segments; durations stay.
  f->SetParam(2, {50, 50});
  EXPECT_EQ(f->Segments[0].P3(), MakeVector(50, 50, 0));
  EXPECT_EQ(f->Segments[1].P0(), MakeVector(50, 50, 0));
  EXPECT_EQ(f->TotalDuration, 2000u);
  ExpectAt(*f, 1000, 50, 50);
  // The free end.
  f->SetParam(3, {0, 200});
  EXPECT_EQ(f->Segments[1].P3(), MakeVector(0, 200, 0));
  // Index 0 is the weight; a node that does not exist changes nothing.
  f->SetParam(0, {0.5f});
  EXPECT_FLOAT_EQ(f->Weight, 0.5f);
  f->SetParam(9, {1, 1});
  // A path without segments hands any index to the base, which refuses it.
  TQelPiecewiseFunc empty;
  EXPECT_THROW(empty.SetParam(1, {1, 1}), Exception);
}

TEST(PathScript, CopiesCarryTheWholePath) {
  auto f = TQelPiecewiseFunc::CreateFromScript("C", "Set Linear; Path (0,0) (10,0); Ending Loop;", 2);
  auto c = CloneAs(f.get());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->TotalDuration, 1000u);
  EXPECT_EQ(c->Ending, EndingLoop);
  EXPECT_EQ(c->Bezier, 0);
  c->SetScript("Path (10,0) (20,0);");
  EXPECT_EQ(f->SegmentCount(), 1);
  EXPECT_EQ(c->SegmentCount(), 2);
  TQelConstantFunc k;
  EXPECT_FALSE(c->Assign(&k));
}

}  // namespace
}  // namespace qv::fx
