#pragma once
// Sprites and the engines that run them on a sprite surface.
//
// A TSprite has a floating-point position in virtual coordinates, a drawing order Z, a life
// span in frames, a heading that may turn by itself, collision insets and a user Data pointer;
// concrete sprites give its bounds and draw it. A TSpriteEngine owns the sprites added to it
// and runs their move, render and collision passes once per frame. Sprites are added and
// killed through queues that take effect in the move pass, so no pass walks a list that
// changes under it: an added sprite joins the live list (kept in ascending Z, a new sprite
// before the others of its Z) at the next move pass, and a killed one is freed at the end of
// it. A TSpriteFactory makes sprites of one kind for a surface; a TSpriteMover drives the
// sprites of an engine.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Random.h"
#include "sprites/DIBCanvas.h"

class TCanvas;
class TSpriteEngine;
class TSpriteMover;
class TSpriteSurface;

// The generator of the visual effects' random draws (never the rules' one), one per process.
TRandomGenerator& EffectsRandom();

// The window system's message box for the sprite components' notices; the program sets it
// (without it the notice is dropped).
void SetSpriteMessageHook(std::function<void(const std::string& Message)> Hook);
void ShowSpriteMessage(const std::string& Message);

// A mover's state for one sprite, owned by the sprite.
class TMoverData {
public:
  virtual ~TMoverData() = default;
};

class TSprite {
public:
  // Visible, at (0, 0), Z 0, unlimited life.
  TSprite();
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // The bounds in virtual coordinates; Right and Bottom are the last pixel.
  virtual void GetBoundsRect(TRect& R) const = 0;
  // One frame: life span, spin, the mover, wrapping at the edges of the virtual area.
  virtual void Move();
  virtual void Render(TCanvas& Canvas, TDIBCanvas& DIBCanvas) = 0;

  float GetX() const { return FX; }
  float GetY() const { return FY; }
  // Both mark the sprite Moved.
  void SetX(float Value);
  void SetY(float Value);
  // The position rounded half to even.
  TPoint GetPosition() const;
  void SetPosition(TPoint P);
  std::int32_t GetWidth() const;
  std::int32_t GetHeight() const;
  // The bounds in window coordinates: minus the surface's offsets.
  TRect GetViewBounds() const;
  // The view bounds shrunk by the collision insets.
  TRect GetCollisionRect() const;
  // A random place in the surface's virtual area (nothing without a surface).
  void RandomizePosition();

  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  std::int32_t GetZ() const { return FZ; }
  // Tells the engine to sort its live list again before the next move pass.
  void SetZ(std::int32_t Value);
  bool GetDead() const { return FDead; }
  // True, once: the sprite becomes invisible and waits on its engine's kill queue.
  void SetDead(bool Value);
  bool GetMoved() const { return FMoved; }
  void SetMoved(bool Value) { FMoved = Value; }
  std::int32_t GetLifeSpan() const { return FLifeSpan; }
  // Frames left; 0 is unlimited.
  void SetLifeSpan(std::int32_t Value) { FLifeSpan = Value; }
  // Degrees in [0, 360).
  float GetDirection() const { return FDirection; }
  void SetDirection(float Value);
  // Degrees per frame; the sprite turns only while it is above 0.
  float GetSpin() const { return FSpin; }
  void SetSpin(float Value) { FSpin = Value; }
  // True turns by subtracting Spin, false by adding it.
  bool GetSpinSense() const { return FSpinSense; }
  void SetSpinSense(bool Value) { FSpinSense = Value; }
  void SetCollisionInsets(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom);
  void* GetData() const { return FData; }
  void SetData(void* Value) { FData = Value; }

  TSpriteSurface* GetSurface() const { return FSurface; }
  TSpriteEngine* GetEngine() const { return FEngine; }
  TSpriteMover* GetMover() const { return FMover; }
  TMoverData* GetMoverData() const { return FMoverData.get(); }
  void SetMoverData(std::unique_ptr<TMoverData> Value) { FMoverData = std::move(Value); }

private:
  friend class TSpriteEngine;
  float FY = 0;
  float FX = 0;
  std::unique_ptr<TMoverData> FMoverData;
  bool FVisible = true;
  std::int32_t FZ = 0;
  bool FDead = false;
  bool FMoved = false;
  std::int32_t FLifeSpan = 0;
  std::int32_t FInsetLeft = 0;
  std::int32_t FInsetTop = 0;
  std::int32_t FInsetBottom = 0;
  std::int32_t FInsetRight = 0;
  float FDirection = 0;
  float FSpin = 0;
  bool FSpinSense = false;
  void* FData = nullptr;
  TSpriteSurface* FSurface = nullptr;
  TSpriteEngine* FEngine = nullptr;
  TSpriteMover* FMover = nullptr;
};

class TSpriteEngine {
public:
  TSpriteEngine();
  // Frees the sprites and leaves the surface, the mover and the collision lists.
  virtual ~TSpriteEngine();
  TSpriteEngine(const TSpriteEngine&) = delete;
  TSpriteEngine& operator=(const TSpriteEngine&) = delete;

  // Takes the sprite: it joins the live list at the next move pass. Returns it.
  TSprite* AddSprite(std::unique_ptr<TSprite> Sprite);
  // Marks the sprite dead and puts it on the kill queue (it is freed in the next move pass).
  void QueueKill(TSprite* Sprite);
  // The live sprites and then those waiting to be added.
  std::int32_t SpriteCount() const;
  // Sprite I of the live list, or of the add queue beyond it; nullptr out of range.
  TSprite* GetSprite(std::int32_t I) const;
  // The live list in drawing order.
  const std::vector<std::unique_ptr<TSprite>>& GetLiveSprites() const { return FLive; }

