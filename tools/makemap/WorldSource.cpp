#include "WorldSource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <utility>

namespace {

struct TRecord {
  int Line = 0;
  std::vector<std::string> Fields;
};

std::string Trim(const std::string& S) {
  std::size_t B = 0, E = S.size();
  while (B < E && std::isspace(static_cast<unsigned char>(S[B]))) ++B;
  while (E > B && std::isspace(static_cast<unsigned char>(S[E - 1]))) --E;
  return S.substr(B, E - B);
}

std::vector<std::string> Words(const std::string& S) {
  std::vector<std::string> Out;
  std::istringstream In(S);
  std::string W;
  while (In >> W) Out.push_back(W);
  return Out;
}

// The piecewise linear scale of one axis: knots (degrees in hundredths, pixel).
struct TScale {
  std::vector<std::pair<double, double>> Knots;  // ascending by degree
  double Map(double Degree) const {
    if (Knots.size() < 2) return 0;
    std::size_t I = 1;
    while (I + 1 < Knots.size() && Degree > Knots[I].first) ++I;
    const auto& [D0, P0] = Knots[I - 1];
    const auto& [D1, P1] = Knots[I];
    return P0 + (Degree - D0) * (P1 - P0) / (D1 - D0);
  }
};

std::int32_t RoundPixel(double V) { return static_cast<std::int32_t>(std::floor(V + 0.5)); }

std::int64_t Cross(TGeoPoint O, TGeoPoint A, TGeoPoint B) {
  return std::int64_t(A.Lon - O.Lon) * (B.Lat - O.Lat) - std::int64_t(A.Lat - O.Lat) * (B.Lon - O.Lon);
}

std::int64_t Area2(const std::vector<TGeoPoint>& P) {
  std::int64_t S = 0;
  for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++)
    S += std::int64_t(P[J].Lon) * P[I].Lat - std::int64_t(P[I].Lon) * P[J].Lat;
  return S;
}

void DropRepeats(std::vector<TGeoPoint>& P) {
  std::vector<TGeoPoint> Out;
  for (const TGeoPoint& Q : P)
    if (Out.empty() || !(Out.back() == Q)) Out.push_back(Q);
  while (Out.size() > 1 && Out.front() == Out.back()) Out.pop_back();
  P = std::move(Out);
}

std::string GeoText(TGeoPoint P) {
  auto Part = [](std::int32_t V) {
    std::string S = V < 0 ? "-" : "";
    const std::int32_t A = V < 0 ? -V : V;
    S += std::to_string(A / 100);
    if (A % 100) S += "." + std::string(A % 100 < 10 ? "0" : "") + std::to_string(A % 100);
    return S;
  };
  return Part(P.Lon) + "," + Part(P.Lat);
}

class TCompiler {
public:
  TCompiler(const std::string& Text, std::string FileName) : FFileName(std::move(FileName)) { Split(Text); }

  TWorldMap Run() {
    for (const TRecord& R : FRecords) Declare(R);
    if (FMap.Width <= 0 || FMap.Height <= 0) throw EWorldSource(FFileName + ": no \"size\" record");
    if (FX.Knots.size() < 2 || FY.Knots.size() < 2) throw EWorldSource(FFileName + ": \"xmap\" and \"ymap\" need two knots each");
    // Land first: the coasts that the sea zones walk are the land zones' unshared edges.
    for (TWorldZone& Z : FMap.Zones)
      if (!Z.Sea) {
        Z.Geo = Expand(Z, false);
        if (Area2(Z.Geo) < 0) std::reverse(Z.Geo.begin(), Z.Geo.end());
      }
    SplitEdges(false);
    BuildCoasts();
    for (TWorldZone& Z : FMap.Zones)
      if (Z.Sea) {
        Z.Geo = Expand(Z, true);
        if (Area2(Z.Geo) <= 0)
          throw Error(Z.Line, "sea zone \"" + Z.Name + "\" runs clockwise or has no area (list its corners counter-clockwise)");
      }
    SplitEdges(true);
    for (TWorldZone& Z : FMap.Zones) ToPixels(Z);
    FindNeighbours();
    for (const TRecord& R : FRecords)
      if (R.Fields[0] == "link") AddLink(R);
    return std::move(FMap);
  }

private:
  EWorldSource Error(int Line, const std::string& What) const {
    return EWorldSource(FFileName + ", line " + std::to_string(Line) + ": " + What);
  }

