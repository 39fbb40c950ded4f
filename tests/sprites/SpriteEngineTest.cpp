#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "sprites/ColorPalette.h"
#include "sprites/SpriteEngine.h"
#include "sprites/SpriteSurface.h"

namespace {

// A box of Size x Size pixels that notes when it is drawn.
class TBoxSprite : public TSprite {
public:
  TBoxSprite(std::string Name, std::vector<std::string>* Log, std::int32_t Size = 4)
      : FName(std::move(Name)), FLog(Log), FSize(Size) {}
  ~TBoxSprite() override {
    if (FLog) FLog->push_back("free " + FName);
  }
  void GetBoundsRect(TRect& R) const override {
    const TPoint P = GetPosition();
    R = {P.X, P.Y, P.X + FSize - 1, P.Y + FSize - 1};
  }
  void Render(TCanvas&, TDIBCanvas&) override {
    if (FLog) FLog->push_back("draw " + FName);
  }
  void Move() override {
    ++Moves;
    TSprite::Move();
  }
  const std::string& Name() const { return FName; }
  int Moves = 0;

private:
  std::string FName;
  std::vector<std::string>* FLog;
  std::int32_t FSize;
};

std::unique_ptr<TBoxSprite> Box(const std::string& Name, std::vector<std::string>* Log, std::int32_t Z = 0,
                                float X = 0, float Y = 0) {
  auto S = std::make_unique<TBoxSprite>(Name, Log);
  S->SetZ(Z);
  S->SetX(X);
  S->SetY(Y);
  return S;
}

// A surface of 64 x 32 pixels with a palette, and one engine on it.
struct TScene {
  std::vector<std::string> Log;
  TColorPalette Palette;
  TSpriteSurface Surface;
  TSpriteEngine Engine;
  TScene() {
    Surface.SetColorPalette(&Palette);
    Surface.SetBounds(0, 0, 64, 32);
    Engine.SetSpriteSurface(&Surface);
  }
  std::vector<std::string> Frame() {
    Log.clear();
    Surface.RenderFrame();
    return Log;
  }
  std::vector<std::string> Draws() {
    std::vector<std::string> D;
    for (const auto& L : Frame())
      if (L.rfind("draw ", 0) == 0) D.push_back(L.substr(5));
    return D;
  }
};

using Names = std::vector<std::string>;

class TCountingMover : public TSpriteMover {
public:
  struct TData : TMoverData {
    explicit TData(int* Freed) : Freed(Freed) {}
    ~TData() override { ++*Freed; }
    int* Freed;
  };
  void InitSprite(TSprite& Sprite) override {
    TSpriteMover::InitSprite(Sprite);
    Sprite.SetMoverData(std::make_unique<TData>(FreedCount));
    ++Inits;
  }
  void MoveSprite(TSprite& Sprite) override {
    Sprite.SetX(Sprite.GetX() + 1);
    ++Moves;
  }
  int Inits = 0, Moves = 0, Freed = 0;
  // Where the sprites' data count their freeing (a counter outside for a mover that goes).
  int* FreedCount = &Freed;
};

}  // namespace

TEST(SpriteEngine, DrawsInZOrderAndTheNewestOfAZFirst) {
  TScene S;
  S.Engine.AddSprite(Box("z3", &S.Log, 3));
  S.Engine.AddSprite(Box("z1", &S.Log, 1));
  S.Engine.AddSprite(Box("z2a", &S.Log, 2));
  EXPECT_EQ(S.Draws(), (Names{"z1", "z2a", "z3"}));
  S.Engine.AddSprite(Box("z2b", &S.Log, 2));
  EXPECT_EQ(S.Draws(), (Names{"z1", "z2b", "z2a", "z3"}));
  // A new Z takes effect at the next move pass, by a sort that keeps the order of equals.
  S.Engine.GetSprite(0)->SetZ(5);
  EXPECT_EQ(S.Draws(), (Names{"z2b", "z2a", "z3", "z1"}));
}

