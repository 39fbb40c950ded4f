#pragma once
// A list that owns its objects: deleting an entry frees its object.
#include <memory>
#include <vector>

#include "foundation/ListError.h"

template <class T>
class TObjectList {
public:
  int Add(std::unique_ptr<T> Item) {
    FItems.push_back(std::move(Item));
    return Count() - 1;
  }
  void Insert(int Index, std::unique_ptr<T> Item) {
    if (Index < 0 || Index > Count()) throw EListError::IndexOutOfBounds(Index);
    FItems.insert(FItems.begin() + Index, std::move(Item));
  }
  // Frees the object at Index and removes its entry.
  void Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
  }
  // Removes the entry at Index and hands its object to the caller.
  std::unique_ptr<T> Extract(int Index) {
    CheckIndex(Index);
    std::unique_ptr<T> Item = std::move(FItems[static_cast<std::size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    return Item;
  }
  // Frees every object, first to last.
  void Clear() {
    while (!FItems.empty()) Delete(0);
  }

  int Count() const { return static_cast<int>(FItems.size()); }
  T* Items(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].get();
  }
  T* operator[](int Index) const { return Items(Index); }
  int IndexOf(const T* Item) const {
    for (std::size_t I = 0; I < FItems.size(); ++I)
      if (FItems[I].get() == Item) return static_cast<int>(I);
    return -1;
  }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

private:
  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError::IndexOutOfBounds(Index);
  }
  std::vector<std::unique_ptr<T>> FItems;
};