  void Split(const std::string& Text) {
    std::istringstream In(Text);
    std::string L;
    int N = 0;
    while (std::getline(In, L)) {
      ++N;
      if (!L.empty() && L.back() == '\r') L.pop_back();
      const std::size_t Hash = L.find('#');
      if (Hash != std::string::npos) L.resize(Hash);
      if (Trim(L).empty()) continue;
      if (std::isspace(static_cast<unsigned char>(L[0]))) {
        if (FRecords.empty()) throw Error(N, "a continuation line before the first record");
        FRecords.back().Fields.back() += " " + Trim(L);
        continue;
      }
      TRecord R;
      R.Line = N;
      std::size_t Start = 0;
      for (;;) {
        const std::size_t Bar = L.find('|', Start);
        R.Fields.push_back(Trim(L.substr(Start, Bar == std::string::npos ? std::string::npos : Bar - Start)));
        if (Bar == std::string::npos) break;
        Start = Bar + 1;
      }
      FRecords.push_back(std::move(R));
    }
  }

  double Number(int Line, const std::string& S) const {
    double V = 0;
    const char* B = S.data();
    const char* E = B + S.size();
    if (B != E && *B == '+') ++B;
    const auto [Ptr, Ec] = std::from_chars(B, E, V);
    if (Ec != std::errc() || Ptr != E) throw Error(Line, "\"" + S + "\" is no number");
    return V;
  }

  TGeoPoint Literal(int Line, const std::string& S) const {
    const std::size_t Comma = S.find(',');
    if (Comma == std::string::npos) throw Error(Line, "\"" + S + "\" is no corner lon,lat");
    const double Lon = Number(Line, S.substr(0, Comma));
    const double Lat = Number(Line, S.substr(Comma + 1));
    if (Lon < -180 || Lon > 180 || Lat < -90 || Lat > 90) throw Error(Line, "corner " + S + " lies outside the world");
    return {static_cast<std::int32_t>(std::lround(Lon * 100)), static_cast<std::int32_t>(std::lround(Lat * 100))};
  }

  static bool IsLiteral(const std::string& S) { return S.find(',') != std::string::npos; }

  TGeoPoint Corner(int Line, const std::string& S) const {
    if (IsLiteral(S)) return Literal(Line, S);
    const auto It = FVertices.find(S);
    if (It == FVertices.end()) throw Error(Line, "no corner named \"" + S + "\"");
    return It->second;
  }

  void Need(const TRecord& R, std::size_t Count) const {
    if (R.Fields.size() != Count)
      throw Error(R.Line, "\"" + R.Fields[0] + "\" takes " + std::to_string(Count - 1) + " fields");
  }

  void Knots(const TRecord& R, TScale& Scale, bool Descending) {
    Need(R, 2);
    for (const std::string& W : Words(R.Fields[1])) {
      const std::size_t Colon = W.find(':');
      if (Colon == std::string::npos) throw Error(R.Line, "knot \"" + W + "\" is not degree:pixel");
      Scale.Knots.emplace_back(Number(R.Line, W.substr(0, Colon)) * 100, Number(R.Line, W.substr(Colon + 1)));
    }
    if (Descending)
      for (auto& K : Scale.Knots) K.first = -K.first;
    for (std::size_t I = 1; I < Scale.Knots.size(); ++I)
      if (Scale.Knots[I].first <= Scale.Knots[I - 1].first || Scale.Knots[I].second <= Scale.Knots[I - 1].second)
        throw Error(R.Line, "the knots must run in order");
  }