TEST(SpriteEngine, AddedSpritesAreCountedAtOnceAndJoinAtTheNextMovePass) {
  TScene S;
  int Added = 0;
  S.Engine.OnAddSprite = [&](TSpriteEngine& Sender, TSprite&) {
    EXPECT_EQ(&Sender, &S.Engine);
    ++Added;
  };
  S.Engine.AddSprite(Box("a", &S.Log));
  TSprite* B = S.Engine.AddSprite(Box("b", &S.Log));
  EXPECT_EQ(S.Engine.SpriteCount(), 2);
  EXPECT_EQ(S.Engine.GetSprite(1), B);
  EXPECT_EQ(S.Engine.GetSprite(2), nullptr);
  EXPECT_EQ(S.Engine.GetSprite(-1), nullptr);
  EXPECT_TRUE(S.Engine.GetLiveSprites().empty());
  EXPECT_EQ(B->GetEngine(), &S.Engine);
  EXPECT_EQ(B->GetSurface(), &S.Surface);
  EXPECT_EQ(Added, 0);
  S.Frame();
  EXPECT_EQ(Added, 2);
  EXPECT_EQ(S.Engine.GetLiveSprites().size(), 2u);
}

TEST(SpriteEngine, KilledSpritesAreFreedAtTheEndOfTheMovePass) {
  TScene S;
  Names Removed;
  int Added = 0;
  S.Engine.OnAddSprite = [&](TSpriteEngine&, TSprite&) { ++Added; };
  S.Engine.OnRemoveSprite = [&](TSpriteEngine&, TSprite& Sp) { Removed.push_back(static_cast<TBoxSprite&>(Sp).Name()); };
  auto* A = static_cast<TBoxSprite*>(S.Engine.AddSprite(Box("a", &S.Log)));
  S.Frame();
  ASSERT_EQ(Added, 1);

  // Killed before its first move pass: freed from the add queue with no event at all.
  TSprite* Early = S.Engine.AddSprite(Box("early", &S.Log));
  Early->SetDead(true);
  // Killed twice (SetDead and QueueKill): freed once.
  A->SetDead(true);
  S.Engine.QueueKill(A);
  EXPECT_FALSE(A->GetVisible());
  const Names Log = S.Frame();
  EXPECT_EQ(Added, 1);
  EXPECT_EQ(Removed, (Names{"a"}));
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "free a"), 1);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "free early"), 1);
  EXPECT_EQ(S.Engine.SpriteCount(), 0);
  // A dead sprite is not drawn in the frame it dies in.
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "draw a"), 0);
}

TEST(SpriteEngine, ASpriteAddedAndKilledByAnotherSpritesMoveIsFreedFromTheQueue) {
  TScene S;
  int Events = 0;
  S.Engine.OnAddSprite = [&](TSpriteEngine&, TSprite&) { ++Events; };
  S.Engine.OnRemoveSprite = [&](TSpriteEngine&, TSprite&) { ++Events; };
  // A sprite that, when it moves, spawns a sprite and kills it at once.
  class TSpawner : public TBoxSprite {
  public:
    using TBoxSprite::TBoxSprite;
    void Move() override {
      TSprite* Child = GetEngine()->AddSprite(Box("child", nullptr));
      GetEngine()->QueueKill(Child);
      TBoxSprite::Move();
    }
  };
  S.Engine.AddSprite(std::make_unique<TSpawner>("spawner", nullptr));
  S.Frame();
  EXPECT_EQ(Events, 1);
  EXPECT_EQ(S.Engine.SpriteCount(), 1);
}

TEST(SpriteEngine, LifeSpanCountsFramesAndASpriteOfSpanOneGoesInTheNextPass) {
  TScene S;
  auto* B = static_cast<TBoxSprite*>(S.Engine.AddSprite(Box("b", &S.Log)));
  B->SetLifeSpan(1);
  Names Log = S.Frame();
  // Moved once more, now dead and freed in the same pass.
  EXPECT_NE(std::find(Log.begin(), Log.end(), "free b"), Log.end());
  EXPECT_EQ(S.Engine.SpriteCount(), 0);

  auto* C = static_cast<TBoxSprite*>(S.Engine.AddSprite(Box("c", &S.Log)));
  C->SetLifeSpan(3);
  S.Frame();
  S.Frame();
  EXPECT_EQ(C->GetLifeSpan(), 1);
  EXPECT_EQ(C->Moves, 2);
  Log = S.Frame();
  EXPECT_NE(std::find(Log.begin(), Log.end(), "free c"), Log.end());
}

