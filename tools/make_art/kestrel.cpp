#include "tools/make_art/kestrel.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "tools/make_art/hash_noise.h"

namespace make_art {
namespace {

constexpr Rgb kRufous{198, 98, 46};
constexpr Rgb kRufousLight{226, 138, 72};
constexpr Rgb kSpot{44, 28, 24};
constexpr Rgb kFlight{66, 48, 44};
constexpr Rgb kFlightEdge{110, 86, 76};
constexpr Rgb kGrey{128, 140, 170};
constexpr Rgb kGreyLight{172, 184, 208};
constexpr Rgb kBuff{242, 210, 160};
constexpr Rgb kBuffShade{212, 170, 120};
constexpr Rgb kStreak{132, 76, 44};
constexpr Rgb kCheek{250, 240, 224};
constexpr Rgb kBlack{26, 20, 24};
constexpr Rgb kYellow{252, 206, 64};
constexpr Rgb kBeak{84, 92, 116};
constexpr Rgb kWhite{238, 238, 244};

// Part numbers, front first; the order is the same in every pose so that a
// part's inner edge is the same kind of edge everywhere.
enum PartId {
  Eye,
  Malar,
  BeakPart,
  Head,
  NearWing,
  Legs,
  Body,
  Tail,
  FarWing,
  PartCount
};

struct Part {
  int id;
  std::function<bool(Vec)> inside;
  std::function<Rgb(Vec)> colour;
};

// Dark spots scattered over a feathered area, fixed to the area's own
// coordinates so that they move with it.
bool Spotted(Vec q, double cell, std::uint32_t seed) {
  const int cx = static_cast<int>(std::floor(q.x / cell)), cy = static_cast<int>(std::floor(q.y / cell));
  if (Hash01(cx, cy, seed) > 0.42) return false;
  const Vec centre{(cx + 0.3 + 0.4 * Hash01(cx, cy, seed + 1)) * cell, (cy + 0.3 + 0.4 * Hash01(cx, cy, seed + 2)) * cell};
  const Vec d = q - centre;
  return Dot(d, d) < cell * cell * 0.09;
}

// A wing in its own frame: s along the span from the shoulder, c across it
// (positive towards the leading edge).
struct WingShape {
  std::vector<Vec> outline;
  double wrist;  // span where the dark flight feathers begin
};

WingShape SideWing() {
  return {{{0, 0.03},
           {0.34, 0.07},
           {0.62, 0.03},
           {0.86, -0.04},
           {0.74, -0.1},
           {0.6, -0.13},
           {0.46, -0.17},
           {0.3, -0.2},
           {0.12, -0.2},
           {0, -0.14}},
          0.4};
}

Rgb WingColour(Vec w, double wrist, double shade) {
  Rgb c;
  if (w.x > wrist) {
    c = w.y > -0.02 && w.x < wrist + 0.2 ? kFlightEdge : kFlight;
  } else if (w.y < -0.13) {
    c = kFlight;  // the secondaries along the trailing edge
  } else {
    c = Spotted(w, 0.07, 5) ? kSpot : (w.y > 0.0 ? kRufousLight : kRufous);
  }
  return Shade(c, shade);
}

// A side-view wing placed on the body: its shoulder at `shoulder`, its span
// turned by `angle` from +x, counter-clockwise.
Part SideWingPart(int id, Vec shoulder, double angle, double length, double shade) {
  const WingShape shape = SideWing();
  auto toWing = [=](Vec p) { return Rotate(p - shoulder, -angle) * (1.0 / length); };
  return {id, [=](Vec p) { return InsidePolygon(shape.outline, toWing(p)); },
          [=](Vec p) { return WingColour(toWing(p), shape.wrist, shade); }};
}

constexpr double kDeg = kPi / 180;
constexpr double kHidden = std::numeric_limits<double>::quiet_NaN();

struct SidePose {
  Vec head;  // centre of the head
  Vec bodyCentre;
  double bodyRx, bodyRy, bodyAngle;
  bool wingFolded;
  Vec shoulder;
  double wingAngle;     // the near wing's span, from +x counter-clockwise
  double farWingAngle;  // kHidden (NaN) when the far wing is hidden
  double wingLength;
  Vec tailRoot;
  double tailAngle;  // the direction the tail points
  double tailLength;
  double tailFan;    // half width at the tip
  bool legsShown;
  Vec hip;
  Vec foot;
};

std::vector<Part> SideParts(const SidePose& sp) {
  auto toHead = [=](Vec p) { return p - sp.head; };
  // The folded wing is given in the body's frame, so it leans with it.
  auto toBody = [=](Vec p) { return Rotate(p - sp.bodyCentre, -sp.bodyAngle); };

  std::vector<Part> parts;
  parts.push_back({Eye, [=](Vec p) { return InsideEllipse({0.045, 0.03}, 0.034, 0.034, 0, toHead(p)); },
                   [=](Vec p) {
                     const Vec e = toHead(p) - Vec{0.045, 0.03};
                     return Dot(e, e) < 0.018 * 0.018 ? kBlack : Rgb{60, 40, 30};
                   }});
  parts.push_back({Malar, [=](Vec p) { return InsideEllipse({0.025, -0.05}, 0.024, 0.06, 0.2, toHead(p)); },
                   [](Vec) { return kBlack; }});
  static const std::vector<Vec> kBeakShape = {{0.11, 0.05}, {0.19, 0.03}, {0.2, -0.03}, {0.165, -0.015}, {0.11, -0.03}};
  parts.push_back({BeakPart, [=](Vec p) { return InsidePolygon(kBeakShape, toHead(p)); },
                   [=](Vec p) { return toHead(p).x < 0.135 ? kYellow : kBeak; }});
  parts.push_back({Head, [=](Vec p) { return InsideEllipse({0, 0}, 0.14, 0.125, 0, toHead(p)); },
                   [=](Vec p) {
                     const Vec h = toHead(p);
                     if (h.y < -0.01 && h.x > -0.06) return kCheek;
                     return h.y > 0.07 ? kGreyLight : kGrey;
                   }});
  if (sp.wingFolded) {
    // Along the back from the shoulder down over the root of the tail.
    static const std::vector<Vec> kFolded = {{-0.02, 0.27}, {0.07, 0.2},  {0.07, -0.02}, {-0.02, -0.22},
                                             {-0.16, -0.44}, {-0.2, -0.36}, {-0.19, -0.05}, {-0.13, 0.2}};
    parts.push_back({NearWing, [=](Vec p) { return InsidePolygon(kFolded, toBody(p)); },
                     [=](Vec p) {
                       const Vec q = toBody(p);
                       if (q.y < -0.2) return q.x > -0.1 ? kFlightEdge : kFlight;
                       return Spotted(q, 0.065, 9) ? kSpot : (q.x > 0.0 ? kRufousLight : kRufous);
                     }});
  } else {
    parts.push_back(SideWingPart(NearWing, sp.shoulder, sp.wingAngle, sp.wingLength, 1.0));
  }
  if (sp.legsShown) {
    parts.push_back({Legs,
                     [=](Vec p) {
                       const bool leg = DistanceToSegment(sp.hip, sp.foot, p) < 0.026;
                       const bool toes = DistanceToSegment(sp.foot + Vec{-0.04, 0}, sp.foot + Vec{0.08, 0}, p) < 0.02;
                       return leg || toes;
                     },
                     [=](Vec p) { return p.x > sp.foot.x + 0.06 ? kBlack : kYellow; }});
  }
  parts.push_back({Body, [=](Vec p) { return InsideEllipse({0, 0}, sp.bodyRx, sp.bodyRy, 0, toBody(p)); },
                   [=](Vec p) {
                     const Vec q = toBody(p);
                     // The breast faces forward; the back is rufous.
                     if (q.x > -0.03) {
                       if (Spotted(q, 0.075, 13)) return kStreak;
                       return q.x < 0.04 || q.y < -sp.bodyRy * 0.6 ? kBuffShade : kBuff;
                     }
                     return Spotted(q, 0.06, 17) ? kSpot : kRufous;
                   }});
  const Vec along = FromAngle(sp.tailAngle), across{-along.y, along.x};
  const Vec tip = sp.tailRoot + along * sp.tailLength;
  const std::vector<Vec> tail = {sp.tailRoot + across * 0.055, tip + across * sp.tailFan, tip + along * 0.03,
                                 tip - across * sp.tailFan, sp.tailRoot - across * 0.055};
  parts.push_back({Tail, [=](Vec p) { return InsidePolygon(tail, p); },
                   [=](Vec p) {
                     const double d = Dot(p - sp.tailRoot, along) / sp.tailLength;
                     if (d > 0.93) return kWhite;
                     if (d > 0.78) return kBlack;
                     return kGrey;
                   }});
  if (!std::isnan(sp.farWingAngle))
    parts.push_back(SideWingPart(FarWing, sp.shoulder + Vec{-0.03, 0.02}, sp.farWingAngle, sp.wingLength * 0.9, 0.68));
  return parts;
}

// The wing of a bird seen from above, in the wing's own frame: s along the
// span from the shoulder, c towards the leading edge. The arm runs from the
// shoulder to the wrist, the hand from the wrist to the pointed tip; folding
// turns the hand back about the wrist and the whole wing back about the
// shoulder.
struct TopWing {
  double armSweep;   // radians back from straight out
  double handSweep;  // radians the hand folds back at the wrist
};

constexpr Vec kWrist{0.38, 0.12};

std::vector<Vec> TopWingOutline(const TopWing& wing) {
  const std::vector<Vec> arm = {{0, 0.06}, kWrist};
  const std::vector<Vec> hand = {{0.6, 0.07}, {0.98, -0.08}, {0.9, -0.14}, {0.7, -0.19}, {0.5, -0.23}};
  const std::vector<Vec> armBack = {{0.36, -0.21}, {0.2, -0.23}, {0, -0.2}};
  std::vector<Vec> outline = arm;
  for (const Vec& p : hand) outline.push_back(kWrist + Rotate(p - kWrist, -wing.handSweep));
  outline.insert(outline.end(), armBack.begin(), armBack.end());
  return outline;
}

std::vector<Part> TopParts(const TopWing& wing, double tailFan) {
  std::vector<Part> parts;
  const Vec headCentre{0.31, 0};
  parts.push_back({BeakPart, [=](Vec p) { return InsideEllipse({0.41, 0}, 0.04, 0.025, 0, p); },
                   [](Vec) { return kBeak; }});
  parts.push_back({Head, [=](Vec p) { return InsideEllipse(headCentre, 0.11, 0.1, 0, p); },
                   [=](Vec p) { return p.x > 0.33 ? kGreyLight : kGrey; }});

  const std::vector<Vec> outline = TopWingOutline(wing);
  const Vec shoulder{0.1, 0.06};
  for (const double side : {1.0, -1.0}) {
    // Body coordinates (x forward, y to this wing's side) to the wing's frame.
    const auto toWing = [=](Vec p) {
      const Vec q{p.x - shoulder.x, p.y * side - shoulder.y};
      const Vec r = Rotate(q, -wing.armSweep);  // undo the sweep back
      return Vec{r.y, r.x};
    };
    parts.push_back({NearWing, [=](Vec p) { return p.y * side > 0 && InsidePolygon(outline, toWing(p)); },
                     [=](Vec p) {
                       const Vec w = toWing(p);
                       const Vec hand = Rotate(w - kWrist, wing.handSweep);
                       // The primaries: the outer hand and all but a strip of
                       // coverts along its leading edge.
                       if (hand.x > 0.3 || (hand.x > 0.02 && hand.y < -0.07 - 0.1 * hand.x))
                         return hand.y > -0.08 ? kFlightEdge : kFlight;
                       if (w.y < -0.15) return kFlight;  // the secondaries along the trailing edge
                       return Spotted(w, 0.065, 21) ? kSpot : w.y > 0.0 ? kRufousLight : kRufous;
                     }});
  }
  parts.push_back({Body, [=](Vec p) { return InsideEllipse({0.02, 0}, 0.27, 0.13, 0, p); },
                   [=](Vec p) {
                     if (p.x < -0.14) return kGrey;  // the rump
                     return Spotted(p, 0.06, 25) ? kSpot : kRufous;
                   }});
  const std::vector<Vec> tail = {{-0.2, 0.05}, {-0.66, tailFan}, {-0.7, 0}, {-0.66, -tailFan}, {-0.2, -0.05}};
  parts.push_back({Tail, [=](Vec p) { return InsidePolygon(tail, p); },
                   [=](Vec p) {
                     if (p.x < -0.65) return kWhite;
                     if (p.x < -0.56) return kBlack;
                     return kGrey;
                   }});
  return parts;
}

constexpr SidePose kHover{.head = {0.2, 0.78}, .bodyCentre = {0.02, 0.56}, .bodyRx = 0.15, .bodyRy = 0.27,
                          .bodyAngle = -55 * kDeg, .wingFolded = false, .shoulder = {0.02, 0.64},
                          .wingAngle = 118 * kDeg, .farWingAngle = 96 * kDeg, .wingLength = 0.95,
                          .tailRoot = {-0.14, 0.42}, .tailAngle = -145 * kDeg, .tailLength = 0.42, .tailFan = 0.15,
                          .legsShown = false, .hip = {}, .foot = {}};
constexpr SidePose kFlare{.head = {0.16, 0.86}, .bodyCentre = {0.0, 0.58}, .bodyRx = 0.15, .bodyRy = 0.28,
                          .bodyAngle = -28 * kDeg, .wingFolded = false, .shoulder = {-0.02, 0.7},
                          .wingAngle = 112 * kDeg, .farWingAngle = 84 * kDeg, .wingLength = 0.9,
                          .tailRoot = {-0.1, 0.4}, .tailAngle = -118 * kDeg, .tailLength = 0.4, .tailFan = 0.14,
                          .legsShown = true, .hip = {0.04, 0.36}, .foot = {0.16, 0.12}};
constexpr SidePose kTouchdown{.head = {0.1, 0.84}, .bodyCentre = {0.0, 0.5}, .bodyRx = 0.15, .bodyRy = 0.29,
                              .bodyAngle = -18 * kDeg, .wingFolded = false, .shoulder = {-0.04, 0.66},
                              .wingAngle = 138 * kDeg, .farWingAngle = 118 * kDeg, .wingLength = 0.8,
                              .tailRoot = {-0.1, 0.32}, .tailAngle = -140 * kDeg, .tailLength = 0.38,
                              .tailFan = 0.1, .legsShown = true, .hip = {0.03, 0.2}, .foot = {0.05, 0.0}};
constexpr SidePose kPerched{.head = {0.06, 0.84}, .bodyCentre = {0.01, 0.45}, .bodyRx = 0.17, .bodyRy = 0.3,
                            .bodyAngle = -12 * kDeg, .wingFolded = true, .shoulder = {}, .wingAngle = 0,
                            .farWingAngle = kHidden, .wingLength = 0, .tailRoot = {-0.1, 0.24},
                            .tailAngle = -128 * kDeg, .tailLength = 0.36, .tailFan = 0.06, .legsShown = true,
                            .hip = {0.03, 0.16}, .foot = {0.04, 0.0}};

// Each pose is either seen from the side or from above.
struct PoseEntry {
  KestrelPose pose;
  const SidePose* side;
  TopWing wing;
  double tailFan;  // seen from above
};

constexpr PoseEntry kPoses[] = {
    {KestrelPose::Hover, &kHover, {}, 0},
    {KestrelPose::Stoop, nullptr, {40 * kDeg, 40 * kDeg}, 0.06},
    {KestrelPose::Glide, nullptr, {-6 * kDeg, 14 * kDeg}, 0.16},
    {KestrelPose::Flare, &kFlare, {}, 0},
    {KestrelPose::Touchdown, &kTouchdown, {}, 0},
    {KestrelPose::Perched, &kPerched, {}, 0},
};

std::vector<Part> PartsFor(KestrelPose pose) {
  for (const PoseEntry& entry : kPoses)
    if (entry.pose == pose) return entry.side ? SideParts(*entry.side) : TopParts(entry.wing, entry.tailFan);
  return {};
}

}  // namespace

void DrawKestrel(Layer& layer, KestrelPose pose, const Placement& placement) {
  const std::vector<Part> parts = PartsFor(pose);
  for (int y = 0; y < layer.height(); ++y)
    for (int x = 0; x < layer.width(); ++x) {
      const Vec p = placement.ToLocal({x + 0.5, y + 0.5});
      if (std::fabs(p.x) > 1.5 || std::fabs(p.y) > 1.5) continue;
      for (const Part& part : parts)
        if (part.inside(p)) {
          layer.Set(x, y, part.id, part.colour(p));
          break;
        }
    }
}

std::vector<bool> KestrelEdgedParts() {
  std::vector<bool> edged(PartCount, false);
  edged[Head] = edged[NearWing] = edged[Body] = edged[Legs] = true;
  return edged;
}

}  // namespace make_art