  void Declare(const TRecord& R) {
    const std::string& Key = R.Fields[0];
    if (Key == "size" || Key == "tiles") {
      Need(R, 3);
      const auto W = static_cast<std::int32_t>(Number(R.Line, R.Fields[1]));
      const auto H = static_cast<std::int32_t>(Number(R.Line, R.Fields[2]));
      if (W <= 0 || H <= 0) throw Error(R.Line, "sizes must be positive");
      (Key == "size" ? FMap.Width : FMap.TileWidth) = W;
      (Key == "size" ? FMap.Height : FMap.TileHeight) = H;
    } else if (Key == "xmap") {
      Knots(R, FX, false);
    } else if (Key == "ymap") {
      Knots(R, FY, true);
    } else if (Key == "vertex") {
      Need(R, 2);
      const auto W = Words(R.Fields[1]);
      if (W.size() % 2) throw Error(R.Line, "vertex names and corners must come in pairs");
      for (std::size_t I = 0; I < W.size(); I += 2) {
        if (IsLiteral(W[I]) || W[I].empty() || W[I][0] == '>' || W[I][0] == '<' || W[I][0] == '~')
          throw Error(R.Line, "\"" + W[I] + "\" cannot name a corner");
        if (!FVertices.emplace(W[I], Literal(R.Line, W[I + 1])).second)
          throw Error(R.Line, "corner \"" + W[I] + "\" is named twice");
      }
    } else if (Key == "path") {
      Need(R, 3);
      if (!FPaths.emplace(R.Fields[1], Words(R.Fields[2])).second)
        throw Error(R.Line, "path \"" + R.Fields[1] + "\" is named twice");
    } else if (Key == "land" || Key == "sea") {
      Need(R, Key == "land" ? 5 : 3);
      TWorldZone Z;
      Z.Name = R.Fields[1];
      Z.Sea = Key == "sea";
      Z.Line = R.Line;
      if (!Z.Sea) {
        Z.Owner = R.Fields[2];
        if (!Z.Owner.empty() && Z.Owner.back() == '*') {
          Z.Capital = true;
          Z.Owner.pop_back();
        }
        if (R.Fields[3].size() != 1 || std::string("gdtjs").find(R.Fields[3][0]) == std::string::npos)
          throw Error(R.Line, "biome \"" + R.Fields[3] + "\" is none of g d t j s");
        Z.Biome = R.Fields[3][0];
      }
      if (FMap.FindZone(Z.Name) >= 0) throw Error(R.Line, "zone \"" + Z.Name + "\" is named twice");
      FItems.push_back(Words(R.Fields.back()));
      FMap.Zones.push_back(std::move(Z));
    } else if (Key != "link") {
      throw Error(R.Line, "unknown record \"" + Key + "\"");
    }
  }

  void AppendPath(int Line, const std::string& Name, bool Backward, std::vector<TGeoPoint>& Out, int Depth) const {
    const auto It = FPaths.find(Name);
    if (It == FPaths.end()) throw Error(Line, "no path named \"" + Name + "\"");
    if (Depth > 8) throw Error(Line, "paths nest too deeply at \"" + Name + "\"");
    std::vector<TGeoPoint> Run;
    for (const std::string& Item : It->second) AppendItem(Line, Item, Run, false, Depth + 1);
    if (Backward) std::reverse(Run.begin(), Run.end());
    Out.insert(Out.end(), Run.begin(), Run.end());
  }

  void AppendItem(int Line, const std::string& Item, std::vector<TGeoPoint>& Out, bool Sea, int Depth) const {
    if (Item[0] == '>' || Item[0] == '<') {
      AppendPath(Line, Item.substr(1), Item[0] == '<', Out, Depth);
    } else if (Item[0] == '~') {
      if (!Sea) throw Error(Line, "only sea zones walk coasts (\"" + Item + "\")");
      const std::size_t Dots = Item.find("..");
      if (Dots == std::string::npos) throw Error(Line, "coast walk \"" + Item + "\" is not ~A..B");
      WalkCoast(Line, Corner(Line, Item.substr(1, Dots - 1)), Corner(Line, Item.substr(Dots + 2)), Out);
    } else {
      Out.push_back(Corner(Line, Item));
    }
  }

  std::vector<TGeoPoint> Expand(const TWorldZone& Z, bool Sea) const {
    std::vector<TGeoPoint> P;
    const auto& Items = FItems[std::size_t(&Z - FMap.Zones.data())];
    for (const std::string& Item : Items) AppendItem(Z.Line, Item, P, Sea, 0);
    DropRepeats(P);
    if (P.size() < 3) throw Error(Z.Line, "zone \"" + Z.Name + "\" has fewer than 3 corners");
    return P;
  }

