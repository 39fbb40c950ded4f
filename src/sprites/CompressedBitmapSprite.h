#pragma once
// The map's background: large 8-bit bitmaps kept run-length compressed and drawn opaque.
//
// A run is two 16-bit words, the count of pixels (at most 65535) and the colour (a palette
// index 0-255). Runs follow the pixels row after row from the top row down, left to right,
// and run on across the ends of rows. A sprite draws its bitmap with one memory fill per run
// and row, cut to the surface; no pixel is tested and nothing is transparent.
//
// "BitmapData", the compressed bitmap as the game's tools store it: Width, Height, Size and
// RunCount as 32-bit little-endian integers, then Size bytes of runs (each count, then colour,
// as 16-bit little-endian words). Data that does not add up is refused whole.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Exception.h"
#include "sprites/SpriteEngine.h"

class TBitmap;

// Raised for a bitmap that cannot be compressed and for "BitmapData" that cannot be read.
class ECompressedBitmapSprite : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

struct TBitmapRun {
  std::uint16_t Count = 0;
  std::uint16_t Color = 0;
  friend bool operator==(const TBitmapRun&, const TBitmapRun&) = default;
};

class TCompressedBitmap {
public:
  // An empty bitmap (0 x 0, no runs).
  TCompressedBitmap() = default;
  // Compresses an 8-bit bitmap: "Only 256 color bitmaps are supported" for another depth,
  // "Bitmap must have size > 0" for an empty one. nullptr gives an empty bitmap.
  explicit TCompressedBitmap(const TBitmap* Bitmap);

  std::int32_t GetHeight() const { return FHeight; }
  std::int32_t GetWidth() const { return FWidth; }
  // Bytes of run data: RunCount x 4.
  std::int32_t GetSize() const { return std::int32_t(FRuns.size() * 4); }
  std::int32_t GetRunCount() const { return std::int32_t(FRuns.size()); }
  const std::vector<TBitmapRun>& GetRuns() const { return FRuns; }

  // Reads "BitmapData". Raises ECompressedBitmapSprite, naming what is wrong, for data that
  // is cut short or runs on, a Size that is not RunCount x 4, a negative field, a colour above
  // 255, or runs whose pixels are not Width x Height.
  static std::unique_ptr<TCompressedBitmap> ReadBitmapData(std::string_view Data);
  std::string WriteBitmapData() const;

  // The pixels back as a top-down 8-bit bitmap (a black colour table), for tools and tests.
  std::unique_ptr<TBitmap> Decompress() const;

  // Draws the bitmap opaque with its top-left at (X, Y) of the canvas (an 8-bit one; other
  // depths draw nothing), cut to the canvas. Returns the pixels written; Runs, when given,
  // counts the runs walked.
  std::int64_t Blit(TDIBCanvas& Canvas, std::int32_t X, std::int32_t Y, std::int64_t* Runs = nullptr) const;

private:
  // Fills the index of where each row starts in the runs.
  void IndexRows();

  std::int32_t FHeight = 0;
  std::int32_t FWidth = 0;
  std::vector<TBitmapRun> FRuns;
  // For each row: the run holding its first pixel and how many of that run's pixels lie in
  // the rows above. Lets a sprite cut off at the top start at its first visible row.
  struct TRowStart {
    std::uint32_t Run = 0;
    std::uint32_t Used = 0;
  };
  std::vector<TRowStart> FRowStarts;
};

// An opaque sprite of a compressed bitmap (shared with the factory that made it).
class TCompressedBitmapSprite : public TSprite {
public:
  explicit TCompressedBitmapSprite(std::shared_ptr<const TCompressedBitmap> Bitmap);
  // The rounded position and the bitmap's size.
  void GetBoundsRect(TRect& R) const override;
  void Render(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override;
  const TCompressedBitmap& GetBitmap() const { return *FBitmap; }

  // Totals of every compressed sprite's drawing since the last reset (benchmarks).
  static std::int64_t RunsWalked;
  static std::int64_t PixelsWritten;

private:
  std::shared_ptr<const TCompressedBitmap> FBitmap;
};

class TCompressedBitmapSpriteFactory : public TSpriteFactory {
public:
  // An empty compressed bitmap.
  TCompressedBitmapSpriteFactory();

  TBitDepths GetBitDepths() const override { return BitDepthSet(bd8); }
  // A sprite of the factory's bitmap, to be added to an engine.
  std::unique_ptr<TSprite> CreateSprite() override;

  // Compresses the bitmap in place of the old one (which stays when this one cannot be).
  void SetBitmap(const TBitmap* Bitmap);
  std::int32_t GetWidth() const { return FBitmap->GetWidth(); }
  std::int32_t GetHeight() const { return FBitmap->GetHeight(); }
  std::int32_t GetSize() const { return FBitmap->GetSize(); }
  // Width x Height / Size; 0 without runs.
  float GetCompression() const;
  const TCompressedBitmap& GetCompressedBitmap() const { return *FBitmap; }

  // The stored form "BitmapData" (see above); bad data is refused and the bitmap kept.
  void ReadBitmapData(std::string_view Data);
  std::string WriteBitmapData() const { return FBitmap->WriteBitmapData(); }

private:
  std::shared_ptr<const TCompressedBitmap> FBitmap;
};