TEST(SpriteEngine, SpinTurnsTheHeadingWithinAFullCircle) {
  const struct {
    float Direction, Spin;
    bool Sense;
    float Expected;
  } Cases[] = {
      {350, 20, false, 10}, {10, 20, true, 350}, {90, 0, false, 90}, {90, -5, false, 90}, {0, 360, false, 0},
  };
  for (const auto& C : Cases) {
    TBoxSprite B("b", nullptr);
    B.SetDirection(C.Direction);
    B.SetSpin(C.Spin);
    B.SetSpinSense(C.Sense);
    B.Move();
    EXPECT_FLOAT_EQ(B.GetDirection(), C.Expected) << C.Direction << " " << C.Spin;
  }
  TBoxSprite B("b", nullptr);
  const struct {
    float In, Out;
  } Normal[] = {{-10, 350}, {360, 0}, {725, 5}, {-720, 0}, {1e9f, std::fmod(1e9f, 360.0f)}};
  for (const auto& N : Normal) {
    B.SetDirection(N.In);
    EXPECT_FLOAT_EQ(B.GetDirection(), N.Out) << N.In;
    EXPECT_GE(B.GetDirection(), 0);
    EXPECT_LT(B.GetDirection(), 360);
  }
}

TEST(SpriteEngine, WrappingBringsSpritesBackIntoTheVirtualArea) {
  TScene S;
  S.Surface.SetUseVirtualSize(true);
  S.Surface.SetVirtualWidth(5600);
  S.Surface.SetVirtualHeight(100);
  const struct {
    bool Horz, Vert;
    float X, Y, EX, EY;
  } Cases[] = {
      {true, false, -10, -10, 5590, -10}, {true, false, 5600, 0, 5600, 0}, {true, false, 5601, 0, 1, 0},
      {false, true, -10, -10, -10, 90},   {true, true, 11210, 250, 10, 50}, {false, false, -10, -10, -10, -10},
  };
  for (const auto& C : Cases) {
    S.Surface.SetWrapHorizontal(C.Horz);
    S.Surface.SetWrapVertical(C.Vert);
    TSprite* B = S.Engine.AddSprite(Box("b", nullptr, 0, C.X, C.Y));
    S.Frame();
    EXPECT_FLOAT_EQ(B->GetX(), C.EX) << C.X;
    EXPECT_FLOAT_EQ(B->GetY(), C.EY) << C.Y;
    EXPECT_FALSE(B->GetMoved());
    S.Engine.QueueKill(B);
    S.Frame();
  }
  // An empty virtual area wraps nothing (and does not hang).
  S.Surface.SetVirtualWidth(0);
  S.Surface.SetWrapHorizontal(true);
  TSprite* B = S.Engine.AddSprite(Box("b", nullptr, 0, -10, 0));
  S.Frame();
  EXPECT_FLOAT_EQ(B->GetX(), -10);
}