  // The move pass: re-sort when asked, take in the add queue, move every live sprite, free
  // the killed ones.
  void MoveSprites();
  // The render pass: each visible live sprite within the canvas, in Z order.
  void RenderSprites(TCanvas& Canvas, TDIBCanvas& DIBCanvas);
  // CheckCollisions against every engine of the collision list, in order.
  void CollisionPass();
  // OnCollision for every pair of visible, live sprites of this engine and Other whose
  // collision rectangles overlap (within this engine each pair once).
  void CheckCollisions(TSpriteEngine& Other);
  // Frees every sprite, live and queued.
  void Clear();

  // The engines whose sprites this engine's sprites are tested against (may hold itself).
  void AddCollisionEngine(TSpriteEngine* Engine);
  void RemoveCollisionEngine(TSpriteEngine* Engine);
  const std::vector<TSpriteEngine*>& GetCollisionEngines() const { return FCollisionList; }

  bool GetClickSprites() const { return FClickSprites; }
  void SetClickSprites(bool Value) { FClickSprites = Value; }
  std::int32_t GetPriority() const { return FPriority; }
  // Re-sorts the surface's engines.
  void SetPriority(std::int32_t Value);
  bool GetRandomizeStartingPosition() const { return FRandomizeStartingPosition; }
  void SetRandomizeStartingPosition(bool Value) { FRandomizeStartingPosition = Value; }
  TSpriteMover* GetSpriteMover() const { return FSpriteMover; }
  // The new mover drives every sprite from now on: each sprite's mover data is freed and the
  // mover initialises it again.
  void SetSpriteMover(TSpriteMover* Value);
  TSpriteSurface* GetSpriteSurface() const { return FSpriteSurface; }
  // Leaves the old surface's engines, joins the new one's; every sprite follows.
  void SetSpriteSurface(TSpriteSurface* Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool GetYield() const { return FYield; }
  void SetYield(bool Value) { FYield = Value; }

  std::function<void(TSpriteEngine& Sender, TSprite& Sprite)> OnAddSprite;
  std::function<void(TSpriteEngine& Sender, TSprite& Sprite)> OnRemoveSprite;
  std::function<void(TSpriteEngine& Sender, TSprite& Sprite1, TSprite& Sprite2)> OnCollision;

private:
  friend class TSprite;
  friend class TSpriteSurface;
  friend class TSpriteMover;
  void InitSpriteForMover(TSprite& Sprite);
  // The surface or mover is going.
  void SurfaceFreed();
  void MoverFreed();

  bool FClickSprites = true;
  std::int32_t FPriority = 0;
  bool FRandomizeStartingPosition = false;
  TSpriteMover* FSpriteMover = nullptr;
  TSpriteSurface* FSpriteSurface = nullptr;
  bool FVisible = true;
  bool FYield = false;
  std::vector<std::unique_ptr<TSprite>> FLive;
  std::vector<std::unique_ptr<TSprite>> FAddQueue;
  std::vector<TSprite*> FKillQueue;
  std::vector<TSpriteEngine*> FCollisionList;
  // Engines whose collision lists hold this one.
  std::vector<TSpriteEngine*> FCollisionUsers;
  bool FResort = false;
};

class TSpriteMover {
public:
  TSpriteMover() = default;
  // Leaves every engine it drives.
  virtual ~TSpriteMover();
  TSpriteMover(const TSpriteMover&) = delete;
  TSpriteMover& operator=(const TSpriteMover&) = delete;

  // Prepares a sprite the mover is to drive; the base clears its mover data.
  virtual void InitSprite(TSprite& Sprite);
  // Moves the sprite one frame.
  virtual void MoveSprite(TSprite& Sprite) = 0;
  // The engine the mover serves (the last one it was given to).
  TSpriteEngine* GetEngine() const { return FEngine; }

  std::function<void(TSpriteMover& Sender, TSprite& Sprite)> OnInitSprite;

private:
  friend class TSpriteEngine;
  TSpriteEngine* FEngine = nullptr;
  std::vector<TSpriteEngine*> FEngines;
};

// A set of TBitDepth values.
using TBitDepths = std::uint8_t;
constexpr TBitDepths BitDepthSet(TBitDepth D) { return TBitDepths(1u << D); }
constexpr bool InBitDepths(TBitDepths Set, TBitDepth D) { return (Set & BitDepthSet(D)) != 0; }

class TSpriteFactory {
public:
  TSpriteFactory() = default;
  virtual ~TSpriteFactory();
  TSpriteFactory(const TSpriteFactory&) = delete;
  TSpriteFactory& operator=(const TSpriteFactory&) = delete;

  // The bit depths the factory's sprites can draw on.
  virtual TBitDepths GetBitDepths() const = 0;
  TBitDepths BitDepths() const { return GetBitDepths(); }
  virtual std::unique_ptr<TSprite> CreateSprite() = 0;

  TSpriteSurface* GetSpriteSurface() const { return FSpriteSurface; }
  // A surface of a depth the factory cannot draw is refused with the notice "This
  // TSpriteFactory does not support the TSpriteSurface's BitDepth" and the factory has none.
  void SetSpriteSurface(TSpriteSurface* Value);
  // After the factory's settings are given: checks the surface's depth again.
  virtual void Loaded();

private:
  friend class TSpriteSurface;
  void CheckBitDepth();
  void Attach(TSpriteSurface* Value);
  TSpriteSurface* FSpriteSurface = nullptr;
};
