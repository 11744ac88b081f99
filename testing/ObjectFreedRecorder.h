#pragma once
// Test double of the object-freed observer: while it lives it is the
// process's observer and records every released TObject address in order.

#include <vector>

#include "platform/core/Object.h"

class ObjectFreedRecorder : public TObjectFreedObserver {
 public:
  ObjectFreedRecorder() : previous_(SetObjectFreedObserver(this)) {}
  ~ObjectFreedRecorder() { SetObjectFreedObserver(previous_); }
  ObjectFreedRecorder(const ObjectFreedRecorder&) = delete;
  ObjectFreedRecorder& operator=(const ObjectFreedRecorder&) = delete;

  void ObjectFreed(const void* Address) override { freed.push_back(Address); }

  std::vector<const void*> freed;

 private:
  TObjectFreedObserver* previous_;
};
