#pragma once
// Options objects: each group of user options is a class derived from
// TOptionExt whose published properties are the options.
//
// Per class there is one global instance, kept in the process-wide options
// list under its class name and owned by it. GetOptionExt<T>() makes it on
// first use (InitDefaults, then LoadFromStorage) and returns it afterwards.
// CreateOptionExt<T>() makes a working copy, owned by the caller: not
// registered, its properties assigned from the global instance (which is
// made first when there is none yet). An options dialog edits a copy and
// calls Apply.
//
// Storage: the properties of GetStoredObject() below the settings path
// GetStorageKey() (the class name without its first letter: class
// TMemoEnvOptions keeps its options under key MemoEnvOptions below the
// settings root, RegistrySettings.h):
//   a property holding a string list  one string value, lines ended by CR LF;
//   a property holding a collection   its text-form component stream in one
//                                     binary value;
//   a property holding another object that object's properties, below the
//                                     sub-key named after the property (an
//                                     object already being walked, or nil,
//                                     is passed over);
//   any other property                one value of its Variant form (ordinal
//                                     kinds as DWORD, floats as 8-byte
//                                     binary, strings as strings).
// Only stored properties are walked. A missing value keeps the property's
// current value. A property without a Variant form (an event, a 64-bit
// integer) makes saving raise "This type isn't supported by
// WriteToRegistry", and loading too when a value of its name exists.
// Registry errors go through from LoadFromStorage and SaveToStorage.
//
// The INI form (OptionsIni.h) is used instead when SetOptionsStorageInIni
// turned it on; it is off.
//
// At module shut-down (FreeOptionExtList) every global instance is saved,
// then every one is freed.
//
// A descendant:
//   class TMemoSourceOptions : public TOptionExt {
//     KESTOVA_CLASS(TMemoSourceOptions)
//    public:
//     void InitDefaults() override { TabWidth = 8; }
//     void Changed() override { if (ChangesSuspended()) return; ... }
//     std::int32_t TabWidth = 8;
//   };
//   KESTOVA_CLASS_INFO_DESCRIBED(TMemoSourceOptions, TOptionExt, "Unit",
//                                &MakeObject<TMemoSourceOptions>, Describe)
// The factory is required: it is the virtual constructor the two makers use.

#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Object.h"

class TOptionExt : public TPersistent {
  KESTOVA_CLASS(TOptionExt)
 public:
  ~TOptionExt() override = default;
  TOptionExt(const TOptionExt&) = delete;
  TOptionExt& operator=(const TOptionExt&) = delete;

  // Inside BeginUpdate/EndUpdate (so Changed runs once at the end, also when
  // a copy raises): copies every published property that Source's class and
  // this one both have, by name (ordinal, set and object kinds, floats,
  // strings, Variants; an object property goes through its setter).
  void Assign(const TPersistent* Source) override;
  // Inside an update bracket: reads GetStoredObject() from the store under
  // GetStorageKey().
  virtual void LoadFromStorage();
  // Writes GetStoredObject() to the store under GetStorageKey().
  virtual void SaveToStorage();
  // The class name without its first character.
  virtual std::string GetStorageKey() const;
  // Empty here; descendants set their defaults.
  virtual void InitDefaults() {}
  // Empty here; descendants react to changed options, returning at once
  // while ChangesSuspended().
  virtual void Changed() {}
  // On the global instance: Changed. On a copy, inside the copy's own update
  // bracket: the global instance's Assign from the copy, whose closing
  // bracket runs the global instance's Changed once. Nothing for a copy
  // whose global instance is gone.
  virtual void Apply();
  // The object whose properties are stored: this one here.
  virtual TPersistent* GetStoredObject() { return this; }

  // EndUpdate does nothing below 1; otherwise it counts down and calls
  // Changed when it reaches 0.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // False only for the global instance outside an update bracket.
  bool ChangesSuspended() const { return !global_ || updateCount_ >= 1; }
  bool IsGlobal() const { return global_; }
  // The global instance of this object's class: nullptr for the global
  // instance itself, and for a copy whose global instance was freed.
  TOptionExt* GlobalOptions() const;

 protected:
  TOptionExt() = default;

 private:
  friend TOptionExt* GetOptionExt(TClass Class);
  bool global_ = false;
  int updateCount_ = 0;
};

// The registered global instance of exactly that class, or nullptr.
TOptionExt* FindOptionExt(TClass Class);
// FindOptionExt, or a new global instance made with the class's factory:
// registered, then InitDefaults, then LoadFromStorage. When loading raises,
// the instance is freed again and the error goes through. Class must derive
// from TOptionExt and have a factory (else EInvalidCast).
TOptionExt* GetOptionExt(TClass Class);
// A working copy of the global instance (made first when missing).
std::unique_ptr<TOptionExt> CreateOptionExt(TClass Class);

template <class T>
T* GetOptionExt() {
  return static_cast<T*>(GetOptionExt(T::StaticClass()));
}
template <class T>
std::unique_ptr<T> CreateOptionExt() {
  return std::unique_ptr<T>(static_cast<T*>(CreateOptionExt(T::StaticClass()).release()));
}

// Saves every global instance (SaveToStorage), then frees them all and
// empties the list; the first error of a save goes through after all are
// freed. The module shut-down.
void FreeOptionExtList();

// When Source and Dest are different objects (neither nullptr): copies each
// published property named in the comma-separated Names (blanks around a
// name ignored) with CopyPropByName; a name either class lacks is skipped.
void AssignPropsByName(const TObject* Source, TObject* Dest, std::string_view Names);

// The registry form of the storage, as LoadFromStorage and SaveToStorage use
// it: Obj's stored published properties below settings path Key.
void ReadOptionProps(TObject* Obj, const std::string& Key);
void WriteOptionProps(TObject* Obj, const std::string& Key);
