#pragma once
// A set of the values of a small enumeration (at most 32 values, numbered
// from 0), as the class library's sets are: element n is bit n of Bits().

#include <cstdint>
#include <initializer_list>

template <typename E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> elements) {
    for (E e : elements) bits_ |= Bit(e);
  }
  static constexpr EnumSet FromBits(std::uint32_t bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr EnumSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr EnumSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr bool operator==(const EnumSet&) const = default;

 private:
  static constexpr std::uint32_t Bit(E e) { return std::uint32_t{1} << static_cast<unsigned>(e); }
  std::uint32_t bits_ = 0;
};