TEST(SpriteEngine, RendersOnlyVisibleSpritesWithinTheWindow) {
  TScene S;
  S.Surface.SetUseVirtualSize(true);
  S.Surface.SetVirtualWidth(1000);
  S.Surface.SetVirtualHeight(1000);
  S.Surface.SetOffsetX(100);
  S.Surface.SetOffsetY(50);
  // The window shows virtual x 100..163, y 50..81; boxes are 4 x 4.
  S.Engine.AddSprite(Box("inside", &S.Log, 0, 120, 60));
  S.Engine.AddSprite(Box("leftEdge", &S.Log, 0, 97, 60));     // last column at 100
  S.Engine.AddSprite(Box("leftOut", &S.Log, 0, 96, 60));      // last column at 99
  S.Engine.AddSprite(Box("rightEdge", &S.Log, 0, 163, 60));   // first column at 163
  S.Engine.AddSprite(Box("rightOut", &S.Log, 0, 164, 60));
  S.Engine.AddSprite(Box("below", &S.Log, 0, 120, 82));
  S.Engine.AddSprite(Box("hidden", &S.Log, 0, 120, 60))->SetVisible(false);
  Names D = S.Draws();
  std::sort(D.begin(), D.end());
  EXPECT_EQ(D, (Names{"inside", "leftEdge", "rightEdge"}));
  S.Engine.SetVisible(false);
  EXPECT_TRUE(S.Draws().empty());
  // Without a surface an engine draws nothing.
  TSpriteEngine Alone;
  Alone.AddSprite(Box("x", &S.Log));
  Alone.MoveSprites();
  S.Log.clear();
  Alone.RenderSprites(S.Surface.GetCanvas(), S.Surface.GetDIBCanvas());
  EXPECT_TRUE(S.Log.empty());
}

TEST(SpriteEngine, CollisionsAreReportedOncePerOverlappingPair) {
  TScene S;
  TSpriteEngine Other;
  Other.SetSpriteSurface(&S.Surface);
  std::vector<std::pair<std::string, std::string>> Hits;
  S.Engine.OnCollision = [&](TSpriteEngine& Sender, TSprite& A, TSprite& B) {
    EXPECT_EQ(&Sender, &S.Engine);
    Hits.emplace_back(static_cast<TBoxSprite&>(A).Name(), static_cast<TBoxSprite&>(B).Name());
  };
  S.Engine.AddSprite(Box("a", nullptr, 0, 0, 0));
  S.Engine.AddSprite(Box("b", nullptr, 1, 3, 3));    // shares pixel (3, 3) with a
  S.Engine.AddSprite(Box("c", nullptr, 2, 20, 20));  // apart
  Other.AddSprite(Box("o", nullptr, 0, 21, 0));
  TSprite* P = Other.AddSprite(Box("p", nullptr, 0, 22, 22));
  S.Engine.AddCollisionEngine(&S.Engine);
  S.Engine.AddCollisionEngine(&Other);
  S.Frame();
  EXPECT_EQ(Hits, (std::vector<std::pair<std::string, std::string>>{{"a", "b"}, {"c", "p"}}));

  // Insets shrink the collision rectangle; a dead sprite takes no part.
  Hits.clear();
  S.Engine.GetSprite(1)->SetCollisionInsets(1, 1, 0, 0);
  P->SetDead(true);
  S.Frame();
  EXPECT_TRUE(Hits.empty());

  // A handler that kills: the dead sprite is not reported again in the same pass.
  TSprite* D = S.Engine.AddSprite(Box("d", nullptr, 0, 0, 0));
  S.Engine.AddSprite(Box("e", nullptr, 0, 1, 1));
  (void)D;
  Hits.clear();
  S.Engine.OnCollision = [&](TSpriteEngine&, TSprite& A, TSprite& B) {
    Hits.emplace_back(static_cast<TBoxSprite&>(A).Name(), static_cast<TBoxSprite&>(B).Name());
    A.SetDead(true);
    B.SetDead(true);
  };
  S.Frame();
  EXPECT_EQ(Hits.size(), 1u);
}

TEST(SpriteEngine, AnEngineLeavesTheCollisionListsWhenItGoes) {
  TScene S;
  S.Engine.OnCollision = [](TSpriteEngine&, TSprite&, TSprite&) {};
  {
    TSpriteEngine Other;
    Other.SetSpriteSurface(&S.Surface);
    S.Engine.AddCollisionEngine(&Other);
  }
  EXPECT_TRUE(S.Engine.GetCollisionEngines().empty());
  S.Frame();
}

