// Calls on an object of the platform's automation interface (IDispatch) by
// member name, with Tarnwick's values as arguments and results.
//
// Texts pass as wide strings (BSTR) converted from code page 936 and come back
// converted to it; bytes pass as one-dimensional arrays of VT_UI1.
#ifndef TARNWICK_WEB_WINDOWS_AUTOMATION_H_
#define TARNWICK_WEB_WINDOWS_AUTOMATION_H_

#include <cstdint>
#include <span>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <oleauto.h>

#include "text/bytes.h"
#include "text/text.h"

namespace tarnwick {

// One argument or result of a call; owns what its VARIANT holds.
class AutomationValue {
 public:
  static AutomationValue Int32(std::int32_t value);
  static AutomationValue Bool(bool value);
  // A BSTR of `text` in UTF-16 (an empty one for the empty text).
  static AutomationValue String(const Text& text);
  // A SAFEARRAY of VT_UI1 holding `bytes`.
  static AutomationValue ByteArray(const Bytes& bytes);

  AutomationValue() { VariantInit(&variant_); }
  ~AutomationValue() { VariantClear(&variant_); }
  AutomationValue(AutomationValue&& other) noexcept : variant_(other.variant_) {
    VariantInit(&other.variant_);
  }
  AutomationValue& operator=(AutomationValue&&) = delete;

  VARIANT& variant() { return variant_; }
  // Whether the value could be made: false when memory ran out (or, for a
  // result, when nothing came back).
  bool HoldsValue() const { return V_VT(&variant_) != VT_EMPTY; }

  // The value read as each kind; the kind's empty value when it is another
  // kind that cannot be converted.
  std::int32_t AsInt32() const;
  // A string up to its first zero unit.
  Text AsText() const;
  // A one-dimensional array of VT_UI1.
  Bytes AsBytes() const;

 private:
  VARIANT variant_;
};

// A reference to an automation object; releases it when it goes.
class AutomationObject {
 public:
  // Takes over the reference `object` holds.
  explicit AutomationObject(IDispatch* object) : object_(object) {}
  ~AutomationObject();
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  // Calls the method `member` with `arguments` in their natural order;
  // `result` (may be null) receives its return value.
  HRESULT Call(const wchar_t* member, std::span<AutomationValue> arguments,
               AutomationValue* result = nullptr);
  // Reads the property `member`.
  HRESULT Get(const wchar_t* member, AutomationValue& result);
  // Writes the property `member`: `arguments` are its indexes followed by
  // the value written.
  HRESULT Put(const wchar_t* member, std::span<AutomationValue> arguments);

 private:
  // `arguments` in natural order; with `namedValue` the last is the value
  // written to a property.
  HRESULT Invoke(const wchar_t* member, WORD kind,
                 std::span<AutomationValue> arguments, bool namedValue,
                 AutomationValue* result);

  IDispatch* object_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WEB_WINDOWS_AUTOMATION_H_