  // Every corner of any zone that lies inside another zone's edge becomes a corner of that
  // edge too, so that the two sides of a border share the same edges.
  void SplitEdges(bool Sea) {
    std::set<TGeoPoint> All;
    for (const TWorldZone& Z : FMap.Zones)
      if (!Z.Sea || Sea) All.insert(Z.Geo.begin(), Z.Geo.end());
    const std::vector<TGeoPoint> Corners(All.begin(), All.end());
    for (TWorldZone& Z : FMap.Zones) {
      if (Z.Sea && !Sea) continue;
      std::vector<TGeoPoint> Out;
      for (std::size_t I = 0; I < Z.Geo.size(); ++I) {
        const TGeoPoint A = Z.Geo[I], B = Z.Geo[(I + 1) % Z.Geo.size()];
        Out.push_back(A);
        const std::int32_t MinLon = std::min(A.Lon, B.Lon), MaxLon = std::max(A.Lon, B.Lon);
        const std::int32_t MinLat = std::min(A.Lat, B.Lat), MaxLat = std::max(A.Lat, B.Lat);
        std::vector<std::pair<std::int64_t, TGeoPoint>> Inside;
        for (auto It = std::lower_bound(Corners.begin(), Corners.end(), TGeoPoint{MinLon, MinLat});
             It != Corners.end() && It->Lon <= MaxLon; ++It) {
          const TGeoPoint C = *It;
          if (C.Lat < MinLat || C.Lat > MaxLat || C == A || C == B || Cross(A, B, C) != 0) continue;
          Inside.emplace_back(std::int64_t(C.Lon - A.Lon) * (B.Lon - A.Lon) + std::int64_t(C.Lat - A.Lat) * (B.Lat - A.Lat), C);
        }
        std::sort(Inside.begin(), Inside.end());
        for (const auto& [T, C] : Inside) Out.push_back(C);
      }
      Z.Geo = std::move(Out);
    }
  }

  void BuildCoasts() {
    std::map<std::pair<TGeoPoint, TGeoPoint>, int> Count;
    auto Key = [](TGeoPoint A, TGeoPoint B) { return A < B ? std::make_pair(A, B) : std::make_pair(B, A); };
    for (const TWorldZone& Z : FMap.Zones)
      if (!Z.Sea)
        for (std::size_t I = 0; I < Z.Geo.size(); ++I) ++Count[Key(Z.Geo[I], Z.Geo[(I + 1) % Z.Geo.size()])];
    for (const TWorldZone& Z : FMap.Zones)
      if (!Z.Sea)
        for (std::size_t I = 0; I < Z.Geo.size(); ++I) {
          const TGeoPoint U = Z.Geo[I], V = Z.Geo[(I + 1) % Z.Geo.size()];
          if (Count[Key(U, V)] == 1) FCoastInto[V].push_back(U);
        }
  }

  void WalkCoast(int Line, TGeoPoint From, TGeoPoint To, std::vector<TGeoPoint>& Out) const {
    TGeoPoint Cur = From;
    Out.push_back(Cur);
    // At least one step, so that a walk from a corner back to itself goes round the coast.
    for (int Steps = 0; Steps == 0 || !(Cur == To); ++Steps) {
      const auto It = FCoastInto.find(Cur);
      if (It == FCoastInto.end()) throw Error(Line, "no coast runs on from corner " + GeoText(Cur));
      if (It->second.size() != 1) throw Error(Line, "the coast forks at corner " + GeoText(Cur));
      if (Steps > 20000) throw Error(Line, "the coast from " + GeoText(From) + " never reaches " + GeoText(To));
      Cur = It->second.front();
      Out.push_back(Cur);
    }
  }

