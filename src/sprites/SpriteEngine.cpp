#include "sprites/SpriteEngine.h"

#include <algorithm>
#include <cmath>

#include "foundation/ProcessMessages.h"
#include "foundation/Rounding.h"
#include "sprites/SpriteSurface.h"

namespace {

std::function<void(const std::string&)>& MessageHook() {
  static std::function<void(const std::string&)> Hook;
  return Hook;
}

// Raised while SetDead hands its sprite to the kill queue, so QueueKill does not call back.
bool GKilling = false;

// Brings a coordinate back into the virtual area: Size is added while it is below 0 and
// taken off while it is above Size (Size itself stays). Far-off values are brought near in
// one step first, so a stray position costs no long loop.
float WrapCoordinate(float V, std::int32_t Size) {
  if (Size <= 0 || !std::isfinite(V)) return V;
  const float S = float(Size);
  if (V < -4 * S || V > 4 * S) V = std::fmod(V, S);
  while (V < 0) V += S;
  while (V > S) V -= S;
  return V;
}

// Inclusive rectangles (Right and Bottom the last pixel) that share a pixel.
bool Overlap(const TRect& A, const TRect& B) {
  return A.Left <= B.Right && B.Left <= A.Right && A.Top <= B.Bottom && B.Top <= A.Bottom;
}

}  // namespace

TRandomGenerator& EffectsRandom() {
  static TRandomGenerator Generator(0x5EED);
  return Generator;
}

void SetSpriteMessageHook(std::function<void(const std::string& Message)> Hook) { MessageHook() = std::move(Hook); }

void ShowSpriteMessage(const std::string& Message) {
  if (MessageHook()) MessageHook()(Message);
}

// ---------------------------------------------------------------------------------------
// TSprite

TSprite::TSprite() = default;

TSprite::~TSprite() = default;

void TSprite::SetX(float Value) {
  FX = Value;
  FMoved = true;
}

void TSprite::SetY(float Value) {
  FY = Value;
  FMoved = true;
}

TPoint TSprite::GetPosition() const { return {RoundHalfEven32(FX), RoundHalfEven32(FY)}; }

void TSprite::SetPosition(TPoint P) {
  SetX(float(P.X));
  SetY(float(P.Y));
}

std::int32_t TSprite::GetWidth() const {
  TRect R;
  GetBoundsRect(R);
  return R.Right - R.Left + 1;
}

std::int32_t TSprite::GetHeight() const {
  TRect R;
  GetBoundsRect(R);
  return R.Bottom - R.Top + 1;
}

TRect TSprite::GetViewBounds() const {
  TRect R;
  GetBoundsRect(R);
  if (FSurface) {
    R.Left -= FSurface->GetOffsetX();
    R.Right -= FSurface->GetOffsetX();
    R.Top -= FSurface->GetOffsetY();
    R.Bottom -= FSurface->GetOffsetY();
  }
  return R;
}

TRect TSprite::GetCollisionRect() const {
  TRect R = GetViewBounds();
  R.Left += FInsetLeft;
  R.Top += FInsetTop;
  R.Right -= FInsetRight;
  R.Bottom -= FInsetBottom;
  return R;
}

void TSprite::RandomizePosition() {
  if (!FSurface) return;
  SetX(float(EffectsRandom().Random(FSurface->GetVirtualWidth())));
  SetY(float(EffectsRandom().Random(FSurface->GetVirtualHeight())));
}

void TSprite::SetZ(std::int32_t Value) {
  FZ = Value;
  if (FEngine) FEngine->FResort = true;
}

void TSprite::SetDead(bool Value) {
  if (!Value || FDead) return;
  FDead = true;
  FVisible = false;
  if (FEngine) {
    GKilling = true;
    FEngine->QueueKill(this);
    GKilling = false;
  }
}

void TSprite::SetDirection(float Value) {
  if (std::isfinite(Value) && (Value < -360 || Value >= 720)) Value = std::fmod(Value, 360.0f);
  while (Value < 0) Value += 360;
  while (Value >= 360) Value -= 360;
  FDirection = Value;
}

void TSprite::SetCollisionInsets(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom) {
  FInsetLeft = Left;
  FInsetTop = Top;
  FInsetRight = Right;
  FInsetBottom = Bottom;
}

void TSprite::Move() {
  if (FLifeSpan > 0) {
    --FLifeSpan;
    if (FLifeSpan == 0) {
      SetDead(true);
      return;
    }
  }
  if (FSpin > 0) SetDirection(FSpinSense ? FDirection - FSpin : FDirection + FSpin);
  if (FMover) FMover->MoveSprite(*this);
  if (FSurface) {
    if (FSurface->GetWrapHorizontal()) FX = WrapCoordinate(FX, FSurface->GetVirtualWidth());
    if (FSurface->GetWrapVertical()) FY = WrapCoordinate(FY, FSurface->GetVirtualHeight());
  }
  FMoved = false;
}

// ---------------------------------------------------------------------------------------
// TSpriteEngine

TSpriteEngine::TSpriteEngine() = default;