TEST(SpriteEngine, MoversInitialiseAndDriveTheirSprites) {
  TScene S;
  TCountingMover Mover;
  int Told = 0;
  Mover.OnInitSprite = [&](TSpriteMover& Sender, TSprite&) {
    EXPECT_EQ(&Sender, &Mover);
    ++Told;
  };
  TSprite* Early = S.Engine.AddSprite(Box("early", nullptr));
  S.Frame();
  S.Engine.SetSpriteMover(&Mover);
  EXPECT_EQ(Mover.GetEngine(), &S.Engine);
  EXPECT_EQ(Mover.Inits, 1);
  EXPECT_EQ(Told, 1);
  EXPECT_TRUE(Early->GetMoved());
  EXPECT_EQ(Early->GetMover(), &Mover);
  TSprite* Late = S.Engine.AddSprite(Box("late", nullptr));
  EXPECT_EQ(Late->GetMover(), &Mover);
  EXPECT_NE(Late->GetMoverData(), nullptr);
  EXPECT_EQ(Mover.Inits, 2);
  S.Frame();
  EXPECT_EQ(Mover.Moves, 2);
  EXPECT_FLOAT_EQ(Early->GetX(), 1);
  // Setting the mover again frees every sprite's old data first.
  S.Engine.SetSpriteMover(&Mover);
  EXPECT_EQ(Mover.Freed, 2);
  EXPECT_EQ(Mover.Inits, 4);
}

TEST(SpriteEngine, AMoverThatGoesIsForgottenByItsEngineAndSprites) {
  TScene S;
  TSprite* B;
  int Freed = 0;
  {
    TCountingMover Mover;
    Mover.FreedCount = &Freed;
    S.Engine.SetSpriteMover(&Mover);
    B = S.Engine.AddSprite(Box("b", nullptr));
    S.Engine.SetSpriteMover(&Mover);
  }
  EXPECT_EQ(S.Engine.GetSpriteMover(), nullptr);
  EXPECT_EQ(B->GetMover(), nullptr);
  EXPECT_EQ(B->GetMoverData(), nullptr);
  EXPECT_EQ(Freed, 2);
  S.Frame();
}

TEST(SpriteEngine, ClearAndDestructionFreeEverySpriteOnce) {
  TScene S;
  std::vector<std::string> Log;
  {
    TSpriteEngine E;
    E.SetSpriteSurface(&S.Surface);
    E.AddSprite(Box("a", &Log));
    S.Frame();
    Log.clear();
    TSprite* B = E.AddSprite(Box("b", &Log));
    E.QueueKill(B);
    E.Clear();
    EXPECT_EQ(E.SpriteCount(), 0);
    EXPECT_EQ(Log, (Names{"free a", "free b"}));
    E.AddSprite(Box("c", &Log));
    EXPECT_EQ(S.Surface.GetEngines().size(), 2u);
  }
  EXPECT_EQ(Log.back(), "free c");
  EXPECT_EQ(S.Surface.GetEngines().size(), 1u);
  S.Frame();
}

TEST(SpriteEngine, RandomStartingPositionsLieInTheVirtualArea) {
  TScene S;
  S.Surface.SetUseVirtualSize(true);
  S.Surface.SetVirtualWidth(300);
  S.Surface.SetVirtualHeight(7);
  S.Engine.SetRandomizeStartingPosition(true);
  float MaxX = 0;
  for (int I = 0; I < 200; ++I) {
    TSprite* B = S.Engine.AddSprite(Box("b", nullptr));
    EXPECT_GE(B->GetX(), 0);
    EXPECT_LT(B->GetX(), 300);
    EXPECT_GE(B->GetY(), 0);
    EXPECT_LT(B->GetY(), 7);
    EXPECT_EQ(B->GetX(), std::floor(B->GetX()));
    MaxX = std::max(MaxX, B->GetX());
  }
  EXPECT_GT(MaxX, 150);
}