  void ToPixels(TWorldZone& Z) const {
    std::vector<TPoint> P;
    for (const TGeoPoint& G : Z.Geo) {
      const TPoint Q{RoundPixel(FX.Map(G.Lon)), RoundPixel(FY.Map(-G.Lat))};
      if (P.empty() || !(P.back() == Q)) P.push_back(Q);
    }
    while (P.size() > 1 && P.front() == P.back()) P.pop_back();
    if (P.size() < 3) throw Error(Z.Line, "zone \"" + Z.Name + "\" shrinks to fewer than 3 pixels");
    std::size_t Top = 0;
    for (std::size_t I = 1; I < P.size(); ++I)
      if (P[I].Y < P[Top].Y || (P[I].Y == P[Top].Y && P[I].X < P[Top].X)) Top = I;
    std::rotate(P.begin(), P.begin() + std::ptrdiff_t(Top), P.end());
    Z.Points = std::move(P);
  }

  void FindNeighbours() {
    auto Key = [](TPoint A, TPoint B) {
      const auto KA = std::make_pair(A.X, A.Y), KB = std::make_pair(B.X, B.Y);
      return KA < KB ? std::make_pair(KA, KB) : std::make_pair(KB, KA);
    };
    std::map<std::pair<std::pair<int, int>, std::pair<int, int>>, std::vector<int>> Edges;
    for (std::size_t Z = 0; Z < FMap.Zones.size(); ++Z) {
      const auto& P = FMap.Zones[Z].Points;
      for (std::size_t I = 0; I < P.size(); ++I) Edges[Key(P[I], P[(I + 1) % P.size()])].push_back(int(Z));
    }
    std::vector<std::set<int>> Sets(FMap.Zones.size());
    for (const auto& [E, Users] : Edges) {
      const bool Twice = Users.size() == 2 && Users[0] == Users[1];
      if (Users.size() > 2 || Twice) {
        std::string Names;
        for (int U : Users) Names += " \"" + FMap.Zones[std::size_t(U)].Name + "\"";
        throw Error(FMap.Zones[std::size_t(Users[0])].Line,
                    "the edge (" + std::to_string(E.first.first) + "," + std::to_string(E.first.second) + ")-(" +
                        std::to_string(E.second.first) + "," + std::to_string(E.second.second) + ") is used by" + Names);
      }
      if (Users.size() == 2) {
        Sets[std::size_t(Users[0])].insert(Users[1]);
        Sets[std::size_t(Users[1])].insert(Users[0]);
      }
    }
    for (std::size_t Z = 0; Z < FMap.Zones.size(); ++Z) FMap.Zones[Z].Neighbours.assign(Sets[Z].begin(), Sets[Z].end());
  }

  void AddLink(const TRecord& R) {
    Need(R, 3);
    const int A = FMap.FindZone(R.Fields[1]), B = FMap.FindZone(R.Fields[2]);
    if (A < 0) throw Error(R.Line, "no zone named \"" + R.Fields[1] + "\"");
    if (B < 0) throw Error(R.Line, "no zone named \"" + R.Fields[2] + "\"");
    if (A == B) throw Error(R.Line, "a zone cannot be linked to itself");
    const auto& N = FMap.Zones[std::size_t(A)].Neighbours;
    if (std::find(N.begin(), N.end(), B) != N.end())
      throw Error(R.Line, "\"" + R.Fields[1] + "\" and \"" + R.Fields[2] + "\" already share an edge");
    for (const TWorldLink& L : FMap.Links)
      if ((L.ZoneA == A && L.ZoneB == B) || (L.ZoneA == B && L.ZoneB == A)) throw Error(R.Line, "the link is given twice");
    FMap.Links.push_back({A, B});
  }

  std::string FFileName;
  std::vector<TRecord> FRecords;
  TWorldMap FMap;
  TScale FX, FY;
  std::map<std::string, TGeoPoint> FVertices;
  std::map<std::string, std::vector<std::string>> FPaths;
  std::vector<std::vector<std::string>> FItems;  // per zone, the outline's items
  std::map<TGeoPoint, std::vector<TGeoPoint>> FCoastInto;
};

}  // namespace

int TWorldMap::FindZone(const std::string& Name) const {
  for (std::size_t I = 0; I < Zones.size(); ++I)
    if (Zones[I].Name == Name) return int(I);
  return -1;
}

TWorldMap CompileWorld(const std::string& Text, const std::string& FileName) { return TCompiler(Text, FileName).Run(); }

TWorldMap CompileWorldFile(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw EWorldSource("Cannot read the world source \"" + FileName + "\"");
  const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  return CompileWorld(Text, FileName);
}