TSpriteEngine::~TSpriteEngine() {
  Clear();
  if (FSpriteSurface) FSpriteSurface->RemoveEngine(this);
  if (FSpriteMover) std::erase(FSpriteMover->FEngines, this);
  if (FSpriteMover && FSpriteMover->FEngine == this) FSpriteMover->FEngine = nullptr;
  for (TSpriteEngine* User : FCollisionUsers)
    if (User != this) std::erase(User->FCollisionList, this);
  for (TSpriteEngine* Target : FCollisionList)
    if (Target != this) std::erase(Target->FCollisionUsers, this);
}

TSprite* TSpriteEngine::AddSprite(std::unique_ptr<TSprite> Sprite) {
  if (!Sprite) return nullptr;
  TSprite* S = Sprite.get();
  S->FSurface = FSpriteSurface;
  S->FEngine = this;
  S->FMoverData.reset();
  if (FRandomizeStartingPosition) S->RandomizePosition();
  if (FSpriteMover) {
    S->FMover = FSpriteMover;
    InitSpriteForMover(*S);
  }
  FAddQueue.push_back(std::move(Sprite));
  // Killed before it came: freed at the next move pass.
  if (S->FDead) FKillQueue.push_back(S);
  return S;
}

void TSpriteEngine::InitSpriteForMover(TSprite& Sprite) {
  FSpriteMover->InitSprite(Sprite);
  if (FSpriteMover->OnInitSprite) FSpriteMover->OnInitSprite(*FSpriteMover, Sprite);
}

void TSpriteEngine::QueueKill(TSprite* Sprite) {
  if (!Sprite) return;
  if (!GKilling) {
    // Marks it dead as SetDead does, without queueing it twice.
    Sprite->FDead = true;
    Sprite->FVisible = false;
  }
  FKillQueue.push_back(Sprite);
}

std::int32_t TSpriteEngine::SpriteCount() const { return std::int32_t(FLive.size() + FAddQueue.size()); }

TSprite* TSpriteEngine::GetSprite(std::int32_t I) const {
  if (I < 0) return nullptr;
  if (std::size_t(I) < FLive.size()) return FLive[std::size_t(I)].get();
  const std::size_t Q = std::size_t(I) - FLive.size();
  return Q < FAddQueue.size() ? FAddQueue[Q].get() : nullptr;
}

void TSpriteEngine::MoveSprites() {
  if (FResort) {
    FResort = false;
    std::stable_sort(FLive.begin(), FLive.end(), [](const auto& A, const auto& B) { return A->FZ < B->FZ; });
  }
  // A sprite killed before it joined stays in the queue, to be freed below without an event.
  std::vector<std::unique_ptr<TSprite>> KilledEarly;
  while (!FAddQueue.empty()) {
    std::unique_ptr<TSprite> S = std::move(FAddQueue.front());
    FAddQueue.erase(FAddQueue.begin());
    if (S->FDead) {
      KilledEarly.push_back(std::move(S));
      continue;
    }
    // Before the first sprite of the same or a higher Z: the newest of a Z is drawn first.
    const auto At = std::lower_bound(FLive.begin(), FLive.end(), S->FZ, [](const auto& L, std::int32_t Z) { return L->FZ < Z; });
    TSprite& Added = **FLive.insert(At, std::move(S));
    if (OnAddSprite) OnAddSprite(*this, Added);
  }
  FAddQueue.insert(FAddQueue.begin(), std::make_move_iterator(KilledEarly.begin()), std::make_move_iterator(KilledEarly.end()));
  // Moving may add sprites (to the queue) but never changes the live list.
  for (std::size_t I = 0; I < FLive.size(); ++I) FLive[I]->Move();
  while (!FKillQueue.empty()) {
    TSprite* S = FKillQueue.front();
    // A sprite killed twice is freed once: its other entries go now, before its memory can
    // be given to a new sprite.
    std::erase(FKillQueue, S);
    const auto Live = std::find_if(FLive.begin(), FLive.end(), [S](const auto& L) { return L.get() == S; });
    if (Live != FLive.end()) {
      if (OnRemoveSprite) OnRemoveSprite(*this, *S);
      // The handler may have changed the list: look again.
      const auto Again = std::find_if(FLive.begin(), FLive.end(), [S](const auto& L) { return L.get() == S; });
      if (Again != FLive.end()) FLive.erase(Again);
      continue;
    }
    const auto Queued = std::find_if(FAddQueue.begin(), FAddQueue.end(), [S](const auto& L) { return L.get() == S; });
    if (Queued != FAddQueue.end()) FAddQueue.erase(Queued);
  }
}

void TSpriteEngine::RenderSprites(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  if (!FVisible || !FSpriteSurface) return;
  const TRect Clip = DIBCanvas.GetClipRect();
  for (std::size_t I = 0; I < FLive.size(); ++I) {
    TSprite& S = *FLive[I];
    if (!S.FVisible) continue;
    if (!Overlap(S.GetViewBounds(), Clip)) continue;
    S.Render(Canvas, DIBCanvas);
    if (FYield) ProcessMessages();
  }
}