TEST(Sprite, PositionRoundsHalfToEvenAndViewBoundsFollowTheOffsets) {
  TScene S;
  S.Surface.SetUseVirtualSize(true);
  S.Surface.SetVirtualWidth(500);
  S.Surface.SetVirtualHeight(500);
  TSprite* B = S.Engine.AddSprite(Box("b", nullptr, 0, 2.5f, 3.5f));
  EXPECT_EQ(B->GetPosition(), (TPoint{2, 4}));
  EXPECT_EQ(B->GetWidth(), 4);
  EXPECT_EQ(B->GetHeight(), 4);
  S.Surface.SetOffsetX(10);
  S.Surface.SetOffsetY(20);
  B->SetPosition({30, 40});
  EXPECT_EQ(B->GetViewBounds(), (TRect{20, 20, 23, 23}));
  B->SetCollisionInsets(1, 2, 3, 0);
  EXPECT_EQ(B->GetCollisionRect(), (TRect{21, 22, 20, 23}));
}

TEST(SpriteSurface, EnginesRunInDescendingPriority) {
  TScene S;
  TSpriteEngine Low, High;
  Low.SetPriority(-1);
  High.SetPriority(10);
  Low.SetSpriteSurface(&S.Surface);
  High.SetSpriteSurface(&S.Surface);
  Low.AddSprite(Box("low", &S.Log));
  High.AddSprite(Box("high", &S.Log));
  S.Engine.AddSprite(Box("mid", &S.Log));
  EXPECT_EQ(S.Draws(), (Names{"high", "mid", "low"}));
  Low.SetPriority(20);
  EXPECT_EQ(S.Draws(), (Names{"low", "high", "mid"}));
  // Moving an engine to another surface takes its sprites along.
  TColorPalette P;
  TSpriteSurface Other;
  Other.SetColorPalette(&P);
  Low.SetSpriteSurface(&Other);
  EXPECT_EQ(Low.GetSprite(0)->GetSurface(), &Other);
  EXPECT_EQ(S.Draws(), (Names{"high", "mid"}));
}

TEST(SpriteSurface, AnEngineOutlivingItsSurfaceForgetsIt) {
  TSpriteEngine E;
  TSprite* B = E.AddSprite(Box("b", nullptr));
  {
    TColorPalette P;
    TSpriteSurface Surface;
    E.SetSpriteSurface(&Surface);
    EXPECT_EQ(B->GetSurface(), &Surface);
  }
  EXPECT_EQ(E.GetSpriteSurface(), nullptr);
  EXPECT_EQ(B->GetSurface(), nullptr);
  E.MoveSprites();
}

TEST(SpriteSurface, AReleaseOverSpritesReportsTheFirstFound) {
  TScene S;
  S.Surface.SetUseVirtualSize(true);
  S.Surface.SetVirtualWidth(500);
  S.Surface.SetVirtualHeight(500);
  S.Surface.SetOffsetX(100);
  TSpriteEngine Silent;
  Silent.SetPriority(5);
  Silent.SetClickSprites(false);
  Silent.SetSpriteSurface(&S.Surface);
  Silent.AddSprite(Box("silent", nullptr, 0, 110, 10));
  S.Engine.AddSprite(Box("under", nullptr, 0, 110, 10));
  S.Frame();
  S.Engine.AddSprite(Box("queued", nullptr, 0, 111, 11));
  S.Engine.AddSprite(Box("hidden", nullptr, 0, 110, 10))->SetVisible(false);
  Names Clicked;
  S.Surface.OnSpriteClick = [&](TSpriteSurface& Sender, TSprite& Sp) {
    EXPECT_EQ(&Sender, &S.Surface);
    Clicked.push_back(static_cast<TBoxSprite&>(Sp).Name());
  };
  // Window (11, 11) is virtual (111, 11): inside "under" (live) and "queued".
  S.Surface.MouseUp(mbLeft, 0, 11, 11);
  // Window (14, 14) is virtual (114, 14): only the queued sprite reaches it.
  S.Surface.MouseUp(mbLeft, 0, 14, 14);
  // Nothing there.
  S.Surface.MouseUp(mbLeft, 0, 40, 20);
  EXPECT_EQ(Clicked, (Names{"under", "queued"}));
}
