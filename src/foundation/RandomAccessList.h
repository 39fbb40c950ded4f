#pragma once
// A list whose items keep a stable identifier and are found by it in constant time. The rules
// engine keeps its units in one: identifiers are given out in order, never reused, and are the
// same on every machine because units are created in the same order everywhere.
#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/ListError.h"

class TRandomAccessListItem {
public:
  std::int32_t ID = 0;
};

// Items are not owned: their owner frees them.
template <class T = TRandomAccessListItem>
  requires std::derived_from<T, TRandomAccessListItem>
class TRandomAccessList {
public:
  // Gives Item the next identifier (0, 1, 2, ...), appends it and returns the identifier.
  std::int32_t Add(T* Item) {
    if (FIndexCount == std::numeric_limits<std::int32_t>::max())
      throw EListError("No identifier is left for a new item");
    Item->ID = FIndexCount++;
    FIndex[Item->ID] = Item;
    FItems.push_back(Item);
    return Item->ID;
  }

  // For an item that already bears its identifier (read from a saved game): appends it and
  // files it under that identifier, replacing what was filed there. Identifiers handed out by
  // Add afterwards follow the largest one seen. A negative identifier is refused.
  std::int32_t InsertWithID(T* Item) {
    if (Item->ID < 0) throw EListError("Item identifier " + std::to_string(Item->ID) + " is negative");
    if (Item->ID == std::numeric_limits<std::int32_t>::max())
      throw EListError("Item identifier " + std::to_string(Item->ID) + " is too large");
    FItems.push_back(Item);
    FIndex[Item->ID] = Item;
    if (Item->ID >= FIndexCount) FIndexCount = Item->ID + 1;
    return Item->ID;
  }

  // The item filed under ID, or nullptr.
  T* ItemByID(std::int32_t ID) const {
    const auto It = FIndex.find(ID);
    return It == FIndex.end() ? nullptr : It->second;
  }

  // Removes the item at list position Index (not freeing it); its identifier is not given
  // out again. The identifier's entry is cleared only when it files this very item.
  void Delete(int Index) {
    CheckIndex(Index);
    T* Item = FItems[static_cast<std::size_t>(Index)];
    const auto It = FIndex.find(Item->ID);
    if (It != FIndex.end() && It->second == Item) FIndex.erase(It);
    FItems.erase(FItems.begin() + Index);
  }

  // Empties the list and the identifier index; frees no item.
  void Clear() {
    FItems.clear();
    FIndex.clear();
    FIndexCount = 0;
  }

  int Count() const { return static_cast<int>(FItems.size()); }
  T* Items(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)];
  }
  T* operator[](int Index) const { return Items(Index); }
  int IndexOf(const T* Item) const {
    for (std::size_t I = 0; I < FItems.size(); ++I)
      if (FItems[I] == Item) return static_cast<int>(I);
    return -1;
  }
  // The identifier the next Add will give.
  std::int32_t NextID() const { return FIndexCount; }
  // The next identifier becomes at least ID (a list read back from a saved game gives new
  // items the identifiers they would have had, the last ones given having gone).
  void RaiseNextID(std::int32_t ID) {
    if (ID > FIndexCount) FIndexCount = ID;
  }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

private:
  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError::IndexOutOfBounds(Index);
  }

  std::vector<T*> FItems;
  std::unordered_map<std::int32_t, T*> FIndex;
  std::int32_t FIndexCount = 0;
};
