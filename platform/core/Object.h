#pragma once
// The root of the program's class family: polymorphic classes whose objects
// are owned through base pointers derive from it.
class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
};
