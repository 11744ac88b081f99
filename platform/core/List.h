#pragma once
// TList<T>: a growable list whose indexed access is checked, raising
// EListError "List index out of bounds (i)" as the class library's lists do.

#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

template <typename T>
class TList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const T& Get(int index) const {
    Check(index, Count() - 1);
    return items_[index];
  }
  T& Get(int index) {
    Check(index, Count() - 1);
    return items_[index];
  }
  const T& operator[](int index) const { return Get(index); }
  T& operator[](int index) { return Get(index); }
  void Put(int index, T value) { Get(index) = std::move(value); }
  int Add(T value) {
    items_.push_back(std::move(value));
    return Count() - 1;
  }
  void Insert(int index, T value) {
    Check(index, Count());
    items_.insert(items_.begin() + index, std::move(value));
  }
  void Delete(int index) {
    Check(index, Count() - 1);
    items_.erase(items_.begin() + index);
  }
  void Exchange(int a, int b) { std::swap(Get(a), Get(b)); }
  void Move(int from, int to) {
    T value = std::move(Get(from));
    Delete(from);
    Insert(to, std::move(value));
  }
  void Clear() { items_.clear(); }
  int IndexOf(const T& value) const {
    for (int i = 0; i < Count(); ++i)
      if (items_[i] == value) return i;
    return -1;
  }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void Check(int index, int limit) const {
    if (index < 0 || index > limit) throw EListError(Format(kListIndexErrorText, {index}));
  }
  std::vector<T> items_;
};