void TSpriteEngine::CollisionPass() {
  for (std::size_t I = 0; I < FCollisionList.size(); ++I) CheckCollisions(*FCollisionList[I]);
}

void TSpriteEngine::CheckCollisions(TSpriteEngine& Other) {
  if (!OnCollision) return;
  auto Alive = [](const TSprite& S) { return S.FVisible && !S.FDead; };
  for (std::size_t I = 0; I < FLive.size(); ++I) {
    TSprite& S1 = *FLive[I];
    if (!Alive(S1)) continue;
    for (std::size_t J = &Other == this ? I + 1 : 0; J < Other.FLive.size(); ++J) {
      TSprite& S2 = *Other.FLive[J];
      if (!Alive(S1)) break;
      if (!Alive(S2)) continue;
      if (Overlap(S1.GetCollisionRect(), S2.GetCollisionRect())) OnCollision(*this, S1, S2);
    }
  }
}

void TSpriteEngine::Clear() {
  FLive.clear();
  FAddQueue.clear();
  FKillQueue.clear();
}

void TSpriteEngine::AddCollisionEngine(TSpriteEngine* Engine) {
  if (!Engine) return;
  FCollisionList.push_back(Engine);
  Engine->FCollisionUsers.push_back(this);
}

void TSpriteEngine::RemoveCollisionEngine(TSpriteEngine* Engine) {
  const auto It = std::find(FCollisionList.begin(), FCollisionList.end(), Engine);
  if (It == FCollisionList.end()) return;
  FCollisionList.erase(It);
  const auto User = std::find(Engine->FCollisionUsers.begin(), Engine->FCollisionUsers.end(), this);
  if (User != Engine->FCollisionUsers.end()) Engine->FCollisionUsers.erase(User);
}

void TSpriteEngine::SetPriority(std::int32_t Value) {
  FPriority = Value;
  if (FSpriteSurface) FSpriteSurface->SortEngines();
}

void TSpriteEngine::SetSpriteMover(TSpriteMover* Value) {
  if (FSpriteMover && FSpriteMover != Value) std::erase(FSpriteMover->FEngines, this);
  FSpriteMover = Value;
  if (Value) {
    Value->FEngine = this;
    if (std::find(Value->FEngines.begin(), Value->FEngines.end(), this) == Value->FEngines.end())
      Value->FEngines.push_back(this);
  }
  // Queued sprites follow too: they would otherwise keep a mover that may be gone.
  for (auto* List : {&FLive, &FAddQueue}) {
    for (std::size_t I = 0; I < List->size(); ++I) {
      TSprite& S = *(*List)[I];
      S.FMoverData.reset();
      S.FMover = Value;
      if (Value) InitSpriteForMover(S);
      S.FMoved = true;
    }
  }
}

void TSpriteEngine::SetSpriteSurface(TSpriteSurface* Value) {
  if (Value == FSpriteSurface) return;
  if (FSpriteSurface) FSpriteSurface->RemoveEngine(this);
  FSpriteSurface = Value;
  if (Value) Value->AddEngine(this);
  for (auto& S : FLive) S->FSurface = Value;
  for (auto& S : FAddQueue) S->FSurface = Value;
}

void TSpriteEngine::SurfaceFreed() {
  FSpriteSurface = nullptr;
  for (auto& S : FLive) S->FSurface = nullptr;
  for (auto& S : FAddQueue) S->FSurface = nullptr;
}

void TSpriteEngine::MoverFreed() {
  // The mover's state for each sprite goes with it.
  for (auto* List : {&FLive, &FAddQueue})
    for (auto& S : *List)
      if (S->FMover == FSpriteMover) {
        S->FMover = nullptr;
        S->FMoverData.reset();
      }
  FSpriteMover = nullptr;
}

// ---------------------------------------------------------------------------------------
// TSpriteMover

TSpriteMover::~TSpriteMover() {
  for (TSpriteEngine* E : std::vector<TSpriteEngine*>(FEngines))
    if (E->FSpriteMover == this) E->MoverFreed();
}

void TSpriteMover::InitSprite(TSprite& Sprite) { Sprite.SetMoverData(nullptr); }

// ---------------------------------------------------------------------------------------
// TSpriteFactory

TSpriteFactory::~TSpriteFactory() { Attach(nullptr); }

void TSpriteFactory::Attach(TSpriteSurface* Value) {
  if (FSpriteSurface) std::erase(FSpriteSurface->FFactories, this);
  FSpriteSurface = Value;
  if (Value) Value->FFactories.push_back(this);
}

void TSpriteFactory::SetSpriteSurface(TSpriteSurface* Value) {
  if (Value == FSpriteSurface) return;
  Attach(Value);
  CheckBitDepth();
}

void TSpriteFactory::Loaded() { CheckBitDepth(); }

void TSpriteFactory::CheckBitDepth() {
  if (!FSpriteSurface || InBitDepths(GetBitDepths(), FSpriteSurface->GetBitDepth())) return;
  ShowSpriteMessage("This TSpriteFactory does not support the TSpriteSurface's BitDepth");
  Attach(nullptr);
}
